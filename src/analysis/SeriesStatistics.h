#pragma once
// A series summed up at a glance: its smallest, largest, mean, median and last
// value over the rows shown, with the sample times of the smallest and largest.

#include <cstddef>
#include <string>

namespace kavra::analysis {

struct SeriesStatistics {
    size_t count = 0;  // the values taken; 0 leaves every other member meaningless
    double minimum = 0;
    double maximum = 0;
    double mean = 0;
    double median = 0;
    double last = 0;
    double minimumTime = 0;  // the first sample at the minimum
    double maximumTime = 0;  // the first sample at the maximum
};

// Over n samples at times x with values y; values that are not finite (gaps) are
// left out.
SeriesStatistics seriesStatistics(const double *x, const double *y, size_t n);

// One line per figure, numbers as signed number texts and times as general date
// texts; empty when no value was taken.
std::string statisticsText(const SeriesStatistics &statistics);

}  // namespace kavra::analysis
