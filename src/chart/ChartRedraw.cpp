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
#include "plan/ChartPlan.h"
#include "ui/Palette.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavra {
namespace {

// A smoothed curve has no detail finer than its source: on screen, a quarter of a
// million points look the same as the two million the curve may be computed at,
// and they draw fast enough to toggle smoothing on a long series instantly.
constexpr size_t kSmoothedPointsShown = 250000;

QString text(const std::string &utf8) { return QString::fromStdString(utf8); }

ValueAxis valueAxis(PlanAxis axis) { return ValueAxis(int(axis)); }

void prepareChart(ChartView &chart, const ChartPlan &plan)
{
    chart.setPanelColour(QColor(236, 233, 216));
    chart.undoZoom();
    chart.removeAllSeries();
    LegendLook legend = chart.legend();
    legend.bold = true;
    chart.setLegend(legend);
    TitleLook header = chart.title(TitleLine::Header), subHeader = chart.title(TitleLine::SubHeader),
              footer = chart.title(TitleLine::Footer), subFooter = chart.title(TitleLine::SubFooter);
    subHeader.size = 18;
    subHeader.bold = false;
    footer.colour = QColor(0, 0, 255);
    header.bold = true;
    header.size = 25;
    for (auto [line, look] : {std::pair{TitleLine::Header, &header}, std::pair{TitleLine::SubHeader, &subHeader},
                              std::pair{TitleLine::Footer, &footer}, std::pair{TitleLine::SubFooter, &subFooter}}) {
        look->text = text(plan.titles[size_t(line)]);
        look->shown = plan.titleShown[size_t(line)];
        chart.setTitle(line, *look);
    }
    AxisLook times = chart.axisLook(ChartAxis::Bottom);
    times.numberFormat = QStringLiteral("hh:mm:ss (d-mmm-yyyy)");
    chart.setAxisLook(ChartAxis::Bottom, times);
}

// Adds a line series of values; returns its index.
int addLine(ChartView &chart, const SeriesValues &values)
{
    const int s = chart.addSeries(SeriesKind::Line);
    chart.setSeriesPoints(s, values.x, values.y, int(values.n));
    return s;
}

// The style a planned series is drawn in; a series of its own kind keeps the rest.
SeriesStyle plannedStyle(const PlannedSeries &planned)
{
    SeriesStyle style;
    style.name = text(planned.legend);
    style.colour = paletteColour(planned.colour);
    style.penWidth = planned.width;
    style.axis = valueAxis(planned.axis);
    style.stackMode = planned.stack;
    style.stackGroup = planned.stackGroup;
    return style;
}

void drawItem(ChartView &chart, int s, const PlannedSeries &item, const SeriesSources &sources, const DataSet &data)
{
    SeriesStyle style = plannedStyle(item);
    style.stackGroup = 0;
    chart.addSeries(SeriesKind::Line, style);
    if (const SeriesValues values = sources.values(s, data); values.n > 0)
        chart.setSeriesPoints(s, values.x, values.y, int(values.n));
}

void drawRatio(ChartView &chart, int s, const PlannedSeries &ratio, SeriesSources &sources, const DataSet &data)
{
    const SeriesValues a = sources.values(ratio.of, data), b = sources.values(ratio.over, data);
    const size_t n = std::min(a.n, b.n);
    std::vector<double> values = analysis::ratio(a.y, b.y, n);
    SeriesStyle style = plannedStyle(ratio);
    style.stackMode = StackNone;
    style.stackGroup = 0;
    chart.addSeries(SeriesKind::Line, style);
    chart.setSeriesPoints(s, a.x, values.data(), int(n));
    sources.setComputed(s, ratio.of, std::move(values));
}

// The items and the ratios of items, which lead the plan's series. The items'
// sources come first: a ratio stands before the items it divides.
void drawItemsAndRatios(ChartView &chart, const ChartPlan &plan, SeriesSources &sources, const DataSet &data)
{
    for (size_t s = 0; s < plan.series.size(); ++s)
        if (const PlannedSeries &item = plan.series[s]; item.role == SeriesRole::Item)
            sources.setRows(int(s), item.item.column, item.item.file, item.firstRow, item.rowCount);
    for (size_t s = 0; s < plan.series.size(); ++s) {
        const PlannedSeries &planned = plan.series[s];
        if (planned.role == SeriesRole::Item)
            drawItem(chart, int(s), planned, sources, data);
        else if (planned.role == SeriesRole::Ratio)
            drawRatio(chart, int(s), planned, sources, data);
    }
}

void resetAxes(ChartView &chart, const ChartPlan &plan)
{
    chart.setAxisCopies(false);
    for (ChartAxis axis : {ChartAxis::Left, ChartAxis::Right}) {
        AxisLook look = chart.axisLook(axis);
        look.grid = GridStyle::FineDots;
        look.lineColour = look.labelColour = Qt::black;
        look.spanStart = 0;
        look.spanEnd = 100;
        look.numberFormat = text(plan.axisFormats[axis == ChartAxis::Left ? 0 : 1]);
        chart.setAxisLook(axis, look);
    }
    AxisLook bottom = chart.axisLook(ChartAxis::Bottom);
    bottom.grid = GridStyle::Dot;
    chart.setAxisLook(ChartAxis::Bottom, bottom);
}

QString withoutCommas(const std::string &format) { return text(format).remove(QLatin1Char(',')); }

// Two items on a left and a right axis, each in its item's colour, or in an
// upper and a lower chart, each with its own copy of the time axis.
void styleDualLayout(ChartView &chart, const ChartPlan &plan)
{
    if (plan.layout == SingleAxis)
        return;
    for (ChartAxis axis : {ChartAxis::Left, ChartAxis::Right, ChartAxis::Bottom}) {
        const int side = axis == ChartAxis::Left ? 0 : 1;
        AxisLook look = chart.axisLook(axis);
        if (plan.layout == DualAxes) {
            look.grid = GridStyle::None;
            if (axis != ChartAxis::Bottom)
                look.lineColour = look.labelColour = paletteColour(side);
        } else if (axis != ChartAxis::Bottom) {
            look.spanStart = side == 0 ? 0 : 52;
            look.spanEnd = side == 0 ? 48 : 100;
            look.numberFormat = withoutCommas(plan.axisFormats[size_t(side)]);
        }
        chart.setAxisLook(axis, look);
    }
    if (plan.layout != DualAxes)
        chart.setAxisCopies(true);
}

// The points of a curve the plan derives from an item series (a moving average,
// the smoothed curve) as the chart draws them; none for the other roles.
analysis::Curve derivedPoints(const PlannedSeries &planned, const SeriesSources &sources, const DataSet &data)
{
    const SeriesValues item = sources.values(planned.of, data);
    switch (planned.role) {
    case SeriesRole::MovingAverage: return analysis::movingAverage(item.x, item.y, item.n, planned.parameter);
    case SeriesRole::Smoothed:
        return analysis::smoothedCurve(item.x, item.y, item.n, planned.parameter, kSmoothedPointsShown);
    case SeriesRole::Item:
    case SeriesRole::Candle:
    case SeriesRole::Ratio: break;
    }
    return {};
}

}  // namespace

void clearChart(ChartView &chart, const ChartOptions &options)
{
    chart.removeAllSeries();
    chart.undoZoom();
    for (TitleLine line : {TitleLine::SubHeader, TitleLine::Footer, TitleLine::SubFooter}) {
        TitleLook look = chart.title(line);
        look.shown = options.titleShown(line);
        chart.setTitle(line, look);
    }
}

SeriesValues DrawnPoints::values(const PlannedSeries &planned, int s, const SeriesSources &sources,
                                 const DataSet &data)
{
    if (planned.role == SeriesRole::Item || planned.role == SeriesRole::Ratio)
        return sources.values(s, data);
    if (derived_.size() <= size_t(s))
        derived_.resize(size_t(s) + 1);
    std::optional<analysis::Curve> &curve = derived_[size_t(s)];
    if (!curve)
        curve = derivedPoints(planned, sources, data);
    return {curve->x.data(), curve->y.data(), curve->x.size()};
}

bool DrawnPoints::point(const PlannedSeries &planned, int s, int p, const SeriesSources &sources, const DataSet &data,
                        double &x, double &y)
{
    if (p < 0)
        return false;
    if (planned.role == SeriesRole::Candle) {
        const SeriesValues item = sources.values(planned.of, data);
        const std::vector<analysis::Candle> candles = analysis::candles(item.x, item.y, item.n);
        if (size_t(p) >= candles.size())
            return false;
        x = candles[size_t(p)].date;
        y = candles[size_t(p)].close;
        return true;
    }
    const SeriesValues drawn = values(planned, s, sources, data);
    if (size_t(p) >= drawn.n)
        return false;
    x = drawn.x[p];
    y = std::isfinite(drawn.y[p]) ? drawn.y[p] : std::numeric_limits<double>::quiet_NaN();
    return true;
}

namespace {

void drawMovingAverage(ChartView &chart, const PlannedSeries &planned, const SeriesSources &sources,
                       const DataSet &data)
{
    const analysis::Curve curve = derivedPoints(planned, sources, data);
    const int s = addLine(chart, {curve.x.data(), curve.y.data(), curve.x.size()});
    chart.setSeriesStyle(s, plannedStyle(planned));
}

void drawSmoothedCurve(ChartView &chart, const PlannedSeries &planned, const SeriesSources &sources,
                       const DataSet &data)
{
    const analysis::Curve curve = derivedPoints(planned, sources, data);
    const int s = addLine(chart, {curve.x.data(), curve.y.data(), curve.x.size()});
    SeriesStyle style = chart.seriesStyle(s);
    style.penWidth = planned.width;
    style.colour = paletteColour(planned.colour);
    style.name = text(planned.legend);
    chart.setSeriesStyle(s, style);
}

void drawCandles(ChartView &chart, const PlannedSeries &planned, const SeriesSources &sources, const DataSet &data)
{
    const SeriesValues item = sources.values(planned.of, data);
    const std::vector<analysis::Candle> candles = analysis::candles(item.x, item.y, item.n);
    const int s = chart.addSeries(SeriesKind::Candle);
    // Full groups lie a group's time apart; a single candle takes its group's time.
    const double spacing = candles.size() > 1 ? candles[1].date - candles[0].date : item.x[item.n - 1] - item.x[0];
    chart.setCandles(s, candles, {QColor(0, 255, 0), QColor(0, 0, 255), spacing * 0.7});
    SeriesStyle style = chart.seriesStyle(s);
    style.name = text(planned.legend);
    style.axis = valueAxis(planned.axis);
    chart.setSeriesStyle(s, style);
}

// The curves derived from the items and ratios, then the series the plan hides
// under them.
void drawDerivedSeries(ChartView &chart, const ChartPlan &plan, const SeriesSources &sources, const DataSet &data)
{
    for (const PlannedSeries &planned : plan.series) {
        switch (planned.role) {
        case SeriesRole::MovingAverage: drawMovingAverage(chart, planned, sources, data); break;
        case SeriesRole::Smoothed: drawSmoothedCurve(chart, planned, sources, data); break;
        case SeriesRole::Candle: drawCandles(chart, planned, sources, data); break;
        case SeriesRole::Item:
        case SeriesRole::Ratio: break;
        }
    }
    for (size_t s = 0; s < plan.series.size(); ++s)
        if (!plan.series[s].shown)
            if (SeriesStyle style = chart.seriesStyle(int(s)); style.shown) {
                style.shown = false;
                chart.setSeriesStyle(int(s), style);
            }
}

}  // namespace

void drawPlan(ChartView &chart, const ChartPlan &plan, SeriesSources &sources, const DataSet &data)
{
    sources.clear();
    chart.setRepaint(false);
    prepareChart(chart, plan);
    drawItemsAndRatios(chart, plan, sources, data);
    if (plan.emptyTimeRange)
        chart.setEmptyTimeRange(plan.emptyFrom, plan.emptyTo);
    resetAxes(chart, plan);
    drawDerivedSeries(chart, plan, sources, data);
    styleDualLayout(chart, plan);
    chart.setRepaint(true);
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

RedrawResult redrawChart(ChartView &chart, const RedrawContext &context, const ItemRevision &items)
{
    // A new chart shows no ratio charts: only their own commands redraw with them.
    ChartOptions withoutRatios;
    const ChartOptions *options = &context.options;
    if (!context.keepsRatios && options->ratioMode()) {
        withoutRatios = *options;
        withoutRatios.leaveRatios();
        options = &withoutRatios;
    }
    RedrawResult result;
    result.plan = planChart(*options, context.rows, context.data, items);
    const ChartPlan &plan = result.plan;
    drawPlan(chart, plan, context.sources, context.data);
    result.seriesCount = plan.itemSeries;
    result.selectedItems = plan.selectedItems;
    result.itemsPerFile = plan.itemsPerFile;
    result.correlate = plan.correlate;
    result.smoothUnSmooth = plan.smoothUnSmooth;
    result.candleChart = plan.candleChart;
    result.movingAverage = plan.movingAverage;
    result.cycleDualCharts = plan.cycleDualCharts;
    result.ratioCharts = plan.ratioCharts;
    result.periodNote = QString::fromStdString(plan.periodNote);
    result.forcesSingleAxis = plan.forcesSingleAxis;
    result.dropsRatios = plan.dropsRatios || options != &context.options;
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
    narrowRowsToView(data.Xaxis_Values, chart.axisRange(ChartAxis::Bottom).minimum, chart.axisRange(ChartAxis::Bottom).maximum,
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
