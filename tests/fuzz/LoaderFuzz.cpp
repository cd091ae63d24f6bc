// libFuzzer target: the whole loading pipeline, as repeated Open commands.
//
// The input is cut at "\n\x01NEXT\x01\n" into up to four files, which are loaded one
// after another through one Loader into one data set and item list. A failure that
// asks for it closes all files, as the window does. After each file that loads, the
// data set is written back as Save as ... writes it and that text is loaded into a
// fresh data set. The sanitizers and the loader's own consistency are checked,
// and the same files are loaded once more with the data records read on several
// threads in small chunks, and from disk read a few bytes at a time rather than
// held whole: anything the user would get differently (outcome, messages,
// progress, values, items, where following goes on from) prints both accounts
// and traps.

#include "data/DataSet.h"
#include "items/ListFiles.h"
#include "items/ItemList.h"
#include "support/LoadRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kSeparator = "\n\x01NEXT\x01\n";
constexpr size_t kMaxFiles = 4;

std::vector<std::string_view> splitFiles(std::string_view input)
{
    std::vector<std::string_view> files;
    while (files.size() + 1 < kMaxFiles) {
        const size_t at = input.find(kSeparator);
        if (at == std::string_view::npos)
            break;
        files.push_back(input.substr(0, at));
        input.remove_prefix(at + kSeparator.size());
    }
    files.push_back(input);
    return files;
}

// Touches what the window reads after a load, so that a table left inconsistent
// shows up under AddressSanitizer.
void walk(const kavra::DataSet &data, const kavra::ItemList &items)
{
    volatile double sink = 0;
    for (int r = 1; r <= data.Row_Count; ++r)
        sink = sink + data.sampleTime(r);
    for (const kavra::ItemRow &row : items.current().rows)
        for (int f = 1; f <= data.Files_Open; ++f)
            for (int r = 1; r <= data.Row_Count; ++r)
                sink = sink + data.Perf_Data(r, row.tag, f);
    for (int f = 1; f <= data.Files_Open; ++f)
        for (int c = 1; c <= data.Column_Map.fileColumns(); ++c)
            sink = sink + data.Column_Map(c, f);
}

void saveAndReload(const kavra::DataSet &data, const kavra::ItemList &items)
{
    std::ostringstream out;
    kavra::writeDataFile(out, data, items.current(), {1, data.Row_Count, data.Files_Open});
    kavra::DataSet again;
    kavra::ItemList againItems;
    kavra::LoadObserver quiet;
    kavra::ItemLoader loader(again, againItems, quiet);
    const kavra::LoadOutcome outcome = loader.loadBytes("saved.csv", out.str());
    if (outcome.loaded)
        walk(again, againItems);
}

// Loads the files on one thread and on several, and traps on any difference.
void compareThreadModes(const std::vector<std::string_view> &views, size_t inputSize)
{
    const std::vector<std::string> files(views.begin(), views.end());
    const std::string oneThread = loadAndDescribe(files, {1, 0});
    const kavra::LoadOptions parallel{2 + static_cast<int>(inputSize % 3), 1 + inputSize % 53};
    const std::string several = loadAndDescribe(files, parallel);
    if (several == oneThread)
        return;
    std::fprintf(stderr, "One thread:\n%s\n%d threads, chunks of %zu bytes:\n%s\n", oneThread.c_str(), parallel.threads,
                 parallel.chunkBytes, several.c_str());
    __builtin_trap();
}

// Loads the files from disk held whole and read a window of a few bytes at a
// time, and traps on any difference.
void compareWindows(const std::vector<std::string_view> &views, size_t inputSize)
{
    // One folder for the whole run, removed at its end.
    static const struct Folder {
        std::string path;
        Folder()
        {
            char name[] = "/tmp/kavra-loader-fuzz-XXXXXX";
            path = ::mkdtemp(name) ? name : "";
        }
        ~Folder()
        {
            if (!path.empty())
                std::filesystem::remove_all(path);
        }
    } folder;
    if (folder.path.empty())
        return;
    std::vector<std::string> paths;
    for (const std::string_view file : views) {
        paths.push_back(folder.path + "/file" + std::to_string(paths.size() + 1) + ".csv");
        std::ofstream(paths.back(), std::ios::binary | std::ios::trunc).write(file.data(), std::streamsize(file.size()));
    }
    const std::string whole = loadPathsAndDescribe(paths, {1, 0});
    kavra::LoadOptions windowed{1 + static_cast<int>(inputSize % 2), 0};
    windowed.windowAbove = 0;
    windowed.windowBytes = 16 + inputSize % 4999;
    const std::string inWindows = loadPathsAndDescribe(paths, windowed);
    if (inWindows == whole)
        return;
    std::fprintf(stderr, "Held whole:\n%s\n%d threads, windows of %zu bytes:\n%s\n", whole.c_str(), windowed.threads,
                 windowed.windowBytes, inWindows.c_str());
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(bytes), size);
    kavra::DataSet data;
    kavra::ItemList items;
    kavra::LoadObserver quiet;
    kavra::ItemLoader loader(data, items, quiet);
    int n = 0;
    const std::vector<std::string_view> files = splitFiles(input);
    compareThreadModes(files, size);
    compareWindows(files, size);
    for (const std::string_view file : files) {
        const kavra::LoadOutcome outcome = loader.loadBytes("fuzz" + std::to_string(++n) + ".csv", file);
        if (outcome.closeAllFiles) {
            data.closeAll();
            items.clear();
        }
        if (!outcome.loaded)
            continue;
        walk(data, items);
        saveAndReload(data, items);
    }
    return 0;
}
