#include "analysis/Correlation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace kavra::analysis;

TEST(Correlation, PerfectAndOppositeAndNone)
{
    const std::vector<double> x = {1, 2, 3, 4, 5};
    const std::vector<double> up = {2, 4, 6, 8, 10}, down = {5, 4, 3, 2, 1}, flat = {7, 7, 7, 7, 7};
    EXPECT_DOUBLE_EQ(correlation(x.data(), up.data(), 5), 1.0);
    EXPECT_DOUBLE_EQ(correlation(x.data(), down.data(), 5), -1.0);
    EXPECT_EQ(correlation(x.data(), flat.data(), 5), 0.0);
    EXPECT_EQ(correlation(x.data(), up.data(), 1), 0.0);  // one row: nothing to compare
}

TEST(Correlation, MatchesAHandComputedValue)
{
    // Sxx = 10, Syy = 7.2, Sxy = 8 for these values: r = 8 / sqrt(72).
    const std::vector<double> x = {1, 2, 3, 4, 5}, y = {2, 3, 3, 5, 5};
    EXPECT_NEAR(correlation(x.data(), y.data(), 5), 8 / std::sqrt(72.0), 1e-12);
}

TEST(Correlation, StaysPreciseForLargeValuesThatVaryLittle)
{
    // The one-pass formula of raw sums loses every digit here and may even
    // report more than 1; around the means the answer is exact.
    std::vector<double> x, y;
    for (int i = 0; i < 10000; ++i) {
        x.push_back(1e9 + (i % 7));
        y.push_back(3e9 + 2 * (i % 7));
    }
    EXPECT_NEAR(correlation(x.data(), y.data(), x.size()), 1.0, 1e-12);
    for (double &v : y)
        v = 6e9 - v;
    EXPECT_NEAR(correlation(x.data(), y.data(), x.size()), -1.0, 1e-12);
}

TEST(CoefficientText, ThreeDecimalsWithNegativesInParentheses)
{
    EXPECT_EQ(coefficientText(0.85), "0.850");
    EXPECT_EQ(coefficientText(-0.9), "(0.900)");
    EXPECT_EQ(coefficientText(1), "1.000");
    EXPECT_EQ(coefficientText(0.80004), "0.800");
    EXPECT_EQ(coefficientText(-0.99996), "(1.000)");
    EXPECT_EQ(coefficientText(-0.0001), "0.000");
}

TEST(CoefficientText, OnlyStrongCoefficientsAreListed)
{
    EXPECT_FALSE(isStrong(0.8));
    EXPECT_FALSE(isStrong(-0.8));
    EXPECT_TRUE(isStrong(0.80004));
    EXPECT_TRUE(isStrong(-0.81));
}

TEST(CorrelationList, ListsTheStrongItemsInTextOrderLetterCaseAside)
{
    // Columns 1 (sample times), 2 (the reference) and five candidates over four rows.
    const std::vector<std::vector<double>> columns = {
        {1, 2, 3, 4}, {1, 2, 3, 4}, {2, 4, 6, 9}, {4, 3, 2, 1},
        {5, 5, 5, 5}, {1, 3, 2, 4}, {2, 4, 6, 8},  // Weak: exactly 0.8
    };
    const ColumnValues values = [&](int32_t column) { return columns[size_t(column - 1)].data(); };
    const std::vector<CorrelationItem> items = {{"Sample Time", 1}, {"ref", 2},  {"beta", 3},  {"Down", 4},
                                                {"Flat", 5},        {"Weak", 6}, {"Alpha", 7}, {"alpha", 7}};
    std::vector<std::string> seen;
    const std::vector<CorrelationLine> lines =
        correlationList(values, 4, 2, items, [&](const std::string &text, int) { seen.push_back(text); });
    std::vector<std::string> texts;
    for (const CorrelationLine &line : lines)
        texts.push_back(line.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"(1.000)  Down", "0.994  beta", "1.000  Alpha", "1.000  alpha"}));
    EXPECT_EQ(lines[0].column, 4);
    EXPECT_EQ(lines[1].column, 3);
    EXPECT_EQ(seen.size(), items.size());
    EXPECT_TRUE(correlationList(values, 1, 2, items).empty());  // one row correlates nothing
}
