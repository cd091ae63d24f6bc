#include "data/LoaderTestSupport.h"
#include "data/TimeStrings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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
    ASSERT_TRUE(outcome.loaded) << messageOf(outcome);
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
    ASSERT_TRUE(outcome.loaded) << messageOf(outcome);
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

// Where the data begins and what becomes an item: the data pass starts at the
// record after the header the reader found, and column 1 is the sample time
// whatever it is called.
TEST_P(Loading, TheDataStartsAfterTheHeaderFoundAndColumnOneIsNeverAnItem)
{
    struct Case {
        const char *name;
        std::string bytes;
        std::vector<std::string> items;  // empty: the file fails with message
        std::vector<double> firstItem;   // its values, row by row
        std::string message;
    };
    const std::vector<Case> cases = {
        {"NodeRecordNamingTheHeader",
         "NODE1,Vesk collector,Sample Time 60s\nd\nSample Time,A\n10:00,1\n10:01,2\n",
         {"A"},
         {1, 2},
         ""},
        {"BlockHeaderCalledTime",
         "N,x\nd\n$$$ START COLUMN HEADERS $$$\nTime,A\nB\n$$$ END COLUMN HEADERS $$$\n"
         "10:00,1,5\n10:01,2,6\n",
         {"A", "B"},
         {1, 2},
         ""},
        {"PlainHeaderCalledTime", "N,x\nd\nTime,CPU Busy\n10:00,1\n10:01,3\n", {"CPU Busy"}, {1, 3}, ""},
        {"EndMarkerInTheNodeRecord",
         "N,$$$ END COLUMN HEADERS $$$\nd\n$$$ START COLUMN HEADERS $$$\nSample Time,A\n"
         "$$$ END COLUMN HEADERS $$$\n10:00,7\n10:01,8\n",
         {"A"},
         {7, 8},
         ""},
        // A preamble record taken as the header: the real header is then a data
        // record, whose time cannot be read (no row of zeros dated 1899 is added).
        {"PreambleTakenAsHeader",
         "N,x\nd\nCollection start time,10:00\nSample Time,A\n10:00,1\n10:01,2\n",
         {},
         {},
         "Error - Type mismatch: 'TIME' is not a time of day - generated while extracting data from file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        data = DataSet();
        items.clear();
        const LoadOutcome outcome = load("a.csv", c.bytes);
        if (c.items.empty()) {
            EXPECT_EQ(messageOf(outcome), c.message);
            EXPECT_EQ(data.Files_Open, 0);
            continue;
        }
        ASSERT_TRUE(outcome.loaded) << messageOf(outcome);
        EXPECT_EQ(itemNames(), c.items);
        ASSERT_EQ(data.Row_Count, int(c.firstItem.size()));
        const int column = items.current().rows[0].tag;
        for (int r = 1; r <= data.Row_Count; ++r)
            EXPECT_EQ(data.Perf_Data(r, column, 1), c.firstItem[size_t(r - 1)]) << "row " << r;
        EXPECT_EQ(data.sampleTime(1), timestr::fallbackDate() + 10 / 24.0);
    }
}

// A later file's column named as the first file's column 1 is not matched to it.
TEST_P(Loading, ALaterFileNeverFeedsTheSampleTimeColumn)
{
    ASSERT_TRUE(load("a.csv", "N,x\nd\n$$$ START COLUMN HEADERS $$$\nTime,A\n$$$ END COLUMN HEADERS $$$\n"
                              "10:00,1\n10:01,2\n")
                    .loaded);
    ASSERT_TRUE(load("b.csv", "N,x\nd\nSample Time,Time,A\n10:00,5,6\n10:01,7,8\n").loaded);
    EXPECT_EQ(data.Column_Map(2, 2), 0);
    EXPECT_EQ(data.Column_Map(3, 2), 2);
    EXPECT_EQ(data.Perf_Data(2, 2, 2), 8);
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

// A file cut off inside its last record: that record is not a row, and the user
// is told once. A complete last record without a terminator is a row as before.
TEST_P(Loading, ACutOffLastRecordIsLeftOutAndReportedOnce)
{
    const std::string head = "N,x\n06-DEC-2026\nSample Time,A,B\n10:00,1,1K\n10:01,2,2K\n";
    const std::string cutOff = "The last record is incomplete and was left out";
    struct Case {
        const char *name;
        std::string first, later;     // later empty: the case loads the first file only
        int rows;                     // rows of the file looked at
        std::vector<double> lastRow;  // its last row's values A and B
        std::vector<std::string> diagnostics;
    };
    const std::vector<Case> cases = {
        {"CutInsideAField", head + "10:02,3,0.8", "", 3, {3, 0.8}, {}},  // all fields there: a row
        {"CutBeforeTheLastField", head + "10:02,3", "", 2, {2, 2000}, {cutOff}},
        {"CutInsideTheTime", head + "10:0", "", 2, {2, 2000}, {cutOff}},
        {"CutAfterTheTerminator", head, "", 2, {2, 2000}, {}},
        {"CutAfterColumnAverage", head + "Column Average,1,1\n10:0", "", 2, {2, 2000}, {}},
        {"CutAfterAShortRecord",
         head + "10:02,3\n10:03,4,4K\n10:0",
         "",
         4,
         {4, 4000},
         {std::string(kMismatchTitle) + "|", cutOff}},
        {"OneTimeColumnCutInTheTime", "N,x\nd\nSample Time\n10:00\n10:01\n10:02\n1o:", "", 3, {}, {cutOff}},
        {"LaterFileCutWithinTheRows", head + "10:02,3,3K\n", head + "10:0", 2, {2, 2000}, {cutOff}},
        {"LaterFileCutBeyondTheRows", head, head + "10:02,3", 2, {2, 2000}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        data = DataSet();
        items.clear();
        diagnostics.clear();
        ASSERT_TRUE(load("a.csv", c.first).loaded);
        if (!c.later.empty()) {
            diagnostics.clear();
            ASSERT_TRUE(load("b.csv", c.later).loaded);
        }
        const int file = data.Files_Open;
        std::vector<std::string> seen;
        for (const std::string &d : diagnostics)
            seen.push_back(d.starts_with(kMismatchTitle) ? std::string(kMismatchTitle) + "|"
                                                         : d.substr(d.find('|') + 1));
        EXPECT_EQ(seen, c.diagnostics);
        if (c.later.empty()) {
            EXPECT_EQ(data.Row_Count, c.rows);
        }
        for (size_t i = 0; i < c.lastRow.size(); ++i)
            EXPECT_EQ(data.Perf_Data(c.rows, int(i) + 2, file), c.lastRow[i]) << "column " << i + 2;
        if (!c.later.empty() && c.rows < data.Row_Count) {
            EXPECT_EQ(data.Perf_Data(c.rows + 1, 2, file), 0);
        }
    }
}

// Names as the collector wrote them: Windows-1252 bytes are read as the characters
// they stand for, later files in UTF-8 match them, and saving writes the bytes back.
TEST_P(Loading, NamesInWindows1252OrUtf8AreReadAndSavedAsWritten)
{
    const std::string header = "Sample Time,Temp \xB0"
                               "C,\xB5s,Caf\xC3\xA9,\x80\x81\x9F\xFF";
    const std::string file = "N\xE9ud,x\r\nd\r\n" + header + "\r\n10:00:00,1,2,3,4\r\n10:01:00,5,6,7,8\r\n";
    ASSERT_TRUE(load("a.csv", file).loaded);
    EXPECT_EQ(itemNames(),
              (std::vector<std::string>{"Caf\u00E9", "Temp \u00B0C", "\u00B5s", "\u20AC\u0081\u0178\u00FF"}));
    EXPECT_EQ(data.Node_Name, "N\u00E9ud");
    // A later file written in UTF-8 lands under the same items.
    ASSERT_TRUE(
        load("b.csv", "N,x\r\nd\r\nSample Time,\u00B5s,Temp \u00B0C\r\n10:00:00,20,10\r\n10:01:00,60,50\r\n").loaded);
    EXPECT_EQ(data.Perf_Data(2, 2, 2), 50);
    EXPECT_EQ(data.Perf_Data(2, 3, 2), 60);

    ItemRevision inFileOrder = items.current();
    std::sort(inFileOrder.rows.begin(), inFileOrder.rows.end(),
              [](const ItemRow &a, const ItemRow &b) { return a.tag < b.tag; });
    ASSERT_EQ(saveDataFile(dir.file("saved.csv"), data, inFileOrder, {1, 2, 1}), "");
    const std::string saved = dir.read("saved.csv");
    const std::string records1And2 = "N\xE9ud,x\r\n" + header + "\r\n";
    EXPECT_EQ(saved.substr(0, records1And2.size()), records1And2);
    LoaderFixture again;
    again.options = options;
    ASSERT_TRUE(again.load("saved.csv", saved).loaded);
    EXPECT_EQ(again.itemNames(), itemNames());

    // A tooltip cuts a long name after 77 characters, not bytes.
    data = DataSet();
    items.clear();
    ASSERT_TRUE(load("c.csv", "N,x\nd\nSample Time," + std::string(81, '\xE9') + "\n10:00,1\n10:01,2\n").loaded);
    std::string cut;
    for (int i = 0; i < 77; ++i)
        cut += "\u00E9";
    EXPECT_EQ(items.current().rows[0].toolTip, cut + "...");
}

// Messages quote at most 60 characters of a field; the item keeps its whole name.
TEST_P(Loading, MessagesQuoteTheStartOfALongField)
{
    const std::string longText(100000, 'x');
    const std::string cut = std::string(60, 'x') + "...";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"10:00," + longText, "Invalid data ( " + cut + " ) detected in row 10:00"},
        {"10:00:00." + std::string(100000, '5') + ",x",
         "Invalid data ( x ) detected in row 10:00:00." + std::string(51, '5') + "..."},
        {"10:00,1E" + longText, "Error - Type mismatch: the exponent of '1E" + std::string(58, 'x') +
                                    "...' is not a number - generated while extracting data from file"},
        {"1o" + longText + ",1", "Error - Type mismatch: '1O" + std::string(58, 'X') +
                                     "...' is not a time of day - generated while extracting data from file"},
        {"10:00,\xB5" + longText, "Invalid data ( \u00B5" + std::string(59, 'x') + "... ) detected in row 10:00"},
    };
    for (const auto &[record, message] : cases) {
        SCOPED_TRACE(message.substr(0, 40));
        data = DataSet();
        items.clear();
        EXPECT_EQ(messageOf(load("a.csv", "N,x\nd\nSample Time,A\n10:00,1\n" + record + "\n")), message);
    }
    data = DataSet();
    items.clear();
    ASSERT_TRUE(load("a.csv", "N,x\nd\nSample Time," + longText + "\n10:00,1\n10:01,2\n").loaded);
    EXPECT_EQ(itemNames(), std::vector<std::string>{longText});
}

// The earlier edition's rules, which its program passes to the loader.
TEST_P(Loading, TheEarlierEditionReadsAValueThatBreaksTheSyntaxAsItsLeadingNumber)
{
    options.edition = Edition::Classic;
    const LoadOutcome outcome =
        load("a.csv", "N,x\r\n06-DEC-2026\r\nSample Time,A,B,C,D\r\n"
                      "10:00:00,12abc,N/A,1.2.3,-45.0x\r\n10:01:00,.5Q,+7 and so,--3,1\r\n");
    ASSERT_TRUE(outcome.loaded) << messageOf(outcome);
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
    EXPECT_EQ(messageOf(outcome).substr(0, rejection().message.size()), rejection().message);
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
    EXPECT_NE(messageOf(folder).find("generated while opening file"), std::string::npos);
    EXPECT_EQ(titleOf(folder), "");
    const LoadOutcome missing = loader.load(dir.file("missing.csv"));
    EXPECT_EQ(messageOf(missing), "Error : No such file or directory generated while opening file");
    EXPECT_EQ(data.Files_Open, 0);
}

// Opening a FIFO must not wait for a writer. Should it ever wait, the watchdog
// opens the other end after a while, so the test fails instead of hanging.
TEST_P(Loading, AFifoIsRefusedAtOnce)
{
    const std::string fifo = dir.file("pipe.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> done{false}, waited{false};
    std::thread watchdog([&] {
        for (int tenths = 0; tenths < 200 && !done; ++tenths)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!done) {
            waited = true;
            ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        }
    });
    ItemLoader loader(data, items, *this, options);
    const LoadOutcome outcome = loader.load(fifo);
    done = true;
    watchdog.join();
    EXPECT_FALSE(waited) << "the open waited for a writer";
    EXPECT_EQ(messageOf(outcome), "Error : Not a regular file generated while opening file");
    EXPECT_EQ(data.Files_Open, 0);
}

// A file without terminators is refused after its head is read: a huge sparse one
// is never read (or held) whole.
TEST_P(Loading, AHugeFileWithoutTerminatorsIsRefusedFromItsHead)
{
    const std::string path = dir.write("sparse.csv", "no terminator here");
    ASSERT_EQ(::truncate(path.c_str(), off_t(64) << 30), 0);
    ItemLoader loader(data, items, *this, options);
    EXPECT_EQ(messageOf(loader.load(path)), "File has incorrect format - can't find any record terminators");
}

// A collector writing the file while it loads: truncated or rewritten, it is
// refused (a first file leaves no file, a later one is just not added); records
// appended meanwhile are left for following, and the file loads as it was opened.
TEST_P(Loading, AFileRewrittenWhileItIsReadIsRefusedOneWrittenOnLoadsAsOpened)
{
    struct Change {
        const char *name;
        std::function<void(const std::string &)> apply;
        bool refused = true;
    };
    const std::vector<Change> changes = {
        {"Truncated", [](const std::string &path) { ASSERT_EQ(::truncate(path.c_str(), 60), 0); }},
        {"Extended", [](const std::string &path) { std::ofstream(path, std::ios::app) << "10:02:00,14,1K\r\n"; },
         false},
        {"Rewritten",
         [](const std::string &path) {
             const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
             ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
         }},
    };
    struct ChangingObserver : LoadObserver {
        std::function<void()> onDataPass;
        void status(const std::string &text) override
        {
            if (text.starts_with("Extracting data from") && onDataPass)
                std::exchange(onDataPass, nullptr)();
        }
    };
    for (const Change &change : changes)
        for (const bool first : {true, false}) {
            SCOPED_TRACE(std::string(change.name) + (first ? " first file" : " later file"));
            data = DataSet();
            items.clear();
            if (!first) {
                ASSERT_TRUE(load("good.csv", kPlain).loaded);
            }
            const std::string path = dir.write("changing.csv", kPlain);
            ChangingObserver observer;
            observer.onDataPass = [&] { change.apply(path); };
            ItemLoader loader(data, items, observer, options);
            const LoadOutcome outcome = loader.load(path);
            if (!change.refused) {
                EXPECT_TRUE(outcome.loaded) << messageOf(outcome);
                EXPECT_EQ(data.Files_Open, first ? 1 : 2);
                EXPECT_EQ(data.Row_Count, 2);
                continue;
            }
            EXPECT_EQ(messageOf(outcome), "File changed while it was being read - please open it again");
            EXPECT_EQ(titleOf(outcome), kOpenFileTitle);
            EXPECT_EQ(outcome.closeAllFiles, first);
            EXPECT_EQ(data.Files_Open, first ? 0 : 1);
            EXPECT_EQ(data.Perf_Data.files(), 1);
        }
}

TEST_P(Loading, TheFirstFileNeedsTwoDataRows)
{
    const LoadOutcome one = load("a.csv", "N,x\nd\nSample Time,A\n10:00,1\n");
    EXPECT_EQ(messageOf(one), "Insufficient data in file");
    EXPECT_EQ(titleOf(one), kOpenFileTitle);
    EXPECT_TRUE(one.closeAllFiles);
    EXPECT_TRUE(items.current().rows.empty());
    EXPECT_TRUE(load("b.csv", "N,x\nd\nSample Time,A\n10:00,1\n10:01,2\n").loaded);
}

TEST_P(Loading, AnUnreadableSampleTimeInTheFirstFileClosesAllFiles)
{
    const LoadOutcome outcome = load("a.csv", "N,x\nd\nSample Time,CPU Busy\n10:00,1\n\n10:01,1\n");
    EXPECT_EQ(messageOf(outcome),
              "Error - Type mismatch: '0' is not a time of day - generated while extracting data from file");
    EXPECT_EQ(titleOf(outcome), "");
    EXPECT_TRUE(outcome.closeAllFiles);
}

// The loader says what is wrong and where as data; the texts are made from it.
TEST_P(Loading, DiagnosticsNameTheirKindRowAndField)
{
    ASSERT_TRUE(load("a.csv", "N,x\nd\nSample Time,A,B\n10:00,1,2\n10:01,7\n10:02,3,4\n").loaded);
    ASSERT_EQ(typedDiagnostics.size(), 1u);
    const LoadDiagnostic &shortRecord = typedDiagnostics[0];
    EXPECT_EQ(shortRecord.kind, LoadProblem::ColumnCountMismatch);
    EXPECT_EQ(shortRecord.row, 2);
    EXPECT_EQ(shortRecord.count, 2);
    EXPECT_EQ(shortRecord.field, "10:01,7");
    data = DataSet();
    items.clear();
    const LoadOutcome invalid = load("b.csv", "N,x\nd\nSample Time,A\n10:00,1\n10:01, X7\n");
    EXPECT_EQ(invalid.failure.kind, LoadProblem::InvalidValue);
    EXPECT_EQ(invalid.failure.field, " X7");
    EXPECT_EQ(invalid.failure.detail, "10:01");
}

TEST_P(Loading, FirstFileFailuresCloseEverything)
{
    const LoadOutcome outcome = load("a.csv", "N,x\nd\nSample Time,A\n10:00,1\n10:01,X\n");
    EXPECT_TRUE(outcome.closeAllFiles);
    EXPECT_EQ(titleOf(outcome), kOpenFileTitle);
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
