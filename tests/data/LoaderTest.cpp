#include "data/LoaderTestSupport.h"
#include "data/TimeStrings.h"

#include <gtest/gtest.h>

using namespace kavra;

namespace {

const std::string kPlain = "NODE1,Collection of the day\r\n"
                           "06-DEC-2026,10:00:00\r\n"
                           "Sample Time,CPU Busy,Disk Rate\r\n"
                           "06-DEC-2026 10:00:00,12.5,3K\r\n"
                           "10:01:00,13,2.5K\r\n"
                           "Column Average,12.75,2750\r\n";

double at(int h, int m) { return timestr::dateSerial(2026, 12, 6) + (h * 60 + m) / 1440.0; }

class Loading : public ::testing::TestWithParam<LoadMode>, public LoaderFixture {
protected:
    void SetUp() override { options = GetParam().options; }
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(ThreadModes, Loading, ::testing::ValuesIn(loadModes()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_P(Loading, ReadsThePlainLayout)
{
    const LoadOutcome outcome = load("a.csv", kPlain);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(data.Files_Open, 1);
    EXPECT_EQ(data.Row_Count, 2);
    EXPECT_EQ(data.Column_Count, 3);
    EXPECT_EQ(data.Node_Name, "NODE1");
    EXPECT_EQ(data.Node_Names[0], "NODE1");
    EXPECT_EQ(data.Collection_Date_Text, "06-DEC-2026");
    EXPECT_EQ(data.Line1, "NODE1,Collection of the day");
    EXPECT_EQ(data.Perf_Data.columns(), 3 + kSpareColumns);
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 1, 1), at(10, 0));
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 1, 1), at(10, 1));
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 2, 1), 12.5);
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 3, 1), 3000);
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 3, 1), 2500);
    EXPECT_DOUBLE_EQ(data.sampleTime(2), at(10, 1));
    EXPECT_EQ(itemNames(), (std::vector<std::string>{"CPU Busy", "Disk Rate"}));
    const ItemRow &first = items.current().rows[0];
    EXPECT_EQ(first.tag, 2);
    EXPECT_EQ(first.subItems[1], "00091237.00");
    EXPECT_EQ(first.subItems[2], "000002");
}

TEST_P(Loading, ReadsTheBlockLayoutWithLineFeeds)
{
    const std::string block = ",NODE2,x\n,06-DEC-2026\nsomething\n$$$ START COLUMN HEADERS $$$\n"
                              "Sample Time,mp sync\n\"Disk 'A'\"\n$$$ END COLUMN HEADERS $$$\n"
                              "06-DEC-2026 10:00:00,1,2\n10:01:00,3,4\n";
    const LoadOutcome outcome = load("b.csv", block);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(data.Node_Name, "NODE2");
    EXPECT_EQ(data.Collection_Date_Text, "06-DEC-2026");
    EXPECT_EQ(itemNames(), (std::vector<std::string>{"Disk A", "mp sync"}));
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 3, 1), 4);
    EXPECT_EQ(items.current().selectDefaultItem(), 1);
}

TEST_P(Loading, ReportsEachStepInTheStatusPanel)
{
    ASSERT_TRUE(load("a.csv", kPlain).loaded);
    const std::string path = dir.file("a.csv");
    const std::vector<std::string> expected = {
        "Opening file " + path + " - please wait ... ",
        "Extracting column headings from " + path + " ... 1",
        "Extracting column headings from " + path + " ... 2",
        "Extracting column headings from " + path + " ... 3",
        "Counting number of rows of data in " + path,
        "ReDimensioning the data array - please wait ... ",
        "Extracting data from " + path + " ... ",
        "Fixing up time strings ... ",
    };
    EXPECT_EQ(statuses, expected);
}

TEST_P(Loading, SampleTimeColumnsGiveNoItemAndNoValues)
{
    ASSERT_TRUE(load("a.csv", "N,x\nd\nSample Time,A,sample time 2,B\n10:00,1,10:00,2\n10:01,3,10:01,4\n").loaded);
    EXPECT_EQ(itemNames(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(data.Column_Count, 4);
    EXPECT_EQ(data.Column_Map(3, 1), 0);
    EXPECT_EQ(data.Perf_Data(1, 3, 1), 0);
    EXPECT_EQ(data.Perf_Data(2, 4, 1), 4);
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 1, 1), timestr::fallbackDate() + 10 / 24.0);
}

TEST_P(Loading, DataEndsAtColumnAverageOrNulButNotLowerCase)
{
    ASSERT_TRUE(load("a.csv", "N,x\nd\nSample Time,A\n10:00,1\n10:01,2\nColumn Average,1\n10:02,3\n").loaded);
    EXPECT_EQ(data.Row_Count, 2);
    data = DataSet();
    items.clear();
    ASSERT_TRUE(load("b.csv", "N,x\nd\nSample Time,A\n10:00,1\n10:01,2\ncolumn average,1\n").loaded == false);
}

TEST_P(Loading, ShortRecordsGiveOneDiagnosticAndLoadingGoesOn)
{
    const std::string file = "N,x\n06-DEC-2026\nSample Time,A,B\n10:00,1\n10:01,2\n10:02,3\n10:03,4\n";
    ASSERT_TRUE(load("a.csv", file).loaded);
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0], std::string(kMismatchTitle) +
                                  "|Column count mismatch in data row #  1\r\n"
                                  "       Column Header count :  3\r\n"
                                  "         Data Column Count :  2\r\n\r\n"
                                  "Column Header Sections start in the following columns :\r\n"
                                  " 1 ...  3\r\n\r\n"
                                  "Whereas Data Sections seem to start in these columns :\r\n"
                                  " 1 ...  2");
    EXPECT_EQ(data.Perf_Data(4, 2, 1), 4);
    EXPECT_EQ(data.Perf_Data(4, 3, 1), 0);
}

// The earlier edition's rules, which its program passes to the loader.
TEST_P(Loading, TheEarlierEditionReadsAValueThatBreaksTheSyntaxAsItsLeadingNumber)
{
    options.edition = Edition::Classic;
    const LoadOutcome outcome =
        load("a.csv", "N,x\r\n06-DEC-2026\r\nSample Time,A,B,C,D\r\n"
                      "10:00:00,12abc,N/A,1.2.3,-45.0x\r\n10:01:00,.5Q,+7 and so,--3,1\r\n");
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 2, 1), 12);
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 3, 1), 0);
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 4, 1), 1.2);
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 5, 1), -45);
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 2, 1), 0.5);
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 3, 1), 7);
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 4, 1), 0);
}

TEST_P(Loading, TheEarlierEditionReportsNoShortRecords)
{
    options.edition = Edition::Classic;
    ASSERT_TRUE(load("a.csv", "N,x\r\nd\r\nSample Time,A,B\r\n10:00:00,1\r\n10:01:00,2\r\n10:02:00,3\r\n").loaded);
    EXPECT_TRUE(diagnostics.empty());
    EXPECT_EQ(data.Perf_Data(1, 3, 1), 0);
}

TEST_P(Loading, TheLastRowIsNeverDiagnosedAndExtraFieldsAreIgnored)
{
    ASSERT_TRUE(load("a.csv", "N,x\nd\nSample Time,A,B\n10:00,1,2,99\n10:01,3\n").loaded);
    EXPECT_TRUE(diagnostics.empty());
    EXPECT_EQ(data.Perf_Data(1, 3, 1), 2);
}

TEST_P(Loading, LaterFilesAreMatchedByName)
{
    ASSERT_TRUE(load("a.csv", kPlain).loaded);
    const std::string second = "NODE2,x\r\n06-DEC-2026\r\nSample Time,Disk Rate,Other,CPU Busy\r\n"
                               "10:00:00,7,8,9\r\n10:01:00,10,11,12\r\n10:02:00,13,14,15\r\n";
    ASSERT_TRUE(load("b.csv", second).loaded);
    EXPECT_EQ(data.Files_Open, 2);
    EXPECT_EQ(data.Row_Count, 2);
    EXPECT_EQ(data.Column_Count, 4);
    EXPECT_EQ(data.Node_Name, "NODE2");
    EXPECT_EQ(data.File_Names[0], dir.file("a.csv"));
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 2, 2), 9);
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 3, 2), 10);
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 2, 1), 12.5);  // the first layer is untouched
    EXPECT_EQ(data.Column_Map(1, 2), 0);
    EXPECT_EQ(data.Column_Map(3, 2), 0);
    EXPECT_EQ(data.Column_Map(4, 2), 2);  // a later file may have more columns than the first
    EXPECT_EQ(itemNames(), (std::vector<std::string>{"CPU Busy", "Disk Rate"}));
}

TEST_P(Loading, SixteenFilesAtMost)
{
    for (int i = 0; i < kFileLimit; ++i)
        ASSERT_TRUE(load("f" + std::to_string(i) + ".csv", kPlain).loaded);
    EXPECT_FALSE(load("g.csv", kPlain).loaded);
    EXPECT_EQ(data.Files_Open, kFileLimit);
}

class RejectedFiles : public ::testing::TestWithParam<std::tuple<Rejection, LoadMode>>, public LoaderFixture {
protected:
    void SetUp() override { options = std::get<1>(GetParam()).options; }
    const Rejection &rejection() const { return std::get<0>(GetParam()); }
};

TEST_P(RejectedFiles, ShowTheirMessageAndLeaveTheDataSetAsItWas)
{
    ASSERT_TRUE(load("good.csv", kPlain).loaded);
    const std::vector<std::string> namesBefore = itemNames();
    const LoadOutcome outcome = load("bad.csv", rejection().bytes);
    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.message.substr(0, rejection().message.size()), rejection().message);
    EXPECT_EQ(outcome.closeAllFiles, rejection().closesAll);
    EXPECT_EQ(data.Files_Open, 1);
    EXPECT_EQ(data.Perf_Data.files(), 1);
    EXPECT_EQ(data.Column_Count, 3);
    EXPECT_EQ(data.Node_Name, "NODE1");
    EXPECT_EQ(data.Column_Map(3, 2), 0);
    EXPECT_EQ(itemNames(), namesBefore);
}

INSTANTIATE_TEST_SUITE_P(Loader, RejectedFiles,
                         ::testing::Combine(::testing::ValuesIn(rejectedFiles()), ::testing::ValuesIn(loadModes())),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

TEST_P(Loading, AFolderOrAMissingFileIsAnOpenError)
{
    ItemLoader loader(data, items, *this, options);
    const LoadOutcome folder = loader.load(dir.path());
    EXPECT_FALSE(folder.loaded);
    EXPECT_NE(folder.message.find("generated while opening file"), std::string::npos);
    EXPECT_EQ(folder.title, "");
    const LoadOutcome missing = loader.load(dir.file("missing.csv"));
    EXPECT_EQ(missing.message, "Error : No such file or directory generated while opening file");
    EXPECT_EQ(data.Files_Open, 0);
}

TEST_P(Loading, TheFirstFileNeedsTwoDataRows)
{
    const LoadOutcome one = load("a.csv", "N,x\nd\nSample Time,A\n10:00,1\n");
    EXPECT_EQ(one.message, "Insufficient data in file");
    EXPECT_EQ(one.title, kOpenFileTitle);
    EXPECT_TRUE(one.closeAllFiles);
    EXPECT_TRUE(items.current().rows.empty());
    EXPECT_TRUE(load("b.csv", "N,x\nd\nSample Time,A\n10:00,1\n10:01,2\n").loaded);
}

TEST_P(Loading, AnUnreadableSampleTimeClosesAllFiles)
{
    const LoadOutcome outcome = load("a.csv", "N,x\nd\nSample Time,CPU Busy\n10:00,1\n\n10:01,1\n");
    EXPECT_EQ(outcome.message,
              "Error - Type mismatch: '0' is not a time of day - generated while extracting data from file");
    EXPECT_EQ(outcome.title, "");
    EXPECT_TRUE(outcome.closeAllFiles);
}

TEST_P(Loading, FirstFileFailuresCloseEverything)
{
    const LoadOutcome outcome = load("a.csv", "N,x\nd\nSample Time,A\n10:00,1\n10:01,X\n");
    EXPECT_TRUE(outcome.closeAllFiles);
    EXPECT_EQ(outcome.title, kOpenFileTitle);
    EXPECT_TRUE(items.current().rows.empty());
    EXPECT_EQ(data.Files_Open, 0);
}

TEST_P(Loading, ANulInTheFirstRecordDoesNotConfuseTheReader)
{
    const std::string file = std::string("N\0DE,x\n", 7) + "d\nSample Time,A\n10:00,1\n10:01,2\n";
    ASSERT_TRUE(load("a.csv", file).loaded);
    EXPECT_EQ(data.Node_Name, std::string("N\0DE", 4));
}

TEST_P(Loading, ManyColumnsAndLongRecordsInCrLfFiles)
{
    std::string header = "N,x\r\nd\r\nSample Time", row1 = "10:00", row2 = "10:01";
    for (int c = 0; c < 10000; ++c) {
        header += ",Item " + std::to_string(c);
        row1 += ",1";
        row2 += ",2.5";
    }
    ASSERT_TRUE(load("wide.csv", header + "\r\n" + row1 + "\r\n" + row2 + "\r\n").loaded);
    EXPECT_EQ(data.Column_Count, 10001);
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 10001, 1), 2.5);
}

TEST_P(Loading, AMillionRows)
{
    std::string file = "N,x\nd\nSample Time,A\n";
    file.reserve(16000000);
    for (int r = 0; r < 1000000; ++r)
        file += "10:00:00," + std::to_string(r % 97) + "\n";
    ASSERT_TRUE(load("long.csv", file).loaded);
    EXPECT_EQ(data.Row_Count, 1000000);
    EXPECT_EQ(data.Perf_Data(1000000, 2, 1), 999999 % 97);
}

TEST_P(Loading, AOneMegabyteRecordInACrLfFileIsReadWhole)
{
    std::string header = "N,x\r\nd\r\nSample Time,A\r\n";
    const std::string longTail(1 << 20, '9');
    ASSERT_TRUE(load("big.csv", header + "10:00:00,1," + longTail + "\r\n10:01:00,2\r\n").loaded);
    EXPECT_EQ(data.Perf_Data(1, 2, 1), 1);
}
