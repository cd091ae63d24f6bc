// The change score and the ranking against a plain two-pass computation in
// long double, on series that trip up the sums: constant, one row, negative,
// far from zero, huge and tiny.

#include "analysis/ChangeRanking.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

using kavra::analysis::changeScore;
using Series = std::vector<double>;

// The order of the lines (by size, sign aside, ties in list order) and the cut
// to the top N are checked byte for byte through kavra-batch rank
// (tests/app/BatchCliTest.cmake).

// The effect size as the textbook writes it: two means, two sums of squared
// deviations, the pooled standard deviation over rows - 2 degrees of freedom.
long double referenceScore(const Series &x, size_t first, size_t last)
{
    long double sum[2] = {}, count[2] = {}, squares[2] = {};
    const auto group = [&](size_t i) { return i >= first && i <= last ? 0 : 1; };
    for (size_t i = 0; i < x.size(); ++i) {
        sum[group(i)] += x[i];
        count[group(i)] += 1;
    }
    const long double mean[2] = {sum[0] / count[0], sum[1] / count[1]};
    for (size_t i = 0; i < x.size(); ++i)
        squares[group(i)] += (x[i] - mean[group(i)]) * (x[i] - mean[group(i)]);
    if (mean[0] == mean[1])
        return 0;
    return (mean[0] - mean[1]) / std::sqrt((squares[0] + squares[1]) / (x.size() - 2));
}

// Eighths between -40 and 40, exact in a double even next to 1e15; the rows
// first..last raised by lift.
Series eighths(size_t rows, size_t first, size_t last, double lift, unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> eighth(-320, 320);
    Series x(rows);
    for (size_t i = 0; i < rows; ++i)
        x[i] = eighth(random) / 8.0 + (i >= first && i <= last ? lift : 0);
    return x;
}

Series transformed(Series x, const std::function<double(double)> &f)
{
    for (double &v : x)
        v = f(v);
    return x;
}

struct ScoreCase {
    const char *name;
    Series values;
    size_t first, last;
    Series reference;  // whose textbook score the values must give (the same effect size)
};

TEST(ChangeScore, AgreesWithTheTextbookOnAwkwardSeries)
{
    const Series base = eighths(5000, 1000, 3100, 9);
    const Series small = eighths(40, 10, 19, -3, 11);
    const ScoreCase cases[] = {
        {"blocks crossed, A..B inside", base, 1000, 3100, base},
        {"A..B at the start", base, 0, 700, base},
        {"A..B at the end", base, 4321, 4999, base},
        {"one row from A to B", small, 25, 25, small},
        {"two rows outside", small, 1, 38, small},
        {"negative values", transformed(small, [](double v) { return v - 500; }), 10, 19, small},
        {"near 1e12", transformed(base, [](double v) { return 1e12 + v; }), 1000, 3100, base},
        {"near -1e15", transformed(base, [](double v) { return v - 1e15; }), 1000, 3100, base},
        {"squares beyond the doubles", transformed(small, [](double v) { return v * 1e300; }), 10, 19, small},
        {"sums beyond the doubles", transformed(base, [](double v) { return v * 1e305; }), 1000, 3100, base},
        {"tiny values", transformed(small, [](double v) { return v * 1e-300; }), 10, 19, small},
    };
    for (const ScoreCase &c : cases) {
        const double expected = double(referenceScore(c.reference, c.first, c.last));
        ASSERT_NE(expected, 0) << c.name;
        EXPECT_NEAR(changeScore(c.values.data(), c.values.size(), c.first, c.last), expected, std::fabs(expected) * 1e-12)
            << c.name;
    }
}

TEST(ChangeScore, ConstantSeriesAndConstantGroups)
{
    const double inf = std::numeric_limits<double>::infinity();
    const auto steps = [](size_t rows, double outside, double inside, size_t first, size_t last) {
        Series x(rows, outside);
        for (size_t i = first; i <= last; ++i)
            x[i] = inside;
        return x;
    };
    struct Case {
        const char *name;
        Series values;
        size_t first, last;
        double expected;
    } cases[] = {
        {"0.1 everywhere, blocks crossed", Series(3000, 0.1), 500, 2600, 0},
        {"-7.25 everywhere, one row", Series(9, -7.25), 4, 4, 0},
        {"1e15 + 1 everywhere", Series(2500, 1e15 + 1), 0, 1500, 0},
        {"a step up", steps(3000, 0.1, 0.3, 1024, 2047), 1024, 2047, inf},
        {"a step down", steps(10, 5, -5, 3, 6), 3, 6, -inf},
        {"one row outside: nothing to compare", eighths(10, 1, 9, 3), 1, 9, 0},
        {"one row only", Series{4}, 0, 0, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(changeScore(c.values.data(), c.values.size(), c.first, c.last), c.expected) << c.name;
}

TEST(ChangeScore, LineText)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, const char *> cases[] = {
        {3.4159, "+3.42  Disk Busy DSK05"}, {-0.754, "-0.75  Disk Busy DSK05"}, {0, "+0.00  Disk Busy DSK05"},
        {12345.678, "+12345.68  Disk Busy DSK05"}, {inf, "+inf  Disk Busy DSK05"}, {-inf, "-inf  Disk Busy DSK05"},
    };
    for (const auto &[score, line] : cases)
        EXPECT_EQ(kavra::analysis::rankingLineText(score, "Disk Busy DSK05"), line);
}

// A table of columns, 1-based as the data set numbers them; column 1 the sample times.
struct Table {
    size_t rows;
    std::vector<Series> columns;
    kavra::analysis::RankingValues values() const
    {
        return [this](int32_t c) { return columns[size_t(c - 1)].data(); };
    }
};

TEST(ChangeRanking, NotEnoughRowsOutsideTheCursors)
{
    const Table table{6, {Series(6, 0), eighths(6, 0, 0, 0)}};
    const std::vector<kavra::analysis::RankingItem> items{{"A", 2}};
    const struct {
        size_t rows, a, b;
        bool enough;
    } cases[] = {{6, 0, 4, false}, {6, 5, 1, false}, {6, 1, 3, true}, {6, 9, 2, true}, {6, 9, 1, false}, {1, 0, 0, false}, {0, 0, 0, false}};
    for (const auto &c : cases) {
        const auto ranking = kavra::analysis::rankByChange(table.values(), c.rows, c.a, c.b, items);
        EXPECT_EQ(ranking.enoughRows, c.enough) << c.a << ".." << c.b << " of " << c.rows;
        EXPECT_EQ(ranking.lines.size(), c.enough ? 1u : 0u);
    }
}

// Scored on several threads, the lines are those of one thread, in the same order.
TEST(ChangeRanking, ThreadsChangeNothing)
{
    Table table{20000, {Series(20000, 0)}};
    std::vector<kavra::analysis::RankingItem> items;
    for (int c = 2; c <= 80; ++c) {
        table.columns.push_back(eighths(20000, 5000, 6000, (c % 9) * 0.5, unsigned(c)));
        items.push_back({"Item " + std::to_string(c), c});
    }
    const auto one = kavra::analysis::rankByChange(table.values(), 20000, 5000, 6000, items, 80, 1);
    const auto many = kavra::analysis::rankByChange(table.values(), 20000, 5000, 6000, items, 80, 4);
    ASSERT_EQ(one.lines.size(), 79u);
    ASSERT_EQ(many.lines.size(), 79u);
    for (size_t k = 0; k < one.lines.size(); ++k)
        EXPECT_EQ(one.lines[k].text, many.lines[k].text) << k;
}

}  // namespace
