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
    : columns_(static_cast<size_t>(std::max(tableColumns, 1))),
      rowsToRead_(static_cast<size_t>(std::max<long long>(rowsToRead, 1)))
{
    stageRows_ = std::min({std::max<size_t>(kCellBudget / columns_, 1), CompressedColumn::kBlockRows, rowsToRead_});
    stage_.assign(stageRows_ * columns_, 0.0);
    stageDigits_.assign(columns_, 0);
    run_.resize(columns_);
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
    // A run's first stage tells the size of the rest, about: room for that is
    // made at once (at most a few dozen stages ahead, in case the first stage
    // packs far worse than the rest).
    constexpr size_t kMostStagesAhead = 64;
    for (size_t c = 0; c < columns_; ++c) {
        // The stage is larger than the core's cache: the next column's stretch is
        // fetched while this one is encoded.
        if (c + 1 < columns_)
            for (size_t r = 0; r < staged_; r += 8)
                __builtin_prefetch(stage_.data() + (c + 1) * stageRows_ + r);
        CompressedColumn &column = run_[c];
        const bool first = column.rows() == 0;
        column.append(stage_.data() + c * stageRows_, staged_, stageDigits_[c]);
        if (first && rowsToRead_ > staged_) {
            const size_t ahead = std::min((rowsToRead_ - staged_ + staged_ - 1) / staged_, kMostStagesAhead);
            column.reserve(column.byteSize() * ahead + ahead * 8, ahead);
        }
    }
    staged_ = 0;
    std::fill(stageDigits_.begin(), stageDigits_.end(), int8_t(0));
}

std::vector<CompressedColumn> ColumnStage::takeRun()
{
    encodeStage();
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
