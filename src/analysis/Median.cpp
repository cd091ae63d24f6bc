#include "analysis/Median.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kavra::analysis {

double median(const double *values, size_t n)
{
    std::vector<double> work;
    work.reserve(n);
    for (size_t i = 0; i < n; ++i)
        if (!std::isnan(values[i]))
            work.push_back(values[i]);
    if (work.empty())
        return 0;
    const size_t middle = work.size() / 2;
    std::nth_element(work.begin(), work.begin() + std::ptrdiff_t(middle), work.end());
    const double upper = work[middle];
    if (work.size() % 2 == 1)
        return upper;
    const double lower = *std::max_element(work.begin(), work.begin() + std::ptrdiff_t(middle));
    // Neither form can overflow where it is used: a sum of opposite signs, or a
    // difference of equal signs.
    return (lower < 0) != (upper < 0) ? (lower + upper) / 2 : lower + (upper - lower) / 2;
}

}  // namespace kavra::analysis
