#include "analysis/SeriesStatistics.h"
#include "data/TimeStrings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using kavra::analysis::SeriesStatistics;
using kavra::analysis::seriesStatistics;
using kavra::analysis::statisticsText;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// 10:00 on 6 December 2026 plus this many minutes.
double at(int minutes)
{
    return kavra::timestr::dateSerial(2026, 12, 6) + (600 + minutes) / 1440.0;
}

std::vector<double> times(size_t n)
{
    std::vector<double> x;
    for (size_t i = 0; i < n; ++i)
        x.push_back(at(int(i)));
    return x;
}

SeriesStatistics of(const std::vector<double> &y)
{
    const std::vector<double> x = times(y.size());
    return seriesStatistics(x.data(), y.data(), y.size());
}

std::string date(int minutes)
{
    return kavra::timestr::generalDateText(at(minutes));
}

}  // namespace

TEST(SeriesStatistics, SumsUpTheValuesLeavingOutGaps)
{
    const SeriesStatistics s = of({4, -2.5, 7, kNaN, 7, 1});
    EXPECT_EQ(s.count, 5u);
    EXPECT_EQ(s.minimum, -2.5);
    EXPECT_EQ(s.minimumTime, at(1));
    EXPECT_EQ(s.maximum, 7);
    EXPECT_EQ(s.maximumTime, at(2)) << "the first sample at the maximum";
    EXPECT_DOUBLE_EQ(s.mean, 3.3);  // 16.5 / 5
    EXPECT_EQ(s.median, 4);         // -2.5 1 4 7 7
    EXPECT_EQ(s.last, 1);

    const SeriesStatistics even = of({10, 2, 3, 1, kNaN});
    EXPECT_EQ(even.median, 2.5);
    EXPECT_EQ(even.mean, 4);
    EXPECT_EQ(even.last, 1) << "the last value, not the last sample (a gap)";
    EXPECT_EQ(even.maximumTime, at(0));
    EXPECT_EQ(even.minimumTime, at(3));
}

TEST(SeriesStatistics, KeepsThePrecisionOfLargeValuesAndSurvivesHugeOnes)
{
    EXPECT_EQ(of({1e9 + 1, 1e9 + 2, 1e9 + 3}).mean, 1e9 + 2);
    EXPECT_EQ(of({1e16, 1, -1e16}).mean, 1.0 / 3) << "a plain sum would lose the 1";
    const double huge = std::numeric_limits<double>::max();
    EXPECT_EQ(of({huge, huge}).mean, huge);
    EXPECT_EQ(of({huge, -huge}).mean, 0);
}

TEST(SeriesStatistics, NoValuesOrOneValue)
{
    EXPECT_EQ(of({}).count, 0u);
    EXPECT_EQ(of({kNaN, std::numeric_limits<double>::infinity()}).count, 0u);
    EXPECT_EQ(statisticsText(of({})), "");

    const SeriesStatistics one = of({kNaN, 12.5});
    EXPECT_EQ(one.count, 1u);
    for (double v : {one.minimum, one.maximum, one.mean, one.median, one.last})
        EXPECT_EQ(v, 12.5);
    EXPECT_EQ(one.minimumTime, at(1));
    EXPECT_EQ(one.maximumTime, at(1));
}

TEST(SeriesStatistics, TextGivesSignedNumbersAndGeneralDates)
{
    EXPECT_EQ(statisticsText(of({4, -2.5, 7, kNaN, 0.25, 1})), "Minimum :-2.5 at " + date(1) + "\nMaximum : 7 at " +
                                                                   date(2) +
                                                                   "\nMean : 1.95\nMedian : 1\nLast value : 1");
    EXPECT_EQ(statisticsText(of({2e15, 0.00005})), "Minimum : 5E-05 at " + date(1) + "\nMaximum : 2E+15 at " + date(0) +
                                                       "\nMean : 1E+15\nMedian : 1E+15\nLast value : 5E-05");
}
