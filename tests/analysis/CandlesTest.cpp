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

TEST(Candles, MakeTwentyEqualGroupsAndLeaveTheRemainderOut)
{
    const Series hundred = series(100);
    const std::vector<Candle> c100 = candlesOf(hundred);
    ASSERT_EQ(c100.size(), 20u);
    for (size_t k = 0; k < 20; ++k)
        expectCandleCovers(c100[k], hundred, 5 * k, 5 * k + 4);
    EXPECT_DOUBLE_EQ(c100[1].date, (125 + 181) / 2.0);

    const Series more = series(103);
    const std::vector<Candle> c103 = candlesOf(more);
    ASSERT_EQ(c103.size(), 20u);
    expectCandleCovers(c103[19], more, 95, 99);
}

TEST(Candles, UsePairsWhenGroupsWouldHoldOnePoint)
{
    const Series thirty = series(30);
    const std::vector<Candle> c30 = candlesOf(thirty);
    ASSERT_EQ(c30.size(), 15u);
    for (size_t k = 0; k < 15; ++k)
        expectCandleCovers(c30[k], thirty, 2 * k, 2 * k + 1);

    const Series odd = series(25);
    const std::vector<Candle> c25 = candlesOf(odd);
    ASSERT_EQ(c25.size(), 12u);  // 12.5 candles: the fraction is not made
    expectCandleCovers(c25[11], odd, 22, 23);

    EXPECT_EQ(candlesOf(series(20)).size(), 10u);
    EXPECT_EQ(candlesOf(series(39)).size(), 19u);
    EXPECT_EQ(candlesOf(series(40)).size(), 20u);
}

TEST(Candles, NoneBelowTwentyPoints)
{
    EXPECT_TRUE(candlesOf(series(19)).empty());
    EXPECT_TRUE(candlesOf(series(0)).empty());
}

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
