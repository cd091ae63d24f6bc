// kavra-batch: Kavra's loader and writer for scripts and headless use.

#include "app/BatchRender.h"
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
    "       kavra-batch render FILE [FILE...] -o OUT.png [--items NAME,NAME...] [--size WIDTHxHEIGHT]\n"
    "\n"
    "Loads the performance data files in order, as repeated Open commands in Kavra would.\n"
    "\n"
    "  dump   writes to standard output the data file that Save as ... would write:\n"
    "         record 1 of the last file, the items as listed after loading, all rows;\n"
    "         the values come from file N (default 1).\n"
    "  info   prints the files, nodes, rows, columns and items loaded.\n"
    "  render draws, without a window system, the chart the viewer shows after\n"
    "         loading the files and selecting the named items (default: the item\n"
    "         selected after loading) as a PNG picture (default size 1600x900).\n"
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
    kavra::RenderOptions render;
};

bool parseWhole(const std::string &text, int &value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string> splitNames(const std::string &list)
{
    std::vector<std::string> names;
    std::stringstream in(list);
    for (std::string name; std::getline(in, name, ',');)
        names.push_back(name);
    return names;
}

bool parseSize(const std::string &text, int &width, int &height)
{
    const size_t x = text.find('x');
    return x != std::string::npos && parseWhole(text.substr(0, x), width) && parseWhole(text.substr(x + 1), height) &&
           width >= 16 && height >= 16 && width <= 20000 && height <= 20000;
}

bool parseArguments(int argc, char **argv, Options &options)
{
    if (argc < 2)
        return false;
    options.command = argv[1];
    const bool render = options.command == "render";
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--file" && options.command == "dump" && hasValue) {
            if (!parseWhole(argv[++i], options.file) || options.file < 1)
                return false;
        } else if (arg == "-o" && render && hasValue) {
            options.render.output = argv[++i];
        } else if (arg == "--items" && render && hasValue) {
            options.render.items = splitNames(argv[++i]);
        } else if (arg == "--size" && render && hasValue) {
            if (!parseSize(argv[++i], options.render.width, options.render.height))
                return false;
        } else if (arg.starts_with("-")) {
            return false;
        } else {
            options.paths.push_back(arg);
        }
    }
    const bool known = options.command == "dump" || options.command == "info" || render;
    return known && !options.paths.empty() && (!render || !options.render.output.empty());
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
    if (options.command == "render") {
#ifdef KAVRA_NO_RENDER
        std::cerr << "This kavra-batch was built without the chart: render is not available\n";
        return 2;
#else
        return kavra::renderChartImage(argv[0], data, items, options.render);
#endif
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
