#pragma once
// The edits the item-list commands make to a revision: sorting by name from a
// position, by file order or by median, and removing the rows that match.

#include "items/ItemList.h"

#include <functional>

namespace kavra {

struct DataSet;

// Sort key = the name without its first keyStart characters (empty for names of
// keyStart characters or fewer); sorts by it.
void sortAlphabetically(ItemRevision &revision, int keyStart, int order);
// Sorts by OrigIndex, the file's column order (derived items first when ascending).
void sortInOriginalOrder(ItemRevision &revision, int order);
// Changes the order of the revision's sort; takes effect now if it is sorted.
void setSortOrder(ItemRevision &revision, int order);

// A new revision with every row of `source`, unselected, its text prefixed by
// "(" + median text + ")" and its Median column the median of the item's values
// in rows firstRow..lastRow of the first file, sorted by median in the given order.
ItemRevision medianSorted(const ItemRevision &source, const DataSet &data, int firstRow, int lastRow, int order);

// Removes every row that matches, walking in display order; returns how many.
// visit is told of each row before it is tested, with its 1-based position in
// the list as it shrinks.
int removeRows(ItemRevision &revision, const std::function<bool(ItemRow &)> &matches,
               const std::function<void(const ItemRow &, int)> &visit = {});

// Whether every value of the item's column in the first file is exactly 0.
bool onlyZeros(const DataSet &data, int32_t tag);

// Deselects every row and selects the first, if there is one.
void selectFirstRow(ItemRevision &revision);

}  // namespace kavra
