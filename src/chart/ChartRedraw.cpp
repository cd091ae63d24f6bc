#include "chart/ChartRedraw.h"

#include "analysis/Curves.h"
#include "app/AppState.h"
#include "chart/ChartView.h"
#include "chart/NumberFormat.h"
#include "data/DataSet.h"
#include "data/NumberText.h"
#include "data/TimeStrings.h"
#include "items/ItemList.h"

#include <algorithm>

namespace kavra {
namespace {

constexpr int kLegendTexts = 50;
constexpr int kItemSeries = 16;  // one colour of the palette each
// A smoothed curve has no detail finer than its source: on screen, a quarter of a
// million points look the same as the two million the curve may be computed at,
// and they draw fast enough to toggle smoothing on a long series instantly.
constexpr size_t kSmoothedPointsShown = 250000;

void prepareChart(ChartView &chart, const AppState &state)
{
    chart.setPanelColour(QColor(236, 233, 216));
    chart.undoZoom();
    chart.removeAllSeries();
    chart.setLegendBold(true);
    chart.setTitleSize(TitleLine::SubHeader, 18);
    chart.setTitleBold(TitleLine::SubHeader, false);
    chart.setTitleText(TitleLine::SubHeader, state.Chart_Sub_Title);
    chart.setTitleColour(TitleLine::Footer, QColor(0, 0, 255));
    chart.setTitleText(TitleLine::Footer, state.Chart_Footer);
    chart.setTitleText(TitleLine::SubFooter, state.Chart_Sub_Footer);
    chart.setTitleBold(TitleLine::Header, true);
    chart.setTitleSize(TitleLine::Header, 25);
    chart.setTitleText(TitleLine::Header, state.Chart_Title);
    chart.setAxisDateTimeFormat(QStringLiteral("hh:mm:ss (d-mmm-yyyy)"));
}

// The rows the chart shows: the zoom range, kept within the data.
std::pair<int, int> shownRows(const AppState &state, const DataSet &data)
{
    const int rows = qMax(1, int(data.Row_Count));
    const int first = qBound(1, int(state.Zoom_First_Row), rows);
    return {first, qBound(first, int(state.Zoom_Last_Row), rows)};
}

// One line series per selected item and file. Every file gets the same items, the
// first ones selected, as many as 16 series leave room for with every file open.
int addItemSeries(ChartView &chart, AppState &state, const DataSet &data, const ItemRevision &items)
{
    const auto [first, last] = shownRows(state, data);
    const int count = data.Row_Count > 0 ? last - first + 1 : 0;
    const int perFile = itemsChartedPerFile(int(data.Files_Open));
    state.Scount = 0;
    for (state.FCount = 1; state.FCount <= data.Files_Open; ++state.FCount) {
        int charted = 0;
        for (const ItemRow &row : items.rows) {
            if (!row.selected)
                continue;
            if (charted++ == perFile)
                break;
            const int s = chart.addSeries(SeriesKind::Line);
            chart.setSeriesStackMode(s, state.Stack_Mode);
            chart.setSeriesValueAxis(s, ValueAxis::Both);
            chart.setSeriesPenWidth(s, state.Primary_Line_Width);
            state.Legend_Text[size_t(s)] = legendText(QString::fromLocal8Bit(row.text), state.FCount);
            chart.setSeriesName(s, state.Legend_Text[size_t(s)]);
            if (count > 0)
                chart.setSeriesPoints(s, data.Xaxis_Values.data() + (first - 1),
                                      data.Perf_Data.column(row.tag, state.FCount) + (first - 1), count);
            chart.setSeriesColour(s, paletteColour(s));
            ++state.Scount;
        }
    }
    state.FCount = qMin(state.FCount, int(data.Files_Open));
    return state.Scount;
}

// With no series the time axis still spans the rows that would be charted, so
// that its labels show the file's times.
void showRowTimes(ChartView &chart, const AppState &state, const DataSet &data)
{
    if (data.Row_Count <= 0)
        return;
    const auto [first, last] = shownRows(state, data);
    chart.setEmptyTimeRange(data.sampleTime(first), data.sampleTime(last));
}

void resetAxes(ChartView &chart, const AppState &state)
{
    chart.setAxisCopies(false);
    for (ChartAxis axis : {ChartAxis::Left, ChartAxis::Right}) {
        chart.setAxisGrid(axis, GridStyle::FineDots);
        chart.setAxisLineColour(axis, Qt::black);
        chart.setAxisLabelColour(axis, Qt::black);
        chart.setAxisSpan(axis, 0, 100);
    }
    chart.setAxisGrid(ChartAxis::Bottom, GridStyle::Dot);
    chart.setAxisNumberFormat(ChartAxis::Left, state.Axis_Format_String_Left);
    chart.setAxisNumberFormat(ChartAxis::Right, state.Axis_Format_String_Right);
}

void addSmoothedCurve(ChartView &chart, AppState &state)
{
    std::vector<double> x, y;
    chart.seriesPoints(0, x, y);
    const analysis::Curve curve =
        analysis::smoothedCurve(x.data(), y.data(), x.size(), state.Smoothing_Factor, kSmoothedPointsShown);
    const int s = chart.addSeries(SeriesKind::Line);
    chart.setSeriesPoints(s, curve.x.data(), curve.y.data(), int(curve.x.size()));
    chart.setSeriesPenWidth(s, state.Secondary_Line_Width);
    chart.setSeriesColour(s, paletteColour(1));
    chart.setSeriesShown(0, false);
    state.Legend_Text[1] = QStringLiteral("Smoothed curve");
    chart.setSeriesName(s, state.Legend_Text[1]);
}

QString withoutCommas(QString format) { return format.remove(QLatin1Char(',')); }

// Two items: on both axes, on a left and a right axis, or in an upper and a
// lower chart. Moving averages, when drawn, follow their items.
void applyDualLayout(ChartView &chart, const AppState &state)
{
    if (state.Dual_Charts == 0)
        return;
    for (int s = 0; s < chart.seriesCount() && s < 4; ++s) {
        chart.setSeriesValueAxis(s, s % 2 == 0 ? ValueAxis::Left : ValueAxis::Right);
        chart.setSeriesStackMode(s, StackOverlap);
    }
    if (state.Dual_Charts == 1) {
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
    chart.setAxisNumberFormat(ChartAxis::Left, withoutCommas(chart.axisNumberFormat(ChartAxis::Left)));
    chart.setAxisNumberFormat(ChartAxis::Right, withoutCommas(chart.axisNumberFormat(ChartAxis::Right)));
    chart.setAxisCopies(true);
}

// The moving averages, the smoothed curve and the candles the options ask for.
void addDerivedSeries(ChartView &chart, AppState &state, int series)
{
    if (series == 2) {
        if (state.MovAvg_On)
            for (int k = 0; k < 2; ++k)
                addMovingAverage(chart, state, k);
        applyDualLayout(chart, state);
    }
    if (state.MovAvg_On && (series == 1 || series == 3 || series == 4))
        for (int k = 0; k < series; ++k)
            addMovingAverage(chart, state, k);
    if (state.Smoothing_On && series == 1)
        addSmoothedCurve(chart, state);
    if (state.Candle_On && series == 1)
        addCandleChart(chart, state);
}

}  // namespace

int addMovingAverage(ChartView &chart, AppState &state, int k)
{
    const int n = chart.seriesCount();
    std::vector<double> x, y;
    chart.seriesPoints(k, x, y);
    // A period the series cannot fill draws no curve; the series keeps its place.
    const analysis::Curve curve = analysis::movingAverage(x.data(), y.data(), x.size(), state.MovAvg_Period);
    const int s = chart.addSeries(SeriesKind::Line);
    chart.setSeriesPoints(s, curve.x.data(), curve.y.data(), int(curve.x.size()));
    chart.setSeriesPenWidth(s, state.Secondary_Line_Width);
    chart.setSeriesColour(s, paletteColour(n));
    chart.setSeriesValueAxis(s, ValueAxis::Both);
    chart.setSeriesShown(k, false);
    if (n < kLegendTexts) {
        state.Legend_Text[size_t(n)] = state.Legend_Text[size_t(k)] + QStringLiteral("(MovAvgPer=") +
                                       QString::fromStdString(signedNumberText(state.MovAvg_Period)) +
                                       QLatin1Char(')');
        chart.setSeriesName(s, state.Legend_Text[size_t(n)]);
    }
    return s;
}

void addCandleChart(ChartView &chart, AppState &state)
{
    std::vector<double> x, y;
    chart.seriesPoints(0, x, y);
    const int s = chart.addSeries(SeriesKind::Candle);
    chart.setCandleColours(s, QColor(0, 255, 0), QColor(0, 0, 255));
    const std::vector<analysis::Candle> candles = analysis::candles(x.data(), y.data(), x.size());
    for (const analysis::Candle &candle : candles)
        chart.addCandle(s, candle.date, candle.open, candle.high, candle.low, candle.close);
    if (candles.size() > 1)
        chart.setCandleWidth(s, (candles[1].date - candles[0].date) * 0.7);
    state.Legend_Text[1] = QStringLiteral("Candle (DownClose : Blue, UpClose : Green)");
    chart.setSeriesName(s, state.Legend_Text[1]);
    chart.setSeriesValueAxis(s, ValueAxis::Both);
    // Too few points for a candle: the item's own line stays in view.
    chart.setSeriesShown(0, candles.empty());
}

void addRatioCharts(ChartView &chart, AppState &state)
{
    const QString t0 = state.Legend_Text[0], t1 = state.Legend_Text[1];
    std::vector<double> x, a, ignored, b;
    chart.seriesPoints(0, x, a);
    chart.seriesPoints(1, ignored, b);
    const size_t n = std::min(a.size(), b.size());
    const bool repaint = chart.repaintOn();
    chart.setRepaint(false);
    const std::vector<double> ratios[2] = {analysis::ratio(a.data(), b.data(), n),
                                           analysis::ratio(b.data(), a.data(), n)};
    for (int r = 0; r < 2; ++r) {
        const int s = chart.addSeries(SeriesKind::Line);
        chart.setSeriesColour(s, paletteColour(2 + r));
        chart.setSeriesPoints(s, x.data(), ratios[r].data(), int(n));
        chart.setSeriesPenWidth(s, state.Secondary_Line_Width);
    }
    chart.exchangeSeries(2, 0);
    chart.exchangeSeries(3, 1);
    chart.setSeriesShown(2, false);
    chart.setSeriesShown(3, false);
    chart.setSeriesValueAxis(0, ValueAxis::Both);
    chart.setSeriesValueAxis(1, ValueAxis::Both);
    state.Legend_Text[2] = t0;
    state.Legend_Text[3] = t1;
    state.Legend_Text[0] = QStringLiteral("Ratio : ") + t0 + QStringLiteral(" / ") + t1;
    state.Legend_Text[1] = QStringLiteral("Ratio : ") + t1 + QStringLiteral(" / ") + t0;
    for (int s = 0; s < 4; ++s)
        chart.setSeriesName(s, state.Legend_Text[size_t(s)]);
    chart.setRepaint(repaint);
    state.Ratio_Mode = true;
}

int itemsChartedPerFile(int filesOpen)
{
    return qMax(1, kItemSeries / qMax(1, filesOpen));
}

QString leftOutItemsText(const RedrawResult &drawn, int filesOpen)
{
    if (drawn.itemsPerFile >= drawn.selectedItems)
        return QString();
    QString text = QStringLiteral("Charting %1 of %2 selected items").arg(drawn.itemsPerFile).arg(drawn.selectedItems);
    if (filesOpen > 1)
        text += QStringLiteral(" for each of %1 files").arg(filesOpen);
    return text;
}

QString legendText(const QString &itemText, int file)
{
    return itemText.left(120) + QStringLiteral("(#") + QString::fromStdString(signedNumberText(file)) +
           QLatin1Char(')');
}

RedrawResult redrawChart(ChartView &chart, AppState &state, const DataSet &data, const ItemRevision &items)
{
    state.Ratio_Mode = false;
    chart.setRepaint(false);
    prepareChart(chart, state);
    const int series = addItemSeries(chart, state, data, items);
    if (series == 0)
        showRowTimes(chart, state, data);
    resetAxes(chart, state);
    if (series == 1)
        state.Dual_Charts = 0;
    addDerivedSeries(chart, state, series);
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
    result.ratioCharts = series == 2 && state.Dual_Charts == 0;
    return result;
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

void narrowZoomRowsToChart(const ChartView &chart, AppState &state, const DataSet &data)
{
    if (!chart.zoomed())
        return;
    int first = state.Zoom_First_Row, last = state.Zoom_Last_Row;
    narrowRowsToView(data.Xaxis_Values, chart.axisMinimum(ChartAxis::Bottom), chart.axisMaximum(ChartAxis::Bottom),
                     first, last);
    state.Zoom_First_Row = first;
    state.Zoom_Last_Row = last;
}

QString pointReadout(const QString &legendText, double x, double y)
{
    return legendText + QStringLiteral(" ... (X-value: ") + QString::fromStdString(timestr::generalDateText(x)) +
           QStringLiteral("  , Y-value: ") + formatNumber(y, QStringLiteral("##########0.000")) + QLatin1Char(')');
}

}  // namespace kavra
