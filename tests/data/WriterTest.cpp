#include "items/ListFiles.h"
#include "data/LoaderTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

using namespace kavra;

namespace {

const std::string kFile = "NODE1,Collection of the day\r\n"
                          "06-DEC-2026,10:00:00\r\n"
                          "Sample Time,CPU Busy,Disk Rate,Neg\r\n"
                          "06-DEC-2026 00:00:00,12.5,3K,-3\r\n"
                          "00:01:00,0,.25,-5.5\r\n"
                          "00:02:00,1E15,1.5E-5,7\r\n";

class Writing : public ::testing::Test, public LoaderFixture {
protected:
    void SetUp() override { ASSERT_TRUE(load("a.csv", kFile).loaded); }

    std::string written(SaveRange range)
    {
        std::ostringstream out;
        writeDataFile(out, data, items.current(), range);
        return out.str();
    }
};

}  // namespace

TEST_F(Writing, WritesTheShortLayoutWithSignedNumbers)
{
    EXPECT_EQ(written({1, 3, 1}), "NODE1,Collection of the day\r\n"
                                  "Sample Time,CPU Busy,Disk Rate,Neg\r\n"
                                  "06-DEC-2026, 12.5, 3000,-3\r\n"
                                  "06-DEC-2026 00:01:00, 0, .25,-5.5\r\n"
                                  "06-DEC-2026 00:02:00, 1E+15, 1.5E-05, 7\r\n");
}

TEST_F(Writing, WritesOnlyTheListedItemsAndTheDisplayedRows)
{
    items.copyItemList();
    auto &rows = items.current().rows;
    rows.erase(rows.begin());
    std::swap(rows[0], rows[1]);
    EXPECT_EQ(written({2, 2, 1}), "NODE1,Collection of the day\r\n"
                                  "Sample Time,Neg,Disk Rate\r\n"
                                  "06-DEC-2026 00:01:00,-5.5, .25\r\n");
}

TEST_F(Writing, ASavedFileLoadsBackToTheSameData)
{
    ASSERT_EQ(saveDataFile(dir.file("saved.csv"), data, items.current(), {1, 3, 1}), "");
    LoaderFixture again;
    ASSERT_TRUE(again.load("copy.csv", dir.read("saved.csv")).loaded);
    EXPECT_EQ(again.itemNames(), itemNames());
    ASSERT_EQ(again.data.Row_Count, data.Row_Count);
    for (int r = 1; r <= data.Row_Count; ++r) {
        EXPECT_NEAR(again.data.sampleTime(r), data.sampleTime(r), 1e-9) << "row " << r;
        for (const ItemRow &row : items.current().rows)
            EXPECT_EQ(again.data.Perf_Data(r, row.tag, 1), data.Perf_Data(r, row.tag, 1)) << row.text << " row " << r;
    }
    EXPECT_EQ(again.data.Line1, data.Line1);
}

TEST_F(Writing, TheSavedFileNamesTheNodeWhoseValuesItHolds)
{
    for (int f = 2; f <= 16; ++f) {
        std::string other = kFile;
        other.replace(0, 5, "NODE" + std::to_string(f));
        ASSERT_TRUE(load("f" + std::to_string(f) + ".csv", other).loaded) << f;
    }
    for (int f : {1, 2, 16}) {
        SCOPED_TRACE(f);
        ASSERT_EQ(saveDataFile(dir.file("saved.csv"), data, items.current(), {1, 3, f}), "");
        LoaderFixture again;
        ASSERT_TRUE(again.load("copy.csv", dir.read("saved.csv")).loaded);
        EXPECT_EQ(again.data.Node_Names[0], "NODE" + std::to_string(f));
        EXPECT_EQ(again.data.Perf_Data(1, 2, 1), data.Perf_Data(1, 2, f));
    }
}

TEST_F(Writing, AFailedSaveLeavesTheExistingFileAlone)
{
    const std::string target = dir.write("keep.csv", "precious");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
    const std::string error = saveDataFile(target, data, items.current(), {1, 3, 1});
    ::chmod(dir.path().c_str(), 0700);
    if (::geteuid() != 0) {  // root may write anywhere
        EXPECT_NE(error, "");
    }
    if (!error.empty()) {
        EXPECT_EQ(dir.read("keep.csv"), "precious");
    }
    EXPECT_NE(saveDataFile(dir.path(), data, items.current(), {1, 3, 1}), "");
    EXPECT_NE(saveDataFile(dir.file("no/such/folder.csv"), data, items.current(), {1, 3, 1}), "");
}

// Values between -1 and 0 are written without the zero before the point
// ("-.75"); the loader must read them back in both thread modes.
TEST(WritingFractions, NegativeFractionsBelowOneLoadBack)
{
    const std::vector<double> values = {-0.75, -0.5, -0.001, -1.5E-05, 0.25, -0.999999999999999};
    std::string file = "NODE1,x\r\n06-DEC-2026,10:00:00\r\nSample Time,A\r\n";
    for (size_t i = 0; i < values.size(); ++i)
        file += "10:0" + std::to_string(i) + ":00," + std::to_string(values[i]) + "\r\n";
    for (const LoadMode &mode : loadModes()) {
        SCOPED_TRACE(mode.name);
        LoaderFixture first;
        first.options = mode.options;
        ASSERT_TRUE(first.load("a.csv", file).loaded);
        for (size_t i = 0; i < values.size(); ++i)
            first.data.Perf_Data(int(i) + 1, 2, 1) = values[i];
        ASSERT_EQ(saveDataFile(first.dir.file("saved.csv"), first.data, first.items.current(),
                               {1, int(values.size()), 1}),
                  "");
        EXPECT_NE(first.dir.read("saved.csv").find(",-.75\r\n"), std::string::npos);
        LoaderFixture again;
        again.options = mode.options;
        const LoadOutcome outcome = again.load("copy.csv", first.dir.read("saved.csv"));
        ASSERT_TRUE(outcome.loaded) << messageOf(outcome);
        for (size_t i = 0; i < values.size(); ++i)
            EXPECT_DOUBLE_EQ(again.data.Perf_Data(int(i) + 1, 2, 1), values[i]) << values[i];
    }
}
