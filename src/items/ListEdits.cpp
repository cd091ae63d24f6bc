#include "items/ListEdits.h"

#include "analysis/Median.h"
#include "data/DataSet.h"

#include <algorithm>

namespace kavra {

void sortAlphabetically(ItemRevision &revision, int keyStart, int order)
{
    // Position P drops the first P characters: with P = 3, zzzA (key A) sorts
    // before abcX (key X); a name of P characters or fewer has an empty key.
    const size_t dropped = size_t(std::max(0, keyStart));
    for (ItemRow &row : revision.rows) {
        row.subItems[SortKeyColumn - 1] = dropped < row.text.size() ? row.text.substr(dropped) : std::string();
        row.subItemToolTips[SortKeyColumn - 1] = row.subItems[SortKeyColumn - 1];
    }
    revision.sort = {true, SortKeyColumn, order};
    revision.applySort();
}

void sortInOriginalOrder(ItemRevision &revision, int order)
{
    revision.sort = {true, OrigIndexColumn, order};
    revision.applySort();
}

void setSortOrder(ItemRevision &revision, int order)
{
    revision.sort.order = order;
    revision.applySort();
}

ItemRevision medianSorted(const ItemRevision &source, const DataSet &data, int firstRow, int lastRow, int order)
{
    ItemRevision result;
    result.sort = {true, PerfDataItemColumn, order, true};
    result.rows.reserve(source.rows.size());
    const int first = std::max(1, firstRow), last = std::min(int(data.Row_Count), lastRow);
    const size_t count = last >= first ? size_t(last - first + 1) : 0;
    std::vector<double> values(count);  // one column at a time, decoded past the cache
    for (const ItemRow &row : source.rows) {
        ItemRow sorted = row;
        sorted.selected = false;
        sorted.hasMedian = true;
        if (count)
            data.Perf_Data.decode(row.tag, 1, first, int(count), values.data());
        sorted.median = count ? analysis::median(values.data(), count) : 0;
        const std::string m = medianText(sorted.median);
        sorted.text = "(" + m + ")" + row.text;
        sorted.subItems[MedianColumn - 1] = m;
        sorted.subItemToolTips = sorted.subItems;
        sorted.subItemToolTips[SortKeyColumn - 1] = row.subItemToolTips[SortKeyColumn - 1];
        result.rows.push_back(std::move(sorted));
    }
    result.applySort();
    return result;
}

int removeRows(ItemRevision &revision, const std::function<bool(ItemRow &)> &matches,
               const std::function<void(const ItemRow &, int)> &visit)
{
    int removed = 0;
    std::vector<ItemRow> kept;
    kept.reserve(revision.rows.size());
    for (ItemRow &row : revision.rows) {
        if (visit)  // its place in the list as rows are taken out before it
            visit(row, int(kept.size()) + 1);
        if (matches(row))
            ++removed;
        else
            kept.push_back(std::move(row));
    }
    revision.rows = std::move(kept);
    return removed;
}

bool onlyZeros(const DataSet &data, int32_t tag)
{
    return data.Perf_Data.zeros(tag, 1, 1, data.Row_Count);
}

void selectFirstRow(ItemRevision &revision)
{
    for (ItemRow &row : revision.rows)
        row.selected = false;
    if (!revision.rows.empty())
        revision.rows.front().selected = true;
}

}  // namespace kavra
