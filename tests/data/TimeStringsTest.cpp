#include "data/DataError.h"
#include "data/TimeStrings.h"

#include <gtest/gtest.h>

using namespace kavra;
using namespace kavra::timestr;

namespace {
double ymd(int y, int m, int d) { return dateSerial(y, m, d); }
double hms(int h, int m, int s) { return (h * 3600 + m * 60 + s) / 86400.0; }
}  // namespace

TEST(DateValues, CountDaysFromTheEndOf1899)
{
    EXPECT_EQ(ymd(1899, 12, 30), 0);
    EXPECT_EQ(ymd(1900, 1, 1), 2);
    EXPECT_EQ(ymd(2026, 12, 6), 46362);
    EXPECT_EQ(fallbackDate(), ymd(1972, 1, 1));
}

TEST(DateValues, DateSerialCarriesOver)
{
    EXPECT_EQ(ymd(2026, 2, 31), ymd(2026, 3, 3));
    EXPECT_EQ(ymd(2026, 3, 0), ymd(2026, 2, 28));
    EXPECT_EQ(ymd(2026, 13, 1), ymd(2027, 1, 1));
    EXPECT_EQ(dateSerial(5, 12, 6), ymd(2005, 12, 6));
    EXPECT_EQ(dateSerial(75, 12, 6), ymd(1975, 12, 6));
    EXPECT_THROW(dateSerial(20000, 1, 1), DataError);
}

TEST(ReadsAsDate, AcceptsTheCollectorAndIsoForms)
{
    EXPECT_EQ(readDate("06-DEC-2026"), ymd(2026, 12, 6));
    EXPECT_EQ(readDate("6-dec-26"), ymd(2026, 12, 6));
    EXPECT_EQ(readDate("06-December-2026"), ymd(2026, 12, 6));
    EXPECT_EQ(readDate("06-DEC-75"), ymd(1975, 12, 6));
    EXPECT_EQ(readDate("2026-12-06"), ymd(2026, 12, 6));
    EXPECT_EQ(readDate("06-DEC-2026 10:15:30"), ymd(2026, 12, 6) + hms(10, 15, 30));
}

TEST(ReadsAsDate, RejectsWhatIsNoDate)
{
    EXPECT_FALSE(readDate("31-FEB-2026"));
    EXPECT_FALSE(readDate(""));
    EXPECT_FALSE(readDate("10:00:00"));
    EXPECT_FALSE(readDate("Sample Time"));
    EXPECT_FALSE(readDate("06-XYZ-2026"));
    EXPECT_FALSE(readDate("06-DEC-2026 25:00"));
}

TEST(DateTextToDate, UsesTheMonthTableForTextsThatAreNoDate)
{
    EXPECT_EQ(dateTextToDate("06-DEC-2026"), ymd(2026, 12, 6));
    EXPECT_EQ(dateTextToDate("31-FEB-2026"), ymd(2026, 3, 3));
    EXPECT_EQ(dateTextToDate("06-Dec-2026"), ymd(2026, 12, 6));  // reads as a date first
    EXPECT_EQ(dateTextToDate("06-Xyz-2026"), ymd(2026, 1, 6));   // not in the table: January
    EXPECT_EQ(dateTextToDate("06--2026"), ymd(2026, 1, 6));      // empty month text is found at 1
    EXPECT_EQ(dateTextToDate("40-DEC-5"), ymd(2006, 1, 9));
    EXPECT_EQ(dateTextToDate("06-DEC-2026 10:00:00"), ymd(2026, 12, 6));
}

TEST(DateTextToDate, FallsBackTo1972AndRejectsNonNumbers)
{
    EXPECT_EQ(dateTextToDate(""), fallbackDate());
    EXPECT_EQ(dateTextToDate("DEC 2026"), fallbackDate());
    EXPECT_THROW(dateTextToDate("XX-DEC-2026"), DataError);
    EXPECT_THROW(dateTextToDate("06-DEC-20X6"), DataError);
}

TEST(DateTextToDate, AWholeNumberHasOneSignAtMost)
{
    // Found by the value fuzzer: "+-0" was read as the year 0.
    EXPECT_EQ(dateTextToDate("06-DEC-+5"), ymd(2005, 12, 6));
    EXPECT_THROW(dateTextToDate("06-DEC-+-0"), DataError);
    EXPECT_THROW(dateTextToDate("06-DEC-+"), DataError);
    EXPECT_THROW(dateTextToDate("06-DEC-++5"), DataError);
}

TEST(TimeOfDay, ReadsHoursMinutesAndSeconds)
{
    EXPECT_DOUBLE_EQ(*timeOfDay("10:15:30"), hms(10, 15, 30));
    EXPECT_DOUBLE_EQ(*timeOfDay("10:15"), hms(10, 15, 0));
    EXPECT_DOUBLE_EQ(*timeOfDay("23:59:59"), 1.0 - 1.0 / 86400);
    EXPECT_DOUBLE_EQ(*timeOfDay("12:00 AM"), 0);
    EXPECT_DOUBLE_EQ(*timeOfDay("1:30:00 PM"), hms(13, 30, 0));
    EXPECT_DOUBLE_EQ(*timeOfDay("06-DEC-2026"), 0);
    EXPECT_FALSE(timeOfDay("24:00:00"));
    EXPECT_FALSE(timeOfDay("0"));
    EXPECT_FALSE(timeOfDay("10"));
    EXPECT_FALSE(timeOfDay("10:61"));
    EXPECT_FALSE(timeOfDay("ab:cd"));
    EXPECT_FALSE(timeOfDay("1:2:3:4"));
}

TEST(GeneralDateText, WritesEnglishDatesIndependentOfLocale)
{
    EXPECT_EQ(generalDateText(ymd(2026, 12, 6) + hms(10, 0, 0)), "06-DEC-2026 10:00:00");
    EXPECT_EQ(generalDateText(ymd(2026, 12, 6)), "06-DEC-2026");
    EXPECT_EQ(generalDateText(hms(7, 5, 3)), "07:05:03");
    EXPECT_EQ(generalDateText(ymd(2026, 1, 31) + 0.9999999999), "01-FEB-2026");
}

TEST(GeneralDateText, ReadsBackAsTheSameValue)
{
    for (double value : {ymd(2026, 12, 6) + hms(23, 59, 59), ymd(1999, 2, 28) + hms(0, 0, 1), ymd(2030, 6, 1)}) {
        const auto back = readDate(generalDateText(value));
        ASSERT_TRUE(back) << generalDateText(value);
        EXPECT_NEAR(*back, value, 1e-9);
    }
}
