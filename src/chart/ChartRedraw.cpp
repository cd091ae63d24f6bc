#include "chart/ChartRedraw.h"

#include "analysis/Curves.h"
#include "chart/ChartView.h"
#include "chart/NumberFormat.h"
#include "chart/SeriesSources.h"
#include "data/DataSet.h"
#include "data/DisplayedRows.h"
#include "data/NumberText.h"
#include "data/TimeStrings.h"
#include "items/ItemList.h"
#include "ui/Palette.h"

#include <algorithm>

namespace kavra {
namespace {

constexpr int kLegendTexts = 50;
constexpr int kItemSeries = 16;  // one colour of the palette each
// A smoothed curve has no detail finer than its source: on screen, a quarter of a
// million points look the same as the two million the curve may be computed at,
// and they draw fast enough to toggle smoothing on a long series instantly.
constexpr size_t kSmoothedPointsShown = 250000;

void prepareChart(ChartView &chart, const ChartOptions &options)
{
    chart.setPanelColour(QColor(236, 233, 216));
    chart.undoZoom();
    chart.removeAllSeries();
    chart.setLegendBold(true);
    chart.setTitleSize(TitleLine::SubHeader, 18);
    chart.setTitleBold(TitleLine::SubHeader, false);
    chart.setTitleText(TitleLine::SubHeader, QString::fromStdString(options.title(TitleLine::SubHeader)));
    chart.setTitleColour(TitleLine::Footer, QColor(0, 0, 255));
    chart.setTitleText(TitleLine::Footer, QString::fromStdString(options.title(TitleLine::Footer)));
    chart.setTitleText(TitleLine::SubFooter, QString::fromStdString(options.title(TitleLine::SubFooter)));
    chart.setTitleBold(TitleLine::Header, true);
    chart.setTitleSize(TitleLine::Header, 25);
    chart.setTitleText(TitleLine::Header, QString::fromStdString(options.title(TitleLine::Header)));
    for (TitleLine line : {TitleLine::Header, TitleLine::SubHeader, TitleLine::Footer, TitleLine::SubFooter})
        chart.setTitleShown(line, options.titleShown(line));
    chart.setAxisDateTimeFormat(QStringLiteral("hh:mm:ss (d-mmm-yyyy)"));
}

// Adds a line series of values; returns its index.
int addLine(ChartView &chart, const SeriesValues &values)
{
    const int s = chart.addSeries(SeriesKind::Line);
    chart.setSeriesPoints(s, values.x, values.y, int(values.n));
    return s;
}

// One line series per selected item and file. Every file gets the same items, the
// first ones selected, as many as 16 series leave room for with every file open.
int addItemSeries(ChartView &chart, const RedrawContext &c, const ItemRevision &items)
{
    const DataSet &data = c.data;
    const auto [first, last] = c.rows.within(int(data.Row_Count));
    const int count = data.Row_Count > 0 ? last - first + 1 : 0;
    const int perFile = itemsChartedPerFile(int(data.Files_Open));
    for (int file = 1; file <= data.Files_Open; ++file) {
        int charted = 0;
        for (const ItemRow &row : items.rows) {
            if (!row.selected)
                continue;
            if (charted++ == perFile)
                break;
            const int s = chart.addSeries(SeriesKind::Line);
            chart.setSeriesStackMode(s, c.options.stackMode());
            chart.setSeriesValueAxis(s, ValueAxis::Both);
            chart.setSeriesPenWidth(s, c.options.primaryWidth());
            chart.setSeriesName(s, legendText(QString::fromLocal8Bit(row.text), file));
            c.sources.setRows(s, row.tag, file, first, count);
            if (const SeriesValues values = c.sources.values(s, data); values.n > 0)
                chart.setSeriesPoints(s, values.x, values.y, int(values.n));
            chart.setSeriesColour(s, paletteColour(s));
        }
    }
    return chart.seriesCount();
}

// With no series the time axis still spans the rows that would be charted, so
// that its labels show the file's times.
void showRowTimes(ChartView &chart, const RedrawContext &c)
{
    if (c.data.Row_Count <= 0)
        return;
    const auto [first, last] = c.rows.within(int(c.data.Row_Count));
    chart.setEmptyTimeRange(c.data.sampleTime(first), c.data.sampleTime(last));
}

void resetAxes(ChartView &chart, const ChartOptions &options)
{
    chart.setAxisCopies(false);
    for (ChartAxis axis : {ChartAxis::Left, ChartAxis::Right}) {
        chart.setAxisGrid(axis, GridStyle::FineDots);
        chart.setAxisLineColour(axis, Qt::black);
        chart.setAxisLabelColour(axis, Qt::black);
        chart.setAxisSpan(axis, 0, 100);
    }
    chart.setAxisGrid(ChartAxis::Bottom, GridStyle::Dot);
    chart.setAxisNumberFormat(ChartAxis::Left, QString::fromStdString(options.axisFormat(false)));
    chart.setAxisNumberFormat(ChartAxis::Right, QString::fromStdString(options.axisFormat(true)));
}

void addSmoothedCurve(ChartView &chart, const RedrawContext &c)
{
    const SeriesValues item = c.sources.values(0, c.data);
    const analysis::Curve curve =
        analysis::smoothedCurve(item.x, item.y, item.n, c.options.smoothingFactor(), kSmoothedPointsShown);
    const int s = addLine(chart, {curve.x.data(), curve.y.data(), curve.x.size()});
    chart.setSeriesPenWidth(s, c.options.secondaryWidth());
    chart.setSeriesColour(s, paletteColour(1));
    chart.setSeriesShown(0, false);
    chart.setSeriesName(s, QStringLiteral("Smoothed curve"));
}

QString withoutCommas(const std::string &format)
{
    return QString::fromStdString(format).remove(QLatin1Char(','));
}

// Two items: on both axes, on a left and a right axis, or in an upper and a
// lower chart. Moving averages, when drawn, follow their items.
void applyDualLayout(ChartView &chart, const ChartOptions &options, DualLayout layout)
{
    if (layout == SingleAxis)
        return;
    for (int s = 0; s < chart.seriesCount() && s < 4; ++s) {
        chart.setSeriesValueAxis(s, s % 2 == 0 ? ValueAxis::Left : ValueAxis::Right);
        chart.setSeriesStackMode(s, StackOverlap);
    }
    if (layout == DualAxes) {
        for (ChartAxis axis : {ChartAxis::Left, ChartAxis::Right, ChartAxis::Bottom})
            chart.setAxisGrid(axis, GridStyle::None);
        for (ChartAxis axis : {ChartAxis::Left, ChartAxis::Right}) {
            const QColor colour = paletteColour(axis == ChartAxis::Left ? 0 : 1);
            chart.setAxisLineColour(axis, colour);
            chart.setAxisLabelColour(axis, colour);
        }
        return;
    }
    chart.setAxisSpan(ChartAxis::Left, 0, 48);
    chart.setAxisSpan(ChartAxis::Right, 52, 100);
    chart.setAxisNumberFormat(ChartAxis::Left, withoutCommas(options.axisFormat(false)));
    chart.setAxisNumberFormat(ChartAxis::Right, withoutCommas(options.axisFormat(true)));
    chart.setAxisCopies(true);
}

// The moving averages, the smoothed curve and the candles the options ask for.
// Status panel 1 says when the moving average has too few rows to be drawn.
QString periodNote(const ChartOptions &options, int series, const SeriesSources &sources, const DataSet &data)
{
    if (!options.shows(DerivedCurve::MovingAverage) || series < 1 || series > 4)
        return QString();
    const size_t rows = sources.values(0, data).n;
    if (options.movingAveragePeriod() <= 0 || size_t(options.movingAveragePeriod()) <= rows)
        return QString();
    return QStringLiteral("The moving average period (%1) is longer than the %2 rows shown: no average is drawn")
        .arg(options.movingAveragePeriod())
        .arg(rows);
}

void addDerivedSeries(ChartView &chart, const RedrawContext &c, int series, DualLayout layout)
{
    const ChartOptions &options = c.options;
    const bool movingAverage = options.shows(DerivedCurve::MovingAverage);
    if (series == 2) {
        if (movingAverage)
            for (int k = 0; k < 2; ++k)
                addMovingAverage(chart, c, k);
        applyDualLayout(chart, options, layout);
    }
    if (movingAverage && (series == 1 || series == 3 || series == 4))
        for (int k = 0; k < series; ++k)
            addMovingAverage(chart, c, k);
    if (options.shows(DerivedCurve::Smoothed) && series == 1)
        addSmoothedCurve(chart, c);
    if (options.shows(DerivedCurve::Candle) && series == 1)
        addCandleChart(chart, c);
}

}  // namespace

int addMovingAverage(ChartView &chart, const RedrawContext &c, int k)
{
    const SeriesValues item = c.sources.values(k, c.data);
    const analysis::Curve curve = analysis::movingAverage(item.x, item.y, item.n, c.options.movingAveragePeriod());
    const int s = addLine(chart, {curve.x.data(), curve.y.data(), curve.x.size()});
    chart.setSeriesPenWidth(s, c.options.secondaryWidth());
    chart.setSeriesColour(s, paletteColour(s));
    chart.setSeriesValueAxis(s, ValueAxis::Both);
    // The averages of stacked items are stacked as their items are, on one
    // another: the average of the stacked values.
    chart.setSeriesStackGroup(s, 1);
    chart.setSeriesStackMode(s, chart.seriesStackMode(k));
    // A period the series cannot fill draws no curve: the item stays in view.
    chart.setSeriesShown(k, curve.x.empty());
    if (s < kLegendTexts)
        chart.setSeriesName(s, chart.seriesName(k) + QStringLiteral("(MovAvgPer=") +
                                   QString::fromStdString(signedNumberText(c.options.movingAveragePeriod())) +
                                   QLatin1Char(')'));
    return s;
}

void addCandleChart(ChartView &chart, const RedrawContext &c)
{
    const SeriesValues item = c.sources.values(0, c.data);
    const std::vector<analysis::Candle> candles = analysis::candles(item.x, item.y, item.n);
    if (candles.empty())
        return;  // nothing to summarise: the item's own line stays, with no empty legend entry
    const int s = chart.addSeries(SeriesKind::Candle);
    chart.setCandleColours(s, QColor(0, 255, 0), QColor(0, 0, 255));
    for (const analysis::Candle &candle : candles)
        chart.addCandle(s, candle.date, candle.open, candle.high, candle.low, candle.close);
    // Full groups lie a group's time apart; a single candle takes its group's time.
    const double spacing = candles.size() > 1 ? candles[1].date - candles[0].date : item.x[item.n - 1] - item.x[0];
    if (spacing > 0)
        chart.setCandleWidth(s, spacing * 0.7);
    chart.setSeriesName(s, QStringLiteral("Candle (DownClose : Blue, UpClose : Green)"));
    chart.setSeriesValueAxis(s, ValueAxis::Both);
    chart.setSeriesShown(0, false);
}

RatioOperands addRatioCharts(ChartView &chart, const RedrawContext &c)
{
    RatioOperands operands;
    c.sources.itemOf(0, operands.a.column, operands.a.file);
    c.sources.itemOf(1, operands.b.column, operands.b.file);
    const QString t0 = chart.seriesName(0), t1 = chart.seriesName(1);
    const SeriesValues a = c.sources.values(0, c.data), b = c.sources.values(1, c.data);
    const size_t n = std::min(a.n, b.n);
    const bool repaint = chart.repaintOn();
    chart.setRepaint(false);
    std::vector<double> ratios[2] = {analysis::ratio(a.y, b.y, n), analysis::ratio(b.y, a.y, n)};
    for (int r = 0; r < 2; ++r) {
        const int s = addLine(chart, {a.x, ratios[r].data(), n});
        chart.setSeriesColour(s, paletteColour(2 + r));
        chart.setSeriesPenWidth(s, c.options.secondaryWidth());
        c.sources.setComputed(s, 0, std::move(ratios[r]));
    }
    chart.exchangeSeries(2, 0);
    chart.exchangeSeries(3, 1);
    c.sources.exchange(2, 0);
    c.sources.exchange(3, 1);
    chart.setSeriesShown(2, false);
    chart.setSeriesShown(3, false);
    chart.setSeriesValueAxis(0, ValueAxis::Both);
    chart.setSeriesValueAxis(1, ValueAxis::Both);
    chart.setSeriesName(0, QStringLiteral("Ratio : ") + t0 + QStringLiteral(" / ") + t1);
    chart.setSeriesName(1, QStringLiteral("Ratio : ") + t1 + QStringLiteral(" / ") + t0);
    chart.setRepaint(repaint);
    return operands;
}

int itemsChartedPerFile(int filesOpen)
{
    return qMax(1, kItemSeries / qMax(1, filesOpen));
}

QString leftOutItemsText(const RedrawResult &drawn, int filesOpen)
{
    QString text;
    if (drawn.itemsPerFile < drawn.selectedItems) {
        text = QStringLiteral("Charting %1 of %2 selected items").arg(drawn.itemsPerFile).arg(drawn.selectedItems);
        if (filesOpen > 1)
            text += QStringLiteral(" for each of %1 files").arg(filesOpen);
    }
    if (!drawn.periodNote.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(" - ")) + drawn.periodNote;
    return text;
}

QString legendText(const QString &itemText, int file)
{
    return itemText.left(120) + QStringLiteral("(#") + QString::fromStdString(signedNumberText(file)) +
           QLatin1Char(')');
}

RedrawResult redrawChart(ChartView &chart, const RedrawContext &context, const ItemRevision &items)
{
    const DataSet &data = context.data;
    const ChartOptions &options = context.options;
    context.sources.clear();
    chart.setRepaint(false);
    prepareChart(chart, options);
    const int series = addItemSeries(chart, context, items);
    if (series == 0)
        showRowTimes(chart, context);
    resetAxes(chart, options);
    const DualLayout layout = series == 1 ? SingleAxis : options.dualLayout();
    addDerivedSeries(chart, context, series, layout);
    chart.setRepaint(true);

    RedrawResult result;
    result.seriesCount = series;
    result.selectedItems =
        int(std::count_if(items.rows.begin(), items.rows.end(), [](const ItemRow &row) { return row.selected; }));
    result.itemsPerFile = data.Files_Open > 0 ? series / int(data.Files_Open) : 0;
    const bool severalItems = items.rows.size() > 1;
    result.correlate = result.smoothUnSmooth = result.candleChart = data.Files_Open == 1 && series == 1 && severalItems;
    result.movingAverage = series <= 4 && severalItems;
    result.cycleDualCharts = series == 2;
    result.periodNote = periodNote(options, series, context.sources, data);
    result.ratioCharts = series == 2 && layout == SingleAxis;
    result.forcesSingleAxis = layout != options.dualLayout();
    result.dropsRatios = options.ratioMode();
    return result;
}

void keepForcedChoices(ChartOptions &options, const RedrawResult &drawn)
{
    if (drawn.forcesSingleAxis)
        options.useSingleAxis();
    if (drawn.dropsRatios)
        options.leaveRatios();
}

void narrowRowsToView(const std::vector<double> &sampleTimes, double xMin, double xMax, int &firstRow, int &lastRow)
{
    const int rows = int(sampleTimes.size());
    if (rows == 0)
        return;
    // A view that lies beyond the data keeps the row nearest to it, so that the
    // range never holds rows of an earlier view that are out of sight now.
    firstRow = rows;
    for (int i = 2; i <= rows; ++i)
        if (sampleTimes[size_t(i - 1)] > xMin) {
            firstRow = i - 1;
            break;
        }
    lastRow = 1;
    for (int c = rows - 1; c >= 1; --c)
        if (sampleTimes[size_t(c - 1)] < xMax) {
            lastRow = c + 1;
            break;
        }
    if (firstRow > lastRow)  // sample times that run backwards
        std::swap(firstRow, lastRow);
}

void narrowZoomRowsToChart(const ChartView &chart, DisplayedRows &rows, const DataSet &data)
{
    if (!chart.zoomed())
        return;
    int first = rows.Zoom_First_Row, last = rows.Zoom_Last_Row;
    narrowRowsToView(data.Xaxis_Values, chart.axisMinimum(ChartAxis::Bottom), chart.axisMaximum(ChartAxis::Bottom),
                     first, last);
    rows.Zoom_First_Row = first;
    rows.Zoom_Last_Row = last;
}

QString pointReadout(const QString &legendText, double x, double y)
{
    return legendText + QStringLiteral(" ... (X-value: ") + QString::fromStdString(timestr::generalDateText(x)) +
           QStringLiteral("  , Y-value: ") + formatNumber(y, QStringLiteral("##########0.000")) + QLatin1Char(')');
}

}  // namespace kavra
