#pragma once
// What tests and benchmarks look at inside a chart: its QCustomPlot, for the
// pixels of points and legend entries and the axes' own state.
#include "chart/ChartView.h"

#include <qcustomplot.h>

namespace kavra {

inline QCustomPlot *plotOf(const ChartView &chart) { return chart.plot_; }

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
void changeAxis(ChartView &chart, ChartAxis axis, Change change)
{
    AxisLook look = chart.axisLook(axis);
    change(look);
    chart.setAxisLook(axis, look);
}

}  // namespace kavra
