#pragma once
// The data set that loading produces: every table the viewer and the batch
// tool read. Tables are indexed from 1, as the file format numbers its rows,
// columns and files.

#include "data/PerfData.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <string>
#include <vector>

namespace kavra {

constexpr int kFileLimit = 16;     // files that can be loaded together
constexpr int kSpareColumns = 20;  // columns kept free for derived items

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
    // The values, one column per table column (a first file's spare columns
    // included), rowCount rows each; a column not read is empty (zeros).
    std::vector<CompressedColumn> columns;
};

struct DataSet {
    PerfData Perf_Data;
    // Xaxis_Values[r - 1] is the sample time of row r: file 1's times, the one
    // column always held decoded (the x axis of every chart and every saved
    // row's time), beside its compressed copy in Perf_Data.
    std::vector<double> Xaxis_Values;
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
