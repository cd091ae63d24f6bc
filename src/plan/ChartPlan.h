#pragma once
// The redraw's answer, worked out without drawing: from the chart options, the
// displayed rows, the data set and the item list, which series the chart shows
// (each by its role: an item of a file, or a curve derived from one), where
// their values come from, their colour, width, value axis, stacking and legend
// text (the ratio charts of two items too), the title lines, the axes' formats, and the choices the redraw forces on
// the options. The chart layer draws a plan (chart/ChartRedraw); the tests read
// it as plain data. Texts are UTF-8.

#include "plan/ChartOptions.h"

#include <array>
#include <string>
#include <vector>

namespace kavra {

struct DataSet;
struct DisplayedRows;
class ItemRevision;

// A ratio chart divides the values of one item series by another's, row by row.
enum class SeriesRole { Item, MovingAverage, Smoothed, Candle, Ratio };
// Which value axis a series is drawn against: left, right, or the one they share.
enum class PlanAxis { Left = 0, Right = 1, Both = 2 };

struct PlannedSeries {
    SeriesRole role = SeriesRole::Item;
    ItemOfFile item;      // Item: the column and file charted
    int of = -1;          // a derived curve: the series it is computed from; Ratio: the dividend
    int over = -1;        // Ratio: the item series divided by
    int firstRow = 1;     // Item: rows firstRow to firstRow + rowCount - 1 (from 1)
    int rowCount = 0;
    size_t values = 0;    // Item, Ratio: how many values the source has (0 when none)
    int parameter = 0;    // MovingAverage: the period; Smoothed: the factor
    int colour = 0;       // index into the palette
    int width = 0;        // pen width; 0 for candles
    PlanAxis axis = PlanAxis::Both;
    StackMode stack = StackNone;
    int stackGroup = 0;   // the averages stack on one another, not on the items
    bool shown = true;
    std::string legend;
};

struct ChartPlan {
    std::array<std::string, 4> titles;
    std::array<bool, 4> titleShown{};
    std::vector<PlannedSeries> series;
    // How many of series are items: the first ones, or after the two ratios
    // when those are drawn (the items hidden under them).
    int itemSeries = 0;
    bool ratios = false;
    // With no item series the time axis spans these rows' sample times.
    bool emptyTimeRange = false;
    double emptyFrom = 0, emptyTo = 0;
    DualLayout layout = SingleAxis;  // as drawn: one item is always on one axis
    std::array<std::string, 2> axisFormats;  // left, right

    // What the chart drawn allows.
    int selectedItems = 0;
    int itemsPerFile = 0;
    bool correlate = false, smoothUnSmooth = false, candleChart = false, movingAverage = false,
         cycleDualCharts = false, ratioCharts = false;
    std::string periodNote;  // why no moving average is drawn, if it is not

    // Choices the plan forces on the options (see keepForcedChoices).
    bool forcesSingleAxis = false;
    bool dropsRatios = false;  // ratio charts asked for of items not charted as two on one axis
};

ChartPlan planChart(const ChartOptions &options, const DisplayedRows &rows, const DataSet &data,
                    const ItemRevision &items);

// How many of the selected items are charted for each file: the first ones, as
// many as the palette's 16 colours leave room for with every file open.
int itemsChartedPerFile(int filesOpen);
// The items a plan charts, in the order of their series: a ratio chart divides
// the first two.
std::vector<ItemOfFile> chartedItems(const ChartPlan &plan);

// The legend text of an item charted from a file: "CPU Busy(# 2)", the item's
// text cut to 120 characters.
std::string itemLegend(const std::string &itemText, int file);

}  // namespace kavra
