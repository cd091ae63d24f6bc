#include "data/FileFollower.h"
#include "data/LoaderTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using kavra::FollowSet;

namespace {

const std::string kHead = "NODE1,x\r\n06-DEC-2026,10:00:00\r\nSample Time,CPU Busy,Disk Rate\r\n";
const std::string kThreeRows = kHead + "10:00:00,1,10\r\n10:01:00,2,20\r\n10:02:00,3,30\r\n";

void append(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

class FollowTest : public LoaderFixture, public ::testing::TestWithParam<LoadMode> {
protected:
    void SetUp() override { options = GetParam().options; }

    std::string loadAndFollow(const std::string &name, const std::string &bytes)
    {
        const kavra::LoadOutcome outcome = load(name, bytes);
        EXPECT_TRUE(outcome.loaded) << messageOf(outcome);
        EXPECT_TRUE(outcome.follow);
        if (outcome.follow)
            follow.add(*outcome.follow);
        return dir.file(name);
    }
    kavra::FollowStep step()
    {
        kavra::FollowStep s = follow.step(data, FollowSet::Clock::now() + std::chrono::seconds(10));
        for (const kavra::RowRange &range : s.changed)
            items.derivedItems().computeRows(data, range.file, range.first, range.last);
        return s;
    }
    double value(int row, int column, int file = 1) const { return data.Perf_Data(row, column, file); }

    FollowSet follow;
};

// A record that comes in pieces becomes a row once its terminator is there;
// derived items get values in the new rows too.
TEST_P(FollowTest, ARecordInPiecesBecomesARowWhenComplete)
{
    const std::string path = loadAndFollow("day.csv", kThreeRows);
    items.derivedItems().add(data, {2, 0}, {3, 0}, kavra::Operator::Add);
    append(path, "10:03:00,4,4");
    EXPECT_TRUE(step().changed.empty());
    EXPECT_EQ(data.Row_Count, 3);
    append(path, "0\r\n10:04:00,5,50\r");
    step();
    ASSERT_EQ(data.Row_Count, 4);
    EXPECT_EQ(value(4, 3), 40);
    EXPECT_EQ(value(4, data.Last_Used_Column), 44);
    EXPECT_NEAR(data.sampleTime(4) - data.sampleTime(3), 1.0 / 1440, 1e-9);
    append(path, "\nColumn Average,1,1\r\n10:05:00,6,60\r\n");
    step();
    EXPECT_EQ(data.Row_Count, 5);
    EXPECT_EQ(value(5, data.Last_Used_Column), 55);
    EXPECT_EQ(follow.following(), 0);  // the data ended, as it does at load
}

// A file that changes in a way rows cannot follow stops being followed with a
// message naming it; what was loaded, and rows read before a bad one, stay.
TEST_P(FollowTest, AChangedFileStopsWithAMessageAndKeepsItsRows)
{
    struct Case {
        const char *name;
        void (*change)(const std::string &path);
        std::string message;
        int rows;
    };
    const Case cases[] = {
        {"truncated", [](const std::string &p) { std::ofstream(p, std::ios::trunc); }, "became shorter", 3},
        {"rotated",
         [](const std::string &p) {
             std::rename(p.c_str(), (p + ".1").c_str());
             std::ofstream(p) << kThreeRows << "10:03:00,4,40\r\n";
         },
         "was replaced by another file", 3},
        {"rewritten", [](const std::string &p) { std::ofstream(p) << "NODE2" << kThreeRows.substr(5) << "1\r\n"; },
         "was replaced by another file", 3},
        {"removed", [](const std::string &p) { std::remove(p.c_str()); }, "is gone", 3},
        {"bad value", [](const std::string &p) { append(p, "10:03:00,4,40\r\n10:04:00,N/A,50\r\n10:05:00,6,60\r\n"); },
         "Invalid data ( N/A ) detected in row 10:04:00\r\n", 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        data = {};
        items.clear();
        follow.clear();
        const std::string path = loadAndFollow(std::string(c.name) + ".csv", kThreeRows);
        c.change(path);
        const kavra::FollowStep s = step();
        ASSERT_EQ(s.stops.size(), 1u);
        EXPECT_NE(s.stops[0].message.find(c.message), std::string::npos) << s.stops[0].message;
        EXPECT_NE(s.stops[0].message.find(path), std::string::npos);
        EXPECT_EQ(data.Row_Count, c.rows);
        EXPECT_EQ(value(3, 2), 3);
        EXPECT_EQ(follow.following(), 0);
        append(path, "10:09:00,9,90\r\n");
        EXPECT_TRUE(step().stops.empty());  // said once; the file is left alone
        EXPECT_EQ(data.Row_Count, c.rows);
    }
}

// Rows are matched by position: a later file ahead of the first keeps its rows
// until the first file has rows for them; one behind has zeros there meanwhile.
TEST_P(FollowTest, ALaterFileAheadWaitsForTheFirst)
{
    const std::string first = loadAndFollow("a.csv", kThreeRows);
    const std::string second = loadAndFollow("b.csv", kThreeRows + "10:03:00,7,70\r\n");  // ahead at load
    append(second, "10:04:00,8,80\r\n");
    step();
    EXPECT_EQ(data.Row_Count, 3);
    append(first, "10:03:00,4,40\r\n");
    step();
    ASSERT_EQ(data.Row_Count, 4);
    EXPECT_EQ(value(4, 2, 2), 7);
    append(first, "10:04:00,5,50\r\n10:05:00,6,60\r\n");
    step();
    ASSERT_EQ(data.Row_Count, 6);
    EXPECT_EQ(value(5, 3, 2), 80);
    EXPECT_EQ(value(6, 3, 2), 0);
    append(second, "10:05:00,9,90\r\n");
    step();
    EXPECT_EQ(value(6, 3, 2), 90);
    EXPECT_EQ(value(6, 3, 1), 60);
}

// A last record without its terminator that the load read as a row is read
// again, into the same row, once the rest of it has come.
TEST_P(FollowTest, AnOpenLastRowIsReadAgainWhenComplete)
{
    const std::string path = loadAndFollow("open.csv", kThreeRows + "10:03:00,4,4");
    ASSERT_EQ(data.Row_Count, 4);
    EXPECT_EQ(value(4, 3), 4);
    append(path, "5\r\n10:04:00,5,50\r\n");
    step();
    ASSERT_EQ(data.Row_Count, 5);
    EXPECT_EQ(value(4, 3), 45);
    EXPECT_EQ(value(5, 3), 50);
}

// A record with fewer fields than the header is a row, as at load, and gets
// the load's column-count message, once a file; a file whose load reported one
// gets none.
TEST_P(FollowTest, AShortRecordIsReportedOnceAsLoadingReportsIt)
{
    const std::string path = loadAndFollow("short.csv", kThreeRows);
    append(path, "10:03:00,4\r\n10:04:00,5\r\n");
    const kavra::FollowStep s = step();
    ASSERT_EQ(s.notices.size(), 1u);
    EXPECT_EQ(s.notices[0].message.substr(0, 39), "Column count mismatch in data row #  4\r");
    EXPECT_NE(s.notices[0].message.find("Data Column Count :  2\r"), std::string::npos) << s.notices[0].message;
    EXPECT_TRUE(s.stops.empty());
    ASSERT_EQ(data.Row_Count, 5);
    EXPECT_EQ(value(4, 2), 4);
    EXPECT_EQ(value(4, 3), 0);
    append(path, "10:05:00,6\r\n");
    EXPECT_TRUE(step().notices.empty());

    const std::string reported = loadAndFollow("reported.csv", kThreeRows.substr(0, kHead.size() + 16) + "10:01:00,2\r\n10:02:00,3,30\r\n");
    append(reported, "10:03:00,4\r\n10:04:00,5,50\r\n10:05:00,6,60\r\n10:06:00,7,70\r\n");
    EXPECT_TRUE(step().notices.empty());
}

// A step whose time is up leaves the rest of a large append for the next one,
// reading it on from where it stopped.
TEST_P(FollowTest, ALargeAppendIsReadInSlices)
{
    const std::string path = loadAndFollow("big.csv", kThreeRows);
    std::string records;
    for (int r = 0; r < 12000; ++r)
        records += "11:00:00," + std::to_string(r) + ",123456789\r\n";
    append(path, records);
    kavra::FollowStep s = follow.step(data, FollowSet::Clock::now());
    EXPECT_TRUE(s.more);
    EXPECT_LT(data.Row_Count, 3 + 12000);
    while (s.more)
        s = follow.step(data, FollowSet::Clock::now());
    ASSERT_EQ(data.Row_Count, 3 + 12000);
    EXPECT_EQ(value(3 + 12000, 2), 11999);
}

INSTANTIATE_TEST_SUITE_P(Modes, FollowTest, ::testing::ValuesIn(loadModes()),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace

// A table that grows a few rows at a time, with room made ahead one layer at
// a time, keeps every value where it was and has zeros in its new rows.
TEST(GrowingTable, KeepsValuesAsItsLayersMove)
{
    kavra::PerfData table;
    table.reset(3, 2);
    table.addLayer(table.makeLayer());
    table(3, 2, 2) = 7;
    table(1, 1, 1) = 5;
    for (int rows = 4; rows <= 6000; rows += 50) {
        table.growRows(rows);
        table(rows, 2, 2) = rows;
    }
    EXPECT_EQ(table.rows(), 5954);
    EXPECT_EQ(table(1, 1, 1), 5);
    EXPECT_EQ(table(3, 2, 2), 7);
    EXPECT_EQ(table(5904, 2, 2), 5904);
    EXPECT_EQ(table(5903, 2, 2), 0);
    EXPECT_EQ(table(5954, 1, 1), 0);
}
