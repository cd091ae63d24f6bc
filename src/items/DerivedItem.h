#pragma once
// Items built from two operands, each an item's values or a number.

#include <cstdint>

namespace kavra {

struct DataSet;

struct Operand {
    int32_t column = -1;  // the item's Perf_Data column, or -1 for the number
    double number = 0;
};

enum class Operator { Add = 0, Subtract = 1, Multiply = 2, Divide = 3 };

// Computes a op b row by row for the first file into the next column of the data
// set (a division by zero gives 0) and returns that column. When the spare
// columns are used up the table grows by another batch of them.
int32_t addDerivedItem(DataSet &data, const Operand &a, const Operand &b, Operator op);

}  // namespace kavra
