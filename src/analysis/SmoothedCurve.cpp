#include "analysis/Curves.h"

#include <algorithm>
#include <cmath>

namespace kavra::analysis {

namespace {

// One segment of a uniform cubic B-spline, from its four control values, at t in
// [0, 1]. Written as b plus weighted differences so that equal control values
// give back exactly that value (a constant stays constant, the end points are
// hit exactly); clamped to the control values, which the exact result never
// leaves, so rounding cannot step outside the source range.
double splineSegment(double a, double b, double c, double d, double t)
{
    const double s = 1 - t;
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double wa = s * s * s;
    const double wc = -3 * t3 + 3 * t2 + 3 * t + 1;
    const double wd = t3;
    const double value = b + (wa * (a - b) + wc * (c - b) + wd * (d - b)) / 6;
    const auto [low, high] = std::minmax({a, b, c, d});
    return std::clamp(value, low, high);
}

// The control points are the source points with the first and last repeated
// three times; control point k is source point clamp(k - 2, 0, n - 1). That
// gives n + 1 segments, segment s using control points s..s+3.
struct Spline {
    const double *values;
    size_t n;

    double point(size_t k) const { return values[std::min(k < 2 ? 0 : k - 2, n - 1)]; }

    double at(size_t segment, double t) const
    {
        return splineSegment(point(segment), point(segment + 1), point(segment + 2), point(segment + 3), t);
    }
};

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

}  // namespace

Curve smoothedCurve(const double *x, const double *y, size_t n, long long factor, size_t maxPoints)
{
    Curve curve;
    if (factor < 1 || n < 2 || maxPoints < 2)
        return curve;
    const size_t count = pointCount(n, factor, maxPoints);
    const size_t segments = n + 1;
    const Spline xs{x, n};
    const Spline ys{y, n};
    curve.x.resize(count);
    curve.y.resize(count);
    for (size_t k = 0; k < count; ++k) {
        // The parameter runs evenly from 0 to `segments`; the last point is t = 1
        // of the last segment.
        const double u = static_cast<double>(k) * static_cast<double>(segments) / static_cast<double>(count - 1);
        const size_t segment = std::min(static_cast<size_t>(u), segments - 1);
        const double t = u - static_cast<double>(segment);
        curve.x[k] = xs.at(segment, t);
        curve.y[k] = ys.at(segment, t);
    }
    return curve;
}

}  // namespace kavra::analysis
