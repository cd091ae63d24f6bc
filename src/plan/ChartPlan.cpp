#include "plan/ChartPlan.h"

#include "data/DataSet.h"
#include "data/DisplayedRows.h"
#include "data/NumberText.h"
#include "items/ItemList.h"

#include <algorithm>

namespace kavra {
namespace {

constexpr int kItemSeries = 16;  // one colour of the palette each

// How many values an item's rows give: none for rows or a column the data set
// does not have (as the chart's sources count them).
size_t valueCount(const DataSet &data, ItemOfFile item, int firstRow, int count)
{
    const size_t end = size_t(firstRow - 1) + size_t(count);
    if (count <= 0 || firstRow < 1 || end > data.Xaxis_Values.size())
        return 0;
    if (item.file < 1 || item.file > data.Perf_Data.files() || item.column < 1 ||
        item.column > data.Perf_Data.columns() || end > size_t(data.Perf_Data.rows()))
        return 0;
    return size_t(count);
}

// One series per selected item and file. Every file gets the same items, the
// first ones selected, as many as 16 series leave room for with every file open.
void planItems(ChartPlan &plan, const ChartOptions &options, const DisplayedRows &rows, const DataSet &data,
               const ItemRevision &items)
{
    const auto [first, last] = rows.within(int(data.Row_Count));
    const int count = data.Row_Count > 0 ? last - first + 1 : 0;
    const int perFile = itemsChartedPerFile(int(data.Files_Open));
    for (int file = 1; file <= data.Files_Open; ++file) {
        int charted = 0;
        for (const ItemRow &row : items.rows) {
            if (!row.selected)
                continue;
            if (charted++ == perFile)
                break;
            PlannedSeries s;
            s.item = {row.tag, file};
            s.firstRow = first;
            s.rowCount = count;
            s.values = valueCount(data, s.item, first, count);
            s.colour = int(plan.series.size());
            s.width = options.primaryWidth();
            s.stack = options.stackMode();
            s.legend = itemLegend(row.text, file);
            plan.series.push_back(std::move(s));
        }
    }
    plan.itemSeries = int(plan.series.size());
    if (plan.itemSeries == 0 && data.Row_Count > 0) {
        plan.emptyTimeRange = true;
        plan.emptyFrom = data.sampleTime(first);
        plan.emptyTo = data.sampleTime(last);
    }
}

// The moving average of item series k. A period the series cannot fill draws no
// curve: the item stays in view.
void planMovingAverage(ChartPlan &plan, const ChartOptions &options, int k)
{
    PlannedSeries &item = plan.series[size_t(k)];
    const int period = options.movingAveragePeriod();
    item.shown = period < 1 || size_t(period) > item.values;
    PlannedSeries s;
    s.role = SeriesRole::MovingAverage;
    s.of = k;
    s.parameter = period;
    s.colour = int(plan.series.size());
    s.width = options.secondaryWidth();
    // The averages of stacked items are stacked as their items are, on one
    // another: the average of the stacked values.
    s.stack = item.stack;
    s.stackGroup = 1;
    s.legend = item.legend + "(MovAvgPer=" + signedNumberText(period) + ")";
    plan.series.push_back(std::move(s));
}

// Two items: on a left and a right axis (also in an upper and a lower chart),
// overlapping. Moving averages, when drawn, follow their items.
void planDualLayout(ChartPlan &plan)
{
    if (plan.layout == SingleAxis)
        return;
    for (size_t s = 0; s < plan.series.size() && s < 4; ++s) {
        plan.series[s].axis = s % 2 == 0 ? PlanAxis::Left : PlanAxis::Right;
        plan.series[s].stack = StackOverlap;
    }
}

// A / B and B / A of the two items charted on one axis, when they are the
// operands the options name, drawn in front of the items, which stay hidden:
// the value axes span the ratios, and a tick in the legend brings an item back.
void planRatios(ChartPlan &plan, const ChartOptions &options)
{
    if (!options.ratioMode() || plan.itemSeries != 2 || plan.layout != SingleAxis ||
        plan.series[0].item != options.ratioA() || plan.series[1].item != options.ratioB())
        return;
    const size_t values = std::min(plan.series[0].values, plan.series[1].values);
    std::vector<PlannedSeries> ratios(2);
    for (int r = 0; r < 2; ++r) {
        const PlannedSeries &dividend = plan.series[size_t(r)], &divisor = plan.series[size_t(1 - r)];
        PlannedSeries &s = ratios[size_t(r)];
        s.role = SeriesRole::Ratio;
        s.of = 2 + r;
        s.over = 3 - r;
        s.firstRow = dividend.firstRow;
        s.rowCount = dividend.rowCount;
        s.values = values;
        s.colour = 2 + r;
        s.width = options.secondaryWidth();
        s.legend = "Ratio : " + dividend.legend + " / " + divisor.legend;
    }
    for (PlannedSeries &item : plan.series)
        item.shown = false;
    plan.series.insert(plan.series.begin(), ratios.begin(), ratios.end());
    plan.ratios = true;
}

void planDerivedSeries(ChartPlan &plan, const ChartOptions &options)
{
    const int series = plan.itemSeries;
    const bool movingAverage = options.shows(DerivedCurve::MovingAverage);
    if (plan.ratios) {  // the averages of the ratios and of the items under them
        if (movingAverage)
            for (int k = 0; k < 4; ++k)
                planMovingAverage(plan, options, k);
        return;
    }
    if (series == 2) {
        if (movingAverage)
            for (int k = 0; k < 2; ++k)
                planMovingAverage(plan, options, k);
        planDualLayout(plan);
    }
    if (movingAverage && (series == 1 || series == 3 || series == 4))
        for (int k = 0; k < series; ++k)
            planMovingAverage(plan, options, k);
    if (series != 1)
        return;
    if (options.shows(DerivedCurve::Smoothed)) {
        PlannedSeries s;
        s.role = SeriesRole::Smoothed;
        s.of = 0;
        s.parameter = options.smoothingFactor();
        s.colour = 1;
        s.width = options.secondaryWidth();
        s.legend = "Smoothed curve";
        plan.series[0].shown = false;
        plan.series.push_back(std::move(s));
    }
    // Nothing to summarise gives no candles: the item's own line stays, with no
    // empty legend entry.
    if (options.shows(DerivedCurve::Candle) && plan.series[0].values > 0) {
        PlannedSeries s;
        s.role = SeriesRole::Candle;
        s.of = 0;
        s.colour = int(plan.series.size());
        s.legend = "Candle (DownClose : Blue, UpClose : Green)";
        plan.series[0].shown = false;
        plan.series.push_back(std::move(s));
    }
}

// Status panel 1 says when the moving average has too few rows to be drawn.
std::string periodNote(const ChartOptions &options, const ChartPlan &plan)
{
    const int series = plan.itemSeries;
    if (!options.shows(DerivedCurve::MovingAverage) || series < 1 || series > 4)
        return {};
    const size_t rows = plan.series[0].values;
    const int period = options.movingAveragePeriod();
    if (period <= 0 || size_t(period) <= rows)
        return {};
    return "The moving average period (" + std::to_string(period) + ") is longer than the " + std::to_string(rows) +
           " rows shown: no average is drawn";
}

// The first `units` UTF-16 code units of UTF-8 text, as a text box would cut it.
std::string firstUnits(const std::string &text, size_t units)
{
    size_t at = 0;
    while (at < text.size() && units > 0) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const size_t needs = length == 4 ? 2 : 1;  // beyond the first plane: a surrogate pair
        if (needs > units)
            break;
        units -= needs;
        at = std::min(text.size(), at + length);
    }
    return text.substr(0, at);
}

}  // namespace

std::vector<ItemOfFile> chartedItems(const ChartPlan &plan)
{
    std::vector<ItemOfFile> items;
    for (const PlannedSeries &series : plan.series)
        if (series.role == SeriesRole::Item)
            items.push_back(series.item);
    return items;
}

int itemsChartedPerFile(int filesOpen) { return std::max(1, kItemSeries / std::max(1, filesOpen)); }

std::string itemLegend(const std::string &itemText, int file)
{
    return firstUnits(itemText, 120) + "(#" + signedNumberText(file) + ")";
}

ChartPlan planChart(const ChartOptions &options, const DisplayedRows &rows, const DataSet &data,
                    const ItemRevision &items)
{
    ChartPlan plan;
    for (size_t line = 0; line < 4; ++line) {
        plan.titles[line] = options.title(TitleLine(line));
        plan.titleShown[line] = options.titleShown(TitleLine(line));
    }
    plan.axisFormats = {options.axisFormat(false), options.axisFormat(true)};
    planItems(plan, options, rows, data, items);
    const int series = plan.itemSeries;
    plan.layout = series == 1 ? SingleAxis : options.dualLayout();
    planRatios(plan, options);
    planDerivedSeries(plan, options);

    plan.selectedItems =
        int(std::count_if(items.rows.begin(), items.rows.end(), [](const ItemRow &row) { return row.selected; }));
    plan.itemsPerFile = data.Files_Open > 0 ? series / int(data.Files_Open) : 0;
    const bool severalItems = items.rows.size() > 1;
    plan.correlate = plan.smoothUnSmooth = plan.candleChart = data.Files_Open == 1 && series == 1 && severalItems;
    plan.movingAverage = series <= 4 && severalItems;
    plan.cycleDualCharts = series == 2;
    plan.periodNote = periodNote(options, plan);
    plan.ratioCharts = series == 2 && plan.layout == SingleAxis;
    plan.forcesSingleAxis = plan.layout != options.dualLayout();
    plan.dropsRatios = options.ratioMode() && !plan.ratios;
    return plan;
}

}  // namespace kavra
