#include "data/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

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

TEST(SignedNumberText, AgreesWithPrintfsGeneralFormAcrossMagnitudes)
{
    // The C library's %.15g is the yardstick: the same digits, the same choice
    // between fixed and E notation.
    unsigned long long state = 88172645463325252ULL;
    for (int i = 0; i < 20000; ++i) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        const double mantissa = double(state % 1000000007ULL) / 1000.0;
        const double value = std::ldexp(mantissa, int(state % 200) - 100) * ((state & 1) ? -1 : 1);
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15g", std::fabs(value));
        std::string expected(1, value < 0 ? '-' : ' ');
        const char *p = buffer;
        if (p[0] == '0' && p[1] == '.')
            ++p;
        for (; *p; ++p)
            expected += *p == 'e' ? 'E' : *p;
        ASSERT_EQ(signedNumberText(value), expected) << value;
    }
}
