#include "plan/ChartPlan.h"

#include "data/DataSet.h"
#include "data/DisplayedRows.h"
#include "items/ItemList.h"
#include "items/ListFiles.h"
#include "support/PerfFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using kavra::ChartOptions;
using kavra::ChartPlan;

// Files of `items` items and `rows` rows, loaded as Open loads them.
struct Loaded {
    TempDir dir;
    kavra::DataSet data;
    kavra::ItemList items;
    kavra::DisplayedRows rows;
    Loaded(int files, int itemCount, int rowCount)
    {
        kavra::LoadObserver quiet;
        kavra::ItemLoader loader(data, items, quiet);
        for (int f = 1; f <= files; ++f)
            loader.load(dir.write("f" + std::to_string(f) + ".csv",
                                  perfFile(itemNames(itemCount), rowCount, [](int i, int r) { return i * 10.0 + r; })));
        rows.Zoom_First_Row = 1;
        rows.Zoom_Last_Row = rowCount;
    }
    ChartPlan plan(const ChartOptions &options, int selected)
    {
        for (size_t i = 0; i < items.current().rows.size(); ++i)
            items.current().rows[i].selected = int(i) < selected;
        return kavra::planChart(options, rows, data, items.current());
    }
};

// A series as the tables write it: role and source, axis, colour, width, stacking, hidden.
std::string seen(const kavra::PlannedSeries &s)
{
    static const char roles[] = "IASCR", axes[] = "LRB";
    std::string text(1, roles[int(s.role)]);
    text += s.role == kavra::SeriesRole::Item    ? std::to_string(s.item.column) + "." + std::to_string(s.item.file)
            : s.role == kavra::SeriesRole::Ratio ? std::to_string(s.of) + "/" + std::to_string(s.over)
                                                 : std::to_string(s.of);
    text += std::string(1, axes[int(s.axis)]) + " c" + std::to_string(s.colour) + " w" + std::to_string(s.width) +
            " s" + std::to_string(int(s.stack)) + (s.shown ? "" : " hidden");
    return text;
}

TEST(ChartPlanTest, TheSeriesByFileSelectionAndOption)
{
    const auto none = [](ChartOptions &) {};
    const auto average = [](ChartOptions &o) { o.show(kavra::DerivedCurve::MovingAverage); };
    const auto ratios = [](ChartOptions &o) { o.showRatios({2, 1}, {3, 1}); };
    const auto ratioAverages = [](ChartOptions &o) { o.showRatios({2, 1}, {3, 1}); o.toggle(kavra::DerivedCurve::MovingAverage); o.setSecondaryWidth(5); };
    // clang-format off
    const struct {
        const char *name;
        int files, selected, rows;
        std::function<void(ChartOptions &)> options;
        std::vector<std::string> series;
    } cases[] = {
        {"nothing selected", 1, 0, 5, none, {}},
        {"one item", 1, 1, 5, none, {"I2.1B c0 w3 s0"}},
        {"two files", 2, 2, 5, none, {"I2.1B c0 w3 s0", "I3.1B c1 w3 s0", "I2.2B c2 w3 s0", "I3.2B c3 w3 s0"}},
        {"average of one", 1, 1, 12, average, {"I2.1B c0 w3 s0 hidden", "A0B c1 w3 s0"}},
        {"average longer than the rows", 1, 1, 5, average, {"I2.1B c0 w3 s0", "A0B c1 w3 s0"}},
        {"stacked averages", 1, 3, 12, [](ChartOptions &o) { o.stack(); o.show(kavra::DerivedCurve::MovingAverage); },
         {"I2.1B c0 w3 s2 hidden", "I3.1B c1 w3 s2 hidden", "I4.1B c2 w3 s2 hidden", "A0B c3 w3 s2", "A1B c4 w3 s2", "A2B c5 w3 s2"}},
        {"no average beyond four series", 1, 5, 12, average, {"I2.1B c0 w3 s0", "I3.1B c1 w3 s0", "I4.1B c2 w3 s0", "I5.1B c3 w3 s0", "I6.1B c4 w3 s0"}},
        {"two axes with averages", 1, 2, 12, [](ChartOptions &o) { o.cycleDual(); o.show(kavra::DerivedCurve::MovingAverage); o.setSecondaryWidth(5); },
         {"I2.1L c0 w3 s1 hidden", "I3.1R c1 w3 s1 hidden", "A0L c2 w5 s1", "A1R c3 w5 s1"}},
        {"two axes need two items", 1, 1, 5, [](ChartOptions &o) { o.cycleDual(); }, {"I2.1B c0 w3 s1"}},
        {"smoothed", 1, 1, 5, [](ChartOptions &o) { o.show(kavra::DerivedCurve::Smoothed); o.setPrimaryWidth(1); }, {"I2.1B c0 w1 s0 hidden", "S0B c1 w3 s0"}},
        {"candles", 1, 1, 5, [](ChartOptions &o) { o.show(kavra::DerivedCurve::Candle); }, {"I2.1B c0 w3 s0 hidden", "C0B c1 w0 s0"}},
        {"smoothing needs one item", 1, 2, 5, [](ChartOptions &o) { o.show(kavra::DerivedCurve::Smoothed); }, {"I2.1B c0 w3 s0", "I3.1B c1 w3 s0"}},
        {"ratios before their hidden items", 1, 2, 5, ratios, {"R2/3B c2 w3 s0", "R3/2B c3 w3 s0", "I2.1B c0 w3 s0 hidden", "I3.1B c1 w3 s0 hidden"}},
        {"ratios of stacked items", 1, 2, 5, [](ChartOptions &o) { o.stack(); o.showRatios({2, 1}, {3, 1}); },
         {"R2/3B c2 w3 s0", "R3/2B c3 w3 s0", "I2.1B c0 w3 s2 hidden", "I3.1B c1 w3 s2 hidden"}},
        {"averages of ratios and items", 1, 2, 12, ratioAverages,
         {"R2/3B c2 w5 s0 hidden", "R3/2B c3 w5 s0 hidden", "I2.1B c0 w3 s0 hidden", "I3.1B c1 w3 s0 hidden", "A0B c4 w5 s0", "A1B c5 w5 s0", "A2B c6 w5 s0", "A3B c7 w5 s0"}},
        {"ratio averages longer than the rows", 1, 2, 5, ratioAverages,
         {"R2/3B c2 w5 s0", "R3/2B c3 w5 s0", "I2.1B c0 w3 s0", "I3.1B c1 w3 s0", "A0B c4 w5 s0", "A1B c5 w5 s0", "A2B c6 w5 s0", "A3B c7 w5 s0"}},
        {"ratios of items not charted", 1, 2, 5, [](ChartOptions &o) { o.showRatios({3, 1}, {2, 1}); }, {"I2.1B c0 w3 s0", "I3.1B c1 w3 s0"}},
        {"ratios need one axis", 1, 2, 5, [](ChartOptions &o) { o.cycleDual(); o.showRatios({2, 1}, {3, 1}); }, {"I2.1L c0 w3 s1", "I3.1R c1 w3 s1"}},
        {"ratios of two files", 2, 1, 5, [](ChartOptions &o) { o.showRatios({2, 1}, {2, 2}); }, {"R2/3B c2 w3 s0", "R3/2B c3 w3 s0", "I2.1B c0 w3 s0 hidden", "I2.2B c1 w3 s0 hidden"}},
    };
    // clang-format on
    for (const auto &c : cases) {
        Loaded loaded(c.files, 6, c.rows);
        ChartOptions options;
        c.options(options);
        std::vector<std::string> series;
        for (const kavra::PlannedSeries &s : loaded.plan(options, c.selected).series)
            series.push_back(seen(s));
        EXPECT_EQ(series, c.series) << c.name;
    }
}

TEST(ChartPlanTest, WhatTheChartAllowsAndForces)
{
    // clang-format off
    const struct {
        const char *name;
        int files, items, selected;
        int dualCycles;
        bool ratios;
        int perFile;
        kavra::DualLayout layout;
        bool correlate, movingAverage, cycleDual, ratioCharts, forcesSingleAxis, dropsRatios;
    } cases[] = {
        {"one item", 1, 6, 1, 0, false, 1, kavra::SingleAxis, true, true, false, false, false, false},
        {"one item left of two axes", 1, 6, 1, 1, false, 1, kavra::SingleAxis, true, true, false, false, true, false},
        {"one item left of two charts", 1, 6, 1, 2, false, 1, kavra::SingleAxis, true, true, false, false, true, false},
        {"two items", 1, 6, 2, 0, true, 2, kavra::SingleAxis, false, true, true, true, false, false},
        {"three items drop ratios", 1, 6, 3, 0, true, 3, kavra::SingleAxis, false, true, false, false, false, true},
        {"two items on two axes", 1, 6, 2, 1, false, 2, kavra::DualAxes, false, true, true, false, false, false},
        {"two items in two charts", 1, 6, 2, 2, false, 2, kavra::DualCharts, false, true, true, false, false, false},
        {"three items keep two charts", 1, 6, 3, 2, false, 3, kavra::DualCharts, false, true, false, false, false, false},
        {"four items take an average", 1, 6, 4, 0, false, 4, kavra::SingleAxis, false, true, false, false, false, false},
        {"five do not", 1, 6, 5, 0, false, 5, kavra::SingleAxis, false, false, false, false, false, false},
        {"a one-item list", 1, 1, 1, 0, false, 1, kavra::SingleAxis, false, false, false, false, false, false},
        {"two files", 2, 6, 1, 0, false, 1, kavra::SingleAxis, false, true, true, true, false, false},
        {"sixteen files leave one item each", 16, 3, 3, 0, false, 1, kavra::SingleAxis, false, false, false, false, false, false},
    };
    // clang-format on
    for (const auto &c : cases) {
        Loaded loaded(c.files, c.items, 5);
        ChartOptions options;
        for (int cycle = 0; cycle < c.dualCycles; ++cycle)
            options.cycleDual();
        if (c.ratios)
            options.showRatios({2, 1}, {3, 1});
        const ChartPlan plan = loaded.plan(options, c.selected);
        EXPECT_EQ(plan.itemsPerFile, c.perFile) << c.name;
        EXPECT_EQ(plan.layout, c.layout) << c.name;
        const bool seen[] = {plan.correlate, plan.movingAverage, plan.cycleDualCharts, plan.ratioCharts,
                             plan.forcesSingleAxis, plan.dropsRatios};
        const bool expected[] = {c.correlate, c.movingAverage, c.cycleDual, c.ratioCharts, c.forcesSingleAxis,
                                 c.dropsRatios};
        for (size_t i = 0; i < std::size(seen); ++i)
            EXPECT_EQ(seen[i], expected[i]) << c.name << " answer " << i;
    }
}

TEST(ChartPlanTest, LegendsTitlesAndTheNoteOnAnAverageThatDoesNotFit)
{
    Loaded loaded(2, 3, 5);
    ChartOptions options;
    options.show(kavra::DerivedCurve::MovingAverage);
    options.setTitle(kavra::TitleLine::Footer, "Foot");
    const ChartPlan plan = loaded.plan(options, 1);
    ASSERT_EQ(plan.series.size(), 4u);
    EXPECT_EQ(plan.series[1].legend, "Item 01(# 2)");
    EXPECT_EQ(plan.series[3].legend, "Item 01(# 2)(MovAvgPer= 10)");
    EXPECT_EQ(plan.titles[size_t(kavra::TitleLine::Footer)], "Foot");
    EXPECT_EQ(plan.periodNote, "The moving average period (10) is longer than the 5 rows shown: no average is drawn");
    EXPECT_EQ(kavra::itemLegend(std::string(120, 'A') + "BCDEF", 1), std::string(120, 'A') + "(# 1)");
    options.showRatios({2, 1}, {2, 2});
    const ChartPlan ratios = loaded.plan(options, 1);
    ASSERT_EQ(ratios.series.size(), 8u);
    EXPECT_EQ(ratios.series[0].legend, "Ratio : Item 01(# 1) / Item 01(# 2)");
    EXPECT_EQ(ratios.series[1].legend, "Ratio : Item 01(# 2) / Item 01(# 1)");
    EXPECT_EQ(ratios.series[5].legend, "Ratio : Item 01(# 2) / Item 01(# 1)(MovAvgPer= 10)");
    EXPECT_EQ(kavra::itemLegend(std::string(119, 'x') + "\xC3\xA9z", 3), std::string(119, 'x') + "\xC3\xA9(# 3)");
}

}  // namespace
