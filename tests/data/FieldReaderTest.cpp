#include "data/DataError.h"
#include "data/FieldReader.h"
#include "data/PlainDecimal.h"
#include "data/TimeStrings.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace kavra;

namespace {

FieldValue value(std::string_view raw)
{
    std::string scratch;
    return readValue(prepareField(raw, scratch));
}

double valueOf(std::string_view raw)
{
    const FieldValue v = value(raw);
    EXPECT_EQ(v.status, ValueStatus::Ok) << raw;
    return v.value;
}

}  // namespace

TEST(ColumnName, TrimsAndDeletesQuotes)
{
    EXPECT_EQ(columnName("  CPU Busy  "), "CPU Busy");
    EXPECT_EQ(columnName("\"CPU Busy\""), "CPU Busy");
    EXPECT_EQ(columnName("' Disk Rate '"), " Disk Rate ");
    EXPECT_EQ(columnName("Bob's \"Q\" Len"), "Bobs Q Len");
    EXPECT_EQ(columnName("  \"\"  "), "");
}

TEST(PrepareField, UpperCasesTrimsAndDefaultsToZero)
{
    std::string scratch;
    EXPECT_EQ(prepareField(" 2.5k ", scratch), "2.5K");
    EXPECT_EQ(prepareField("\"12\"", scratch), "12");
    EXPECT_EQ(prepareField("", scratch), "0.0");
    EXPECT_EQ(prepareField("   ", scratch), "0.0");
    EXPECT_EQ(prepareField("' '", scratch), "0.0");
}

TEST(ValueSyntax, ReadsSuffixesExponentsAndFractions)
{
    EXPECT_DOUBLE_EQ(valueOf("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(valueOf("50%"), 0.5);
    EXPECT_DOUBLE_EQ(valueOf("2.5K"), 2500);
    EXPECT_DOUBLE_EQ(valueOf("2.5k"), 2500);
    EXPECT_DOUBLE_EQ(valueOf("1.5M"), 1500000);
    EXPECT_DOUBLE_EQ(valueOf("1.5E-3"), 0.0015);
    EXPECT_DOUBLE_EQ(valueOf("7e2"), 700);
    EXPECT_DOUBLE_EQ(valueOf("1E+05"), 100000);
    EXPECT_DOUBLE_EQ(valueOf("4."), 4);
    EXPECT_DOUBLE_EQ(valueOf(".25"), 0.25);
    EXPECT_DOUBLE_EQ(valueOf(""), 0);
    EXPECT_DOUBLE_EQ(valueOf("+7"), 7);
    EXPECT_DOUBLE_EQ(valueOf("1E3K"), 1000000);
}

TEST(ValueSyntax, NegativeFractionsKeepTheirSign)
{
    EXPECT_DOUBLE_EQ(valueOf("-5.5"), -5.5);
    EXPECT_DOUBLE_EQ(valueOf("-3"), -3);
    EXPECT_DOUBLE_EQ(valueOf("-2.5K"), -2500);
    EXPECT_DOUBLE_EQ(valueOf("-.75"), -0.75);  // as Save as writes it
    EXPECT_DOUBLE_EQ(valueOf("+.5E1"), 5);
}

TEST(ValueSyntax, RejectsWhatBreaksTheRules)
{
    for (const char *bad : {"1.2.3", "ABC", "N/A", ".", "-", "+", "1..", "1.5X", "1 5", "-.", "+.E2", "1.-5", "E5", "1E999"})
        EXPECT_EQ(value(bad).status, ValueStatus::Invalid) << bad;
}

TEST(ValueSyntax, AnExponentThatIsNoNumberIsAGenericError)
{
    for (const char *bad : {"ERR", "NONE", "1E", "1EX", "1E2.5"})
        EXPECT_EQ(value(bad).status, ValueStatus::BadExponent) << bad;
}

TEST(ValueSyntax, HugeExponentsNeitherHangNorOverflow)
{
    EXPECT_EQ(value("1E999999999999").status, ValueStatus::Invalid);
    EXPECT_DOUBLE_EQ(valueOf("1E-999999999999"), 0);
    EXPECT_DOUBLE_EQ(valueOf("0E999999999"), 0);
}

TEST(ValueSyntax, MantissasBeyondTheRangeOfDoublesAreInvalidAndTinyOnesZero)
{
    // Found by the value fuzzer: a mantissa of more than 308 digits read as 0.
    const std::string huge = "1" + std::string(400, '0');
    EXPECT_EQ(value(huge).status, ValueStatus::Invalid);
    EXPECT_EQ(value("-" + huge + ".5").status, ValueStatus::Invalid);
    EXPECT_EQ(value(huge + "E-400").status, ValueStatus::Invalid);  // the mantissa alone is out of range
    EXPECT_DOUBLE_EQ(valueOf("." + std::string(400, '0') + "1"), 0);
    EXPECT_DOUBLE_EQ(valueOf("0." + std::string(400, '0') + "1E5"), 0);
}

TEST(SampleTime, TakesTheDateFromTheFieldOrTheCollectionDate)
{
    const double day = timestr::dateSerial(2026, 12, 6);
    EXPECT_DOUBLE_EQ(readSampleTime("06-DEC-2026 10:00:00", ""), day + 10 / 24.0);
    EXPECT_DOUBLE_EQ(readSampleTime("10:15:30.250", "06-DEC-2026"), day + (10 * 3600 + 15 * 60 + 30) / 86400.0);
    EXPECT_DOUBLE_EQ(readSampleTime("10:00", ""), timestr::fallbackDate() + 10 / 24.0);
    EXPECT_DOUBLE_EQ(readSampleTime("07-DEC-2026", "06-DEC-2026"), day + 1);  // a saved midnight row
}

TEST(SampleTime, UnreadableTimesAndDatesAreDataErrors)
{
    EXPECT_THROW(readSampleTime("0.0", "06-DEC-2026"), DataError);
    EXPECT_THROW(readSampleTime("06-DEC-2026 XX", ""), DataError);
    EXPECT_THROW(readSampleTime("AA-DEC-2026 10:00", ""), DataError);
}

TEST(PlainDecimal, AgreesWithTheFullRulesWhereverTheFieldStands)
{
    // Every reader this processor runs, on fields in the middle of a record and
    // at its end (where the faster readers hand over to the character-by-character
    // one), must give readValue's value and the field's length.
    std::vector<std::string> fields = {"0", "7", "-7", "12.5", "1234567", "12345678", "1234567.1234567",
                                       "-0.001", "999999999999999", "0.0000001", "3.14159265358979", "00012.500",
                                       "-12345678901234", "1.2345678901234", "-1234567.1234567",
                                       "12345678.1234567", "-0", "-0.0"};
    for (unsigned seed = 1; seed < 400; ++seed) {
        const unsigned integerDigits = 1 + seed % 9, fractionDigits = seed % 8;
        std::string field = seed % 5 == 0 ? "-" : "";
        for (unsigned i = 0; i < integerDigits; ++i)
            field += char('0' + (seed * 7 + i * 3) % 10);
        if (fractionDigits > 0)
            field += '.';
        for (unsigned i = 0; i < fractionDigits; ++i)
            field += char('0' + (seed * 11 + i * 5) % 10);
        fields.push_back(field);
    }
    for (const plaindecimal::Reader read : plaindecimal::availableReaders()) {
        for (const std::string &field : fields) {
            std::string scratch;
            const FieldValue expected = readValue(prepareField(field, scratch));
            for (const std::string &rest : {std::string(), std::string(",1,2,3,4,5,6,7,8,9,10,11,12")}) {
                double value = -1;
                int8_t digits = -7;
                const size_t length = read(field + rest, value, digits);
                if (length == std::string_view::npos) {
                    EXPECT_GT(field.size() - (field[0] == '-'), 15u) << field;
                    continue;
                }
                EXPECT_EQ(length, field.size()) << field;
                EXPECT_EQ(std::signbit(value), std::signbit(expected.value)) << field << rest;
                EXPECT_EQ(value, expected.value) << field << rest;
            }
        }
    }
}

TEST(PlainDecimal, CountsTheFractionDigits)
{
    for (const plaindecimal::Reader read : plaindecimal::availableReaders())
        for (const auto &[field, digits] : std::vector<std::pair<std::string, int>>{
                 {"7", 0}, {"-12.5", 1}, {"0.00", 2}, {"-0.125", 3}, {"123456.7654321", 7}, {"1.23456789012345", 14}}) {
            for (const std::string &rest : {std::string(), std::string(",1,2,3,4,5,6,7,8,9,10,11,12")}) {
                double value = 0;
                int8_t counted = -7;
                EXPECT_EQ(read(field + rest, value, counted), field.size()) << field;
                EXPECT_EQ(counted, digits) << field << rest;
            }
        }
}

TEST(PlainDecimal, LeavesEveryOtherFieldToTheFullRules)
{
    for (const plaindecimal::Reader read : plaindecimal::availableReaders())
        for (const char *field : {"", "-", ".5", "-.5", "5.", "1.2.3", "1..2", "--1", "1-2", "2.5K", "50%", "1E3",
                                  " 12", "12 ", "+3", "12/5", "12:5", "12\xB0" "5"}) {
            double value = 0;
            int8_t digits = 0;
            const std::string text = std::string(field) + std::string(20, 'x');
            const std::string field20 = std::string(field) + "," + std::string(20, '1');
            EXPECT_EQ(read(field, value, digits), std::string_view::npos) << field;
            EXPECT_EQ(read(text, value, digits), std::string_view::npos) << field;
            EXPECT_EQ(read(field20, value, digits), std::string_view::npos) << field;
        }
}
