#include "analysis/Curves.h"

namespace kavra::analysis {

std::vector<double> ratio(const double *a, const double *b, size_t n)
{
    std::vector<double> result(n, 0.0);
    for (size_t i = 0; i < n; ++i) {
        if (b[i] != 0)
            result[i] = a[i] / b[i];
    }
    return result;
}

}  // namespace kavra::analysis
