// The edits behind the item-list commands: the sorts, the median sort, the
// removal walk, the zero test, the median itself and derived items.

#include "items/ListEdits.h"
#include "analysis/Median.h"
#include "data/LoaderTestSupport.h"
#include "items/DerivedItem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace kavra;

namespace {

using Names = std::vector<std::string>;

Names texts(const ItemRevision &revision)
{
    Names out;
    for (const ItemRow &row : revision.rows)
        out.push_back(row.text);
    return out;
}

// Loaded rows named as given, with tags 2, 3, ... in that order.
ItemRevision loadedRows(const Names &names)
{
    ItemRevision revision;
    int32_t tag = 1;
    for (const std::string &name : names)
        revision.rows.push_back(makeLoadedItemRow(name, ++tag));
    return revision;
}

// A row as a derived item makes it: no sub-item texts, key = name.
ItemRow derivedRow(const std::string &name, int32_t tag)
{
    ItemRow row;
    row.text = name;
    row.tag = tag;
    row.key = name;
    row.toolTip = name;
    return row;
}

// A one-file data set: column 1 the sample times, items[k] the values of column k + 2,
// with the spare columns a loaded file gets.
DataSet dataSet(const std::vector<std::vector<double>> &items)
{
    DataSet data;
    const int rows = items.empty() ? 1 : int(items.front().size());
    const int columns = int(items.size()) + 1;
    data.Perf_Data.reset(rows, columns + kSpareColumns);
    data.Row_Count = rows;
    data.Column_Count = columns;
    data.Last_Used_Column = columns;
    data.Files_Open = 1;
    for (int r = 1; r <= rows; ++r) {
        data.Perf_Data(r, 1, 1) = 46000 + r / 1440.0;
        for (size_t k = 0; k < items.size(); ++k)
            data.Perf_Data(r, int(k) + 2, 1) = items[k][size_t(r - 1)];
    }
    return data;
}

std::vector<double> columnValues(const DataSet &data, int column, int file = 1)
{
    const double *values = data.Perf_Data.column(column, file);
    return std::vector<double>(values, values + data.Row_Count);
}

double medianOf(std::vector<double> values) { return analysis::median(values.data(), values.size()); }

}  // namespace

// ---- Alphabetical sort ----------------------------------------------------------

TEST(AlphabeticalSort, TheKeyIsTheNameWithoutItsFirstPCharacters)
{
    // Position 1 drops the first character.
    ItemRevision names = loadedRows({"Cache Hit Ratio", "Batch Jobs Active", "active users"});
    sortAlphabetically(names, 1, 0);
    EXPECT_EQ(texts(names), (Names{"Cache Hit Ratio", "Batch Jobs Active", "active users"}));
    EXPECT_EQ(names.rows[1].subItems[0], "atch Jobs Active");

    ItemRevision revision = loadedRows({"abcX", "zzzA"});
    sortAlphabetically(revision, 3, 0);  // keys X and A
    EXPECT_EQ(texts(revision), (Names{"zzzA", "abcX"}));
    EXPECT_EQ(revision.rows[0].subItems[0], "A");
    EXPECT_EQ(revision.rows[1].subItems[0], "X");
    EXPECT_EQ(revision.rows[0].subItemToolTips[0], "A");
    EXPECT_TRUE(revision.sort.sorted);
    EXPECT_EQ(revision.sort.column, SortKeyColumn);
    EXPECT_EQ(revision.sort.order, 0);
    // The other columns keep their texts.
    EXPECT_EQ(revision.rows[0].subItems[1], "00091238.00");
    EXPECT_EQ(revision.rows[0].subItems[2], "000003");

    sortAlphabetically(revision, 3, 1);
    EXPECT_EQ(texts(revision), (Names{"abcX", "zzzA"}));
    sortAlphabetically(revision, 2, 0);  // keys cX and zA
    EXPECT_EQ(texts(revision), (Names{"abcX", "zzzA"}));
    EXPECT_EQ(revision.rows[0].subItems[0], "cX");

    // Position 10 drops the first ten characters.
    ItemRevision ten = loadedRows({"0123456789zb", "9876543210aa"});
    sortAlphabetically(ten, 10, 0);
    EXPECT_EQ(texts(ten), (Names{"9876543210aa", "0123456789zb"}));
    EXPECT_EQ(ten.rows[0].subItems[0], "aa");
}

TEST(AlphabeticalSort, NamesOfPCharactersOrFewerGetAnEmptyKeyAndComeFirst)
{
    ItemRevision revision = loadedRows({"aaaaB", "zzzz", "aaaaA", "zz", ""});
    sortAlphabetically(revision, 4, 0);
    EXPECT_EQ(texts(revision), (Names{"zzzz", "zz", "", "aaaaA", "aaaaB"}));
    EXPECT_EQ(revision.rows[0].subItems[0], "");
    EXPECT_EQ(revision.rows[1].subItems[0], "");
    EXPECT_EQ(revision.rows[3].subItems[0], "A");
    sortAlphabetically(revision, 4, 1);
    EXPECT_EQ(texts(revision), (Names{"aaaaB", "aaaaA", "zzzz", "zz", ""}));
}

TEST(AlphabeticalSort, KeysCompareWithoutLetterCaseAndTiesKeepTheirOrder)
{
    ItemRevision revision = loadedRows({"1b", "2X", "3a", "4x", "5B"});
    sortAlphabetically(revision, 1, 0);
    EXPECT_EQ(texts(revision), (Names{"3a", "1b", "5B", "2X", "4x"}));
    sortAlphabetically(revision, 1, 1);
    EXPECT_EQ(texts(revision), (Names{"2X", "4x", "1b", "5B", "3a"}));
}

// ---- Original order and sort order ----------------------------------------------

TEST(OriginalOrder, FollowsTheColumnsWithDerivedItemsFirstWhenAscending)
{
    ItemRevision revision;
    revision.rows.push_back(makeLoadedItemRow("Beta", 12));
    revision.rows.push_back(derivedRow("New One", 40));
    revision.rows.push_back(makeLoadedItemRow("Alpha", 9));
    revision.rows.push_back(makeLoadedItemRow("Gamma", 100));
    sortInOriginalOrder(revision, 0);
    EXPECT_EQ(texts(revision), (Names{"New One", "Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(revision.sort.column, OrigIndexColumn);
    sortInOriginalOrder(revision, 1);
    EXPECT_EQ(texts(revision), (Names{"Gamma", "Beta", "Alpha", "New One"}));
}

TEST(SortOrder, AppliesAtOnceToASortedListButWaitsForTheNextSortOnACopy)
{
    ItemList list;
    for (const char *name : {"Carl", "anna", "Bert"})
        list.current().addRow(makeLoadedItemRow(name, int32_t(list.current().rows.size()) + 2));
    ASSERT_EQ(texts(list.current()), (Names{"anna", "Bert", "Carl"}));
    setSortOrder(list.current(), 1);
    EXPECT_EQ(texts(list.current()), (Names{"Carl", "Bert", "anna"}));
    setSortOrder(list.current(), 0);

    ASSERT_TRUE(list.copyItemList());
    setSortOrder(list.current(), 1);
    EXPECT_EQ(texts(list.current()), (Names{"anna", "Bert", "Carl"}));
    EXPECT_FALSE(list.current().sort.sorted);
    // Original order: Carl 2, anna 3, Bert 4.
    sortInOriginalOrder(list.current(), 1);
    EXPECT_EQ(texts(list.current()), (Names{"Bert", "anna", "Carl"}));
}

// ---- Median sort ------------------------------------------------------------------

TEST(MedianSort, PrefixesEachRowWithItsMedianAndFillsTheMedianColumn)
{
    const DataSet data = dataSet({{1000, 1234, 1235, 2000}, {5, 5, 5, 5}});
    ItemRevision source = loadedRows({"Disk Rate", "CPU Busy"});
    source.rows[0].selected = true;
    source.rows[1].selected = true;
    source.rows[0].key = "key kept";
    const ItemRevision before = source;

    const ItemRevision sorted = medianSorted(source, data, 1, 4, 0);
    ASSERT_EQ(sorted.rows.size(), 2u);
    EXPECT_EQ(texts(sorted), (Names{"(00000005.00)CPU Busy", "(00001234.50)Disk Rate"}));
    const ItemRow &disk = sorted.rows[1];
    EXPECT_EQ(disk.subItems[1], "00001234.50");
    EXPECT_EQ(disk.subItemToolTips[1], "00001234.50");
    EXPECT_DOUBLE_EQ(disk.median, 1234.5);
    EXPECT_EQ(disk.tag, 2);
    EXPECT_EQ(disk.key, "key kept");
    EXPECT_EQ(disk.toolTip, "Disk Rate");
    EXPECT_EQ(disk.subItems[0], "Disk Rate");
    EXPECT_EQ(disk.subItems[2], "000002");
    for (const ItemRow &row : sorted.rows)
        EXPECT_FALSE(row.selected) << row.text;
    EXPECT_TRUE(sorted.sort.sorted);
    EXPECT_EQ(sorted.sort.order, 0);
    // The source revision is not touched.
    EXPECT_EQ(texts(source), texts(before));
    EXPECT_TRUE(source.rows[0].selected);

    EXPECT_EQ(medianText(1234.5), "00001234.50");
    EXPECT_EQ(medianText(0), "00000000.00");
    EXPECT_EQ(medianText(123456789.25), "123456789.25");
    EXPECT_EQ(medianText(2.5), "00000002.50");
}

TEST(MedianSort, TheMedianTextHasEightDigitsBeforeThePointAndRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(medianText(-1234.5), "-00001234.50");
    EXPECT_EQ(medianText(-0.25), "-00000000.25");
    EXPECT_EQ(medianText(-123456789.25), "-123456789.25");
    // Exact halves of a hundredth.
    EXPECT_EQ(medianText(0.125), "00000000.13");
    EXPECT_EQ(medianText(-0.125), "-00000000.13");
    EXPECT_EQ(medianText(1000000.375), "01000000.38");
    // 2.675 is stored a little below the half, 0.0049 is not a half at all.
    EXPECT_EQ(medianText(2.675), "00000002.67");
    EXPECT_EQ(medianText(-0.0049), "00000000.00");
    // A loaded row's placeholder uses the same text.
    EXPECT_EQ(makeLoadedItemRow("A", 2).subItems[1], "00091237.00");
}

TEST(MedianSort, ANewItemInAMedianSortedListGoesWhereItsTextPutsIt)
{
    const DataSet data = dataSet({{3, 3}, {-5, -5}, {10, 10}});
    for (int order : {0, 1}) {
        SCOPED_TRACE(order);
        ItemRevision sorted = medianSorted(loadedRows({"Three", "Minus Five", "Ten"}), data, 1, 2, order);
        // Its name has no median in front, so it sorts after every "(" in ascending order.
        sorted.addRow(derivedRow("New", 5));
        sorted.addRow(derivedRow("!First", 6));
        const Names ascending = {"!First", "(-00000005.00)Minus Five", "(00000003.00)Three", "(00000010.00)Ten", "New"};
        EXPECT_EQ(texts(sorted), order == 0 ? ascending : Names(ascending.rbegin(), ascending.rend()));
        setSortOrder(sorted, 1 - order);
        EXPECT_EQ(texts(sorted), order == 1 ? ascending : Names(ascending.rbegin(), ascending.rend()));
    }
}

TEST(MedianSort, OrdersByTheMedianValueAlsoForNegativeAndHugeMedians)
{
    const std::vector<double> medians = {3, -5, 250000000, 99999999.99, -1000, 100000000, 0.5};
    std::vector<std::vector<double>> items;
    Names names;
    for (size_t k = 0; k < medians.size(); ++k) {
        items.push_back({medians[k], medians[k], medians[k]});
        names.push_back("Item " + std::to_string(k));
    }
    const DataSet data = dataSet(items);
    const ItemRevision source = loadedRows(names);

    const auto order = [](const ItemRevision &revision) {
        std::vector<double> values;
        for (const ItemRow &row : revision.rows)
            values.push_back(row.median);
        return values;
    };
    const std::vector<double> ascending = {-1000, -5, 0.5, 3, 99999999.99, 100000000, 250000000};
    EXPECT_EQ(order(medianSorted(source, data, 1, 3, 0)), ascending);
    const std::vector<double> descending(ascending.rbegin(), ascending.rend());
    EXPECT_EQ(order(medianSorted(source, data, 1, 3, 1)), descending);

    // A later change of order keeps to the medians.
    ItemRevision sorted = medianSorted(source, data, 1, 3, 0);
    setSortOrder(sorted, 1);
    EXPECT_EQ(order(sorted), descending);
}

TEST(MedianSort, OnlyTheGivenRowsCount)
{
    const DataSet data = dataSet({{100, 100, 1, 2, 3, 100}, {-7, 8, 9, 10, 11, -7}});
    const ItemRevision sorted = medianSorted(loadedRows({"A", "B"}), data, 3, 5, 0);
    EXPECT_EQ(texts(sorted), (Names{"(00000002.00)A", "(00000010.00)B"}));
    const ItemRevision all = medianSorted(loadedRows({"A", "B"}), data, 1, 6, 0);
    EXPECT_EQ(texts(all), (Names{"(00000008.50)B", "(00000051.50)A"}));
}

TEST(MedianSort, EqualMediansAreOrderedByNameWithoutLetterCase)
{
    const DataSet data = dataSet({{7, 7}, {1, 1}, {7, 7}, {7, 7}});
    const ItemRevision source = loadedRows({"beta", "low", "Alpha", "Gamma"});
    EXPECT_EQ(texts(medianSorted(source, data, 1, 2, 0)),
              (Names{"(00000001.00)low", "(00000007.00)Alpha", "(00000007.00)beta", "(00000007.00)Gamma"}));
    EXPECT_EQ(texts(medianSorted(source, data, 1, 2, 1)),
              (Names{"(00000007.00)Gamma", "(00000007.00)beta", "(00000007.00)Alpha", "(00000001.00)low"}));
}

// ---- The median -------------------------------------------------------------------

TEST(Median, MiddleValueOrMeanOfTheTwoMiddleValues)
{
    EXPECT_DOUBLE_EQ(medianOf({5, 1, 3}), 3);
    EXPECT_DOUBLE_EQ(medianOf({4, 1, 3, 2}), 2.5);
    EXPECT_DOUBLE_EQ(medianOf({-4, 10, -8, 6}), 1);
    EXPECT_DOUBLE_EQ(medianOf({9}), 9);
    EXPECT_DOUBLE_EQ(medianOf({2, 2, 2, 9, 9}), 2);
    EXPECT_DOUBLE_EQ(medianOf({0, 0, 0, 0, 1, 1}), 0);
}

TEST(Median, NaNIsLeftOutAndNoValuesGiveZero)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_DOUBLE_EQ(medianOf({nan, 1, nan, 3, 2}), 2);
    EXPECT_DOUBLE_EQ(medianOf({nan, 4, 1}), 2.5);
    EXPECT_DOUBLE_EQ(medianOf({}), 0);
    EXPECT_DOUBLE_EQ(medianOf({nan, nan}), 0);
}

TEST(Median, TheMeanOfHugeMiddleValuesDoesNotOverflow)
{
    const double max = std::numeric_limits<double>::max();
    EXPECT_DOUBLE_EQ(medianOf({max, max}), max);
    EXPECT_DOUBLE_EQ(medianOf({1.5e308, 1.7e308}), 1.6e308);
    EXPECT_DOUBLE_EQ(medianOf({-1.5e308, -1.7e308}), -1.6e308);
    EXPECT_DOUBLE_EQ(medianOf({-max, max}), 0);
    EXPECT_NEAR(medianOf({-1.5e308, 1.7e308, 1.75e308, -1.6e308}), 1e307, 1e295);
}

// ---- Removing ---------------------------------------------------------------------

TEST(RemoveRows, EveryMatchingRowGoesAlsoWhenMatchesFollowEachOther)
{
    ItemRevision revision = loadedRows({"Z1", "Z2", "A", "Z3", "Z4", "B", "Z5"});
    const auto isZ = [](const ItemRow &row) { return row.text[0] == 'Z'; };
    EXPECT_EQ(removeRows(revision, isZ), 5);
    EXPECT_EQ(texts(revision), (Names{"A", "B"}));
    EXPECT_EQ(revision.rows[1].tag, 7);

    EXPECT_EQ(removeRows(revision, isZ), 0);
    EXPECT_EQ(texts(revision), (Names{"A", "B"}));
    EXPECT_EQ(removeRows(revision, [](const ItemRow &) { return true; }), 2);
    EXPECT_TRUE(revision.rows.empty());
    EXPECT_EQ(removeRows(revision, [](const ItemRow &) { return true; }), 0);
}

TEST(RemoveRows, VisitsEachRowOnceAtItsPositionInTheShrinkingList)
{
    ItemRevision revision = loadedRows({"Z1", "Z2", "A", "Z3", "B"});
    Names visited;
    std::vector<int> positions;
    removeRows(
        revision, [](const ItemRow &row) { return row.text[0] == 'Z'; },
        [&](const ItemRow &row, int position) {
            visited.push_back(row.text);
            positions.push_back(position);
        });
    EXPECT_EQ(visited, (Names{"Z1", "Z2", "A", "Z3", "B"}));
    // A removed row's place is taken by the next one, which is visited there.
    EXPECT_EQ(positions, (std::vector<int>{1, 1, 1, 2, 2}));
}

TEST(OnlyZeros, EveryRowOfTheFirstFileMustBeExactlyZero)
{
    DataSet data = dataSet({{0, 0, 0, 0}, {0, 0, 0, 1e-300}, {7, 0, 0, 0}, {-0.0, 0, 0, 0}, {0, -1, 0, 0}});
    EXPECT_TRUE(onlyZeros(data, 2));
    EXPECT_FALSE(onlyZeros(data, 3));
    EXPECT_FALSE(onlyZeros(data, 4));
    EXPECT_TRUE(onlyZeros(data, 5));
    EXPECT_FALSE(onlyZeros(data, 6));
    // Values of a later file do not count.
    kavra::PerfData::Layer layer = data.Perf_Data.makeLayer();
    std::fill(layer.begin(), layer.end(), 5.0);
    data.Perf_Data.addLayer(std::move(layer));
    EXPECT_TRUE(onlyZeros(data, 2));
}

// ---- Derived items ----------------------------------------------------------------

TEST(DerivedItem, TheFourOperatorsRowByRowWithZeroForADivisionByZero)
{
    DataSet data = dataSet({{1, 2, 3, -4}, {2, 0, 4, -1}});
    DerivedItems made;
    const Operand a{2, 0}, b{3, 0};
    EXPECT_EQ(made.add(data, a, b, Operator::Add), 4);
    EXPECT_EQ(made.add(data, a, b, Operator::Subtract), 5);
    EXPECT_EQ(made.add(data, a, b, Operator::Multiply), 6);
    EXPECT_EQ(made.add(data, a, b, Operator::Divide), 7);
    EXPECT_EQ(data.Column_Count, 7);
    EXPECT_EQ(data.Last_Used_Column, 7);
    EXPECT_EQ(columnValues(data, 4), (std::vector<double>{3, 2, 7, -5}));
    EXPECT_EQ(columnValues(data, 5), (std::vector<double>{-1, 2, -1, -3}));
    EXPECT_EQ(columnValues(data, 6), (std::vector<double>{2, 0, 12, 4}));
    EXPECT_EQ(columnValues(data, 7), (std::vector<double>{0.5, 0, 0.75, 4}));
    // The operands are left as they were.
    EXPECT_EQ(columnValues(data, 2), (std::vector<double>{1, 2, 3, -4}));
    EXPECT_EQ(columnValues(data, 3), (std::vector<double>{2, 0, 4, -1}));
}

TEST(DerivedItem, NumbersAndDerivedItemsAsOperands)
{
    DataSet data = dataSet({{1500, 0, -250}});
    DerivedItems made;
    const int32_t perK = made.add(data, {2, 0}, {-1, 1000}, Operator::Divide);
    EXPECT_EQ(columnValues(data, perK), (std::vector<double>{1.5, 0, -0.25}));
    const int32_t rest = made.add(data, {-1, 100}, {2, 0}, Operator::Subtract);
    EXPECT_EQ(columnValues(data, rest), (std::vector<double>{-1400, 100, 350}));
    const int32_t constant = made.add(data, {-1, 6}, {-1, 7}, Operator::Multiply);
    EXPECT_EQ(columnValues(data, constant), (std::vector<double>{42, 42, 42}));
    const int32_t byZero = made.add(data, {-1, 6}, {-1, 0}, Operator::Divide);
    EXPECT_EQ(columnValues(data, byZero), (std::vector<double>{0, 0, 0}));
    const int32_t ofDerived = made.add(data, {perK, 0}, {rest, 0}, Operator::Add);
    EXPECT_EQ(columnValues(data, ofDerived), (std::vector<double>{-1398.5, 100, 349.75}));
    EXPECT_EQ(ofDerived, 7);
}

TEST(DerivedItem, MoreItemsThanSpareColumnsGrowTheTableAndKeepEveryValue)
{
    DataSet data = dataSet({{1, 2, 3}, {10, 20, 30}});
    DerivedItems made;
    const int loadedColumns = data.Perf_Data.columns();
    ASSERT_EQ(loadedColumns, 3 + kSpareColumns);
    std::vector<int32_t> columns;
    for (int k = 1; k <= 2 * kSpareColumns + 1; ++k)
        columns.push_back(made.add(data, {2, 0}, {-1, double(k)}, Operator::Multiply));
    EXPECT_GT(data.Perf_Data.columns(), loadedColumns);
    EXPECT_GE(data.Perf_Data.columns(), 3 + 2 * kSpareColumns + 1);
    for (int k = 1; k <= int(columns.size()); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(columns[size_t(k - 1)], 3 + k);
        EXPECT_EQ(columnValues(data, columns[size_t(k - 1)]), (std::vector<double>{1.0 * k, 2.0 * k, 3.0 * k}));
    }
    EXPECT_EQ(columnValues(data, 3), (std::vector<double>{10, 20, 30}));
    EXPECT_DOUBLE_EQ(data.Perf_Data(3, 1, 1), 46000 + 3 / 1440.0);
}

namespace {

class DerivedAfterLaterFile : public ::testing::Test, public LoaderFixture {};

}  // namespace

TEST_F(DerivedAfterLaterFile, ANewItemNeverOverwritesAnEarlierColumn)
{
    const std::string first = "NODE1,x\r\n06-DEC-2026,10:00:00\r\nSample Time,A,B,C,D\r\n"
                              "06-DEC-2026 10:00:00,1,2,3,4\r\n10:01:00,5,6,7,8\r\n";
    const std::string second = "NODE1,x\r\n07-DEC-2026,10:00:00\r\nSample Time,B\r\n"
                               "07-DEC-2026 10:00:00,60\r\n10:01:00,70\r\n";
    ASSERT_TRUE(load("first.csv", first).loaded);
    const int32_t tenA = items.derivedItems().add(data, {2, 0}, {-1, 10}, Operator::Multiply);
    EXPECT_EQ(tenA, 6);
    ASSERT_TRUE(load("second.csv", second).loaded);
    ASSERT_EQ(data.Files_Open, 2);
    ASSERT_LT(data.Column_Count, tenA);

    const int32_t sum = items.derivedItems().add(data, {2, 0}, {5, 0}, Operator::Add);
    EXPECT_EQ(sum, 7);
    EXPECT_EQ(columnValues(data, sum), (std::vector<double>{5, 13}));
    EXPECT_EQ(columnValues(data, tenA), (std::vector<double>{10, 50}));
    for (int c = 2; c <= 5; ++c)
        EXPECT_EQ(columnValues(data, c), (std::vector<double>{double(c - 1), double(c + 3)})) << c;
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 3, 2), 70);
}

TEST_F(DerivedAfterLaterFile, AWiderLaterFileLeavesNewItemsInsideTheTable)
{
    const std::string first = "NODE1,x\r\n06-DEC-2026,10:00:00\r\nSample Time,A,B,C\r\n"
                              "06-DEC-2026 10:00:00,1,2,3\r\n10:01:00,4,5,6\r\n";
    // 60 columns: B, which the first file has, and 58 it has not.
    std::string header = "Sample Time,B", row1 = "07-DEC-2026 10:00:00,20", row2 = "10:01:00,50";
    for (int k = 1; k <= 58; ++k) {
        header += ",Extra " + std::to_string(k);
        row1 += "," + std::to_string(k);
        row2 += "," + std::to_string(k);
    }
    const std::string second = "NODE2,x\r\n07-DEC-2026,10:00:00\r\n" + header + "\r\n" + row1 + "\r\n" + row2 + "\r\n";
    ASSERT_TRUE(load("first.csv", first).loaded);
    ASSERT_TRUE(load("second.csv", second).loaded);
    ASSERT_EQ(data.Files_Open, 2);
    EXPECT_EQ(itemNames(), (std::vector<std::string>{"A", "B", "C"}));

    std::vector<int32_t> made;
    for (int k = 1; k <= kSpareColumns + 2; ++k) {
        made.push_back(items.derivedItems().add(data, {2, 0}, {-1, double(k)}, Operator::Multiply));
        ASSERT_LE(made.back(), data.Perf_Data.columns());
    }
    EXPECT_EQ(made.front(), 5);  // the column after the first file's last
    for (int k = 1; k <= int(made.size()); ++k)
        EXPECT_EQ(columnValues(data, made[size_t(k - 1)]), (std::vector<double>{1.0 * k, 4.0 * k})) << k;
    for (int c = 2; c <= 4; ++c)
        EXPECT_EQ(columnValues(data, c), (std::vector<double>{double(c - 1), double(c + 2)})) << c;
    EXPECT_EQ(data.Perf_Data(1, 3, 2), 20);
    EXPECT_EQ(data.Perf_Data(2, 3, 2), 50);
}

// Each file holds a derived item's own values: files loaded before it was made
// and after, with their columns in another order, and a file without an operand.
TEST_F(DerivedAfterLaterFile, EveryFileHoldsTheItemsOwnValues)
{
    const auto file = [](const std::string &header, const std::string &row1, const std::string &row2) {
        return "NODE1,x\r\n06-DEC-2026,10:00:00\r\nSample Time," + header + "\r\n06-DEC-2026 10:00:00," + row1 +
               "\r\n10:01:00," + row2 + "\r\n";
    };
    ASSERT_TRUE(load("1.csv", file("A,B,C", "8,2,1", "9,3,0")).loaded);
    ASSERT_TRUE(load("2.csv", file("C,B,A", "5,4,20", "7,0,30")).loaded);
    DerivedItems &made = items.derivedItems();
    const int32_t ratio = made.add(data, {2, 0}, {3, 0}, Operator::Divide);           // A / B
    const int32_t scaled = made.add(data, {ratio, 0}, {-1, 10}, Operator::Multiply);  // A / B * 10
    ASSERT_TRUE(load("3.csv", file("C,A", "6,40", "6,50")).loaded);                   // no B
    ASSERT_TRUE(load("4.csv", file("B,A,C,D", "2,12,3,1", "4,8,1,1")).loaded);
    const int32_t diff = made.add(data, {4, 0}, {2, 0}, Operator::Subtract);  // C - A
    const std::vector<std::vector<double>> expected[] = {{{4, 3}, {5, 0}, {0, 0}, {6, 2}},
                                                         {{40, 30}, {50, 0}, {0, 0}, {60, 20}},
                                                         {{-7, -9}, {-15, -23}, {-34, -44}, {-9, -7}}};
    const int32_t columns[] = {ratio, scaled, diff};
    for (int k = 0; k < 3; ++k)
        for (int f = 1; f <= 4; ++f)
            EXPECT_EQ(columnValues(data, columns[k], f), expected[k][size_t(f - 1)]) << "item " << k << ", file " << f;
}
