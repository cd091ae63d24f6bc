#include "analysis/Curves.h"

#include <cmath>
#include <limits>

namespace kavra::analysis {

namespace {

constexpr double kCandleCount = 20;

// high and low are the group's real extremes; a NaN compares false and is
// therefore passed over (a group of NaNs only keeps NaN extremes).
Candle candleOf(const double *x, const double *y, size_t first, size_t size)
{
    const size_t last = first + size - 1;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Candle candle{(x[first] + x[last]) / 2, y[first], nan, nan, y[last]};
    for (size_t j = first; j <= last; ++j) {
        const double v = y[j];
        if (v > candle.high || std::isnan(candle.high))
            candle.high = v;
        if (v < candle.low || std::isnan(candle.low))
            candle.low = v;
    }
    return candle;
}

}  // namespace

std::vector<Candle> candles(const double *x, const double *y, size_t n)
{
    std::vector<Candle> result;
    size_t groupSize = n / static_cast<size_t>(kCandleCount);
    double count = kCandleCount;
    if (groupSize == 0)
        return result;
    if (groupSize == 1) {
        // Candles of one point would say nothing: pairs instead, n / 2 of them
        // (a fraction for odd n, so the last odd point is left out).
        groupSize = 2;
        count = static_cast<double>(n) / 2.0;
    }
    size_t start = 0;
    for (double c = 0; c <= count - 1; ++c) {
        result.push_back(candleOf(x, y, start, groupSize));
        start += groupSize;
    }
    return result;
}

}  // namespace kavra::analysis
