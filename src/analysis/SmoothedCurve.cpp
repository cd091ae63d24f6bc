#include "analysis/Curves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavra::analysis {

namespace {

// The width stops growing here: the prompt's largest factor already draws a
// day's broad shape, and a bound keeps the work linear in the points.
constexpr long long kWidestFactor = 10000;
// Weights beyond three widths are below 1.2 % of the middle one and left out.
constexpr double kWidthsInWindow = 3.0;

// The width (standard deviation, in samples) of the weights: half a sample at
// factor 1, so the curve keeps close to the raw line, growing 3.76 times a
// decade to a hundred samples at 10000, the broad shape of a day of minutes.
double smoothingWidth(long long factor)
{
    const double decades = std::log10(static_cast<double>(std::min(factor, kWidestFactor)));
    return 0.5 * std::pow(200.0, decades / 4);
}

// The Gaussian weights of one side of the window, by distance in samples.
std::vector<double> gaussianWeights(long long factor)
{
    const double width = smoothingWidth(factor);
    const size_t half = static_cast<size_t>(std::ceil(kWidthsInWindow * width));
    std::vector<double> weights(half + 1);
    for (size_t d = 0; d <= half; ++d) {
        const double distance = static_cast<double>(d) / width;
        weights[d] = std::exp(-0.5 * distance * distance);
    }
    return weights;
}

// The source with its gaps marked: values that are not finite count with
// weight 0 (and value 0), so the sums below need no test a sample.
struct Samples {
    const double *x;
    std::vector<double> y, counts;
    size_t n;

    Samples(const double *times, const double *values, size_t count) : x(times), y(count), counts(count), n(count)
    {
        for (size_t i = 0; i < n; ++i) {
            const bool finite = std::isfinite(values[i]);
            y[i] = finite ? values[i] : 0.0;
            counts[i] = finite ? 1.0 : 0.0;
        }
    }
};

// Weighted sums of the samples around one, by distance in time (dx) and in
// value (dy) from it.
struct Sums {
    double s0 = 0, s1 = 0, s2 = 0, t0 = 0, t1 = 0;

    void add(double w, double dx, double dy)
    {
        s0 += w;
        s1 += w * dx;
        s2 += w * dx * dx;
        t0 += w * dy;
        t1 += w * dx * dy;
    }
};

// The smoothed value at sample i: the value at x[i] of the straight line fitted,
// by weighted least squares, to the finite samples around it. A line rather than
// a mean, so that the ends of a rising series are not pulled towards its middle
// and straight stretches stay straight. Fitted to the differences from y[i] (and
// from x[i]), so a constant stays exactly itself and large values keep their low
// digits. NaN when the window holds no finite value.
double smoothedAt(const Samples &samples, size_t i, const std::vector<double> &weights)
{
    const size_t half = weights.size() - 1;
    const size_t first = i > half ? i - half : 0;
    const size_t last = std::min(samples.n - 1, i + half);
    const double x0 = samples.x[i], y0 = samples.y[i];
    const double *x = samples.x, *y = samples.y.data(), *counts = samples.counts.data();
    Sums sums;
    for (size_t j = first; j < i; ++j)
        sums.add(weights[i - j] * counts[j], x[j] - x0, y[j] - y0);
    for (size_t j = i; j <= last; ++j)
        sums.add(weights[j - i] * counts[j], x[j] - x0, y[j] - y0);
    if (sums.s0 == 0)
        return std::numeric_limits<double>::quiet_NaN();
    const double determinant = sums.s0 * sums.s2 - sums.s1 * sums.s1;
    // Times too close together to give a slope: the weighted mean instead.
    if (!(determinant > 1e-12 * sums.s0 * sums.s2))
        return y0 + sums.t0 / sums.s0;
    return y0 + (sums.s2 * sums.t0 - sums.s1 * sums.t1) / determinant;
}

// Points to evaluate: (n-1)*factor+1, or fewer per interval, or at worst
// maxPoints spread over the whole curve, so a huge factor cannot exhaust memory.
size_t pointCount(size_t n, long long factor, size_t maxPoints)
{
    const size_t intervals = n - 1;
    const size_t fitting = (maxPoints - 1) / intervals;
    const size_t perInterval =
        std::min(static_cast<unsigned long long>(factor), static_cast<unsigned long long>(fitting));
    if (perInterval == 0)
        return maxPoints;
    return intervals * perInterval + 1;
}

// The curve between the smoothed samples: a cubic through them whose slope at
// each sample is that of its neighbours' chord, so the line drawn between
// samples bends smoothly instead of breaking at each one, and a straight line
// stays straight.
class Between {
public:
    Between(const double *x, const std::vector<double> &s) : x_(x), s_(s), slopes_(s.size())
    {
        for (size_t i = 0; i < s.size(); ++i)
            slopes_[i] = chordSlope(i);
    }

    double at(size_t i, double t) const
    {
        const size_t n = s_.size();
        if (t <= 0 || i + 1 >= n)
            return s_[std::min(i, n - 1)];
        const double a = s_[i], b = s_[i + 1];
        const double h = x_[i + 1] - x_[i];
        const double ma = slopes_[i], mb = slopes_[i + 1];
        if (!std::isfinite(ma) || !std::isfinite(mb) || !(h > 0))
            return a + (b - a) * t;  // NaN beside a gap, or times that do not rise
        const double t2 = t * t, t3 = t2 * t;
        return a + (b - a) * (3 * t2 - 2 * t3) + h * (ma * (t3 - 2 * t2 + t) + mb * (t3 - t2));
    }

private:
    double chordSlope(size_t i) const
    {
        const size_t lo = i > 0 ? i - 1 : 0, hi = std::min(i + 1, s_.size() - 1);
        const double dx = x_[hi] - x_[lo];
        return dx > 0 ? (s_[hi] - s_[lo]) / dx : std::numeric_limits<double>::quiet_NaN();
    }

    const double *x_;
    const std::vector<double> &s_;
    std::vector<double> slopes_;
};

}  // namespace

Curve smoothedCurve(const double *x, const double *y, size_t n, long long factor, size_t maxPoints)
{
    Curve curve;
    if (factor < 1 || n < 2 || maxPoints < 2)
        return curve;
    const std::vector<double> weights = gaussianWeights(factor);
    const Samples samples(x, y, n);
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (size_t i = 0; i < n; ++i)
        if (std::isfinite(y[i])) {
            low = std::min(low, y[i]);
            high = std::max(high, y[i]);
        }
    // Fitted lines may reach a little past the values at the ends: the curve
    // keeps within the source's range.
    std::vector<double> smoothed(n);
    for (size_t i = 0; i < n; ++i) {
        const double v = smoothedAt(samples, i, weights);
        smoothed[i] = std::isnan(v) ? v : std::clamp(v, low, high);
    }

    const size_t count = pointCount(n, factor, maxPoints);
    const Between between(x, smoothed);
    curve.x.resize(count);
    curve.y.resize(count);
    for (size_t k = 0; k < count; ++k) {
        // Evenly along the samples, the last point on the last sample.
        const double u = static_cast<double>(k) * static_cast<double>(n - 1) / static_cast<double>(count - 1);
        const size_t i = std::min(static_cast<size_t>(u), n - 2);
        const double t = std::min(1.0, u - static_cast<double>(i));
        curve.x[k] = t >= 1 ? x[i + 1] : x[i] + (x[i + 1] - x[i]) * t;
        const double v = t >= 1 ? smoothed[i + 1] : between.at(i, t);
        curve.y[k] = std::isnan(v) ? v : std::clamp(v, low, high);
    }
    return curve;
}

}  // namespace kavra::analysis
