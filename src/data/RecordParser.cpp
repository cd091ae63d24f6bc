#include "data/RecordParser.h"

#include "data/DataError.h"
#include "data/FieldReader.h"
#include "data/LoadFailure.h"
#include "data/Text.h"

#include <algorithm>

namespace kavra {

int RecordParser::read(std::string_view record, double *row)
{
    const std::vector<int32_t> &columnMap = *layout_.columnMap;
    size_t start = 0;
    int j = 0;
    std::string_view sampleTimeText;
    while (j < layout_.columnCount) {
        ++j;
        const int column = columnMap[static_cast<size_t>(j - 1)];
        if (j > 1 && column != 0) {
            const size_t length = readPlainDecimal(record.substr(start), row[column - 1]);
            if (length != std::string_view::npos) {
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
            double &cell = row[column - 1];
            cell = 0;
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
    return j;
}

int RowBlock::rowsFor(int tableColumns, long long rowsToRead)
{
    const size_t withinBudget = kCellBudget / static_cast<size_t>(std::max(tableColumns, 1));
    return static_cast<int>(std::clamp<long long>(
        std::min<long long>(rowsToRead, static_cast<long long>(std::min<size_t>(withinBudget, kMaxRows))), 1,
        kMaxRows));
}

RowBlock::RowBlock(int tableColumns, double *target, size_t height, int rows)
    : columns_(static_cast<size_t>(tableColumns)), target_(target), height_(height), rows_(rows),
      cells_(static_cast<size_t>(rows) * columns_, 0.0)
{
}

void RowBlock::flush(int firstRow, int rows)
{
    if (rows <= 0)
        return;
    for (size_t c = 0; c < columns_; ++c) {
        double *target = target_ + c * height_ + static_cast<size_t>(firstRow);
        const double *source = cells_.data() + c;
        for (int r = 0; r < rows; ++r)
            target[r] = source[static_cast<size_t>(r) * columns_];
    }
    clear(rows);
}

void RowBlock::clear(int rows)
{
    if (rows > 0)
        std::fill_n(cells_.begin(), static_cast<size_t>(rows) * columns_, 0.0);
}

}  // namespace kavra
