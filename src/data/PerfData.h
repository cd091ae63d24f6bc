#pragma once
// The value table: every value of every loaded file, indexed (row, column, file)
// from 1, held compressed one CompressedColumn per (column, file).
//
// A column is read in one of three ways, by how much of it is wanted:
//   - value(): one value, which decodes its block alone;
//   - values(): the whole column decoded, from a small cache shared by every
//     table (decoded columns least recently used go first once it holds more
//     than about 32 MiB or 64 columns). The handle keeps the column valid for as
//     long as it is held, and a column someone holds is not dropped from the
//     cache: the chart holds the columns it charts, so they stay decoded;
//   - decode(): rows of a column into the caller's buffer, past the cache: what
//     passes over every column (median sort, correlation, save) use, one column
//     after another into one buffer, so the whole table is never decoded at once.
//
// Each column may end in open rows, held as plain doubles after its compressed
// blocks: rows appended while a file is followed collect there and are encoded a
// block at a time, and rows written one by one (set()) open the column from
// that row's block on. Decoding is const and safe on several threads at once;
// changing the table is not.

#include "data/CompressedColumn.h"

#include <cassert>
#include <cstdint>
#include <memory>
#include <vector>

namespace kavra {

class PerfData {
public:
    using Values = std::shared_ptr<const std::vector<double>>;
    // A file's values column after column, rows() values each: how tests and
    // tools hand over a file built by hand.
    using Layer = std::vector<double>;

    PerfData();
    PerfData(const PerfData &other);
    PerfData(PerfData &&) noexcept = default;
    PerfData &operator=(const PerfData &other);
    PerfData &operator=(PerfData &&other) noexcept;
    ~PerfData();

    // One file of rows x columns: the given columns, zeros after them (zero
    // blocks: next to no memory).
    void reset(int rows, int columns, std::vector<CompressedColumn> file = {});
    // A file's columns(): each holds rows() values; a missing one is zeros.
    void addFile(std::vector<CompressedColumn> columns);
    Layer makeLayer() const;
    void addLayer(const Layer &layer);
    // More columns for every file, zeros.
    void addColumns(int count);
    void removeLastLayer();
    // More rows for every file, zeros, held open until a block is full.
    void growRows(int rows);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    int files() const { return static_cast<int>(files_.size()); }

    double value(int row, int column, int file) const;
    double operator()(int row, int column, int file) const { return value(row, column, file); }

    // A cell to read or to write by hand (tests and tools; the commands write
    // whole columns).
    class Cell {
    public:
        Cell(PerfData &table, int row, int column, int file) : t_(table), r_(row), c_(column), f_(file) {}
        operator double() const { return t_.value(r_, c_, f_); }
        Cell &operator=(double v)
        {
            t_.set(r_, c_, f_, v);
            return *this;
        }
        Cell &operator=(const Cell &other) { return *this = double(other); }

    private:
        PerfData &t_;
        int r_, c_, f_;
    };
    Cell operator()(int row, int column, int file) { return {*this, row, column, file}; }
    void set(int row, int column, int file, double v);

    // The rows() values of one column of one file.
    Values values(int column, int file) const;
    // Rows firstRow .. firstRow + count - 1 of one column into out.
    void decode(int column, int file, int firstRow, int count, double *out) const;
    // Whether rows firstRow .. firstRow + count - 1 of a column are all zero
    // (+0 or -0); decodes a block at a time and stops at the first other value.
    bool zeros(int column, int file, int firstRow, int count) const;
    // Replaces one column of one file by rows() values.
    void setColumn(int column, int file, CompressedColumn values);
    // Writes count values into rows firstRow on of one column (rows past rows()
    // are not written), keeping the rows from firstRow's block on open, and
    // brings a decoded copy in the cache up to date rather than dropping it.
    void write(int column, int file, int firstRow, const double *values, int count);
    // Encodes the whole blocks of the rows held open, leaving the rest open.
    void seal();

    // The column decoded and kept with the table until it changes: for tests and
    // tools that look at a few columns through a plain pointer.
    const double *column(int column, int file) const;

    // The bytes the table holds, compressed and open.
    size_t byteSize() const;

private:
    struct Slot {
        CompressedColumn packed;
        std::vector<double> open;  // the rows after packed's
        uint64_t id = 0;           // names this content in the cache; new at every change
        mutable Values pinned;     // what column() handed out
        mutable uint64_t pinnedId = 0;
    };
    Slot &slot(int column, int file)
    {
        assert(column >= 1 && column <= columns_ && file >= 1 && file <= files());
        return files_[size_t(file - 1)][size_t(column - 1)];
    }
    const Slot &slot(int column, int file) const
    {
        assert(column >= 1 && column <= columns_ && file >= 1 && file <= files());
        return files_[size_t(file - 1)][size_t(column - 1)];
    }
    Slot zeroSlot() const;
    void renumber();
    void forgetAll();
    static void decodeSlot(const Slot &s, size_t first, size_t count, double *out);
    // Opens s from the block holding row first (0-based) on.
    static void openFrom(Slot &s, size_t first);
    static void changed(Slot &s, size_t firstChanged, size_t rows);
    static void sealSlot(Slot &s);

    int rows_ = 1;
    int columns_ = 1;
    std::vector<std::vector<Slot>> files_;
};

}  // namespace kavra
