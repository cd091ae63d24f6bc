#include "analysis/RangeStatistics.h"

#include "analysis/Median.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <utility>

namespace kavra::analysis {
namespace {

constexpr size_t kBlock = 1024;  // rows summed up together for the minimum, maximum and mean

// A sum that keeps the digits each addition would drop (Neumaier).
struct CompensatedSum {
    double sum = 0, compensation = 0;
    void add(double v)
    {
        const double t = sum + v;
        compensation += std::fabs(sum) >= std::fabs(v) ? (sum - t) + v : (v - t) + sum;
        sum = t;
    }
    double total() const { return sum + compensation; }
};

// The rows in the order of their values, equal values in row order, gaps (NaN)
// last: a radix sort of the values' bits made to order as the values do, 16
// bits a pass, which is several times quicker than comparing doubles.
std::vector<uint32_t> sortedRows(const std::vector<double> &values)
{
    const size_t n = values.size();
    struct Entry {
        uint64_t key;
        uint32_t row;
    };
    std::vector<Entry> entries(n), scratch(n);
    for (size_t i = 0; i < n; ++i) {
        const double v = values[i] == 0 ? 0.0 : values[i];  // -0 and 0 are one value
        const uint64_t bits = std::bit_cast<uint64_t>(v);
        const uint64_t key = std::isnan(v) ? ~uint64_t(0) : (bits >> 63) ? ~bits : bits | (uint64_t(1) << 63);
        entries[i] = {key, uint32_t(i)};
    }
    std::vector<size_t> counts(size_t(1) << 16);
    for (unsigned shift = 0; shift < 64; shift += 16) {
        std::fill(counts.begin(), counts.end(), 0);
        for (const Entry &e : entries)
            ++counts[(e.key >> shift) & 0xffff];
        if (std::find(counts.begin(), counts.end(), n) != counts.end())
            continue;  // every key has the same digit here
        size_t start = 0;
        for (size_t &count : counts)
            start += std::exchange(count, start);
        for (const Entry &e : entries)
            scratch[counts[(e.key >> shift) & 0xffff]++] = e;
        entries.swap(scratch);
    }
    std::vector<uint32_t> rows(n);
    for (size_t j = 0; j < n; ++j)
        rows[j] = entries[j].row;
    return rows;
}

}  // namespace

RangeFigures rangeFigures(const double *y, size_t first, size_t last)
{
    if (first > last)
        std::swap(first, last);
    RangeFigures f;
    std::vector<double> values;
    values.reserve(last - first + 1);
    CompensatedSum sum;
    for (size_t i = first; i <= last; ++i)
        if (std::isfinite(y[i])) {
            values.push_back(y[i]);
            sum.add(y[i]);
        }
    f.count = values.size();
    if (values.empty())
        return f;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    f.minimum = *low;
    f.maximum = *high;
    f.mean = sum.total() / double(f.count);
    if (!std::isfinite(f.mean)) {
        double running = 0;
        for (size_t i = 0; i < values.size(); ++i)
            running += (values[i] - running) / double(i + 1);
        f.mean = running;
    }
    f.mean = std::clamp(f.mean, f.minimum, f.maximum);
    f.median = median(values.data(), values.size());
    return f;
}

RangeStatistics::RangeStatistics(const double *y, size_t n) : n_(n), values_(y, y + n), finite_(n + 1, 0)
{
    for (size_t i = 0; i < n; ++i) {
        if (!std::isfinite(values_[i]))
            values_[i] = std::numeric_limits<double>::quiet_NaN();
        finite_[i + 1] = finite_[i] + (std::isnan(values_[i]) ? 0 : 1);
    }
    const size_t blocks = (n + kBlock - 1) / kBlock;
    blockMin_.assign(blocks, std::numeric_limits<double>::infinity());
    blockMax_.assign(blocks, -std::numeric_limits<double>::infinity());
    blockSum_.assign(blocks, 0);
    blockCompensation_.assign(blocks, 0);
    for (size_t b = 0; b < blocks; ++b) {
        CompensatedSum sum;
        for (size_t i = b * kBlock; i < std::min(n, (b + 1) * kBlock); ++i) {
            const double v = values_[i];
            if (std::isnan(v))
                continue;
            blockMin_[b] = std::min(blockMin_[b], v);
            blockMax_[b] = std::max(blockMax_[b], v);
            sum.add(v);
        }
        blockSum_[b] = sum.sum;
        blockCompensation_[b] = sum.compensation;
    }

    // Each row's place in sorted order, the gaps last.
    const std::vector<uint32_t> order = sortedRows(values_);
    sorted_.resize(finite_[n]);
    std::vector<uint32_t> place(n);
    for (size_t j = 0; j < n; ++j) {
        place[order[j]] = uint32_t(j);
        if (j < sorted_.size())
            sorted_[j] = values_[order[j]];
    }
    levels_ = n > 1 ? size_t(std::bit_width(n - 1)) : 1;
    const size_t words = n / 64 + 1;
    bits_.assign(levels_, std::vector<uint64_t>(words, 0));
    ones_.assign(levels_, std::vector<uint32_t>(words, 0));
    zeros_.assign(levels_, 0);
    std::vector<uint32_t> next(n);
    for (size_t level = 0; level < levels_; ++level) {
        const unsigned bit = unsigned(levels_ - 1 - level);
        uint64_t *bits = bits_[level].data();
        uint32_t *ones = ones_[level].data();
        const uint32_t *from = place.data();
        for (size_t w = 0; w < words; ++w) {
            const size_t begin = w * 64, end = std::min(n, begin + 64);
            uint64_t word = 0;
            for (size_t i = begin; i < end; ++i)
                word |= uint64_t((from[i] >> bit) & 1u) << (i - begin);
            bits[w] = word;
            if (w + 1 < words)
                ones[w + 1] = ones[w] + uint32_t(std::popcount(word));
        }
        const size_t zeros = n - (ones[words - 1] + size_t(std::popcount(bits[words - 1])));
        zeros_[level] = zeros;
        // The rows whose bit is 0 first, then the others, each in row order.
        // Without a branch: the bits are as good as random, and a branch on them
        // is mispredicted half the time.
        size_t low = 0, high = zeros;
        for (size_t i = 0; i < n; ++i) {
            const uint32_t p = from[i];
            const size_t one = (p >> bit) & 1u;
            next[one ? high : low] = p;
            high += one;
            low += 1 - one;
        }
        place.swap(next);
    }
}

size_t RangeStatistics::onesBefore(size_t level, size_t i) const
{
    const uint64_t below = (uint64_t(1) << (i % 64)) - 1;
    return ones_[level][i / 64] + size_t(std::popcount(bits_[level][i / 64] & below));
}

double RangeStatistics::kthSmallest(size_t first, size_t end, size_t k) const
{
    size_t place = 0;
    for (size_t level = 0; level < levels_; ++level) {
        const size_t onesFirst = onesBefore(level, first), onesEnd = onesBefore(level, end);
        const size_t zerosFirst = first - onesFirst, zerosEnd = end - onesEnd;
        if (k < zerosEnd - zerosFirst) {
            first = zerosFirst;
            end = zerosEnd;
        } else {
            k -= zerosEnd - zerosFirst;
            place |= size_t(1) << (levels_ - 1 - level);
            first = zeros_[level] + onesFirst;
            end = zeros_[level] + onesEnd;
        }
    }
    return sorted_[place];
}

double RangeStatistics::meanOf(size_t first, size_t end) const
{
    CompensatedSum sum;
    size_t i = first;
    for (; i < end && i % kBlock != 0; ++i)
        if (!std::isnan(values_[i]))
            sum.add(values_[i]);
    for (; i + kBlock <= end; i += kBlock) {
        sum.add(blockSum_[i / kBlock]);
        sum.add(blockCompensation_[i / kBlock]);
    }
    for (; i < end; ++i)
        if (!std::isnan(values_[i]))
            sum.add(values_[i]);
    const double count = double(finite_[end] - finite_[first]);
    const double mean = sum.total() / count;
    if (std::isfinite(mean))
        return mean;
    // Values whose sum leaves the range of doubles: a running mean.
    double running = 0, taken = 0;
    for (size_t r = first; r < end; ++r)
        if (!std::isnan(values_[r]))
            running += (values_[r] - running) / ++taken;
    return running;
}

RangeFigures RangeStatistics::figures(size_t first, size_t last) const
{
    RangeFigures f;
    if (n_ == 0)
        return f;
    if (first > last)
        std::swap(first, last);
    last = std::min(last, n_ - 1);
    first = std::min(first, last);
    const size_t end = last + 1;
    f.count = finite_[end] - finite_[first];
    if (f.count == 0)
        return f;
    f.minimum = std::numeric_limits<double>::infinity();
    f.maximum = -f.minimum;
    const auto take = [&f](double v) {
        if (!std::isnan(v)) {
            f.minimum = std::min(f.minimum, v);
            f.maximum = std::max(f.maximum, v);
        }
    };
    size_t i = first;
    for (; i < end && i % kBlock != 0; ++i)
        take(values_[i]);
    for (; i + kBlock <= end; i += kBlock) {
        f.minimum = std::min(f.minimum, blockMin_[i / kBlock]);
        f.maximum = std::max(f.maximum, blockMax_[i / kBlock]);
    }
    for (; i < end; ++i)
        take(values_[i]);
    f.mean = std::clamp(meanOf(first, end), f.minimum, f.maximum);
    const double low = kthSmallest(first, end, (f.count - 1) / 2);
    const double high = f.count % 2 ? low : kthSmallest(first, end, f.count / 2);
    // As analysis::median: neither form can overflow where it is used.
    f.median = (low < 0) != (high < 0) ? (low + high) / 2 : low + (high - low) / 2;
    return f;
}

}  // namespace kavra::analysis
