#include "analysis/Curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using kavra::analysis::Curve;
using kavra::analysis::movingAverage;

namespace {

const std::vector<double> kX = {10, 11, 12, 13, 14, 15};
const std::vector<double> kY = {1, 2, 6, 3, 9, 0};

Curve averageOf(const std::vector<double> &y, long long period)
{
    return movingAverage(kX.data(), y.data(), y.size(), period);
}

}  // namespace

TEST(MovingAverage, PeriodOneGivesTheSeriesBack)
{
    const Curve curve = averageOf(kY, 1);
    EXPECT_EQ(curve.x, kX);
    EXPECT_EQ(curve.y, kY);
}

TEST(MovingAverage, StartsAtThePeriodthPointWithTheTrailingMean)
{
    const Curve curve = averageOf(kY, 3);
    EXPECT_EQ(curve.x, (std::vector<double>{12, 13, 14, 15}));
    // (1+2+6)/3, (2+6+3)/3, (6+3+9)/3, (3+9+0)/3
    ASSERT_EQ(curve.y.size(), 4u);
    EXPECT_DOUBLE_EQ(curve.y[0], 3);
    EXPECT_DOUBLE_EQ(curve.y[1], 11.0 / 3);
    EXPECT_DOUBLE_EQ(curve.y[2], 6);
    EXPECT_DOUBLE_EQ(curve.y[3], 4);

    const Curve whole = averageOf(kY, 6);
    EXPECT_EQ(whole.x, (std::vector<double>{15}));
    EXPECT_EQ(whole.y, (std::vector<double>{21.0 / 6}));
}

TEST(MovingAverage, RefusesPeriodsOutsideOneToN)
{
    for (long long period : {0LL, -5LL, 7LL, 40000LL, std::numeric_limits<long long>::min()}) {
        const Curve curve = averageOf(kY, period);
        EXPECT_TRUE(curve.x.empty()) << period;
        EXPECT_TRUE(curve.y.empty()) << period;
    }
    EXPECT_TRUE(movingAverage(nullptr, nullptr, 0, 1).y.empty());
}

TEST(MovingAverage, NonFiniteValueSpoilsOnlyTheWindowsHoldingIt)
{
    std::vector<double> y = kY;
    y[2] = std::numeric_limits<double>::quiet_NaN();
    const Curve curve = averageOf(y, 2);
    ASSERT_EQ(curve.y.size(), 5u);
    EXPECT_DOUBLE_EQ(curve.y[0], 1.5);
    EXPECT_TRUE(std::isnan(curve.y[1]));
    EXPECT_TRUE(std::isnan(curve.y[2]));
    EXPECT_DOUBLE_EQ(curve.y[3], 6);
    EXPECT_DOUBLE_EQ(curve.y[4], 4.5);

    // An infinity behaves the same, and the windows after it slide clear of
    // it: a plain running sum would be left at inf - inf = NaN for good.
    std::vector<double> x(10), ramp(10);
    for (size_t i = 0; i < 10; ++i)
        x[i] = ramp[i] = static_cast<double>(i);
    ramp[1] = std::numeric_limits<double>::infinity();
    const Curve wide = movingAverage(x.data(), ramp.data(), ramp.size(), 4);
    ASSERT_EQ(wide.y.size(), 7u);
    for (size_t k = 0; k < 2; ++k)
        EXPECT_TRUE(std::isnan(wide.y[k])) << k;
    for (size_t k = 2; k < 7; ++k)
        EXPECT_DOUBLE_EQ(wide.y[k], static_cast<double>(k) + 1.5) << k;  // mean of k..k+3
}

TEST(MovingAverage, StaysAccurateOverAMillionLargeValues)
{
    // Values near 1e9 that vary by less than 1 and have no short binary form:
    // a plain running sum drifts by about 1e-4 here, far beyond the tolerance.
    const size_t n = 1000000;
    const double base = 1e9;
    std::vector<double> x(n), y(n);
    for (size_t i = 0; i < n; ++i) {
        x[i] = static_cast<double>(i);
        y[i] = base + std::sin(static_cast<double>(i) * 0.7);
    }
    for (long long period : {7LL, 1000LL}) {
        const Curve curve = movingAverage(x.data(), y.data(), n, period);
        ASSERT_EQ(curve.y.size(), n - static_cast<size_t>(period) + 1);
        const size_t p = static_cast<size_t>(period);
        for (size_t i : {p - 1, n / 3, n / 2 + 17, n - 2, n - 1}) {
            // y - base is exact for values this close, so the deviations can be
            // summed on their own and the reference keeps every digit.
            double deviations = 0;
            for (size_t j = i + 1 - p; j <= i; ++j)
                deviations += y[j] - base;
            const double expected = base + deviations / static_cast<double>(p);
            EXPECT_NEAR(curve.y[i + 1 - p], expected, 1e-6) << "period " << period << " point " << i;
            EXPECT_EQ(curve.x[i + 1 - p], x[i]);
        }
    }
}
