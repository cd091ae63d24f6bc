#pragma once
// Reading data records into values: the inner loop of a load's data pass. One
// parser per thread; each keeps its own scratch text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavra {

// What every data record of one file is read against.
struct RecordLayout {
    int columnCount = 0;                              // header fields, the sample time included
    const std::vector<int32_t> *columnMap = nullptr;  // file column c - 1 -> table column, 0 when not stored
    std::string_view collectionDate;                  // the date of records that give a time alone
    bool firstFile = false;                           // invalid data in the first file closes all files
    // The earlier edition's rules: an invalid value is the number its leading
    // characters form, and short records are not reported.
    bool classicRules = false;
};

class RecordParser {
public:
    explicit RecordParser(const RecordLayout &layout) : layout_(layout) {}

    // Reads the fields of one record into one row of table columns (row[c - 1] is
    // column c; the row is zero where no field feeds it); returns how many fields
    // it took. Stops the load on invalid data or an unreadable field.
    int read(std::string_view record, double *row);

private:
    const RecordLayout &layout_;
    std::string scratch_, timeScratch_;
};

// Rows are parsed a few at a time into a small row-major block, then spread into
// the column-major layer: each row is written where the parser finds it fast, and
// the layer is written one column stretch at a time.
class RowBlock {
public:
    // A block holds up to 64 rows, fewer when the table is wide: its cells stay
    // within a fixed budget (one row at least), whatever the number of columns.
    static constexpr int kMaxRows = 64;
    static constexpr size_t kCellBudget = size_t(1) << 20;
    // The rows of a block for a reader that reads at most rowsToRead rows.
    static int rowsFor(int tableColumns, long long rowsToRead);

    // target: the first cell of the layer, columns of height rows each; rows: the
    // block's rows.
    RowBlock(int tableColumns, double *target, size_t height, int rows);
    int rows() const { return rows_; }
    double *row(int index) { return cells_.data() + static_cast<size_t>(index) * columns_; }
    // Writes the block's first rows into the layer from firstRow (0-based) on and
    // clears them in the block.
    void flush(int firstRow, int rows);
    // Clears the block's first rows without writing them.
    void clear(int rows);

private:
    size_t columns_;
    double *target_;
    size_t height_;
    int rows_;
    std::vector<double> cells_;
};

}  // namespace kavra
