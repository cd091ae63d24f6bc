#include "data/NumberText.h"

#include <gtest/gtest.h>

using kavra::signedNumberText;

TEST(SignedNumberText, PutsABlankOrAMinusInFront)
{
    EXPECT_EQ(signedNumberText(12.5), " 12.5");
    EXPECT_EQ(signedNumberText(0), " 0");
    EXPECT_EQ(signedNumberText(-0.0), " 0");
    EXPECT_EQ(signedNumberText(-3), "-3");
    EXPECT_EQ(signedNumberText(12), " 12");
}

TEST(SignedNumberText, DropsLeadingAndTrailingZeros)
{
    EXPECT_EQ(signedNumberText(0.25), " .25");
    EXPECT_EQ(signedNumberText(-0.5), "-.5");
    EXPECT_EQ(signedNumberText(0.0001), " .0001");
    EXPECT_EQ(signedNumberText(1000000), " 1000000");
    EXPECT_EQ(signedNumberText(2500.75), " 2500.75");
}

TEST(SignedNumberText, KeepsFifteenSignificantDigits)
{
    EXPECT_EQ(signedNumberText(0.1 + 0.2), " .3");
    EXPECT_EQ(signedNumberText(1.0 / 3), " .333333333333333");
    EXPECT_EQ(signedNumberText(123456789012345.0), " 123456789012345");
    EXPECT_EQ(signedNumberText(999999999999999.9), " 1E+15");
}

TEST(SignedNumberText, UsesExponentsForLargeAndTinyMagnitudes)
{
    EXPECT_EQ(signedNumberText(1e15), " 1E+15");
    EXPECT_EQ(signedNumberText(1.5e20), " 1.5E+20");
    EXPECT_EQ(signedNumberText(0.00001), " 1E-05");
    EXPECT_EQ(signedNumberText(-2.5e-7), "-2.5E-07");
    EXPECT_EQ(signedNumberText(1e-300), " 1E-300");
}
