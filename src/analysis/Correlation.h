#pragma once
// How strongly two items move together over the displayed rows.

#include <cstddef>
#include <string>

namespace kavra::analysis {

// The Pearson correlation of x and y over n rows, computed around the means (two
// passes) so that values near 1e9 that vary by 1 keep their precision; never
// outside [-1, 1]. 0 when either series is constant or n < 2.
double correlation(const double *x, const double *y, size_t n);

// The coefficient as the correlation list shows it: three decimals, a leading
// zero, negative values in parentheses: "0.850", "(0.900)", "1.000".
std::string coefficientText(double r);

// Whether a coefficient is strong enough to be listed: |r| > 0.8, strictly.
inline bool isStrong(double r) { return r > 0.8 || r < -0.8; }

}  // namespace kavra::analysis
