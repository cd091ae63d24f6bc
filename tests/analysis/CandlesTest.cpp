#include "analysis/Curves.h"

#include <gtest/gtest.h>

#include <vector>

using kavra::analysis::Candle;
using kavra::analysis::candles;

namespace {

struct Series {
    std::vector<double> x, y;
};

// x[i] = 100 + i*i, so the midpoint of a group's ends differs from its middle
// point; y[i] = 10 * i + 0.25, fractional so open and close show raw values.
Series series(size_t n)
{
    Series s;
    for (size_t i = 0; i < n; ++i) {
        const double d = static_cast<double>(i);
        s.x.push_back(100 + d * d);
        s.y.push_back(10 * d + 0.25);
    }
    return s;
}

std::vector<Candle> candlesOf(const Series &s)
{
    return candles(s.x.data(), s.y.data(), s.x.size());
}

void expectCandleCovers(const Candle &candle, const Series &s, size_t first, size_t last)
{
    EXPECT_DOUBLE_EQ(candle.date, (s.x[first] + s.x[last]) / 2) << first;
    EXPECT_DOUBLE_EQ(candle.open, s.y[first]) << first;
    EXPECT_DOUBLE_EQ(candle.close, s.y[last]) << first;
    EXPECT_DOUBLE_EQ(candle.low, s.y[first]) << first;  // the values rise through each group
    EXPECT_DOUBLE_EQ(candle.high, s.y[last]) << first;
}

}  // namespace

// Every point belongs to a candle: groups of ceil(n / 20) points, two at least,
// and whatever is left over makes a last, shorter candle.
TEST(Candles, CoverEveryPointWithALastShorterCandle)
{
    struct Case {
        size_t points, groupSize, candles, lastSize;
    };
    const Case cases[] = {
        {100, 5, 20, 5},   {103, 6, 18, 1}, {119, 6, 20, 5}, {1440, 72, 20, 72}, {1439, 72, 20, 71},
        {40, 2, 20, 2},    {39, 2, 20, 1},  {30, 2, 15, 2},  {25, 2, 13, 1},     {20, 2, 10, 2},
        {19, 2, 10, 1},    {2, 2, 1, 2},    {1, 2, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.points);
        const Series s = series(c.points);
        const std::vector<Candle> made = candlesOf(s);
        ASSERT_EQ(made.size(), c.candles);
        for (size_t k = 0; k + 1 < made.size(); ++k)
            expectCandleCovers(made[k], s, k * c.groupSize, k * c.groupSize + c.groupSize - 1);
        expectCandleCovers(made.back(), s, c.points - c.lastSize, c.points - 1);
    }
    EXPECT_DOUBLE_EQ(candlesOf(series(100))[1].date, (125 + 181) / 2.0);
}

TEST(Candles, NoneWithoutPoints) { EXPECT_TRUE(candlesOf(series(0)).empty()); }

// Each candle's wicks reach exactly the group's largest and smallest values,
// whatever their size or sign.
TEST(Candles, HighAndLowAreTheGroupsRealExtremes)
{
    Series s = series(40);  // pairs of points
    const std::vector<std::pair<double, double>> pairs = {{0.61, 0.0},     {1.32, 0.4},      {2.5, 3.5},
                                                          {-7.6, -3.2},    {5, 5},           {2e9, 1.5e9},
                                                          {1e150, -1e150}, {1e-300, 3e-300}, {-0.5, -0.25}};
    for (size_t k = 0; k < pairs.size(); ++k) {
        s.y[2 * k] = pairs[k].first;
        s.y[2 * k + 1] = pairs[k].second;
    }
    const std::vector<Candle> c = candlesOf(s);
    ASSERT_EQ(c.size(), 20u);
    for (size_t k = 0; k < pairs.size(); ++k) {
        SCOPED_TRACE(k);
        const auto [a, b] = pairs[k];
        EXPECT_EQ(c[k].high, std::max(a, b));
        EXPECT_EQ(c[k].low, std::min(a, b));
        EXPECT_EQ(c[k].open, a);
        EXPECT_EQ(c[k].close, b);
    }
}
