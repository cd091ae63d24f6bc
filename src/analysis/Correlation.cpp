#include "analysis/Correlation.h"

#include <algorithm>
#include <cctype>
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
    for (const CorrelationItem &candidate : candidates) {
        if (progress)
            progress(candidate.text, ++count);
        if (candidate.column == referenceColumn || candidate.column == 1 || rows == 0)
            continue;
        const double r = correlation(values(referenceColumn), values(candidate.column), rows);
        if (isStrong(r))
            lines.push_back({coefficientText(r) + "  " + candidate.text, candidate.column});
    }
    std::stable_sort(lines.begin(), lines.end(), [](const CorrelationLine &a, const CorrelationLine &b) {
        return caseInsensitiveLess(a.text, b.text);
    });
    return lines;
}

}  // namespace kavra::analysis
