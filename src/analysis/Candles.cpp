#include "analysis/Curves.h"

#include <cmath>

namespace kavra::analysis {

namespace {

constexpr double kCandleCount = 20;

// high starts at 0 and low at 999999999, so an all-negative group keeps high 0;
// the comparisons are false for a NaN, which is therefore passed over.
Candle candleOf(const double *x, const double *y, size_t first, size_t size)
{
    const size_t last = first + size - 1;
    Candle candle{(x[first] + x[last]) / 2, y[first], 0, 999999999, y[last]};
    for (size_t j = first; j <= last; ++j) {
        const double v = std::nearbyint(y[j]);  // halves to even in the default rounding mode
        if (v > candle.high)
            candle.high = v;
        if (v < candle.low)
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
