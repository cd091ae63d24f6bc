#pragma once
// A report as a PDF document, the same from the viewer's Save Report ... and
// from kavra-batch report: a summary page of the files loaded, then the charts
// of the chosen items, each drawn by the redraw as the viewer draws it with that
// item alone selected (its series of every file), with a line of statistics
// under it; the report's title and the page number in every page's footer.

#include "plan/ChartOptions.h"
#include "data/DisplayedRows.h"

#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kavra {

struct DataSet;
class ItemRevision;

constexpr int kReportTopItems = 24;       // charted when no item is chosen
constexpr int kReportChartsPerPage = 4;
constexpr int kReportMostChartsPerPage = 8;

struct ReportRequest {
    const DataSet &data;
    const ItemRevision &list;  // the items listed
    std::vector<size_t> items;  // rows of list to chart, in this order
    DisplayedRows rows;         // the rows charted and summed up
    ChartOptions options;       // how each chart is drawn
    int perPage = kReportChartsPerPage;
    QString title;
    QString itemsNote;  // how the items were chosen, for the summary
};

// The rows of list with these texts, in the order named. A name no row has
// comes back in unknown, with no rows.
std::vector<size_t> namedReportItems(const ItemRevision &list, const std::vector<std::string> &names,
                                     std::string &unknown);
// The count rows with the highest median of the first file's values over rows,
// the highest first; equal medians in list order.
std::vector<size_t> topReportItems(const DataSet &data, const ItemRevision &list, const DisplayedRows &rows,
                                   size_t count);
// What the viewer reports: the selected rows in list order, else the top 24;
// note says which.
std::vector<size_t> selectedOrTopItems(const DataSet &data, const ItemRevision &list, const DisplayedRows &rows,
                                       QString &note);
// "the 24 items with the highest median".
QString topItemsNote(size_t count);

// "Kavra Report - Node(s) : NODE1, NODE2".
QString reportTitle(const DataSet &data);
// The summary page, label and value a line.
std::vector<std::pair<QString, QString>> reportSummary(const ReportRequest &request);
// A series' statistics on one line, numbers as the value axis writes them:
// "Min 0   Max 97.5   Mean 43.217   Median 40   Last 12".
QString statisticsFigures(const double *x, const double *y, size_t n, const QString &numberFormat);

// Writes the report to path as every PDF is written (output/PrintFile): whole
// or not at all. progress, when given, hears of each chart drawn. Returns the
// error's description, empty on success.
QString writeReport(const QString &path, const ReportRequest &request,
                    const std::function<void(int done, int total)> &progress = {});

}  // namespace kavra
