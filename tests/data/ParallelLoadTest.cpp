// Reading the data records on several threads must give the user exactly what
// reading them on one thread gives: the same values, the same first error (row and
// field), the same column-count diagnostic, the same end of data. These tests load
// the same files both ways, with chunks small enough that every record boundary
// near a fault becomes a chunk boundary, and compare everything the user gets.

#include "data/DataPass.h"
#include "data/LoaderTestSupport.h"
#include "support/LoadRecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <thread>

using namespace kavra;

namespace {

const LoadOptions kOneThread{1, 0};

// Records that stand in the place of the generated ones from a row on.
using Replacements = std::map<int, std::vector<std::string>>;

// A file of the plain layout with rows data records, some replaced, and an ending
// after the last one.
std::string generatedFile(const std::string &terminator, int rows, const Replacements &replaced = {},
                          const std::string &ending = "")
{
    std::string file = "NODE1,x" + terminator + "06-DEC-2026,10:00:00" + terminator + "Sample Time,A,B,C" + terminator;
    for (int r = 1; r <= rows; ++r) {
        const auto fault = replaced.upper_bound(r);
        if (fault != replaced.begin()) {
            const auto &[from, records] = *std::prev(fault);
            if (r - from < int(records.size())) {
                file += records[size_t(r - from)] + terminator;
                continue;
            }
        }
        const int minute = r % 60, hour = (10 + r / 60) % 24;
        file += std::to_string(hour) + ":" + (minute < 10 ? "0" : "") + std::to_string(minute) + ":00," +
                std::to_string(r) + "," + std::to_string(r % 7) + ".5," + std::to_string(r * 3) + "K" + terminator;
    }
    return file + ending;
}

struct Fault {
    const char *name;
    std::vector<std::string> records;  // put in place of the records from the fault's row on
};

std::vector<Fault> faults()
{
    const std::string longRecord = "10:30:00,1," + std::string(140000, '2');
    return {
        {"InvalidValue", {"10:30:00,1,2x,3"}},
        {"InvalidValueInTheLastField", {"10:30:00,1,2,3..5"}},
        {"BadExponent", {"10:30:00,1,1EX,3"}},
        {"UnreadableTime", {"1o:30:00,1,2,3"}},
        {"ShortRecord", {"10:30:00,1"}},
        {"TwoShortRecords", {"10:30:00,1", "10:31:00"}},
        {"ShortRecordThenInvalid", {"10:30:00,1", "10:31:00,1,2,3", "10:32:00,1,N/A,3"}},
        {"InvalidThenShortRecord", {"10:30:00,1,N/A,3", "10:31:00,1"}},
        {"TwoInvalidValues", {"10:30:00,1,?,3", "10:31:00,1,2,3", "10:32:00,1,2,x"}},
        {"ExtraFields", {"10:30:00,1,2,3,4,5,6"}},
        {"BlankRecord", {""}},
        {"QuotedAndBlankFields", {"\"10:30:00\", '1' ,  ,3%"}},
        {"ColumnAverage", {"Column Average,1,2,3", "10:31:00,1,N/A,3", "garbage"}},
        {"LowerCaseColumnAverage", {"column average,1,2,3"}},
        {"NulRecord", {std::string("\0,1,2,3", 7), "10:31:00,x"}},
        {"OverlongRecord", {longRecord}},
        {"ShortRecordThenOverlong", {"10:30:00,1", longRecord}},
    };
}

// The endings a file may have after its last generated record.
std::vector<std::string> endings(const std::string &terminator)
{
    return {"", "10:59:00,1,2,3", "x", terminator, terminator + terminator, "Column Average,1,2,3"};
}

}  // namespace

TEST(ParallelLoading, RejectedFilesFailAlikeOnEveryThreadCountAndChunkSize)
{
    const std::string good = generatedFile("\n", 30);
    for (const Rejection &rejection : rejectedFiles()) {
        SCOPED_TRACE(rejection.name);
        for (const std::vector<std::string> &files :
             {std::vector<std::string>{rejection.bytes}, std::vector<std::string>{good, rejection.bytes}}) {
            const std::string expected = loadAndDescribe(files, kOneThread);
            for (const int threads : {2, 5})
                for (size_t chunk = 1; chunk <= 40; chunk += 3)
                    ASSERT_EQ(loadAndDescribe(files, {threads, chunk}), expected)
                        << threads << " threads, chunks of " << chunk << " bytes";
        }
    }
}

TEST(ParallelLoading, FaultsNearChunkBoundariesAreReportedAsOnOneThread)
{
    for (const std::string terminator : {"\r\n", "\n", "\r"})
        for (const Fault &fault : faults())
            for (const int row : {1, 17, 40}) {
                SCOPED_TRACE(std::string(fault.name) + " at row " + std::to_string(row) + ", terminator " +
                             std::to_string(terminator.size()) + (terminator == "\r" ? " CR" : ""));
                const std::string faulty = generatedFile(terminator, 40, {{row, fault.records}});
                // As the first file, and as a later file after a shorter first one,
                // whose row count cuts the later file's records.
                const std::vector<std::vector<std::string>> cases = {
                    {faulty}, {generatedFile(terminator, 38), faulty}, {generatedFile(terminator, 45), faulty}};
                for (const auto &files : cases) {
                    const std::string expected = loadAndDescribe(files, kOneThread);
                    // One record a chunk, and chunks of one to four records in every
                    // phase against the faulty records (a record is about 20 bytes).
                    for (const size_t chunk : {1, 2, 5, 13, 19, 21, 23, 29, 37, 43, 61, 97}) {
                        const int threads = 2 + int(chunk % 3);
                        ASSERT_EQ(loadAndDescribe(files, {threads, chunk}), expected)
                            << threads << " threads, chunks of " << chunk << " bytes";
                    }
                }
            }
}

TEST(ParallelLoading, TheEndOfTheFileIsReadAsOnOneThread)
{
    for (const std::string terminator : {"\r\n", "\n", "\r"})
        for (const std::string &ending : endings(terminator))
            for (const int rows : {1, 2, 3, 20}) {
                SCOPED_TRACE(std::to_string(rows) + " rows, ending \"" + ending + "\"");
                const std::vector<std::string> files = {generatedFile(terminator, rows, {}, ending),
                                                        generatedFile(terminator, rows + 1, {}, ending)};
                const std::string expected = loadAndDescribe(files, kOneThread);
                for (size_t chunk = 1; chunk <= 40; chunk += 2)
                    ASSERT_EQ(loadAndDescribe(files, {3, chunk}), expected) << "chunks of " << chunk << " bytes";
            }
}

TEST(ParallelLoading, ProgressOfAFailedFileStopsWhereTheOneThreadPassStops)
{
    // Long enough for several progress ticks before the fault, so workers that run
    // ahead of it, or share the records unevenly, would show a different count.
    for (const int row : {700, 1024, 1300}) {
        SCOPED_TRACE("invalid value at row " + std::to_string(row));
        const std::vector<std::string> files = {generatedFile("\n", 1500, {{row, {"10:30:00,1,2x,3"}}})};
        const std::string expected = loadAndDescribe(files, kOneThread);
        ASSERT_NE(expected.find("ends at " + std::to_string(row / kRecordsPerTick * kRecordsPerTick)),
                  std::string::npos);
        for (const int threads : {2, 3, 8})
            for (const size_t chunk : {1, 23, 97, 4000})
                for (int run = 0; run < 5; ++run)
                    ASSERT_EQ(loadAndDescribe(files, {threads, chunk}), expected)
                        << threads << " threads, chunks of " << chunk << " bytes";
    }
}

TEST(ParallelLoading, RandomFilesWithRandomFaultsLoadAsOnOneThread)
{
    std::mt19937 random(20261207);
    const std::vector<Fault> all = faults();
    for (int round = 0; round < 150; ++round) {
        const std::string terminator = std::vector<std::string>{"\r\n", "\n", "\r"}[random() % 3];
        const int rows = 2 + int(random() % 300);
        Replacements replaced;
        for (int f = int(random() % 4); f > 0; --f) {
            const Fault &fault = all[random() % all.size()];
            if (std::string(fault.name).find("Overlong") != std::string::npos && random() % 4)
                continue;  // keeps the files small
            replaced[1 + int(random() % unsigned(rows))] = fault.records;
        }
        const std::string file = generatedFile(terminator, rows, replaced, endings(terminator)[random() % 6]);
        const std::vector<std::string> files = {generatedFile(terminator, 1 + int(random() % 300)), file};
        const std::string expected = loadAndDescribe(files, kOneThread);
        const LoadOptions parallel{2 + int(random() % 7), 1 + random() % 200};
        ASSERT_EQ(loadAndDescribe(files, parallel), expected)
            << "round " << round << ": " << parallel.threads << " threads, chunks of " << parallel.chunkBytes;
    }
}

TEST(ParallelLoading, ProgressRisesToTheRowsReadAndWindowEventsRunAtABoundedRate)
{
    const std::string file = generatedFile("\r\n", 5000);
    for (const LoadOptions &options : {kOneThread, LoadOptions{4, 997}, LoadOptions{2, 20000}}) {
        DataSet data;
        ItemList items;
        RecordingObserver observer;
        ItemLoader loader(data, items, observer, options);
        ASSERT_TRUE(loader.loadBytes("a.csv", file).loaded);
        EXPECT_EQ(observer.progressSeen(), "range 1..5000\nrising\nends at 5000\nhidden 1 times\n");
        EXPECT_GT(observer.keepAlives, 1);          // the window stays responsive while the file loads
        EXPECT_LT(observer.keepAlives, 5000 / 10);  // but is not asked to on every record
    }
}

TEST(ParallelLoading, KavraThreadsChoosesTheNumberOfThreads)
{
    const char *before = std::getenv("KAVRA_THREADS");
    const std::optional<std::string> saved = before ? std::optional<std::string>(before) : std::nullopt;
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    setenv("KAVRA_THREADS", "1", 1);
    EXPECT_EQ(defaultLoadThreads(), 1);
    EXPECT_EQ(LoadOptions().threads, 1);
    setenv("KAVRA_THREADS", "6", 1);
    EXPECT_EQ(defaultLoadThreads(), 6);
    for (const char *unusable : {"0", "-2", "two", "3x", ""}) {
        setenv("KAVRA_THREADS", unusable, 1);
        EXPECT_EQ(defaultLoadThreads(), cores) << unusable;
    }
    unsetenv("KAVRA_THREADS");
    EXPECT_EQ(defaultLoadThreads(), cores);
    if (saved)
        setenv("KAVRA_THREADS", saved->c_str(), 1);
}
