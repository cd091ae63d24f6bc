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

// The source smoothed with a strength that grows with factor: at each sample,
// the value of the straight line fitted by least squares to the samples around
// it, weighted by a Gaussian of their distance in samples whose width grows
// with the factor (half a sample at 1, nearly the raw line; 3.76 times wider a
// decade; a hundred samples at 10000, the widest, the broad shape of a day of
// minutes; larger factors smooth as 10000 does). Non-finite values are passed over; a sample
// with none finite within three widths is NaN, a gap. Between samples the curve
// runs as a smooth cubic, (n-1)*factor+1 points evenly spread along the samples;
// when that exceeds maxPoints fewer points per interval are taken, and when even
// one per interval is too many, maxPoints points are spread over the whole
// curve. It starts at the first x and ends at the last, x stays increasing when
// the source x does, and y stays within the source's range. factor < 1, n < 2 or
// maxPoints < 2 give an empty curve.
Curve smoothedCurve(const double *x, const double *y, size_t n, long long factor, size_t maxPoints = 2000000);

struct Candle {
    double date, open, high, low, close;
};

// About twenty candles summarising a curve, covering every point: groups of
// G = ceil(n / 20) points, two at least, the last group holding what is left
// (so it may be shorter). high and low are the group's largest and smallest
// values; open and close are its first and last values; date is the midpoint of
// the group's first and last x. No points give no candles.
size_t candleGroupSize(size_t n);
std::vector<Candle> candles(const double *x, const double *y, size_t n);

// a[i] / b[i] point by point, 0 where b[i] is 0.
std::vector<double> ratio(const double *a, const double *b, size_t n);

}  // namespace kavra::analysis
