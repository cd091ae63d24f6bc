#pragma once
// The redraw: turns the application state and the selected rows of the current
// item list into the chart, rebuilding it from nothing every time.

#include <QString>

#include <vector>

namespace kavra {

struct AppState;
struct DataSet;
class ChartView;
class ItemRevision;

// Which commands the chart just drawn allows.
struct RedrawResult {
    int seriesCount = 0;
    bool correlate = false;        // cmdCorrelate
    bool smoothUnSmooth = false;   // mnuSmoothUnSmooth
    bool candleChart = false;      // mnuAddRemoveCandleChart
    bool movingAverage = false;    // mnuToggleMovingAverage
    bool cycleDualCharts = false;  // mnuCycleDualCharts
    bool ratioCharts = false;      // mnuGenerateRatioCharts
};

RedrawResult redrawChart(ChartView &chart, AppState &state, const DataSet &data, const ItemRevision &items);

// Adds the moving average of series k as a new series; returns its index.
int addMovingAverage(ChartView &chart, AppState &state, int k);
// Kavra_Add_Candle_Chart: candles summarising series 0, as series 1.
void addCandleChart(ChartView &chart, AppState &state);

// A / B and B / A of the two charted items as series 0 and 1; the items stay as
// hidden series 2 and 3. Sets Ratio_Mode.
void addRatioCharts(ChartView &chart, AppState &state);

// The legend text of an item charted from a file: "CPU Busy(# 2)".
QString legendText(const QString &itemText, int file);

// After a zoom or scroll to [xMin, xMax]: the rows from one at or before the left
// edge to one at or beyond the right edge. Rows are 1-based; either end stays as
// it is when no row qualifies.
void narrowRowsToView(const std::vector<double> &sampleTimes, double xMin, double xMax, int &firstRow, int &lastRow);

// The chart's after-draw event: after a zoom or scroll, Zoom_First_Row and
// Zoom_Last_Row narrow to the rows in view.
void narrowZoomRowsToChart(const ChartView &chart, AppState &state, const DataSet &data);

// The status-bar text for the point under the mouse.
QString pointReadout(const QString &legendText, double x, double y);

}  // namespace kavra
