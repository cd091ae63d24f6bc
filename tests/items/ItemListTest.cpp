#include "items/ItemList.h"

#include <gtest/gtest.h>

using namespace kavra;

namespace {

std::vector<std::string> texts(const ItemRevision &revision)
{
    std::vector<std::string> out;
    for (const auto &row : revision.rows)
        out.push_back(row.text);
    return out;
}

}  // namespace

TEST(ItemRow, CarriesTheLoadedSubItems)
{
    const ItemRow row = makeLoadedItemRow("CPU Busy", 2);
    EXPECT_EQ(row.tag, 2);
    EXPECT_EQ(row.subItems[0], "CPU Busy");
    EXPECT_EQ(row.subItems[1], "00091237.00");
    EXPECT_EQ(row.subItems[2], "000002");
    EXPECT_EQ(row.key, "");
}

TEST(ItemRow, ToolTipsCutNamesBeyondEightyCharacters)
{
    const std::string eighty(80, 'a');
    EXPECT_EQ(itemToolTip(eighty), eighty);
    EXPECT_EQ(itemToolTip(eighty + "b"), std::string(77, 'a') + "...");
}

TEST(ItemRevision, SortedRevisionsCompareWithoutLetterCaseAndKeepTies)
{
    ItemList list;
    ItemRevision &first = list.current();
    for (const char *name : {"disk", "CPU", "Busy", "cpu", "Disk"})
        first.addRow(makeLoadedItemRow(name, 2));
    EXPECT_EQ(texts(first), (std::vector<std::string>{"Busy", "CPU", "cpu", "disk", "Disk"}));
    first.sort.order = 1;
    first.applySort();
    EXPECT_EQ(texts(first), (std::vector<std::string>{"disk", "Disk", "CPU", "cpu", "Busy"}));
}

TEST(ItemRevision, SelectsTheFirstMpSyncItemOrElseTheFirstRow)
{
    ItemRevision revision;
    for (const char *name : {"CPU Busy", "Cpu mpsync", "MP Sync Time"})
        revision.addRow(makeLoadedItemRow(name, 2));
    revision.rows[0].selected = true;
    EXPECT_EQ(revision.selectDefaultItem(), 1);
    EXPECT_EQ(revision.selectedCount(), 1);
    revision.rows.erase(revision.rows.begin() + 1, revision.rows.end());
    EXPECT_EQ(revision.selectDefaultItem(), 0);
    revision.rows.clear();
    EXPECT_EQ(revision.selectDefaultItem(), -1);
}

TEST(ItemList, CopiesKeepRowsAndSelectionButNotSortSettings)
{
    ItemList list;
    for (const char *name : {"B", "A", "C"})
        list.current().addRow(makeLoadedItemRow(name, 2));
    list.current().rows[1].selected = true;
    ASSERT_TRUE(list.copyItemList());
    EXPECT_EQ(list.index(), 1);
    EXPECT_EQ(texts(list.current()), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(list.current().rows[1].selected);
    EXPECT_FALSE(list.current().sort.sorted);
    list.current().rows.erase(list.current().rows.begin());
    list.current().rows[0].selected = false;
    ASSERT_TRUE(list.revert());
    EXPECT_EQ(texts(list.current()), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(list.current().rows[1].selected);
    EXPECT_TRUE(list.current().sort.sorted);
    EXPECT_FALSE(list.revert());
}

TEST(ItemList, ClearKeepsOnlyTheFirstRevisionAndItsSortSettings)
{
    ItemList list;
    list.current().sort.order = 1;
    list.current().addRow(makeLoadedItemRow("A", 2));
    list.copyItemList();
    list.copyItemList();
    list.clear();
    EXPECT_EQ(list.index(), 0);
    EXPECT_TRUE(list.current().rows.empty());
    EXPECT_EQ(list.current().sort.order, 1);
}

TEST(ItemList, RefusesToGrowBeyondItsLimit)
{
    ItemList list;
    while (list.index() < ItemList::kMaxIndex)
        ASSERT_TRUE(list.copyItemList());
    EXPECT_FALSE(list.copyItemList());
    EXPECT_EQ(list.index(), ItemList::kMaxIndex);
}
