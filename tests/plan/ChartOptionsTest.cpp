#include "plan/ChartOptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using kavra::ChartOptions;
using kavra::TitleLine;

// What the chart shows of the options after a sequence of intents.
struct Seen {
    kavra::StackMode stack;
    kavra::DualLayout dual;
    std::string subFooter;
    bool subFooterShown, subHeaderShown, footerShown;
    kavra::DerivedCurve curve;
    bool ratios;
    bool operator==(const Seen &) const = default;
};

Seen seen(const ChartOptions &o)
{
    return {o.stackMode(),
            o.dualLayout(),
            o.title(TitleLine::SubFooter),
            o.titleShown(TitleLine::SubFooter),
            o.titleShown(TitleLine::SubHeader),
            o.titleShown(TitleLine::Footer),
            o.derivedCurve(),
            o.ratioMode()};
}

TEST(ChartOptionsTest, IntentsLeaveTheStateTheCommandsPromise)
{
    using Curve = kavra::DerivedCurve;
    using enum kavra::StackMode;
    using enum kavra::DualLayout;
    const std::string stacked = "Values are STACKED";
    // clang-format off
    const struct {
        const char *name;
        std::function<void(ChartOptions &)> intents;
        Seen expected;
    } cases[] = {
        {"start-up", [](ChartOptions &) {}, {StackNone, SingleAxis, "", false, false, false, Curve::None, false}},
        {"stack", [](ChartOptions &o) { o.stack(); }, {Stacked, SingleAxis, stacked, true, false, false, Curve::None, false}},
        {"stack, unstack", [](ChartOptions &o) { o.stack(); o.unStack(); },
         {StackOverlap, SingleAxis, "", false, false, false, Curve::None, false}},
        {"stacked, cycle to two axes", [](ChartOptions &o) { o.stack(); o.cycleDual(); },
         {StackOverlap, DualAxes, "", false, false, false, Curve::None, false}},
        {"cycle three times", [](ChartOptions &o) { o.cycleDual(); o.cycleDual(); o.cycleDual(); },
         {StackOverlap, SingleAxis, "", false, false, false, Curve::None, false}},
        {"one axis keeps the stacking", [](ChartOptions &o) { o.stack(); o.useDualLayout(SingleAxis); },
         {Stacked, SingleAxis, stacked, true, false, false, Curve::None, false}},
        {"one curve, then another", [](ChartOptions &o) { o.toggle(Curve::MovingAverage); o.toggle(Curve::Candle); },
         {StackNone, SingleAxis, "", false, false, false, Curve::Candle, false}},
        {"toggled twice", [](ChartOptions &o) { o.toggle(Curve::Smoothed); o.toggle(Curve::Smoothed); },
         {StackNone, SingleAxis, "", false, false, false, Curve::None, false}},
        {"ratios", [](ChartOptions &o) { o.showRatios({2, 1}, {3, 1}); },
         {StackNone, SingleAxis, "", false, false, false, Curve::None, true}},
        {"ratios left", [](ChartOptions &o) { o.showRatios({2, 1}, {3, 1}); o.leaveRatios(); },
         {StackNone, SingleAxis, "", false, false, false, Curve::None, false}},
        // A load empties the sub-footer but leaves it shown, as it always has.
        {"load drops the average", [](ChartOptions &o) { o.stack(); o.show(Curve::MovingAverage); o.loaded(false, ""); },
         {StackOverlap, SingleAxis, "", true, false, false, Curve::None, false}},
        {"load keeps candles", [](ChartOptions &o) { o.show(Curve::Candle); o.loaded(false, ""); },
         {StackOverlap, SingleAxis, "", false, false, false, Curve::Candle, false}},
        {"close", [](ChartOptions &o) {
             o.stack(); o.showTitle(TitleLine::SubHeader, true); o.showTitle(TitleLine::Footer, true);
             o.cycleDual(); o.showRatios({}, {}); o.show(Curve::Candle); o.closed(); },
         {StackNone, SingleAxis, "", false, false, false, Curve::None, false}},
    };
    // clang-format on
    for (const auto &c : cases) {
        ChartOptions options;
        c.intents(options);
        EXPECT_TRUE(seen(options) == c.expected) << c.name;
    }
}

TEST(ChartOptionsTest, TitleTextsOutliveCloseAndTheFirstFileNamesItsNode)
{
    ChartOptions options;
    options.setTitle(TitleLine::Footer, "Foot");
    options.loaded(true, "NODE1");
    options.loaded(false, "NODE2");
    options.closed();
    EXPECT_EQ(options.title(TitleLine::Header), "Node(s) : NODE1");
    EXPECT_EQ(options.title(TitleLine::Footer), "Foot");
    EXPECT_TRUE(options.titleShown(TitleLine::Header));
}

}  // namespace
