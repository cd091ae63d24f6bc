#pragma once
// The item list and its revisions. A command that prunes the list first pushes a
// copy of the current revision and prunes the copy; Revert drops the top revision
// and shows the one below again, exactly as it was.

#include "items/DerivedItem.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace kavra {

enum ItemColumn { PerfDataItemColumn = 0, SortKeyColumn = 1, MedianColumn = 2, OrigIndexColumn = 3 };

struct ItemRow {
    std::string text;     // the item name; after a median sort prefixed by the median
    int32_t tag = 0;      // the item's column in Perf_Data
    std::string key;      // empty for loaded items, the name for derived items
    std::string toolTip;  // the name, cut to 77 characters and "..." beyond 80
    bool selected = false;
    std::array<std::string, 3> subItems;  // "SortKey", "Median", "OrigIndex"
    std::array<std::string, 3> subItemToolTips;
    double median = 0;       // the median kept with the row by the median sort
    bool hasMedian = false;  // whether the median sort gave the row its median

    // The text shown in a column: 0 the item, 1 to 3 the sub-items.
    const std::string &columnText(int column) const { return column == 0 ? text : subItems[column - 1]; }
};

struct SortSettings {
    bool sorted = false;
    int column = PerfDataItemColumn;
    int order = 0;  // 0 ascending, 1 descending
    // A median-sorted list orders the rows that carry a median by it (then by
    // text): the median text in front of the names sorts right only for medians
    // from 0 to 99999999.99. A row without one (an item made after the sort)
    // goes where its text puts it among the others' texts.
    bool byMedian = false;
};

// One revision of the list: its rows in display order and its sort settings.
// While sorted, rows are kept in order of the sort column's text, compared without
// regard to letter case; rows that compare equal keep their order.
class ItemRevision {
public:
    std::vector<ItemRow> rows;
    SortSettings sort;

    // Adds a row, at its sorted place while the revision is sorted.
    void addRow(ItemRow row);
    // Orders the rows by the current sort settings (does nothing while unsorted).
    void applySort();
    int selectedCount() const;
    // Selects the first row whose name holds "MP SYNC" or "MPSYNC" (any letter
    // case), else the first row, and deselects the rest; returns its index or -1.
    int selectDefaultItem();
};

// The text of a median in the list: at least eight digits before the point, two
// after, halves rounded away from zero ("00001234.50", "-00001234.50").
std::string medianText(double median);

// A row for a loaded column: the name, the column number and the sub-items a
// freshly loaded item carries.
ItemRow makeLoadedItemRow(const std::string &name, int32_t tag);
// The tooltip of a name: the name itself, or its first 77 characters and "..."
// when it is longer than 80.
std::string itemToolTip(const std::string &name);

// The revision stack lvwKavra(0..List_View_Index).
class ItemList {
public:
    // The highest index the stack can reach.
    static constexpr int kMaxIndex = 32767;

    ItemList();

    int index() const { return static_cast<int>(revisions_.size()) - 1; }
    ItemRevision &current() { return revisions_.back(); }
    const ItemRevision &current() const { return revisions_.back(); }
    ItemRevision &revision(int i) { return revisions_[static_cast<size_t>(i)]; }
    const ItemRevision &revision(int i) const { return revisions_[static_cast<size_t>(i)]; }

    // Copy_Item_List: pushes a copy of the current revision (rows in display order,
    // selection kept, no sort settings). Refused, with nothing changed, at the limit.
    bool copyItemList();
    // Pushes a revision made elsewhere (the median sort); refused at the limit.
    bool push(ItemRevision revision);
    // Drops the top revision; false when only the first one exists.
    bool revert();
    // Drops every revision above the first and empties the first, keeping its
    // sort settings; forgets the derived items.
    void clear();

    // Adds a new item's row to every revision, at its sorted place in each sorted
    // one: a Revert never takes a derived item away, and its column stays in use.
    void addToEveryRevision(const ItemRow &row);
    // Whether any revision has a row of this text.
    bool hasRowNamed(const std::string &text) const;

    // How the derived items of the data set shown were made.
    DerivedItems &derivedItems() { return derived_; }
    const DerivedItems &derivedItems() const { return derived_; }

private:
    // A deque: revisions stay where they are while others are pushed, so the view
    // of the current one never points at moved memory.
    std::deque<ItemRevision> revisions_;
    DerivedItems derived_;
};

}  // namespace kavra
