#include "items/ItemList.h"

#include "data/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <strings.h>

namespace kavra {
namespace {

// Whether row a goes before row b under the given settings.
bool sortsBefore(const ItemRow &a, const ItemRow &b, const SortSettings &sort)
{
    int cmp = 0;
    if (sort.byMedian && sort.column == PerfDataItemColumn && a.hasMedian && b.hasMedian && a.median != b.median)
        cmp = a.median < b.median ? -1 : 1;
    else
        cmp = strcasecmp(a.columnText(sort.column).c_str(), b.columnText(sort.column).c_str());
    return sort.order == 1 ? cmp > 0 : cmp < 0;
}

}  // namespace

std::string medianText(double median)
{
    // The product of a double and 100 is exact in long double, so the rounding
    // sees the value's true hundredths.
    const long double cents = std::round(static_cast<long double>(median) * 100.0L);
    if (!std::isfinite(median) || std::fabs(cents) >= 9e18L) {
        char text[400];
        std::snprintf(text, sizeof text, "%011.2f", median);
        return text;
    }
    const long long whole = std::llround(cents);
    const unsigned long long magnitude =
        whole < 0 ? 0ULL - static_cast<unsigned long long>(whole) : static_cast<unsigned long long>(whole);
    char text[64];
    std::snprintf(text, sizeof text, "%s%08llu.%02llu", whole < 0 ? "-" : "", magnitude / 100, magnitude % 100);
    return text;
}

std::string itemToolTip(const std::string &name)
{
    return text::characters(name) > 80 ? text::shortened(name, 77) : name;
}

ItemRow makeLoadedItemRow(const std::string &name, int32_t tag)
{
    ItemRow row;
    row.text = name;
    row.tag = tag;
    row.toolTip = itemToolTip(name);
    const std::string median = medianText(static_cast<double>(tag) + 91235.0);
    char origIndex[32];
    std::snprintf(origIndex, sizeof origIndex, "%06d", static_cast<int>(tag));
    row.subItems = {name, median, origIndex};
    row.subItemToolTips = {row.toolTip, median, origIndex};
    return row;
}

void ItemRevision::addRow(ItemRow row)
{
    if (!sort.sorted) {
        rows.push_back(std::move(row));
        return;
    }
    const auto at = std::upper_bound(rows.begin(), rows.end(), row,
                                     [this](const ItemRow &a, const ItemRow &b) { return sortsBefore(a, b, sort); });
    rows.insert(at, std::move(row));
}

void ItemRevision::applySort()
{
    if (sort.sorted)
        std::stable_sort(rows.begin(), rows.end(),
                         [this](const ItemRow &a, const ItemRow &b) { return sortsBefore(a, b, sort); });
}

int ItemRevision::selectedCount() const
{
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const ItemRow &r) { return r.selected; }));
}

int ItemRevision::selectDefaultItem()
{
    int chosen = -1;
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].selected = false;
        const std::string name = text::upperCased(rows[i].text);
        if (chosen < 0 && (name.find("MP SYNC") != std::string::npos || name.find("MPSYNC") != std::string::npos))
            chosen = static_cast<int>(i);
    }
    if (chosen < 0 && !rows.empty())
        chosen = 0;
    if (chosen >= 0)
        rows[static_cast<size_t>(chosen)].selected = true;
    return chosen;
}

ItemList::ItemList()
{
    revisions_.emplace_back();
    revisions_.front().sort = {true, SortKeyColumn, 0};
}

bool ItemList::copyItemList()
{
    if (index() >= kMaxIndex)
        return false;
    ItemRevision copy;
    copy.rows = current().rows;
    for (ItemRow &row : copy.rows)
        row.subItemToolTips = row.subItems;
    revisions_.push_back(std::move(copy));
    return true;
}

bool ItemList::push(ItemRevision revision)
{
    if (index() >= kMaxIndex)
        return false;
    revisions_.push_back(std::move(revision));
    return true;
}

bool ItemList::revert()
{
    if (revisions_.size() <= 1)
        return false;
    revisions_.pop_back();
    return true;
}

void ItemList::clear()
{
    revisions_.resize(1);
    revisions_.front().rows.clear();
    derived_.clear();
}

void ItemList::addToEveryRevision(const ItemRow &row)
{
    for (ItemRevision &revision : revisions_)
        revision.addRow(row);
}

bool ItemList::hasRowNamed(const std::string &text) const
{
    for (const ItemRevision &revision : revisions_)
        for (const ItemRow &row : revision.rows)
            if (row.text == text)
                return true;
    return false;
}

}  // namespace kavra
