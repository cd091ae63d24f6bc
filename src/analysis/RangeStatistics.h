#pragma once
// The minimum, maximum, mean and median of any run of rows of one series, asked
// again and again as a cursor moves: built once over the series (a sort and a
// few passes), each question then takes a few microseconds whatever the run's
// length. Values that are not finite (gaps) are left out, as everywhere else.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kavra::analysis {

struct RangeFigures {
    size_t count = 0;  // the finite values of the run; 0 leaves the others meaningless
    double minimum = 0;
    double maximum = 0;
    double mean = 0;
    double median = 0;  // the middle value, or the mean of the two middle ones
};

// The same figures of y[first..last] worked out directly, quicker than building
// a RangeStatistics for one question on a short run.
RangeFigures rangeFigures(const double *y, size_t first, size_t last);

class RangeStatistics {
public:
    // Over y[0..n); the values are copied in the form the questions need.
    RangeStatistics(const double *y, size_t n);

    size_t size() const { return n_; }
    // The figures of y[first..last] (inclusive, in either order, clamped to the series).
    RangeFigures figures(size_t first, size_t last) const;

private:
    // The k-th smallest finite value (from 0) among y[first, end).
    double kthSmallest(size_t first, size_t end, size_t k) const;
    double meanOf(size_t first, size_t end) const;
    size_t onesBefore(size_t level, size_t i) const;

    size_t n_ = 0;
    std::vector<double> values_;     // the series, its gaps as NaN
    std::vector<double> sorted_;     // the finite values, smallest first
    std::vector<uint32_t> finite_;   // finite_[i]: finite values before row i
    // Per block of rows: the finite values' smallest, largest and compensated sum.
    std::vector<double> blockMin_, blockMax_, blockSum_, blockCompensation_;
    // A wavelet matrix over each row's place in sorted order: level by level one
    // bit a row, with the ones counted before each 64-bit word.
    size_t levels_ = 0;
    std::vector<std::vector<uint64_t>> bits_;
    std::vector<std::vector<uint32_t>> ones_;
    std::vector<size_t> zeros_;
};

}  // namespace kavra::analysis
