// Loading with the address space capped, in a child process: a file whose
// values as plain doubles would not fit loads, and one whose values do not fit
// even compressed gives the out-of-memory message instead of a killed process.
#include "data/LoadMessages.h"
#include "data/Loader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int kRows = 60000, kItems = 100;

// Values 0 to 99, a byte or so a value compressed, 8 as doubles.
void writeFile(const std::string &path)
{
    std::ofstream out(path, std::ios::binary);
    out << "NODE1,gen\r\n06-DEC-2026,00:00:00\r\nSample Time";
    for (int c = 1; c <= kItems; ++c)
        out << ",Item " << c;
    out << "\r\n";
    std::mt19937 random(7);
    std::string record;
    for (int r = 0; r < kRows; ++r) {
        char time[32];
        std::snprintf(time, sizeof time, "%s%02d:%02d:%02d", r == 0 ? "06-DEC-2026 " : "", r / 3600 % 24, r / 60 % 60,
                      r % 60);
        record = time;
        for (int c = 0; c < kItems; ++c)
            record += "," + std::to_string(random() % 100);
        out << record << "\r\n";
    }
}

size_t addressSpace()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0)
            return std::stoul(line.substr(7)) * 1024;
    return 0;
}

// Loads the file in a fresh run of this program (so no heap freed by earlier
// tests lies ready), whose address space may grow by the file's size and spare
// bytes more; returns what the load says: the rows loaded, or its message.
std::string loadCapped(const std::string &path, size_t fileBytes, size_t spare, const std::string &said)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string bytes = std::to_string(fileBytes + spare);
        ::setenv("KAVRA_CAPPED_LOAD", (path + "\n" + bytes + "\n" + said).c_str(), 1);
        ::execl("/proc/self/exe", "capped", "--gtest_filter=CappedMemory.DISABLED_Child",
                "--gtest_also_run_disabled_tests", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    std::ifstream in(said);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "killed";
}

}  // namespace

TEST(CappedMemory, LoadsWhatFitsCompressedAndSaysSoWhenNothingFits)
{
    TempDir dir;
    const std::string path = dir.file("capped.csv");
    writeFile(path);
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const size_t fileBytes = size_t(in.tellg());
    std::string lastValue;  // the file's last value, as the loader reads it
    {
        std::ifstream text(path);
        for (std::string line; std::getline(text, line);)
            if (!line.empty())
                lastValue = line.substr(line.rfind(',') + 1, line.size() - line.rfind(',') - 2);
    }
    const size_t denseBytes = size_t(kRows) * (kItems + 1 + kavra::kSpareColumns) * sizeof(double);
    const struct {
        size_t spare;
        std::string expected;
    } cases[] = {
        // Half what the values took as plain doubles.
        {denseBytes / 2, "rows " + std::to_string(kRows) + ", last " + std::to_string(std::stod(lastValue))},
        {size_t(1) << 20, "No More MEMORY ... Cannot open any more files - Sorry ! "},
    };
    for (const auto &c : cases) {
#if defined(__SANITIZE_ADDRESS__)
        // The address sanitizer maps memory of its own for every allocation and
        // ends the process when that fails: only what fits can be checked there.
        if (c.spare < denseBytes / 2)
            continue;
#endif
        EXPECT_EQ(loadCapped(path, fileBytes, c.spare, dir.file("said")), c.expected) << "spare " << c.spare;
    }
}

// The child's part of the test above, run only by it.
TEST(CappedMemory, DISABLED_Child)
{
    const char *job = std::getenv("KAVRA_CAPPED_LOAD");
    ASSERT_TRUE(job);
    std::istringstream lines(job);
    std::string path, bytes, said;
    std::getline(lines, path);
    std::getline(lines, bytes);
    std::getline(lines, said);
    std::string text;
    {
        kavra::DataSet data;
        kavra::LoadObserver quiet;
        const rlimit cap{addressSpace() + std::stoul(bytes), RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &cap);
        const kavra::LoadOutcome outcome = kavra::Loader(data, quiet, {.threads = 1}).load(path);
        text = outcome.loaded ? "rows " + std::to_string(data.Row_Count) + ", last " +
                                    std::to_string(data.Perf_Data(kRows, kItems + 1, 1))
                              : kavra::loadMessage(outcome.failure).text;
    }
    std::ofstream(said) << text;
}
