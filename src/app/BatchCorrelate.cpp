#include "app/BatchCorrelate.h"

#include "analysis/Correlation.h"
#include "data/DataSet.h"
#include "items/ItemList.h"

#ifndef KAVRA_NO_RENDER
#include "chart/ChartView.h"
#include "chart/ScatterDiagram.h"
#include "output/ChartExport.h"

#include <QApplication>
#endif

#include <charconv>
#include <iostream>

namespace kavra {
namespace {

bool wholeNumber(const char *text, int &value)
{
    const std::string s(text);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size();
}

#ifndef KAVRA_NO_RENDER
QString text(const std::string &bytes)
{
    return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size()));
}

// The scatter diagram of line against the reference, as the window draws it.
int writeScatter(const char *program, const DataSet &data, const analysis::CorrelationLine &line,
                 const ItemRow &reference, int first, int last, const std::string &path, ImageFormat format)
{
    int argc = 1;
    char *argv[] = {const_cast<char *>(program), nullptr};
    QApplication app(argc, argv);
    ChartView chart;
    chart.resize(scatterChartSize(chart.logicalDpiX(), chart.logicalDpiY()));
    QString legendText;
    setUpScatterChart(chart, &legendText);
    legendText =
        drawScatterDiagram(chart, data, text(line.text), line.column, text(reference.text), reference.tag, first, last)
            .legendText;
    chart.draw();
    const QString error = exportChart(chart, text(path), format);
    if (!error.isEmpty()) {
        std::cerr << error.toLocal8Bit().constData() << '\n';
        return 1;
    }
    return 0;
}
#endif

}  // namespace

bool takeCorrelateOption(int argc, char **argv, int &i, CorrelateOptions &options, bool &bad)
{
    const std::string arg = argv[i];
    if (arg != "--item" && arg != "--from" && arg != "--to" && arg != "--scatter")
        return false;
    if (i + 1 >= argc) {
        bad = true;
        return true;
    }
    const char *value = argv[++i];
    if (arg == "--item")
        options.item = value;
    else if (arg == "--scatter")
        options.scatter = value;
    else if (!wholeNumber(value, arg == "--from" ? options.from : options.to))
        bad = true;
    return true;
}

int printCorrelationList(const char *program, const DataSet &data, const ItemList &items,
                         const CorrelateOptions &options)
{
#ifdef KAVRA_NO_RENDER
    (void)program;
    if (!options.scatter.empty()) {
        std::cerr << "This kavra-batch was built without the chart: --scatter is not available\n";
        return 2;
    }
#else
    qputenv("QT_QPA_PLATFORM", "offscreen");  // no window system is needed or used
    const std::optional<ImageFormat> format = formatForPath(text(options.scatter));
    if (!options.scatter.empty() && !format) {
        std::cerr << "Unknown picture format of " << options.scatter
                  << ": use .bmp .jpg .wmf .emf .gif .png .pcx .eps .pdf .svg\n";
        return 2;
    }
#endif
    const ItemRevision &list = items.current();
    const ItemRow *reference = nullptr;
    std::vector<analysis::CorrelationItem> candidates;
    for (const ItemRow &row : list.rows) {
        if (!reference && row.text == options.item)
            reference = &row;
        candidates.push_back({row.text, row.tag});
    }
    if (!reference) {
        std::cerr << "No item named \"" << options.item << "\" in the item list\n";
        return 2;
    }
    const int first = options.from > 0 ? options.from : 1;
    const int last = options.to > 0 ? options.to : data.Row_Count;
    if (options.from < 0 || options.to < 0 || first > last || last > data.Row_Count) {
        std::cerr << "Rows " << first << " to " << last << " are not rows of the data: use rows 1 to " << data.Row_Count
                  << '\n';
        return 2;
    }
    const int file = data.Files_Open;  // the coefficients come from the file loaded last, as in the viewer
    const std::vector<analysis::CorrelationLine> lines =
        analysis::correlationList([&](int32_t column) { return data.Perf_Data.column(column, file) + (first - 1); },
                                  size_t(last - first + 1), reference->tag, candidates);
    if (lines.empty()) {
        std::cerr << "No relevant items found ...\n";
        return 1;
    }
    for (const analysis::CorrelationLine &line : lines)
        std::cout << line.text << '\n';
    std::cout.flush();
    if (!std::cout)
        return 1;
#ifndef KAVRA_NO_RENDER
    if (!options.scatter.empty())
        return writeScatter(program, data, lines.back(), *reference, first, last, options.scatter, *format);
#endif
    return 0;
}

}  // namespace kavra
