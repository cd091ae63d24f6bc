#include "analysis/SeriesStatistics.h"

#include "analysis/Median.h"
#include "data/NumberText.h"
#include "data/TimeStrings.h"

#include <cmath>
#include <vector>

namespace kavra::analysis {
namespace {

// The mean of values whose sum may lose digits or overflow: a compensated sum,
// and where even that overflows, a running mean.
double meanOf(const std::vector<double> &values)
{
    double sum = 0, compensation = 0;
    for (const double v : values) {
        const double t = sum + v;
        compensation += std::fabs(sum) >= std::fabs(v) ? (sum - t) + v : (v - t) + sum;
        sum = t;
    }
    const double mean = (sum + compensation) / double(values.size());
    if (std::isfinite(mean))
        return mean;
    double running = 0;
    for (size_t i = 0; i < values.size(); ++i)
        running += (values[i] - running) / double(i + 1);
    return running;
}

}  // namespace

SeriesStatistics seriesStatistics(const double *x, const double *y, size_t n)
{
    SeriesStatistics s;
    std::vector<double> values;
    values.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const double v = y[i];
        if (!std::isfinite(v))
            continue;
        if (values.empty() || v < s.minimum) {
            s.minimum = v;
            s.minimumTime = x[i];
        }
        if (values.empty() || v > s.maximum) {
            s.maximum = v;
            s.maximumTime = x[i];
        }
        s.last = v;
        values.push_back(v);
    }
    s.count = values.size();
    if (values.empty())
        return s;
    s.mean = meanOf(values);
    s.median = median(values.data(), values.size());
    return s;
}

std::string statisticsText(const SeriesStatistics &s)
{
    if (s.count == 0)
        return {};
    const auto line = [](const char *label, double value) { return label + signedNumberText(value); };
    return line("Minimum :", s.minimum) + " at " + timestr::generalDateText(s.minimumTime) + '\n' +
           line("Maximum :", s.maximum) + " at " + timestr::generalDateText(s.maximumTime) + '\n' +
           line("Mean :", s.mean) + '\n' + line("Median :", s.median) + '\n' + line("Last value :", s.last);
}

}  // namespace kavra::analysis
