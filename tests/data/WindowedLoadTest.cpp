// A file read a window at a time, its bytes let go once parsed, must load exactly
// as one held whole: the same outcome, messages, progress, values, items and the
// same place to follow it from. Every sample and fuzz file is loaded both ways,
// with windows from a few bytes (nearly every record boundary a window's edge)
// to a few KiB, on one thread and on several.

#include "data/LoaderTestSupport.h"
#include "support/LoadRecord.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <unistd.h>

using namespace kavra;

namespace {

// The files of one run of Open commands: a fuzz input holds up to four.
std::vector<std::string> splitInput(const std::string &input)
{
    static const std::string separator = "\n\x01NEXT\x01\n";
    std::vector<std::string> files;
    size_t from = 0;
    for (size_t at; files.size() < 3 && (at = input.find(separator, from)) != std::string::npos;
         from = at + separator.size())
        files.push_back(input.substr(from, at - from));
    files.push_back(input.substr(from));
    return files;
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct FileSet {
    std::string name;
    std::vector<std::string> files;
};

std::vector<FileSet> everySampleFile()
{
    const std::filesystem::path source = KAVRA_SOURCE_DIR;
    std::vector<FileSet> sets;
    for (const char *folder : {"examples", "tests/fuzz/corpus/loader"})
        for (const auto &entry : std::filesystem::directory_iterator(source / folder))
            sets.push_back({entry.path().filename().string(), splitInput(readFile(entry.path()))});
    sets.push_back({"both examples", {readFile(source / "examples/node1_day.csv"),
                                      readFile(source / "examples/node2_day.csv")}});
    for (const Rejection &rejection : rejectedFiles())
        sets.push_back({rejection.name, {rejection.bytes}});
    return sets;
}

LoadOptions windowed(int threads, size_t windowBytes, Edition edition = Edition::Kavra, size_t chunkBytes = 0)
{
    return {threads, chunkBytes, edition, 0, windowBytes};
}

}  // namespace

TEST(WindowedLoading, EverySampleFileLoadsAsWhenHeldWhole)
{
    TempDir dir;
    for (const FileSet &set : everySampleFile()) {
        SCOPED_TRACE(set.name);
        std::vector<std::string> paths;
        for (size_t i = 0; i < set.files.size(); ++i)
            paths.push_back(dir.write("file" + std::to_string(i + 1) + ".csv", set.files[i]));
        for (const Edition edition : {Edition::Kavra, Edition::Classic}) {
            const std::string whole = loadPathsAndDescribe(paths, {1, 0, edition});
            // Windows of a few pages let go of whole pages between the two passes.
            for (const LoadOptions &options :
                 {windowed(1, 40, edition), windowed(2, 40, edition), windowed(3, 3000, edition, 7),
                  windowed(1, 8192, edition), windowed(2, 65536, edition)})
                ASSERT_EQ(loadPathsAndDescribe(paths, options), whole)
                    << options.threads << " threads, windows of " << options.windowBytes << " bytes";
        }
        for (const std::string &path : paths)
            std::filesystem::remove(path);
    }
}

// A collector that cuts the file back (to a quarter, by a byte, into the header)
// between the count of its records and the data pass: refused, never read from
// bytes the file no longer has. One that writes on: read as it was opened.
TEST(WindowedLoading, AFileCutBackBeforeTheDataPassIsRefusedOneWrittenOnLoadsAsOpened)
{
    std::string file = "NODE1,x\r\n06-DEC-2026,10:00:00\r\nSample Time,A,B\r\n";
    for (int r = 0; r < 3000; ++r)
        file += "10:" + std::to_string(r / 60 % 60) + ":" + std::to_string(r % 60) + "," + std::to_string(r) + ",1.5\r\n";
    struct ChangingObserver : LoadObserver {
        std::function<void()> onDataPass;
        void status(const std::string &text) override
        {
            if (text.starts_with("Extracting data from") && onDataPass)
                std::exchange(onDataPass, nullptr)();
        }
    };
    for (const off_t cutTo : {off_t(file.size() / 4), off_t(file.size() - 1), off_t(30), off_t(-1)})
        for (const LoadOptions &options : {windowed(1, 512), windowed(2, 4096), windowed(2, 65536)})
            for (const bool first : {true, false}) {
                SCOPED_TRACE("cut to " + std::to_string(cutTo) + ", windows of " + std::to_string(options.windowBytes) +
                             (first ? ", first file" : ", later file"));
                LoaderFixture fixture;
                fixture.options = options;
                if (!first) {
                    ASSERT_TRUE(fixture.load("good.csv", file).loaded);
                }
                const std::string path = fixture.dir.write("changing.csv", file);
                ChangingObserver observer;
                observer.onDataPass = [&] {
                    if (cutTo >= 0)
                        ASSERT_EQ(::truncate(path.c_str(), cutTo), 0);
                    else
                        std::ofstream(path, std::ios::app) << "11:00:00,1,2\r\n";
                };
                const LoadOutcome outcome = ItemLoader(fixture.data, fixture.items, observer, options).load(path);
                if (cutTo < 0) {
                    EXPECT_TRUE(outcome.loaded) << messageOf(outcome);
                    EXPECT_EQ(fixture.data.Row_Count, 3000);
                    continue;
                }
                EXPECT_EQ(messageOf(outcome), "File changed while it was being read - please open it again");
                EXPECT_EQ(outcome.closeAllFiles, first);
                EXPECT_EQ(fixture.data.Files_Open, first ? 0 : 1);
            }
}
