#pragma once
// Reading data records into values: the inner loop of a load's data pass. One
// parser per thread; each keeps its own scratch text.

#include "data/CompressedColumn.h"

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

    // Reads the fields of one record into one row of table columns, column c at
    // row[(c - 1) * stride]; returns how many fields it took. The columns of the
    // fields a short record lacks are set to zero; those no field feeds are left
    // alone (the caller keeps them zero). Stops the load on invalid data or an
    // unreadable field. mostDigits[c - 1] is raised to the fraction digits of the
    // value read into column c, or to codec::kDigitsUnknown when it took other
    // than the plain decimal route (readPlainDecimal): so, over rows, it is what
    // the encoder wants to know.
    int read(std::string_view record, double *row, size_t stride, int8_t *mostDigits);

private:
    const RecordLayout &layout_;
    std::string scratch_, timeScratch_;
};

// Records are parsed straight into a column-major stage of up to a codec
// block's rows of every column. A full stage is encoded onto the run of each
// column: what a reader has read since it began (one chunk of the file, or all
// of it).
class ColumnStage {
public:
    // The stage keeps within a fixed number of cells: it holds fewer rows than a
    // codec block only when the table has more than 1024 columns (one row at
    // least), or fewer rows are to be read.
    static constexpr size_t kCellBudget = size_t(1) << 20;

    // rowsToRead: the most rows any run will have (the stage holds no more).
    ColumnStage(int tableColumns, long long rowsToRead);
    // Starts the next run, of about rows rows: each column's room for them is
    // made at once, from what the column took a row in the run before (or, in
    // the first run, in its first stage), so its buffers are neither grown nor
    // trimmed by copying. The readers' threads share one heap, whose lock each
    // such copy would take.
    void beginRun(long long rows);
    // Where the next row is read, for RecordParser::read with stride().
    double *row() { return stage_.data() + staged_; }
    size_t stride() const { return stageRows_; }
    // The most fraction digits of each column's values in the stage's rows
    // (RecordParser::read); 0, as for a value of zero, where no field feeds one.
    int8_t *mostDigits() { return stageDigits_.data(); }
    // Takes the row read onto the stage, and encodes a full stage.
    void rowRead();
    // The run of every table column so far, encoded; the next run starts empty.
    std::vector<CompressedColumn> takeRun();
    // Forgets the run so far.
    void dropRun();

private:
    void encodeStage();
    void makeRoom(CompressedColumn &column, double bytesPerRow, size_t rows) const;

    size_t columns_;
    size_t runRows_ = 1;
    size_t stageRows_ = 1;
    size_t staged_ = 0;
    std::vector<double> stage_;  // column c's rows at c * stageRows_; zero where no field feeds a column
    std::vector<int8_t> stageDigits_;  // the most digits of the staged rows, per column
    std::vector<CompressedColumn> run_;
    std::vector<double> bytesPerRow_;  // each column's in the run before; 0 before the first
};

}  // namespace kavra
