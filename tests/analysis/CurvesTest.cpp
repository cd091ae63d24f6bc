#include "analysis/Curves.h"

#include <gtest/gtest.h>

#include <vector>

using kavra::analysis::ratio;

TEST(Ratio, DividesPointByPointAndGivesZeroForZeroDivisors)
{
    const std::vector<double> a = {6, 5, -3, 7, 0};
    const std::vector<double> b = {3, 0, 4, -0.0, 2};
    EXPECT_EQ(ratio(a.data(), b.data(), a.size()), (std::vector<double>{2, 0, -0.75, 0, 0}));
    EXPECT_TRUE(ratio(nullptr, nullptr, 0).empty());
}
