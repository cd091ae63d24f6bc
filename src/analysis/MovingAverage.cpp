#include "analysis/Curves.h"

#include <cmath>
#include <limits>

namespace kavra::analysis {

namespace {

// Neumaier's compensated sum: the low-order part lost by each addition is kept
// in `carry`, so sliding a window of values near 1e9 over a million points does
// not drift by the rounding of every step.
struct CompensatedSum {
    double sum = 0;
    double carry = 0;

    void add(double v)
    {
        const double t = sum + v;
        if (std::fabs(sum) >= std::fabs(v))
            carry += (sum - t) + v;
        else
            carry += (v - t) + sum;
        sum = t;
    }

    double value() const { return sum + carry; }
};

// The finite values of a window are summed; the others are only counted, so a
// NaN leaving the window leaves no trace in the sum.
struct Window {
    CompensatedSum total;
    size_t nonFinite = 0;

    void add(double v)
    {
        if (std::isfinite(v))
            total.add(v);
        else
            ++nonFinite;
    }

    void remove(double v)
    {
        if (std::isfinite(v))
            total.add(-v);
        else
            --nonFinite;
    }
};

Window sumOf(const double *y, size_t count)
{
    Window window;
    for (size_t i = 0; i < count; ++i)
        window.add(y[i]);
    return window;
}

}  // namespace

Curve movingAverage(const double *x, const double *y, size_t n, long long period)
{
    Curve curve;
    if (period < 1 || static_cast<unsigned long long>(period) > n)
        return curve;
    const size_t p = static_cast<size_t>(period);
    curve.x.reserve(n - p + 1);
    curve.y.reserve(n - p + 1);

    Window window;
    for (size_t i = p - 1; i < n; ++i) {
        // Summing each window afresh once every `period` points costs one more
        // pass in all and bounds whatever the carry itself has lost.
        if ((i + 1) % p == 0) {
            window = sumOf(y + (i + 1 - p), p);
        } else {
            window.add(y[i]);
            window.remove(y[i - p]);
        }
        const double mean = window.nonFinite > 0 ? std::numeric_limits<double>::quiet_NaN()
                                                 : window.total.value() / static_cast<double>(p);
        curve.x.push_back(x[i]);
        curve.y.push_back(mean);
    }
    return curve;
}

}  // namespace kavra::analysis
