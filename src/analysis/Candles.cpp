#include "analysis/Curves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavra::analysis {

namespace {

constexpr size_t kCandleCount = 20;

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

size_t candleGroupSize(size_t n)
{
    // Rounded up, so that no point is left out: the last group takes what is
    // left and is the shorter one. A candle of one point would say nothing,
    // so groups hold two points at least.
    const size_t size = (n + kCandleCount - 1) / kCandleCount;
    return size < 2 ? 2 : size;
}

std::vector<Candle> candles(const double *x, const double *y, size_t n)
{
    std::vector<Candle> result;
    if (n == 0)
        return result;
    const size_t groupSize = candleGroupSize(n);
    result.reserve((n + groupSize - 1) / groupSize);
    for (size_t start = 0; start < n; start += groupSize)
        result.push_back(candleOf(x, y, start, std::min(groupSize, n - start)));
    return result;
}

}  // namespace kavra::analysis
