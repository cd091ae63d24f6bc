#pragma once
#include <cstddef>
#include <vector>

// Derived curves drawn next to a series: moving averages, smoothed curves,
// candles and ratios. Plain arrays in, plain vectors out, so the
// chart code can feed them any column of the data set.
namespace kavra::analysis {

struct Curve {
    std::vector<double> x, y;  // x are date values (days)
};

// Trailing mean of the last `period` values: point i (i >= period - 1) is the
// mean of y[i-period+1..i] at x[i], so the curve has n - period + 1 points. A
// period below 1 or above n gives an empty curve. A NaN or infinite value makes
// the points whose window holds it NaN and no others. O(n) and compensated, so
// long series of large values keep their low digits.
Curve movingAverage(const double *x, const double *y, size_t n, long long period);

// A uniform cubic B-spline with the source points as control points and the end
// points repeated three times, so it starts at the first point and ends at the
// last without passing through the others. x is splined the same way, so it
// stays increasing when the source x does. (n-1)*factor+1 points evenly spread
// along the spline parameter; when that exceeds maxPoints fewer points per
// interval are taken, and when even one per interval is too many, maxPoints
// points are spread over the whole curve. factor < 1, n < 2 or maxPoints < 2
// give an empty curve.
Curve smoothedCurve(const double *x, const double *y, size_t n, long long factor, size_t maxPoints = 2000000);

struct Candle {
    double date, open, high, low, close;
};

// About twenty candles summarising a curve: groups of G = floor(n / 20) points
// (two points, and n / 2 candles, when G would be 1). high and low are the
// group's largest and smallest values; open and close are its first and last
// values; date is the
// midpoint of the group's first and last x. Fewer than 20 points give none.
std::vector<Candle> candles(const double *x, const double *y, size_t n);

// a[i] / b[i] point by point, 0 where b[i] is 0.
std::vector<double> ratio(const double *a, const double *b, size_t n);

}  // namespace kavra::analysis
