#pragma once
// What tests and benchmarks look at inside a chart: its QCustomPlot, for the
// pixels of points and legend entries and the axes' own state.
#include "chart/ChartAxes.h"
#include "chart/ChartView.h"
#include "chart/CursorLines.h"

#include <qcustomplot.h>

namespace kavra {

// Reads what only tests ask of a chart: the points as the plot holds them (a
// point's own value, also when stacked; a candle's close), its kind, the cursor
// lines, the axes' copies and whether the time axis counts dates.
struct ChartAccess {
    static QCustomPlot *plot(const ChartView &chart) { return chart.plot_; }
    static const QCPAbstractPlottable *plottable(const ChartView &chart, int s)
    {
        return chart.series_[size_t(s)].plottable;
    }
    static SeriesKind kind(const ChartView &chart, int s) { return chart.series_[size_t(s)].kind; }
    static double fromKey(const ChartView &chart, double key) { return chart.fromKey(key); }
    static const CursorLines *cursors(const ChartView &chart) { return chart.cursorLines_.get(); }
    static double keyOfZero(const ChartView &chart) { return chart.toKey(0); }
    static bool axisCopies(const ChartView &chart) { return chart.axes_->copies(); }
};

inline QCustomPlot *plotOf(const ChartView &chart) { return ChartAccess::plot(chart); }
inline SeriesKind seriesKind(const ChartView &chart, int s) { return ChartAccess::kind(chart, s); }
inline bool axisCopies(const ChartView &chart) { return ChartAccess::axisCopies(chart); }
inline bool timeAxis(const ChartView &chart) { return chart.axisLook(ChartAxis::Bottom).dates; }

inline int pointCount(const ChartView &chart, int s)
{
    const QCPAbstractPlottable *plottable = ChartAccess::plottable(chart, s);
    if (const auto *candles = qobject_cast<const QCPFinancial *>(plottable))
        return candles->data()->size();
    return static_cast<const QCPGraph *>(plottable)->data()->size();
}

inline double pointX(const ChartView &chart, int s, int p)
{
    const QCPAbstractPlottable *plottable = ChartAccess::plottable(chart, s);
    if (const auto *candles = qobject_cast<const QCPFinancial *>(plottable))
        return ChartAccess::fromKey(chart, candles->data()->at(p)->key);
    return ChartAccess::fromKey(chart, static_cast<const QCPGraph *>(plottable)->data()->at(p)->key);
}

inline double pointY(const ChartView &chart, int s, int p)
{
    const QCPAbstractPlottable *plottable = ChartAccess::plottable(chart, s);
    if (const auto *candles = qobject_cast<const QCPFinancial *>(plottable))
        return candles->data()->at(p)->close;
    return static_cast<const QCPGraph *>(plottable)->data()->at(p)->value;
}

inline bool cursorLinesShown(const ChartView &chart)
{
    return ChartAccess::cursors(chart) && ChartAccess::cursors(chart)->shown();
}

inline double cursorLineTime(const ChartView &chart, int which)
{
    return ChartAccess::cursors(chart) ? ChartAccess::cursors(chart)->time(which) : 0;
}

// The pixel column of a cursor line (where the plot would draw it).
inline double cursorLinePixel(const ChartView &chart, int which)
{
    const CursorLines *cursors = ChartAccess::cursors(chart);
    return cursors ? cursors->pixel(which) : plotOf(chart)->xAxis->coordToPixel(ChartAccess::keyOfZero(chart));
}

}  // namespace kavra

namespace kavra {

// Changes the style of a series, the look of a title line or of an axis as the
// program does: read, changed, set back whole.
template <class Change>
void changeSeries(ChartView &chart, int s, Change change)
{
    SeriesStyle style = chart.seriesStyle(s);
    change(style);
    chart.setSeriesStyle(s, style);
}

template <class Change>
void changeTitle(ChartView &chart, TitleLine line, Change change)
{
    TitleLook look = chart.title(line);
    change(look);
    chart.setTitle(line, look);
}

template <class Change>
void changeLegend(ChartView &chart, Change change)
{
    LegendLook look = chart.legend();
    change(look);
    chart.setLegend(look);
}

template <class Change>
void changeAxis(ChartView &chart, ChartAxis axis, Change change)
{
    AxisLook look = chart.axisLook(axis);
    change(look);
    chart.setAxisLook(axis, look);
}

}  // namespace kavra
