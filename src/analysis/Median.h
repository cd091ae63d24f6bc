#pragma once
#include <cstddef>

namespace kavra::analysis {

// The median of n values: the middle one, or the mean of the two middle ones
// for an even count; 0 for no values. NaN values are left out.
double median(const double *values, size_t n);

}  // namespace kavra::analysis
