#include "analysis/Curves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using kavra::analysis::Curve;
using kavra::analysis::smoothedCurve;

namespace {

Curve smooth(const std::vector<double> &x, const std::vector<double> &y, long long factor, size_t maxPoints = 2000000)
{
    return smoothedCurve(x.data(), y.data(), x.size(), factor, maxPoints);
}

std::vector<double> wiggly(size_t n)
{
    std::vector<double> y(n);
    for (size_t i = 0; i < n; ++i)
        y[i] = 50 + 40 * std::sin(static_cast<double>(i) * 1.3) + static_cast<double>(i % 7);
    return y;
}

std::vector<double> days(size_t n)
{
    std::vector<double> x(n);
    for (size_t i = 0; i < n; ++i)
        x[i] = 46000 + static_cast<double>(i) / 1440.0 + (i % 3 == 0 ? 0.0002 : 0.0);
    return x;
}

void expectEndsAtFirstAndLastPoint(const Curve &curve, const std::vector<double> &x, const std::vector<double> &y)
{
    ASSERT_FALSE(curve.x.empty());
    EXPECT_EQ(curve.x.front(), x.front());
    EXPECT_EQ(curve.y.front(), y.front());
    EXPECT_EQ(curve.x.back(), x.back());
    EXPECT_EQ(curve.y.back(), y.back());
}

}  // namespace

TEST(SmoothedCurve, FollowsTheBSplineOfTheTripledEndPoints)
{
    // Three points give four segments, parameter 0..4. At whole parameters the
    // spline is (a + 4b + c) / 6 of consecutive control points
    // P0 P0 P0 P1 P2 P2 P2: u = 1 gives (5 P0 + P1) / 6, u = 2 gives (P0 + 4 P1 + P2) / 6.
    const std::vector<double> x = {0, 1, 2};
    const std::vector<double> y = {0, 6, 0};
    const Curve one = smooth(x, y, 1);
    ASSERT_EQ(one.y.size(), 3u);
    EXPECT_DOUBLE_EQ(one.x[1], 1);
    EXPECT_DOUBLE_EQ(one.y[1], 4);  // not 6: the curve does not pass through the peak

    const Curve two = smooth(x, y, 2);
    ASSERT_EQ(two.y.size(), 5u);
    EXPECT_DOUBLE_EQ(two.x[1], 1.0 / 6);
    EXPECT_DOUBLE_EQ(two.y[1], 1);
    EXPECT_DOUBLE_EQ(two.y[2], 4);
    EXPECT_DOUBLE_EQ(two.x[3], 11.0 / 6);
    EXPECT_DOUBLE_EQ(two.y[3], 1);
    expectEndsAtFirstAndLastPoint(two, x, y);
}

TEST(SmoothedCurve, StaysInsideTheSourceWithIncreasingX)
{
    const size_t n = 200;
    const std::vector<double> x = days(n);
    const std::vector<double> y = wiggly(n);
    const Curve curve = smooth(x, y, 7);
    ASSERT_EQ(curve.x.size(), (n - 1) * 7 + 1);
    ASSERT_EQ(curve.y.size(), curve.x.size());
    expectEndsAtFirstAndLastPoint(curve, x, y);
    const auto [low, high] = std::minmax_element(y.begin(), y.end());
    for (size_t k = 0; k < curve.y.size(); ++k) {
        ASSERT_GE(curve.y[k], *low) << k;
        ASSERT_LE(curve.y[k], *high) << k;
        if (k > 0) {
            ASSERT_GT(curve.x[k], curve.x[k - 1]) << k;
        }
    }
}

TEST(SmoothedCurve, KeepsLinesStraightAndConstantsConstant)
{
    const std::vector<double> x = {1, 2, 4, 5, 9, 10};
    std::vector<double> line(x.size()), flat(x.size(), 42.5);
    for (size_t i = 0; i < x.size(); ++i)
        line[i] = 3 * x[i] - 7;
    const Curve straight = smooth(x, line, 9);
    for (size_t k = 0; k < straight.x.size(); ++k)
        EXPECT_NEAR(straight.y[k], 3 * straight.x[k] - 7, 1e-12) << k;
    for (double v : smooth(x, flat, 9).y)
        EXPECT_EQ(v, 42.5);

    // Two points: a straight segment between them.
    const std::vector<double> x2 = {2, 6}, y2 = {10, 30};
    const Curve segment = smooth(x2, y2, 4);
    ASSERT_EQ(segment.x.size(), 5u);
    expectEndsAtFirstAndLastPoint(segment, x2, y2);
    for (size_t k = 0; k < segment.x.size(); ++k)
        EXPECT_NEAR(segment.y[k], 10 + 5 * (segment.x[k] - 2), 1e-12) << k;
}

TEST(SmoothedCurve, RefusesTooFewPointsOrFactorBelowOne)
{
    const std::vector<double> x = {1, 2, 3}, y = {4, 5, 6};
    EXPECT_TRUE(smooth(x, y, 0).x.empty());
    EXPECT_TRUE(smooth(x, y, -3).y.empty());
    EXPECT_TRUE(smoothedCurve(x.data(), y.data(), 1, 5).x.empty());
    EXPECT_TRUE(smoothedCurve(nullptr, nullptr, 0, 5).x.empty());
    EXPECT_TRUE(smooth(x, y, 5, 1).x.empty());
}

TEST(SmoothedCurve, TakesFewerPointsPerIntervalUnderTheCap)
{
    const size_t n = 11;
    const std::vector<double> x = days(n), y = wiggly(n);
    EXPECT_EQ(smooth(x, y, 5, 51).x.size(), 51u);  // exactly fits
    EXPECT_EQ(smooth(x, y, 5, 50).x.size(), 41u);  // 4 per interval
    EXPECT_EQ(smooth(x, y, 5, 31).x.size(), 31u);  // 3 per interval
    const Curve capped = smooth(x, y, 5, 30);
    EXPECT_EQ(capped.x.size(), 21u);  // 2 per interval
    expectEndsAtFirstAndLastPoint(capped, x, y);
    // The cap keeps the shape: the same curve as asked with factor 2.
    EXPECT_EQ(capped.y, smooth(x, y, 2).y);
}

TEST(SmoothedCurve, SpreadsTheCapOverTheCurveWhenIntervalsOutnumberIt)
{
    const size_t n = 11;
    const std::vector<double> x = days(n), y = wiggly(n);
    const Curve sparse = smooth(x, y, 3, 6);
    ASSERT_EQ(sparse.x.size(), 6u);
    expectEndsAtFirstAndLastPoint(sparse, x, y);
    // Parameter 0, 2.4, 4.8, ... 12 over the 12 segments: evenly spread.
    const Curve fine = smooth(x, y, 5);  // parameter step 12/50, so k*10 gives 2.4k
    for (size_t k = 0; k < 6; ++k) {
        EXPECT_NEAR(sparse.x[k], fine.x[k * 10], 1e-9) << k;
        EXPECT_NEAR(sparse.y[k], fine.y[k * 10], 1e-9) << k;
    }
}

TEST(SmoothedCurve, HugeFactorOnALongSeriesStaysUnderTheDefaultCap)
{
    const size_t n = 100000;
    const std::vector<double> x = days(n), y = wiggly(n);
    const Curve curve = smooth(x, y, 10000);
    // floor(1999999 / 99999) = 20 points per interval.
    EXPECT_EQ(curve.x.size(), 99999u * 20 + 1);
    EXPECT_EQ(curve.y.size(), curve.x.size());
    expectEndsAtFirstAndLastPoint(curve, x, y);
    EXPECT_EQ(smooth(x, y, 1LL << 62).x.size(), 99999u * 20 + 1);
}
