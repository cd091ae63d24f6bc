#include "app/BatchReport.h"

#include "app/AppState.h"
#include "app/BatchArguments.h"
#include "app/OffscreenApplication.h"
#include "chart/ChartView.h"
#include "items/ItemList.h"
#include "output/ChartReport.h"

#include <iostream>

namespace kavra {
bool takeReportOption(int argc, char **argv, int &i, ReportOptions &options, bool &bad)
{
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-o" || arg == "--items") {
        bad = !hasValue;
        if (hasValue && arg == "-o")
            options.output = argv[++i];
        else if (hasValue)
            options.items = splitNames(argv[++i]);
        return true;
    }
    int *target = arg == "--from"       ? &options.from
                  : arg == "--to"       ? &options.to
                  : arg == "--top"      ? &options.top
                  : arg == "--per-page" ? &options.perPage
                                        : nullptr;
    if (!target)
        return false;
    bad = !hasValue || !parseWhole(argv[++i], *target) || *target < 1 ||
          (target == &options.perPage && *target > kReportMostChartsPerPage);
    return true;
}

bool reportOptionsComplete(const ReportOptions &options)
{
    return !options.output.empty() && !(options.items && options.top > 0);
}

int writeReportFile(const char *program, const DataSet &data, ItemList &items, const ReportOptions &options)
{
    const int from = options.from > 0 ? options.from : 1;
    const int to = options.to > 0 ? options.to : data.Row_Count;
    if (from > to || to > data.Row_Count) {
        std::cerr << "Rows " << from << " to " << to << " are not rows of the data: use rows 1 to " << data.Row_Count
                  << '\n';
        return 2;
    }
    const ItemRevision &list = items.current();
    const DisplayedRows rows{from, to};
    QString note;
    std::vector<size_t> chosen;
    if (options.items) {
        std::string unknown;
        chosen = namedReportItems(list, *options.items, unknown);
        if (!unknown.empty()) {
            std::cerr << "No such item: " << unknown << '\n';
            return 1;
        }
        note = QStringLiteral("the items named");
    } else {
        const int top = options.top > 0 ? options.top : kReportTopItems;
        chosen = topReportItems(data, list, rows, size_t(top));
        note = topItemsNote(chosen.size());
    }

    OffscreenApplication app(program);
    AppState state;
    applyLoadedView(state, data, true);
    const ReportRequest request{
        data, list, chosen, rows, state.chart, options.perPage > 0 ? options.perPage : kReportChartsPerPage,
        reportTitle(data), note};
    const QString error = writeReport(QString::fromLocal8Bit(options.output.c_str()), request);
    if (error.isEmpty())
        return 0;
    std::cerr << error.toLocal8Bit().constData() << '\n';
    return 1;
}

}  // namespace kavra
