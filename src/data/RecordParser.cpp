#include "data/RecordParser.h"

#include "data/DataError.h"
#include "data/FieldReader.h"
#include "data/LoadFailure.h"
#include "data/Text.h"

#include <algorithm>

namespace kavra {

int RecordParser::read(std::string_view record, double *row, size_t stride, int8_t *mostDigits)
{
    const std::vector<int32_t> &columnMap = *layout_.columnMap;
    size_t start = 0;
    int j = 0;
    std::string_view sampleTimeText;
    while (j < layout_.columnCount) {
        ++j;
        const int column = columnMap[static_cast<size_t>(j - 1)];
        if (j > 1 && column != 0) {
            int8_t digits = 0;
            const size_t length = readPlainDecimal(record.substr(start), row[size_t(column - 1) * stride], digits);
            if (length != std::string_view::npos) {
                mostDigits[column - 1] = std::max(mostDigits[column - 1], digits);
                start += length + 1;
                if (start > record.size())
                    break;
                continue;
            }
        }
        const size_t comma = record.find(',', start);
        const std::string_view field = record.substr(start, comma - start);
        const std::string_view prepared = prepareField(field, j == 1 ? timeScratch_ : scratch_);
        if (j == 1)
            sampleTimeText = prepared;
        if (column != 0) {
            double &cell = row[size_t(column - 1) * stride];
            cell = 0;
            mostDigits[column - 1] = codec::kDigitsUnknown;
            if (j == 1) {
                cell = readSampleTime(prepared, layout_.collectionDate);
            } else {
                const FieldValue value = readValue(prepared);
                if (value.status == ValueStatus::BadExponent)
                    throw DataError("Type mismatch: the exponent of '" + text::quoted(field) + "' is not a number");
                if (value.status == ValueStatus::Invalid && layout_.classicRules) {
                    cell = leadingNumber(prepared);
                } else if (value.status == ValueStatus::Invalid) {
                    failLoad({.kind = LoadProblem::InvalidValue,
                              .field = std::string(field),
                              .detail = std::string(sampleTimeText)},
                             layout_.firstFile);
                } else {
                    cell = value.value;
                }
            }
        }
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    // A short record: its missing fields are zero.
    for (int missing = j; missing < layout_.columnCount; ++missing)
        if (const int column = columnMap[static_cast<size_t>(missing)]; column != 0)
            row[size_t(column - 1) * stride] = 0;
    return j;
}

ColumnStage::ColumnStage(int tableColumns, long long rowsToRead)
    : columns_(static_cast<size_t>(std::max(tableColumns, 1)))
{
    const auto rows = static_cast<size_t>(std::max<long long>(rowsToRead, 1));
    stageRows_ = std::min({std::max<size_t>(kCellBudget / columns_, 1), CompressedColumn::kBlockRows, rows});
    stage_.assign(stageRows_ * columns_, 0.0);
    stageDigits_.assign(columns_, 0);
    run_.resize(columns_);
    bytesPerRow_.assign(columns_, 0.0);
    beginRun(rowsToRead);
}

void ColumnStage::beginRun(long long rows)
{
    runRows_ = static_cast<size_t>(std::max<long long>(rows, 1));
    for (size_t c = 0; c < columns_; ++c)
        if (bytesPerRow_[c] > 0 && run_[c].rows() == 0)
            makeRoom(run_[c], bytesPerRow_[c], runRows_);
}

// Room for rows more rows at about bytesPerRow, a sixteenth to spare (less than
// trimSpare leaves); at most a few dozen stages ahead, in case the rows the
// guess was made from pack far better than the rest.
void ColumnStage::makeRoom(CompressedColumn &column, double bytesPerRow, size_t rows) const
{
    constexpr size_t kMostStagesAhead = 64;
    const size_t stages = std::min((rows + stageRows_ - 1) / stageRows_, kMostStagesAhead);
    rows = std::min(rows, stages * stageRows_);
    column.reserve(static_cast<size_t>(bytesPerRow * static_cast<double>(rows) * (17.0 / 16)) + stages * 8, stages);
}

void ColumnStage::rowRead()
{
    if (++staged_ == stageRows_)
        encodeStage();
}

void ColumnStage::encodeStage()
{
    if (staged_ == 0)
        return;
    for (size_t c = 0; c < columns_; ++c) {
        // The stage is larger than the core's cache: the next column's stretch is
        // fetched while this one is encoded.
        if (c + 1 < columns_)
            for (size_t r = 0; r < staged_; r += 8)
                __builtin_prefetch(stage_.data() + (c + 1) * stageRows_ + r);
        CompressedColumn &column = run_[c];
        const bool guess = column.rows() == 0 && bytesPerRow_[c] == 0;
        column.append(stage_.data() + c * stageRows_, staged_, stageDigits_[c]);
        if (guess && runRows_ > staged_)
            makeRoom(column, static_cast<double>(column.encodedBytes()) / static_cast<double>(staged_),
                     runRows_ - staged_);
    }
    staged_ = 0;
    std::fill(stageDigits_.begin(), stageDigits_.end(), int8_t(0));
}

std::vector<CompressedColumn> ColumnStage::takeRun()
{
    encodeStage();
    for (size_t c = 0; c < columns_; ++c)
        if (const size_t rows = run_[c].rows(); rows > 0)
            bytesPerRow_[c] = static_cast<double>(run_[c].encodedBytes()) / static_cast<double>(rows);
    std::vector<CompressedColumn> run(columns_);
    run.swap(run_);
    // The spare room appending left would otherwise stay until the table is built.
    for (CompressedColumn &column : run)
        column.trimSpare();
    return run;
}

void ColumnStage::dropRun()
{
    staged_ = 0;
    std::fill(stageDigits_.begin(), stageDigits_.end(), int8_t(0));
    for (CompressedColumn &column : run_)
        column = CompressedColumn();
}

}  // namespace kavra
