#pragma once
// How strongly two items move together over the displayed rows.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kavra::analysis {

// The Pearson correlation of x and y over n rows, computed around the means (two
// passes) so that values near 1e9 that vary by 1 keep their precision, and
// scaled where the squares of the deviations would overflow or underflow, so
// every finite input gets its coefficient; never outside [-1, 1]. 0 when either
// series is constant, holds a value that is not finite, or n < 2.
double correlation(const double *x, const double *y, size_t n);

// One series correlated with many: its deviations from its mean, scaled by a
// power of two into [-2, 2], are worked out once.
class CenteredSeries {
public:
    CenteredSeries(const double *x, size_t n);
    // The correlation of the series with y over the same n rows, as correlation().
    double correlationWith(const double *y, size_t n) const;

private:
    std::vector<double> deviations_;
    double squares_ = 0;  // the sum of the scaled deviations' squares
};

// The coefficient as the correlation list shows it: three decimals, a leading
// zero, negative values in parentheses: "0.850", "(0.900)", "1.000".
std::string coefficientText(double r);

// Whether a coefficient is strong enough to be listed: |r| > 0.8, strictly.
inline bool isStrong(double r)
{
    return r > 0.8 || r < -0.8;
}

// An item of the list: its text and its data column.
struct CorrelationItem {
    std::string text;
    int32_t column = 0;
};

// One line of the correlation list: the coefficient text, two blanks and the
// item's text, with the item's data column.
struct CorrelationLine {
    std::string text;
    int32_t column = 0;
};

// The values of column c over the rows that take part (rows first to last,
// 1-based). They are read before the next call, so one buffer may serve every call.
using ColumnValues = std::function<const double *(int32_t column)>;

// Correlates every candidate with the reference column over rows values, skipping
// the reference itself and column 1 (the sample times), and returns the strong
// ones in ascending order of their text, letter case aside (ASCII), equal texts
// in list order. progress is told each candidate before it is computed.
std::vector<CorrelationLine> correlationList(const ColumnValues &values, size_t rows, int32_t referenceColumn,
                                             const std::vector<CorrelationItem> &candidates,
                                             const std::function<void(const std::string &, int)> &progress = {});

}  // namespace kavra::analysis
