// The figures of a run of rows, kept for a cursor that moves and worked out
// directly, against a plain computation on a sorted copy in long double, on
// series that trip up the sums and the median: constant, one row, negative,
// far from zero, huge, with gaps.

#include "analysis/RangeStatistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using kavra::analysis::RangeFigures;
using Series = std::vector<double>;

RangeFigures reference(const Series &y, size_t first, size_t last)
{
    Series v;
    for (size_t i = first; i <= last; ++i)
        if (std::isfinite(y[i]))
            v.push_back(y[i]);
    RangeFigures f;
    f.count = v.size();
    if (v.empty())
        return f;
    std::sort(v.begin(), v.end());
    long double sum = 0;
    for (const double x : v)
        sum += x;
    const size_t m = v.size() / 2;
    const long double median = v.size() % 2 ? v[m] : ((long double)v[m - 1] + v[m]) / 2;
    return {v.size(), v.front(), v.back(), double(sum / v.size()), double(median)};
}

Series randomSeries(size_t n, double offset, double scale, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> step(-400, 400);
    Series y(n);
    for (double &v : y)
        v = offset + scale * step(random) / 8.0;
    return y;
}

TEST(RangeStatistics, AgreeWithAPlainComputationOnAwkwardSeries)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Series gaps = randomSeries(5000, 0, 1, 3);
    for (size_t i = 0; i < gaps.size(); i += 7)
        gaps[i] = i % 2 ? nan : std::numeric_limits<double>::infinity();
    const struct {
        const char *name;
        Series y;
        double relative;  // how near the mean must come, against the largest value
    } cases[] = {
        {"one row", {42.5}, 0},
        {"constant", Series(3000, 7.25), 0},
        {"negative", randomSeries(4000, -1e4, 1, 1), 1e-15},
        {"far from zero", randomSeries(5000, 1e13, 1, 2), 1e-15},
        {"huge", randomSeries(3000, 0, 1e305, 4), 1e-12},
        {"gaps", gaps, 1e-13},
        {"all gaps", Series(2100, nan), 0},
        {"two blocks and a bit", randomSeries(2 * 1024 + 5, 3, 1, 5), 1e-14},
    };
    for (const auto &c : cases) {
        const kavra::analysis::RangeStatistics kept(c.y.data(), c.y.size());
        const size_t n = c.y.size();
        std::mt19937 random(11);
        std::vector<std::pair<size_t, size_t>> runs = {{0, n - 1}, {n - 1, n - 1}, {0, 0}, {n / 3, n / 3}};
        for (int k = 0; k < 40; ++k)
            runs.push_back({random() % n, random() % n});
        for (auto [first, last] : runs) {
            const RangeFigures expected = reference(c.y, std::min(first, last), std::max(first, last));
            for (const RangeFigures &got : {kept.figures(first, last), kavra::analysis::rangeFigures(c.y.data(), first, last)}) {
                SCOPED_TRACE(testing::Message() << c.name << " rows " << first << ".." << last);
                ASSERT_EQ(got.count, expected.count);
                if (expected.count == 0)
                    continue;
                EXPECT_EQ(got.minimum, expected.minimum);
                EXPECT_EQ(got.maximum, expected.maximum);
                EXPECT_DOUBLE_EQ(got.median, expected.median);
                const double largest = std::max(std::fabs(expected.minimum), std::fabs(expected.maximum));
                EXPECT_NEAR(got.mean, expected.mean, largest * c.relative);
                EXPECT_TRUE(got.mean >= got.minimum && got.mean <= got.maximum);
            }
        }
    }
}

}  // namespace
