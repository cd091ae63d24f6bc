#include "analysis/Correlation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kavra::analysis {

double correlation(const double *x, const double *y, size_t n)
{
    if (n < 2)
        return 0;
    double meanX = 0, meanY = 0;
    for (size_t i = 0; i < n; ++i) {
        meanX += x[i];
        meanY += y[i];
    }
    meanX /= double(n);
    meanY /= double(n);
    double sxx = 0, syy = 0, sxy = 0;
    for (size_t i = 0; i < n; ++i) {
        const double dx = x[i] - meanX, dy = y[i] - meanY;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
    }
    if (!(sxx > 0 && syy > 0) || !std::isfinite(sxx * syy))
        return 0;
    return std::clamp(sxy / std::sqrt(sxx * syy), -1.0, 1.0);
}

std::string coefficientText(double r)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", std::fabs(r));
    if (r < 0 && std::string(text) != "0.000")
        return "(" + std::string(text) + ")";
    return text;
}

}  // namespace kavra::analysis
