#include "analysis/Correlation.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace kavra::analysis {

namespace {

// Squares of deviations below this may have lost digits to underflow.
constexpr double kTinySquares = 0x1p-900;

// The values brought into [-1, 1] by a power of two (exact, but for values so far
// below the largest that they cannot change the result), so that their sums and
// squares neither overflow nor underflow whatever their size.
std::vector<double> scaledToOne(const double *v, size_t n)
{
    double largest = 0;
    for (size_t i = 0; i < n; ++i)
        largest = std::max(largest, std::fabs(v[i]));
    std::vector<double> scaled(v, v + n);
    if (largest == 0)
        return scaled;
    int exponent = 0;
    std::frexp(largest, &exponent);
    if (exponent > -1000) {  // 2^-exponent is a double: one multiplication each
        const double factor = std::ldexp(1.0, -exponent);
        for (double &value : scaled)
            value *= factor;
    } else {
        for (double &value : scaled)
            value = std::ldexp(value, -exponent);
    }
    return scaled;
}

double mean(const double *v, size_t n)
{
    double sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += v[i];
    return sum / double(n);
}

bool allFinite(const double *v, size_t n)
{
    double sum = 0;  // inf - inf and NaN both leave it NaN
    for (size_t i = 0; i < n; ++i)
        sum += v[i] - v[i];
    return sum == 0;
}

}  // namespace

CenteredSeries::CenteredSeries(const double *x, size_t n)
{
    if (n < 2 || !allFinite(x, n))
        return;
    deviations_ = scaledToOne(x, n);
    const double m = mean(deviations_.data(), n);
    for (double &d : deviations_) {
        d -= m;
        squares_ += d * d;
    }
}

double CenteredSeries::correlationWith(const double *y, size_t n) const
{
    if (!(squares_ > 0) || n != deviations_.size())
        return 0;
    const double *dx = deviations_.data();
    const double my = mean(y, n);
    double syy = 0, sxy = 0;
    for (size_t i = 0; i < n; ++i) {
        const double dy = y[i] - my;
        syy += dy * dy;
        sxy += dx[i] * dy;
    }
    // Values near the ends of the double range overflow or underflow above; the
    // same sums over y scaled to [-1, 1] give the coefficient of any finite values.
    if (!(std::isfinite(syy) && std::isfinite(sxy) && syy >= kTinySquares)) {
        if (!allFinite(y, n))
            return 0;
        if (const auto [lo, hi] = std::minmax_element(y, y + n); *lo == *hi)
            return 0;  // constant: no deviation to scale
        const std::vector<double> scaled = scaledToOne(y, n);
        const double ms = mean(scaled.data(), n);
        syy = sxy = 0;
        for (size_t i = 0; i < n; ++i) {
            const double dy = scaled[i] - ms;
            syy += dy * dy;
            sxy += dx[i] * dy;
        }
        if (!(syy > 0))
            return 0;
    }
    return std::clamp(sxy / (std::sqrt(squares_) * std::sqrt(syy)), -1.0, 1.0);
}

double correlation(const double *x, const double *y, size_t n)
{
    return CenteredSeries(x, n).correlationWith(y, n);
}

std::string coefficientText(double r)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", std::fabs(r));
    if (r < 0 && std::string(text) != "0.000")
        return "(" + std::string(text) + ")";
    return text;
}

namespace {

bool caseInsensitiveLess(const std::string &a, const std::string &b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::vector<CorrelationLine> correlationList(const ColumnValues &values, size_t rows, int32_t referenceColumn,
                                             const std::vector<CorrelationItem> &candidates,
                                             const std::function<void(const std::string &, int)> &progress)
{
    std::vector<CorrelationLine> lines;
    int count = 0;
    const CenteredSeries reference(rows ? values(referenceColumn) : nullptr, rows);
    for (const CorrelationItem &candidate : candidates) {
        if (progress)
            progress(candidate.text, ++count);
        if (candidate.column == referenceColumn || candidate.column == 1 || rows == 0)
            continue;
        const double r = reference.correlationWith(values(candidate.column), rows);
        if (isStrong(r))
            lines.push_back({coefficientText(r) + "  " + candidate.text, candidate.column});
    }
    std::stable_sort(lines.begin(), lines.end(), [](const CorrelationLine &a, const CorrelationLine &b) {
        return caseInsensitiveLess(a.text, b.text);
    });
    return lines;
}

}  // namespace kavra::analysis
