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

void stackOnto(std::vector<double> &cumulative, const double *y, size_t n)
{
    if (cumulative.size() < n)
        cumulative.resize(n, 0.0);
    for (size_t i = 0; i < n; ++i)
        cumulative[i] += y[i];
}

}  // namespace kavra::analysis
