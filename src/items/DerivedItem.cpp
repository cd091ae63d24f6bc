#include "items/DerivedItem.h"

#include "data/DataSet.h"

#include <algorithm>

namespace kavra {
namespace {

double apply(double a, double b, Operator op)
{
    switch (op) {
    case Operator::Add: return a + b;
    case Operator::Subtract: return a - b;
    case Operator::Multiply: return a * b;
    case Operator::Divide: return b != 0 ? a / b : 0;
    }
    return 0;
}

// Which Perf_Data columns hold values of one file: the first file holds every
// column (its items and the derived items made from them); a later file the
// columns its own columns were matched to, and the derived items whose operands
// it holds, which the caller adds as it goes.
std::vector<bool> loadedColumns(const DataSet &data, int file)
{
    const size_t columns = size_t(data.Perf_Data.columns());
    std::vector<bool> held(columns + 1, file == 1);
    if (file == 1)
        return held;
    for (int k = 1; k <= data.Column_Map.fileColumns(); ++k)
        if (const int32_t c = data.Column_Map(k, file); c > 0 && size_t(c) <= columns)
            held[size_t(c)] = true;
    return held;
}

bool holds(const std::vector<bool> &held, const Operand &operand)
{
    return operand.column <= 0 || (size_t(operand.column) < held.size() && held[size_t(operand.column)]);
}

// Fills the item's column of one file, zeros when the file lacks an operand;
// returns whether the file now holds the item.
// Rows first to last, 0-based and exclusive of last; all rows unless given. The
// values are worked out a block of rows at a time: a whole column goes into the
// table compressed, a few rows (those a followed file adds) are written in place.
bool compute(DataSet &data, const DerivedItem &item, int file, const std::vector<bool> &held, int first = 0,
             int last = -1)
{
    if (last < 0)
        last = data.Row_Count;
    const bool whole = first == 0 && last == data.Row_Count;
    const bool holdsOperands = holds(held, item.a) && holds(held, item.b);
    constexpr int kRows = int(CompressedColumn::kBlockRows);
    std::vector<double> left(kRows), right(kRows), out(kRows);
    CompressedColumn column;
    for (int r = first; r < last; r += kRows) {
        const int n = std::min(kRows, last - r);
        if (!holdsOperands) {
            std::fill_n(out.begin(), n, 0.0);
        } else {
            if (item.a.column > 0)
                data.Perf_Data.decode(item.a.column, file, r + 1, n, left.data());
            if (item.b.column > 0)
                data.Perf_Data.decode(item.b.column, file, r + 1, n, right.data());
            for (int i = 0; i < n; ++i)
                out[size_t(i)] = apply(item.a.column > 0 ? left[size_t(i)] : item.a.number,
                                       item.b.column > 0 ? right[size_t(i)] : item.b.number, item.op);
        }
        if (whole)
            column.append(out.data(), size_t(n));
        else
            data.Perf_Data.write(item.column, file, r + 1, out.data(), n);
    }
    if (whole) {
        column.shrinkToFit();
        data.Perf_Data.setColumn(item.column, file, std::move(column));
    }
    return holdsOperands;
}

int filesHeld(const DataSet &data)
{
    return std::min(int(data.Files_Open), data.Perf_Data.files());
}

}  // namespace

int32_t DerivedItems::add(DataSet &data, const Operand &a, const Operand &b, Operator op)
{
    // Not Column_Count + 1: Column_Count is the header count of the file loaded
    // last, which may be below a derived item's column or beyond the table (a
    // wider later file's extra columns are not stored).
    const int32_t column = data.Last_Used_Column + 1;
    if (column > data.Perf_Data.columns())
        data.Perf_Data.addColumns(std::max(kSpareColumns, column - data.Perf_Data.columns()));
    data.Column_Count = column;
    data.Last_Used_Column = column;
    const DerivedItem item{column, a, b, op};
    for (int file = 1; file <= std::max(1, filesHeld(data)); ++file) {
        std::vector<bool> held = loadedColumns(data, file);
        for (const DerivedItem &earlier : items_)  // which earlier derived items the file holds
            held[size_t(earlier.column)] = holds(held, earlier.a) && holds(held, earlier.b);
        compute(data, item, file, held);
    }
    items_.push_back(item);
    return column;
}

void DerivedItems::computeFor(DataSet &data, int file) const { computeRows(data, file, 1, data.Row_Count); }

void DerivedItems::computeRows(DataSet &data, int file, int firstRow, int lastRow) const
{
    if (file < 1 || file > data.Perf_Data.files())
        return;
    firstRow = std::max(firstRow, 1);
    lastRow = std::min<int>(lastRow, data.Row_Count);
    if (firstRow > lastRow)
        return;
    std::vector<bool> held = loadedColumns(data, file);
    for (const DerivedItem &item : items_)  // in the order made: an operand comes before its use
        held[size_t(item.column)] = compute(data, item, file, held, firstRow - 1, lastRow);
}

}  // namespace kavra
