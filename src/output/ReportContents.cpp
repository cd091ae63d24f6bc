// What a report holds: the items it charts, its summary page and the statistics
// under each chart.

#include "output/ChartReport.h"

#include "analysis/Median.h"
#include "analysis/SeriesStatistics.h"
#include "chart/NumberFormat.h"
#include "data/DataSet.h"
#include "data/TimeStrings.h"
#include "items/ItemList.h"

#include <QStringList>

#include <algorithm>
#include <numeric>

namespace kavra {
namespace {

QString text(const std::string &bytes)
{
    return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size()));
}

// Whether every value of the item over the rows is 0, in every file.
bool allZero(const DataSet &data, int32_t column, int first, int count)
{
    for (int file = 1; file <= data.Files_Open; ++file) {
        if (!data.Perf_Data.zeros(column, file, first, count))
            return false;
    }
    return true;
}

// The names of the all-zero items, as many as fit a summary line, and how many.
QString zeroItemsText(const ReportRequest &r, int first, int count)
{
    constexpr int kNamesShown = 20;
    QStringList names;
    int zero = 0;
    for (const ItemRow &row : r.list.rows)
        if (row.tag >= 1 && row.tag <= r.data.Perf_Data.columns() && allZero(r.data, row.tag, first, count))
            if (++zero <= kNamesShown)
                names << text(row.text);
    QString shown = QString::number(zero);
    if (zero > 0)
        shown += QStringLiteral(": ") + names.join(QStringLiteral(", "));
    if (zero > kNamesShown)
        shown += QStringLiteral(" and %1 more").arg(zero - kNamesShown);
    return shown;
}

}  // namespace

std::vector<size_t> namedReportItems(const ItemRevision &list, const std::vector<std::string> &names,
                                     std::string &unknown)
{
    std::vector<size_t> rows;
    for (const std::string &name : names) {
        const auto found = std::find_if(list.rows.begin(), list.rows.end(),
                                        [&](const ItemRow &row) { return row.text == name; });
        if (found == list.rows.end()) {
            unknown = name;
            return {};
        }
        rows.push_back(size_t(found - list.rows.begin()));
    }
    return rows;
}

std::vector<size_t> topReportItems(const DataSet &data, const ItemRevision &list, const DisplayedRows &rows,
                                   size_t count)
{
    if (data.Files_Open < 1 || data.Row_Count < 1)
        return {};
    const auto [first, last] = rows.within(data.Row_Count);
    std::vector<double> medians(list.rows.size(), 0.0);
    std::vector<double> values(size_t(last - first + 1));  // one column at a time, past the cache
    for (size_t i = 0; i < list.rows.size(); ++i) {
        const int32_t column = list.rows[i].tag;
        if (column >= 1 && column <= data.Perf_Data.columns()) {
            data.Perf_Data.decode(column, 1, first, last - first + 1, values.data());
            medians[i] = analysis::median(values.data(), values.size());
        }
    }
    std::vector<size_t> order(list.rows.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return medians[a] > medians[b]; });
    order.resize(std::min(count, order.size()));
    return order;
}

QString topItemsNote(size_t count)
{
    return QStringLiteral("the %1 items with the highest median").arg(count);
}

std::vector<size_t> selectedOrTopItems(const DataSet &data, const ItemRevision &list, const DisplayedRows &rows,
                                       QString &note)
{
    std::vector<size_t> chosen;
    for (size_t i = 0; i < list.rows.size(); ++i)
        if (list.rows[i].selected)
            chosen.push_back(i);
    if (!chosen.empty()) {
        note = QStringLiteral("the selected items");
        return chosen;
    }
    note = topItemsNote(kReportTopItems);
    return topReportItems(data, list, rows, kReportTopItems);
}

QString reportTitle(const DataSet &data)
{
    QStringList nodes;
    for (int f = 0; f < data.Files_Open; ++f)
        nodes << text(data.Node_Names[size_t(f)]);
    return QStringLiteral("Kavra Report - Node(s) : ") + nodes.join(QStringLiteral(", "));
}

std::vector<std::pair<QString, QString>> reportSummary(const ReportRequest &r)
{
    const DataSet &data = r.data;
    std::vector<std::pair<QString, QString>> lines;
    lines.emplace_back(QStringLiteral("Files"), QString::number(data.Files_Open));
    for (int f = 0; f < data.Files_Open; ++f) {
        const size_t n = size_t(f);
        lines.emplace_back(QStringLiteral("File %1").arg(f + 1), text(data.File_Names[n]));
        QString about = QStringLiteral("node ") + text(data.Node_Names[n]);
        if (!data.Collection_Dates[n].empty())
            about += QStringLiteral(", collected ") + text(data.Collection_Dates[n]);
        lines.emplace_back(QString(), about);
    }
    if (data.Row_Count < 1)
        return lines;
    const auto [first, last] = r.rows.within(data.Row_Count);
    lines.emplace_back(QStringLiteral("First sample"), text(timestr::generalDateText(data.sampleTime(first))));
    lines.emplace_back(QStringLiteral("Last sample"), text(timestr::generalDateText(data.sampleTime(last))));
    lines.emplace_back(QStringLiteral("Rows"),
                       QStringLiteral("%1 (rows %2 to %3 of %4)").arg(last - first + 1).arg(first).arg(last).arg(
                           data.Row_Count));
    QString items = QStringLiteral("%1 listed, %2 charted").arg(r.list.rows.size()).arg(r.items.size());
    if (!r.itemsNote.isEmpty())
        items += QStringLiteral(" (") + r.itemsNote + QLatin1Char(')');
    lines.emplace_back(QStringLiteral("Items"), items);
    lines.emplace_back(QStringLiteral("Items all zero"), zeroItemsText(r, first, last - first + 1));
    return lines;
}

QString statisticsFigures(const double *x, const double *y, size_t n, const QString &numberFormat)
{
    const analysis::SeriesStatistics s = analysis::seriesStatistics(x, y, n);
    if (s.count == 0)
        return QStringLiteral("no values");
    const auto figure = [&](const char *label, double value) {
        return QLatin1String(label) + QLatin1Char(' ') + formatNumber(value, numberFormat);
    };
    return QStringList{figure("Min", s.minimum), figure("Max", s.maximum), figure("Mean", s.mean),
                       figure("Median", s.median), figure("Last", s.last)}
        .join(QStringLiteral("   "));
}

}  // namespace kavra
