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

}  // namespace

int32_t addDerivedItem(DataSet &data, const Operand &a, const Operand &b, Operator op)
{
    // Not Column_Count + 1: Column_Count is the header count of the file loaded
    // last, which may be below a derived item's column or beyond the table (a
    // wider later file's extra columns are not stored).
    const int32_t column = data.Last_Used_Column + 1;
    if (column > data.Perf_Data.columns())
        data.Perf_Data.addColumns(std::max(kSpareColumns, column - data.Perf_Data.columns()));
    data.Column_Count = column;
    data.Last_Used_Column = column;
    double *target = data.Perf_Data.column(column, 1);
    const double *left = a.column > 0 ? data.Perf_Data.column(a.column, 1) : nullptr;
    const double *right = b.column > 0 ? data.Perf_Data.column(b.column, 1) : nullptr;
    for (int r = 0; r < data.Row_Count; ++r)
        target[r] = apply(left ? left[r] : a.number, right ? right[r] : b.number, op);
    return column;
}

}  // namespace kavra
