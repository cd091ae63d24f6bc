#include "analysis/Curves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
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

void expectEndsAtFirstAndLastTime(const Curve &curve, const std::vector<double> &x)
{
    ASSERT_FALSE(curve.x.empty());
    EXPECT_EQ(curve.x.front(), x.front());
    EXPECT_EQ(curve.x.back(), x.back());
}

// The sum of the steps up and down: how much a line wiggles.
double totalVariation(const std::vector<double> &y)
{
    double sum = 0;
    for (size_t i = 1; i < y.size(); ++i)
        sum += std::fabs(y[i] - y[i - 1]);
    return sum;
}

// A day of minutes: a broad shape (low at night, high by day) and noise on it.
struct Day {
    std::vector<double> x, shape, y;
};

Day noisyDay()
{
    Day day;
    unsigned state = 12345;
    for (size_t i = 0; i < 1440; ++i) {
        state = state * 1103515245u + 12345u;
        const double noise = static_cast<double>((state >> 8) % 2001) / 100.0 - 10.0;  // -10 .. 10
        const double shape = 50 - 30 * std::cos(2 * M_PI * static_cast<double>(i) / 1440.0);
        day.x.push_back(46000 + static_cast<double>(i) / 1440.0);
        day.shape.push_back(shape);
        day.y.push_back(shape + noise);
    }
    return day;
}

// The curve at the samples: with factor points a sample, every factor-th point.
std::vector<double> atSamples(const Curve &curve, size_t factor)
{
    std::vector<double> values;
    for (size_t k = 0; k < curve.y.size(); k += factor)
        values.push_back(curve.y[k]);
    return values;
}

double meanGap(const std::vector<double> &a, const std::vector<double> &b)
{
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::fabs(a[i] - b[i]);
    return sum / double(a.size());
}

double largestGap(const std::vector<double> &a, const std::vector<double> &b)
{
    double gap = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        gap = std::max(gap, std::fabs(a[i] - b[i]));
    return gap;
}

}  // namespace

// The factor sets how strongly the day is smoothed: at 1 the curve keeps close
// to the raw line, at 10000 it shows the day's broad shape with the noise gone,
// each decade between draws a clearly different curve, and the wiggling falls
// as the factor rises.
TEST(SmoothedCurve, TheFactorSetsTheStrengthFromTheRawLineToTheDaysShape)
{
    const Day day = noisyDay();
    const size_t n = day.x.size();
    const std::vector<long long> factors = {1, 10, 100, 1000, 10000};
    std::vector<std::vector<double>> curves;
    for (long long factor : factors) {
        // Capped at one point a sample: the curve at the samples themselves.
        curves.push_back(smoothedCurve(day.x.data(), day.y.data(), n, factor, n).y);
        ASSERT_EQ(curves.back().size(), n) << factor;
    }
    EXPECT_LT(meanGap(curves[0], day.y), 3.0) << "factor 1 stays near the raw line, whose noise spans 20";
    EXPECT_GT(meanGap(curves[0], day.shape), 3.0) << "and keeps most of the noise";
    EXPECT_LT(meanGap(curves[4], day.shape), 2.0) << "factor 10000 follows the day's shape";
    EXPECT_LT(largestGap(curves[4], day.shape), 4.0);
    for (size_t f = 1; f < factors.size(); ++f) {
        SCOPED_TRACE(factors[f]);
        EXPECT_LT(totalVariation(curves[f]), totalVariation(curves[f - 1]));
        EXPECT_GT(largestGap(curves[f], curves[f - 1]), 1.0) << "a decade apart draws another curve";
    }
    EXPECT_LT(totalVariation(curves[2]), 0.25 * totalVariation(curves[0])) << "the noise is gone by 100";
    EXPECT_GT(totalVariation(curves[4]), 100) << "the day's rise and fall (120) stays";
}

TEST(SmoothedCurve, AGapOfValuesIsBridgedWhereTheWindowReachesAcrossIt)
{
    const Day day = noisyDay();
    std::vector<double> y = day.y;
    y[100] = std::nan("");  // one value missing: its neighbours fill in
    for (size_t i = 500; i < 540; ++i)
        y[i] = std::numeric_limits<double>::infinity();  // forty missing: wider than factor 10's window
    const Curve curve = smoothedCurve(day.x.data(), y.data(), y.size(), 10);
    const std::vector<double> samples = atSamples(curve, 10);
    EXPECT_TRUE(std::isfinite(samples[100]));
    EXPECT_NEAR(samples[100], day.shape[100], 8.0);
    EXPECT_TRUE(std::isnan(samples[520]));
    EXPECT_TRUE(std::isfinite(samples[495]));
    EXPECT_TRUE(std::isfinite(samples[545]));
}

TEST(SmoothedCurve, StaysInsideTheSourceWithIncreasingX)
{
    const size_t n = 200;
    const std::vector<double> x = days(n);
    const std::vector<double> y = wiggly(n);
    const Curve curve = smooth(x, y, 7);
    ASSERT_EQ(curve.x.size(), (n - 1) * 7 + 1);
    ASSERT_EQ(curve.y.size(), curve.x.size());
    expectEndsAtFirstAndLastTime(curve, x);
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
    expectEndsAtFirstAndLastTime(segment, x2);
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
    expectEndsAtFirstAndLastTime(capped, x);
    // The cap keeps the curve: at every sample the same value as without it.
    const Curve full = smooth(x, y, 5);
    for (size_t k = 0; k < n; ++k)
        EXPECT_EQ(capped.y[2 * k], full.y[5 * k]) << k;
}

TEST(SmoothedCurve, SpreadsTheCapOverTheCurveWhenIntervalsOutnumberIt)
{
    const size_t n = 11;
    const std::vector<double> x = days(n), y = wiggly(n);
    const Curve sparse = smooth(x, y, 3, 6);
    ASSERT_EQ(sparse.x.size(), 6u);
    expectEndsAtFirstAndLastTime(sparse, x);
    // Samples 0, 2, 4, ... 10: evenly spread.
    const Curve fine = smooth(x, y, 3);  // three points a sample, so k*6 is sample 2k
    for (size_t k = 0; k < 6; ++k) {
        EXPECT_NEAR(sparse.x[k], fine.x[k * 6], 1e-9) << k;
        EXPECT_NEAR(sparse.y[k], fine.y[k * 6], 1e-9) << k;
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
    expectEndsAtFirstAndLastTime(curve, x);
    EXPECT_EQ(smooth(x, y, 1LL << 62).x.size(), 99999u * 20 + 1);
}
