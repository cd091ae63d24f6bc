#pragma once
// What tests and benchmarks look at inside a chart: its QCustomPlot, for the
// pixels of points and legend entries and the axes' own state.
#include "chart/ChartView.h"

#include <qcustomplot.h>

namespace kavra {

inline QCustomPlot *plotOf(const ChartView &chart) { return chart.plot_; }

}  // namespace kavra
