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
    EXPECT_DOUBLE_EQ(candle.low, 10.0 * static_cast<double>(first)) << first;  // .25 rounds down
    EXPECT_DOUBLE_EQ(candle.high, 10.0 * static_cast<double>(last)) << first;
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

TEST(Candles, RoundHighAndLowHalfToEvenFromFixedStarts)
{
    Series s = series(40);
    // First pair: 2.5 and 3.5 round to 2 and 4.
    s.y[0] = 2.5;
    s.y[1] = 3.5;
    // Second pair all negative: high stays at its start of 0.
    s.y[2] = -7.6;
    s.y[3] = -3.2;
    // Third pair beyond the low start: low stays 999999999.
    s.y[4] = 2e9;
    s.y[5] = 1.5e9;
    const std::vector<Candle> c = candlesOf(s);
    ASSERT_EQ(c.size(), 20u);
    EXPECT_DOUBLE_EQ(c[0].open, 2.5);
    EXPECT_DOUBLE_EQ(c[0].close, 3.5);
    EXPECT_DOUBLE_EQ(c[0].high, 4);
    EXPECT_DOUBLE_EQ(c[0].low, 2);
    EXPECT_DOUBLE_EQ(c[1].high, 0);
    EXPECT_DOUBLE_EQ(c[1].low, -8);
    EXPECT_DOUBLE_EQ(c[1].open, -7.6);
    EXPECT_DOUBLE_EQ(c[2].high, 2e9);
    EXPECT_DOUBLE_EQ(c[2].low, 999999999);
}
