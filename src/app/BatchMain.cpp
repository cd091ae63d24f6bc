// kavra-batch: Kavra's loader and writer for scripts and headless use.

#include "app/BatchArguments.h"
#include "app/BatchCorrelate.h"
#include "app/BatchRank.h"
#include "app/BatchRender.h"
#include "app/BatchReport.h"
#include "data/DataSet.h"
#include "data/HeapReuse.h"
#include "data/LoadMessages.h"
#include "items/ItemList.h"
#include "items/ListFiles.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using kavra::parseWhole;
using kavra::splitNames;

const char *const kUsage =
    "Usage: kavra-batch dump [--file N] [--tail-from ROW] FILE [FILE...]\n"
    "       kavra-batch info [--tail-from ROW] FILE [FILE...]\n"
    "       kavra-batch correlate FILE [FILE...] --item NAME [--from ROW] [--to ROW]\n"
    "              [--scatter PICTURE]\n"
    "       kavra-batch rank FILE [FILE...] --from ROW --to ROW [--top N]\n"
    "       kavra-batch render FILE [FILE...] -o PICTURE [--items NAME,NAME...] [--size WIDTHxHEIGHT]\n"
    "              [--movavg [PERIOD] | --smooth [FACTOR] | --candle] [--stack] [--dual-y | --dual-charts]\n"
    "              [--ratio] [--title TEXT] [--subtitle TEXT] [--footer TEXT] [--width N] [--width2 N]\n"
    "              [--zoom FIRST:LAST] [--rows FIRST:LAST]\n"
    "       kavra-batch report FILE [FILE...] -o REPORT.pdf [--items NAME,NAME... | --top N]\n"
    "              [--per-page K] [--from ROW] [--to ROW]\n"
    "\n"
    "Loads the performance data files in order, as repeated Open commands in Kavra would.\n"
    "\n"
    "  dump   writes to standard output the data file that Save as ... would write:\n"
    "         record 1 and the values of file N (default 1), the items as listed after\n"
    "         loading, all rows.\n"
    "  info   prints the files, nodes, rows, columns and items loaded.\n"
    "         --tail-from ROW (dump, info): only rows ROW to the last, counted from 1\n"
    "         as correlate and rank count them, are written or counted.\n"
    "  correlate prints the correlation list that Correlate shows for the named\n"
    "         item over rows ROW to ROW (default: all), one line per strongly\n"
    "         correlated item; exit status 1 and \"No relevant items found ...\" when\n"
    "         there is none. --scatter writes the scatter diagram the correlation\n"
    "         window shows first (the last line's item) as a picture, as render does.\n"
    "  rank   prints the items ranked by how much rows ROW to ROW differ from all\n"
    "         other rows (the difference of the means over the pooled standard\n"
    "         deviation), the N largest changes (default 50) first whatever their\n"
    "         sign, as \"+3.42  Disk Busy DSK05\"; values of the file loaded last.\n"
    "         Exit status 1 and \"Not enough rows outside the cursors\" when fewer\n"
    "         than 2 rows lie outside ROW to ROW.\n"
    "  render draws, without a window system, the chart the viewer shows after\n"
    "         loading the files and selecting the named items (default: the item\n"
    "         selected after loading; --items \"\" selects none) as a picture\n"
    "         (default size 1600x900) in the format of its extension:\n"
    "         .bmp .jpg .wmf .emf .gif .png .pcx .eps .pdf .svg.\n"
    "         The chart options do what the viewer's commands of the same names do:\n"
    "         moving average (period 10), smoothed curve (factor 50), candle chart,\n"
    "         stacked values, dual Y axes or dual charts (two items), ratio charts\n"
    "         (two items), title lines and the primary and secondary line widths (1-5).\n"
    "         --zoom shows the chart as right after zooming with the mouse to rows\n"
    "         FIRST to LAST (1 to the number of rows, FIRST before LAST); --rows as\n"
    "         after that zoom and the next redraw, which charts only those rows.\n"
    "  report writes a PDF document: a summary page (files, nodes, collection dates,\n"
    "         first and last sample, rows, items, items all zero), then the charts of\n"
    "         the named items, or of the N items with the highest median (default 24),\n"
    "         K to a page (default 4, at most 8), each as the viewer draws it with the\n"
    "         item selected, with its minimum, maximum, mean, median and last value\n"
    "         under it; rows ROW to ROW (default: all). \"No such item: NAME\" and exit\n"
    "         status 1, with nothing written, when a named item is not in the list.\n"
    "\n"
    "Loader diagnostics go to standard error and loading goes on. When a file fails,\n"
    "its message goes to standard error and the exit status is 1.\n";

// Prints the diagnostics that do not stop loading and lets loading go on.
class StderrObserver : public kavra::LoadObserver {
public:
    void diagnostic(const kavra::LoadDiagnostic &diagnostic) override
    {
        std::cerr << kavra::loadMessage(diagnostic).text << '\n';
    }
};

struct Options {
    std::string command;
    int file = 1;
    std::vector<std::string> paths;
    kavra::RenderOptions render;
    kavra::CorrelateOptions correlate;
    kavra::RankOptions rank;
    kavra::ReportOptions report;
    std::optional<std::string> tailFrom;  // as given; checked once the rows are known
};

bool parseSize(const std::string &text, int &width, int &height)
{
    const size_t x = text.find('x');
    return x != std::string::npos && parseWhole(text.substr(0, x), width) && parseWhole(text.substr(x + 1), height) &&
           width >= 16 && height >= 16 && width <= 20000 && height <= 20000;
}

// "FIRST:LAST", rows counted from 1, FIRST before LAST.
bool parseRows(const std::string &text, int &first, int &last)
{
    const size_t colon = text.find(':');
    return colon != std::string::npos && parseWhole(text.substr(0, colon), first) &&
           parseWhole(text.substr(colon + 1), last) && first >= 1 && first < last;
}

enum class Parsed { NotMine, Ok, Bad };

// The next argument as a whole number in [low, high], taken only when it is one.
bool optionalNumber(int argc, char **argv, int &i, int &value, int low, int high)
{
    int number = 0;
    if (i + 1 < argc && parseWhole(argv[i + 1], number)) {
        ++i;
        value = number;
    }
    return value >= low && value <= high;
}

Parsed parseRenderOption(int argc, char **argv, int &i, kavra::RenderOptions &render)
{
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    const auto text = [&](std::optional<std::string> &target) {
        if (!hasValue)
            return Parsed::Bad;
        target = argv[++i];
        return Parsed::Ok;
    };
    const auto check = [](bool ok) { return ok ? Parsed::Ok : Parsed::Bad; };
    if (arg == "-o" && hasValue) {
        render.output = argv[++i];
        return Parsed::Ok;
    }
    if (arg == "--items" && hasValue) {
        render.items = splitNames(argv[++i]);
        return Parsed::Ok;
    }
    if (arg == "--size")
        return check(hasValue && parseSize(argv[++i], render.width, render.height));
    if (arg == "--zoom")
        return check(hasValue && parseRows(argv[++i], render.zoomFirst, render.zoomLast));
    if (arg == "--rows")
        return check(hasValue && parseRows(argv[++i], render.rowsFirst, render.rowsLast));
    if (arg == "--movavg") {
        render.movingAveragePeriod = 10;
        return check(optionalNumber(argc, argv, i, render.movingAveragePeriod, 1, 32767));
    }
    if (arg == "--smooth") {
        render.smoothingFactor = 50;
        return check(optionalNumber(argc, argv, i, render.smoothingFactor, 1, 10000));
    }
    if (arg == "--width" || arg == "--width2") {
        int &width = arg == "--width" ? render.primaryWidth : render.secondaryWidth;
        return check(hasValue && parseWhole(argv[++i], width) && width >= 1 && width <= 5);
    }
    if (arg == "--title")
        return text(render.title);
    if (arg == "--subtitle")
        return text(render.subTitle);
    if (arg == "--footer")
        return text(render.footer);
    bool *flag = arg == "--candle" ? &render.candle : arg == "--stack" ? &render.stack : arg == "--ratio" ? &render.ratio
                                                                                                            : nullptr;
    if (flag) {
        *flag = true;
        return Parsed::Ok;
    }
    if (arg == "--dual-y" || arg == "--dual-charts") {
        render.dualCharts = arg == "--dual-y" ? 1 : 2;
        return Parsed::Ok;
    }
    return Parsed::NotMine;
}

// The moving average, smoothing and candles exclude one another, as stacking and two axes do.
bool consistent(const kavra::RenderOptions &render)
{
    const int curves = (render.movingAveragePeriod > 0) + (render.smoothingFactor > 0) + render.candle;
    return curves <= 1 && !(render.stack && render.dualCharts != 0) && !render.output.empty();
}

// A report's options are all there; a kavra-batch without the chart takes the
// command alone, to say it cannot write one.
bool reportReady(const kavra::ReportOptions &report)
{
#ifdef KAVRA_NO_RENDER
    (void)report;
    return true;
#else
    return kavra::reportOptionsComplete(report);
#endif
}

bool parseArguments(int argc, char **argv, Options &options)
{
    if (argc < 2)
        return false;
    options.command = argv[1];
    const bool render = options.command == "render";
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (render) {
            const Parsed parsed = parseRenderOption(argc, argv, i, options.render);
            if (parsed == Parsed::Bad)
                return false;
            if (parsed == Parsed::Ok)
                continue;
        }
        bool bad = false;
        if (options.command == "correlate" && kavra::takeCorrelateOption(argc, argv, i, options.correlate, bad)) {
            if (bad)
                return false;
            continue;
        }
        if (options.command == "rank" && kavra::takeRankOption(argc, argv, i, options.rank, bad)) {
            if (bad)
                return false;
            continue;
        }
#ifndef KAVRA_NO_RENDER
        if (options.command == "report" && kavra::takeReportOption(argc, argv, i, options.report, bad)) {
            if (bad)
                return false;
            continue;
        }
#else
        // Without the chart a report is refused once the arguments are read; each
        // of its options takes a value.
        if (options.command == "report" && arg.size() > 1 && arg[0] == '-') {
            i += i + 1 < argc ? 1 : 0;
            continue;
        }
#endif
        const bool listing = options.command == "dump" || options.command == "info";
        if (arg == "--tail-from" && listing && i + 1 < argc) {
            options.tailFrom = argv[++i];
        } else if (arg == "--file" && options.command == "dump" && i + 1 < argc) {
            if (!parseWhole(argv[++i], options.file) || options.file < 1)
                return false;
        } else if (arg.starts_with("-")) {
            return false;
        } else {
            options.paths.push_back(arg);
        }
    }
    const bool correlate = options.command == "correlate";
    const bool rank = options.command == "rank";
    const bool report = options.command == "report";
    const bool known =
        options.command == "dump" || options.command == "info" || render || correlate || rank || report;
    return known && !options.paths.empty() && (!render || consistent(options.render)) &&
           (!correlate || !options.correlate.item.empty()) && (!rank || kavra::rankOptionsComplete(options.rank)) &&
           (!report || reportReady(options.report));
}

// The first row --tail-from leaves, 1 without it; 0, with the reason told, when
// it names no row of the data.
int tailFromRow(const std::optional<std::string> &given, const kavra::DataSet &data)
{
    if (!given)
        return 1;
    int row = 0;
    if (parseWhole(*given, row) && row >= 1 && row <= data.Row_Count)
        return row;
    std::cerr << "--tail-from " << *given << ": not a row of the data; the files have rows 1 to " << data.Row_Count
              << '\n';
    return 0;
}

void printInfo(std::ostream &out, const kavra::DataSet &data, const kavra::ItemList &items, int firstRow)
{
    out << "files:   " << data.Files_Open << '\n';
    for (int f = 0; f < data.Files_Open; ++f)
        out << "file " << f + 1 << ":  " << data.File_Names[size_t(f)] << " (node " << data.Node_Names[size_t(f)]
            << ")\n";
    out << "rows:    " << data.Row_Count - firstRow + 1 << '\n';
    out << "columns: " << data.Column_Count << '\n';
    out << "items:   " << items.revision(0).rows.size() << '\n';
}

}  // namespace

int main(int argc, char **argv)
{
    kavra::keepFreedMemoryForReuse();
    // Past a file size limit a write fails and is reported, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << "kavra-batch " << KAVRA_VERSION_MAJOR << '.' << KAVRA_VERSION_MINOR << '.' << KAVRA_VERSION_PATCH
                  << '\n';
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
    kavra::ItemLoader loader(data, items, observer);
    for (const std::string &path : options.paths) {
        const kavra::LoadOutcome outcome = loader.load(path);
        if (!outcome.loaded) {
            std::cerr << kavra::loadMessage(outcome.failure).text << '\n';
            return 1;
        }
    }

    const int firstRow = tailFromRow(options.tailFrom, data);
    if (firstRow == 0)
        return 1;
    kavra::DescriptorStream out(STDOUT_FILENO);
    if (options.command == "info") {
        printInfo(out, data, items, firstRow);
        return kavra::finishOutput(out);
    }
    if (options.command == "correlate")
        return kavra::printCorrelationList(argv[0], data, items, options.correlate, out);
    if (options.command == "rank")
        return kavra::printChangeRanking(data, items, options.rank, out);
    if (options.command == "render") {
#ifdef KAVRA_NO_RENDER
        std::cerr << "This kavra-batch was built without the chart: render is not available\n";
        return 2;
#else
        return kavra::renderChartImage(argv[0], data, items, options.render);
#endif
    }
    if (options.command == "report") {
#ifdef KAVRA_NO_RENDER
        std::cerr << "This kavra-batch was built without the chart: report is not available\n";
        return 2;
#else
        return kavra::writeReportFile(argv[0], data, items, options.report);
#endif
    }
    if (options.file > data.Files_Open) {
        std::cerr << "There is no file " << options.file << ": only " << data.Files_Open << " loaded\n";
        return 2;
    }
    // Written as it is made: the output can be far larger than the table.
    kavra::writeDataFile(out, data, items.revision(0), {firstRow, data.Row_Count, options.file});
    return kavra::finishOutput(out);
}
