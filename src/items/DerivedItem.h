#pragma once
// Items built from two operands, each an item's values or a number.

#include <cstdint>
#include <vector>

namespace kavra {

struct DataSet;

struct Operand {
    int32_t column = -1;  // the item's Perf_Data column, or -1 for the number
    double number = 0;
};

enum class Operator { Add = 0, Subtract = 1, Multiply = 2, Divide = 3 };

// How a derived item is made: the column it fills and what it is computed from.
struct DerivedItem {
    int32_t column = 0;
    Operand a, b;
    Operator op = Operator::Add;
};

// The derived items of a data set in the order they were made. Each holds its
// values in every loaded file, and is computed again for every file loaded after
// it, so a series of it in any file shows its real values. A file that lacks an
// operand item has no values of the derived item either: its column stays zero
// there, as any item the file lacks.
class DerivedItems {
public:
    // Computes a op b row by row (a division by zero gives 0) for every loaded file
    // into the column after the data set's last used one and returns that column.
    // When the spare columns are used up the table grows by another batch of them.
    int32_t add(DataSet &data, const Operand &a, const Operand &b, Operator op);
    // Computes every derived item for a file that has just been loaded.
    void computeFor(DataSet &data, int file) const;
    // The same for rows firstRow to lastRow of a file, which got new values.
    void computeRows(DataSet &data, int file, int firstRow, int lastRow) const;

    const std::vector<DerivedItem> &items() const { return items_; }
    void clear() { items_.clear(); }

private:
    std::vector<DerivedItem> items_;
};

}  // namespace kavra
