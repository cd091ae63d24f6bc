#include "analysis/Curves.h"

#include <gtest/gtest.h>

#include <vector>

using kavra::analysis::ratio;
using kavra::analysis::stackOnto;

TEST(Ratio, DividesPointByPointAndGivesZeroForZeroDivisors)
{
    const std::vector<double> a = {6, 5, -3, 7, 0};
    const std::vector<double> b = {3, 0, 4, -0.0, 2};
    EXPECT_EQ(ratio(a.data(), b.data(), a.size()), (std::vector<double>{2, 0, -0.75, 0, 0}));
    EXPECT_TRUE(ratio(nullptr, nullptr, 0).empty());
}

TEST(StackOnto, AddsEachSeriesOnTopOfThoseBefore)
{
    std::vector<double> cumulative;
    const std::vector<double> first = {1, 2, 3};
    const std::vector<double> second = {10, 20, 30, 40};
    const std::vector<double> third = {0.5, -1};
    stackOnto(cumulative, first.data(), first.size());
    EXPECT_EQ(cumulative, first);
    stackOnto(cumulative, second.data(), second.size());
    EXPECT_EQ(cumulative, (std::vector<double>{11, 22, 33, 40}));
    // A shorter series leaves the tail as it was.
    stackOnto(cumulative, third.data(), third.size());
    EXPECT_EQ(cumulative, (std::vector<double>{11.5, 21, 33, 40}));
}
