#pragma once
// The redraw: draws the plan (plan/ChartPlan) of the chart options, the
// displayed rows and the selected rows of the current item list, rebuilding the
// chart from nothing every time. Each series' legend text is its name in the
// chart (Legend_Text).

#include "analysis/Curves.h"
#include "chart/SeriesSources.h"
#include "plan/ChartPlan.h"

#include <QString>

#include <optional>
#include <vector>

namespace kavra {

struct DataSet;
struct DisplayedRows;
class ChartView;
class ItemRevision;

// What the redraw draws from, and what it leaves for the commands that add
// curves to the chart drawn: the source of every series. The redraw never
// changes the options: what it had to choose is in its result.
struct RedrawContext {
    const ChartOptions &options;
    const DisplayedRows &rows;
    const DataSet &data;
    SeriesSources &sources;
    // The ratio charts the options ask for are drawn (the ratio commands'
    // redraws); any other redraw is of a new chart, which leaves them.
    bool keepsRatios = false;
};

// Which commands the chart just drawn allows.
struct RedrawResult {
    int seriesCount = 0;
    int selectedItems = 0;         // rows selected in the item list
    int itemsPerFile = 0;          // of them, charted for every file
    bool correlate = false;        // cmdCorrelate
    bool smoothUnSmooth = false;   // mnuSmoothUnSmooth
    bool candleChart = false;      // mnuAddRemoveCandleChart
    bool movingAverage = false;    // mnuToggleMovingAverage
    bool cycleDualCharts = false;  // mnuCycleDualCharts
    bool ratioCharts = false;      // mnuGenerateRatioCharts
    QString periodNote;            // why no moving average is drawn, if it is not
    // Choices the chart drawn forces on the options: one item is charted on one
    // value axis, and a redraw shows no ratio charts.
    bool forcesSingleAxis = false;
    bool dropsRatios = false;
    // The plan drawn: who reads the chart's series (names, roles, sources) reads
    // them here rather than back out of the widget.
    ChartPlan plan;
};

// The plan of the chart (plan/ChartPlan), drawn.
RedrawResult redrawChart(ChartView &chart, const RedrawContext &context, const ItemRevision &items);
// Draws a plan from nothing, recording each item series' source.
void drawPlan(ChartView &chart, const ChartPlan &plan, SeriesSources &sources, const DataSet &data);
// The chart with no file: no series and no zoom (left in force, it would narrow
// the next file's rows to this one's view), and the title lines the options show.
void clearChart(ChartView &chart, const ChartOptions &options);
// The points of the plan drawn last, as the readers of the chart (the point
// under the mouse, the legend's statistics) ask for them again and again: an
// item's or a ratio's from its source, a derived curve's worked out once, when
// first asked for, and kept until another plan is drawn (clear).
class DrawnPoints {
public:
    void clear() { derived_.clear(); }
    // Series s's points; none for candles.
    SeriesValues values(const PlannedSeries &planned, int s, const SeriesSources &sources, const DataSet &data);
    // Point p of series s in x and y (a candle's time and close); false when the
    // series has no such point.
    bool point(const PlannedSeries &planned, int s, int p, const SeriesSources &sources, const DataSet &data,
               double &x, double &y);

private:
    std::vector<std::optional<analysis::Curve>> derived_;  // by series
};
// Makes the choices the redraw forced last in the options, for the next one.
void keepForcedChoices(ChartOptions &options, const RedrawResult &drawn);

// What status panel 1 says when selected items are left out, empty when none is:
// "Charting 8 of 10 selected items for each of 2 files"; and when the moving
// average's period is longer than the rows shown.
QString leftOutItemsText(const RedrawResult &drawn, int filesOpen);

// After a zoom or scroll to [xMin, xMax]: the rows from one at or before the left
// edge to one at or beyond the right edge. Rows are 1-based; a view beyond the
// data keeps the row nearest to it.
void narrowRowsToView(const std::vector<double> &sampleTimes, double xMin, double xMax, int &firstRow, int &lastRow);

// The chart's after-draw event: after a zoom or scroll, Zoom_First_Row and
// Zoom_Last_Row narrow to the rows in view.
void narrowZoomRowsToChart(const ChartView &chart, DisplayedRows &rows, const DataSet &data);

// The status-bar text for the point under the mouse.
QString pointReadout(const QString &legendText, double x, double y);

}  // namespace kavra
