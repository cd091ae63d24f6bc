// kavra-batch: Kavra's loader and writer for scripts and headless use.

#include "data/DataSet.h"
#include "data/Loader.h"
#include "data/Writer.h"
#include "items/ItemList.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char *const kUsage =
    "Usage: kavra-batch dump [--file N] FILE [FILE...]\n"
    "       kavra-batch info FILE [FILE...]\n"
    "\n"
    "Loads the performance data files in order, as repeated Open commands in Kavra would.\n"
    "\n"
    "  dump   writes to standard output the data file that Save as ... would write:\n"
    "         record 1 of the last file, the items as listed after loading, all rows;\n"
    "         the values come from file N (default 1).\n"
    "  info   prints the files, nodes, rows, columns and items loaded.\n"
    "\n"
    "Loader diagnostics go to standard error and loading goes on. When a file fails,\n"
    "its message goes to standard error and the exit status is 1.\n";

// Prints the column-count diagnostic and lets loading go on.
class StderrObserver : public kavra::LoadObserver {
public:
    void diagnostic(const std::string &text, const std::string &) override { std::cerr << text << '\n'; }
};

struct Options {
    std::string command;
    int file = 1;
    std::vector<std::string> paths;
};

bool parseArguments(int argc, char **argv, Options &options)
{
    if (argc < 2)
        return false;
    options.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--file") {
            if (options.command != "dump" || i + 1 >= argc)
                return false;
            const std::string n = argv[++i];
            const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), options.file);
            if (ec != std::errc() || end != n.data() + n.size() || options.file < 1)
                return false;
        } else if (arg.starts_with("--")) {
            return false;
        } else {
            options.paths.push_back(arg);
        }
    }
    return (options.command == "dump" || options.command == "info") && !options.paths.empty();
}

void printInfo(const kavra::DataSet &data, const kavra::ItemList &items)
{
    std::cout << "files:   " << data.Files_Open << '\n';
    for (int f = 0; f < data.Files_Open; ++f)
        std::cout << "file " << f + 1 << ":  " << data.File_Names[size_t(f)] << " (node " << data.Node_Names[size_t(f)]
                  << ")\n";
    std::cout << "rows:    " << data.Row_Count << '\n';
    std::cout << "columns: " << data.Column_Count << '\n';
    std::cout << "items:   " << items.revision(0).rows.size() << '\n';
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    Options options;
    if (!parseArguments(argc, argv, options)) {
        std::cerr << kUsage;
        return 2;
    }

    kavra::DataSet data;
    kavra::ItemList items;
    StderrObserver observer;
    kavra::Loader loader(data, items, observer);
    for (const std::string &path : options.paths) {
        const kavra::LoadOutcome outcome = loader.load(path);
        if (!outcome.loaded) {
            std::cerr << outcome.message << '\n';
            return 1;
        }
    }

    if (options.command == "info") {
        printInfo(data, items);
        return 0;
    }
    if (options.file > data.Files_Open) {
        std::cerr << "There is no file " << options.file << ": only " << data.Files_Open << " loaded\n";
        return 2;
    }
    std::ostringstream out;
    kavra::writeDataFile(out, data, items.revision(0), {1, data.Row_Count, options.file});
    std::cout << out.str();
    std::cout.flush();
    return std::cout ? 0 : 1;
}
