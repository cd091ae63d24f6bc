#pragma once
// The data set that loading produces: every table the viewer and the batch
// tool read. Tables are indexed from 1, as the file format numbers its rows,
// columns and files.

#include "data/HugePages.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace kavra {

constexpr int kFileLimit = 16;     // files that can be loaded together
constexpr int kSpareColumns = 20;  // columns kept free for derived items

// Memory for value layers that comes zeroed from the system (calloc hands out
// fresh zero pages for blocks this large without writing them), so a new layer
// costs nothing until it is filled, and the threads that fill it touch its pages
// in parallel instead of one thread clearing them all first.
template <class T> struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U> ZeroedAllocator(const ZeroedAllocator<U> &) {}
    T *allocate(size_t n)
    {
        if (void *p = std::calloc(n, sizeof(T))) {
            adviseHugePages(p, n * sizeof(T));
            return static_cast<T *>(p);
        }
        throw std::bad_alloc();
    }
    void deallocate(T *p, size_t) { std::free(p); }
    // A value-initialised element is the zero the memory already holds.
    template <class U> void construct(U *) noexcept {}
    template <class U, class... Args> void construct(U *p, Args &&...args)
    {
        ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
    }
    friend bool operator==(const ZeroedAllocator &, const ZeroedAllocator &) { return true; }
};

// Values indexed (row, column, file). Each file is one layer stored column by
// column, so one item's values over the rows lie contiguous in memory: charting,
// medians and correlation all walk a column. Adding a file adds a layer and
// leaves the earlier layers where they are.
class PerfData {
public:
    using Layer = std::vector<double, ZeroedAllocator<double>>;

    PerfData();

    // One zeroed layer of rows x columns; throws std::bad_alloc when it cannot be had.
    void reset(int rows, int columns);
    // A zeroed layer of the current size, to be filled and then added.
    Layer makeLayer() const;
    void addLayer(Layer layer);
    // More columns for every file, zeroed; the values in place stay.
    void addColumns(int count);
    void removeLastLayer();
    // More rows for every file, zeroed. Room is kept beyond them, and made
    // before it is needed, one layer per call, so a table that grows a few rows
    // at a time moves no more than one layer at once.
    void growRows(int rows);
    // Room for rows in every layer at once, as vector::reserve.
    void reserveRows(int rows);

    int rows() const { return rows_; }
    // The cells from one column to the next in a new layer: rows() and the room kept.
    size_t rowStride() const { return static_cast<size_t>(stride_); }
    int columns() const { return columns_; }
    int files() const { return static_cast<int>(layers_.size()); }

    // Debug builds (the sanitizer build among them) assert that every index lies
    // in the table; release builds do not pay for the check in their inner loops.
    double operator()(int row, int column, int file) const { return layer(file)[index(row, column, file)]; }
    double &operator()(int row, int column, int file) { return layer(file)[index(row, column, file)]; }
    // The rows() values of one column of one file.
    const double *column(int column, int file) const { return layer(file).data() + index(1, column, file); }
    double *column(int column, int file) { return layer(file).data() + index(1, column, file); }

private:
    size_t index(int row, int column, int file) const
    {
        assert(row >= 1 && row <= rows_ && column >= 1 && column <= columns_);
        return static_cast<size_t>(column - 1) * strides_[static_cast<size_t>(file - 1)] + static_cast<size_t>(row - 1);
    }
    void moveLayer(size_t file, int stride);
    const Layer &layer(int file) const
    {
        assert(file >= 1 && file <= files());
        return layers_[static_cast<size_t>(file - 1)];
    }
    Layer &layer(int file)
    {
        assert(file >= 1 && file <= files());
        return layers_[static_cast<size_t>(file - 1)];
    }

    int rows_ = 1;
    int stride_ = 1;  // of new layers; older ones reach it one by one
    int columns_ = 1;
    std::vector<Layer> layers_;
    std::vector<size_t> strides_;  // of each layer
};

// Column_Map(c, f): the Perf_Data column that receives column c of file f, 0 when not stored.
class ColumnMap {
public:
    void reset(int fileColumns, int files);
    int fileColumns() const { return fileColumns_; }
    int32_t operator()(int column, int file) const { return map_[index(column, file)]; }
    int32_t &operator()(int column, int file) { return map_[index(column, file)]; }
    void clearFile(int file);
    // Makes room for files with more columns, keeping every entry.
    void growColumns(int fileColumns);

private:
    size_t index(int column, int file) const
    {
        assert(column >= 1 && column <= fileColumns_ && file >= 1 && file <= files_);
        return static_cast<size_t>(file - 1) * static_cast<size_t>(fileColumns_) + static_cast<size_t>(column - 1);
    }

    int fileColumns_ = 0;
    int files_ = 0;
    std::vector<int32_t> map_;
};

// One file as the loader parsed it, waiting to be applied to the data set.
struct LoadedFile {
    int fileNumber = 0;  // 1 for the first file
    std::string path;
    std::string line1;  // record 1, untrimmed
    std::string nodeName;
    std::string collectionDate;
    std::vector<std::string> names;      // the column headers, the sample time's included, as UTF-8
    std::vector<bool> windows1252Names;  // which of them the file wrote in Windows-1252
    std::vector<int32_t> columnMap;      // file column c - 1 -> Perf_Data column, 0 when not stored
    int rowCount = 0;
    PerfData table;                      // the first file's values, with spare columns
    PerfData::Layer layer;               // a later file's values
};

struct DataSet {
    PerfData Perf_Data;
    std::vector<double> Xaxis_Values;  // Xaxis_Values[r - 1] is the sample time of row r
    ColumnMap Column_Map;
    int32_t Row_Count = 0;
    int32_t Column_Count = 0;
    // The highest Perf_Data column holding an item: the first file's last column,
    // then each derived item's. Later files change Column_Count, not this.
    int32_t Last_Used_Column = 0;
    int32_t Files_Open = 0;
    int16_t Max_Files = kFileLimit;
    std::array<std::string, kFileLimit> File_Names;
    std::array<std::string, kFileLimit> Node_Names;
    std::array<std::string, kFileLimit> File_Header_Lines;
    std::array<std::string, kFileLimit> File_Line1;  // record 1 of each file, untrimmed
    // Node_Name, Node_Names and File_Header_Lines are texts to show, as UTF-8;
    // Line1 and File_Line1 keep record 1's bytes for writing it back.
    std::string Node_Name;
    std::string Collection_Date_Text;
    std::array<std::string, kFileLimit> Collection_Dates;  // record 2's date of each file, as written
    std::string Line1;
    // Column_Names[c - 1] is the header of the first file's column c, as UTF-8;
    // Column_Names_Windows1252[c - 1] says whether the file wrote it in Windows-1252.
    std::vector<std::string> Column_Names;
    std::vector<bool> Column_Names_Windows1252;

    double sampleTime(int row) const { return Xaxis_Values[static_cast<size_t>(row - 1)]; }

    // Whether the first file's column c holds an item: column 1 is the sample time
    // whatever its name, and so is every column named "Sample Time".
    bool isItemColumn(int column) const;
    // The first file's column holding the item of that name, 0 when none does.
    int32_t itemColumn(const std::string &name) const;

    // Takes over a file the loader has read whole.
    void apply(LoadedFile &&file);

    // Rows read from a loaded file after its load, count rows of width values
    // each (columns 1 to width, one row after another), into rows firstRow on.
    // The first file's rows may go past Row_Count: the table grows, and their
    // sample times join Xaxis_Values. A later file's rows go no further than
    // Row_Count. Returns how many rows were stored.
    int appendRows(int file, int firstRow, const double *rows, int count, int width);

    // Back to the state before any file: what closing all files leaves.
    void closeAll();
};

}  // namespace kavra
