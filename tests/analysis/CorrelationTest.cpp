#include "analysis/Correlation.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
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

// ---- Values at the ends of the double range ----------------------------------------

namespace {

// The coefficient by two passes around the means in long double, whose range is
// wide enough for the squares of any double.
double referenceCorrelation(const std::vector<double> &x, const std::vector<double> &y)
{
    long double mx = 0, my = 0, sxx = 0, syy = 0, sxy = 0;
    for (size_t i = 0; i < x.size(); ++i)
        mx += x[i], my += y[i];
    mx /= x.size(), my /= y.size();
    for (size_t i = 0; i < x.size(); ++i)
        sxx += (x[i] - mx) * (x[i] - mx), syy += (y[i] - my) * (y[i] - my), sxy += (x[i] - mx) * (y[i] - my);
    return sxx > 0 && syy > 0 ? double(sxy / std::sqrt(sxx * syy)) : 0.0;
}

// What `kavra-batch correlate FILE --item Ref` prints.
std::string batchCorrelate(const std::string &path)
{
    std::string out;
    if (FILE *pipe = popen(("\"" KAVRA_BATCH "\" correlate \"" + path + "\" --item Ref 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

}  // namespace

class CorrelateAtScale : public ::testing::TestWithParam<double> {};

// Items around s: four follow Ref exactly (one against it), one loosely, one not.
TEST_P(CorrelateAtScale, ListsTheCoefficientsOfAWiderComputation)
{
    const double s = GetParam();
    const std::vector<std::string> names = {"Ref", "Half", "Negative", "Shifted", "Scaled", "Noisy", "Other"};
    std::vector<std::vector<double>> items(names.size());
    for (int r = 0; r < 60; ++r) {
        const double ref = s * (1 + 0.01 * std::sin(r));
        const double noise = s * 0.005 * std::cos(2.1 * r), other = s * (1 + 0.01 * std::cos(1.7 * r));
        const double row[] = {ref, ref / 2, -ref, ref - s, ref * 0.3, ref + noise, other};
        for (size_t k = 0; k < names.size(); ++k)
            items[k].push_back(row[k]);
    }
    TempDir dir;
    std::string file = "NODE1,x\r\n06-DEC-2026,10:00:00\r\nSample Time", expected;
    for (const std::string &name : names)
        file += "," + name;
    std::vector<std::string> lines;
    for (size_t k = 1; k < names.size(); ++k) {
        const double r = referenceCorrelation(items[0], items[k]);
        EXPECT_NEAR(correlation(items[0].data(), items[k].data(), 60), r, 1e-12) << names[k];
        if (isStrong(r))
            lines.push_back(coefficientText(r) + "  " + names[k]);
    }
    std::sort(lines.begin(), lines.end());
    for (const std::string &line : lines)
        expected += line + "\n";
    for (int r = 0; r < 60; ++r) {
        char time[32];
        std::snprintf(time, sizeof time, "\r\n06-DEC-2026 %02d:%02d:00", 10 + r / 60, r % 60);
        file += time;
        for (const std::vector<double> &item : items) {
            char value[40];
            std::snprintf(value, sizeof value, ",%.15E", item[size_t(r)]);
            file += value;
        }
    }
    EXPECT_EQ(lines.size(), 5u);
    EXPECT_EQ(batchCorrelate(dir.write("scaled.csv", file + "\r\n")), expected);
}

INSTANTIATE_TEST_SUITE_P(Correlation, CorrelateAtScale, ::testing::Values(1.0, 1e100, 1e160, 1e300, 1e-170),
                         [](const auto &info) { return "Scale" + std::to_string(info.index); });

TEST(Correlation, ConstantOrNotFiniteSeriesGiveZeroAtEveryScale)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (const double s : {1.0, 1e300, 1e-300, 1e-320}) {
        const std::vector<double> x = {s, 2 * s, 3 * s}, flat = {s, s, s}, broken = {s, inf, s};
        EXPECT_EQ(correlation(x.data(), flat.data(), 3), 0.0) << s;
        EXPECT_EQ(correlation(flat.data(), x.data(), 3), 0.0) << s;
        EXPECT_EQ(correlation(x.data(), broken.data(), 3), 0.0) << s;
        EXPECT_EQ(correlation(broken.data(), x.data(), 3), 0.0) << s;
    }
}
