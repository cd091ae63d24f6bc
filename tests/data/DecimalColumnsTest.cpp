// The loader hands the value table the count of decimals its reader saw in each
// column, and the table packs the values by it without checking each one. These
// tests load columns whose decimals change from row to row, block to block and
// stage to stage, with the values the count cannot cover (-0, digits too many
// for the block's scale, suffixes, blanks, short records), and require every
// value back bit for bit as the reader reads its field alone.

#include "data/FieldReader.h"
#include "data/LoaderTestSupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <functional>

using namespace kavra;

namespace {

using Field = std::function<std::string(int row, int column)>;

struct Shape {
    const char *name;
    int rows, columns;
    Field field;
};

std::string decimals(int whole, int digits)
{
    static const char *const kFractions[] = {"", ".5", ".25", ".125", ".0625", ".03125", ".015625", ".0078125"};
    return std::to_string(whole) + kFractions[digits];
}

std::vector<Shape> shapes()
{
    return {
        {"DecimalsChangeEveryRow", 2600, 3, [](int r, int c) { return decimals(r * (c + 1), (r + c) % 4); }},
        {"OneLongValueInARun", 2600, 2,
         [](int r, int c) { return r == 1500 + c ? std::string("0.1234567") : decimals(r % 90, 1); }},
        {"NegativeZeros", 2100, 2, [](int r, int c) { return r % 97 == c ? "-0.00" : "-" + decimals(r, 2); }},
        {"FifteenDigitsBesideDecimals", 2100, 2,
         [](int r, int c) { return r % (c + 2) == 0 ? std::string("999999999999999") : decimals(r, 2); }},
        {"SuffixesBlanksAndPoints", 2100, 4,
         [](int r, int c) {
             static const char *const kOdd[] = {"", "2.5K", "50%", ".75", "+3", "1E2", " 4.5 ", "\"7\""};
             return r % (3 + c) == 0 ? std::string(kOdd[r % 8]) : decimals(r, c % 3);
         }},
        {"ShortRecords", 2100, 3, [](int r, int c) { return r % 500 == 3 && c > 0 ? std::string("#") : decimals(r, c); }},
        // Stages of fewer rows than a codec block, not a multiple of the rows
        // parsed at a time: the count of a block of rows spans two stages. Each
        // column has its one value of more decimals in another row.
        {"WideTable", 1200, 1100, [](int r, int c) { return decimals(r % 50, r == c + 1 ? 4 : 0); }},
    };
}

// The file, and the value the reader makes of each field (0 where a short
// record, written "#" above, ends before it).
std::string fileOf(const Shape &shape, std::vector<std::vector<double>> &expected)
{
    std::string file = "NODE1,x\n06-DEC-2026,00:00:00\nSample Time";
    for (int c = 0; c < shape.columns; ++c)
        file += ",V" + std::to_string(c);
    expected.assign(size_t(shape.columns), std::vector<double>(size_t(shape.rows)));
    for (int r = 1; r <= shape.rows; ++r) {
        char time[16];
        std::snprintf(time, sizeof time, "\n%02d:%02d:%02d", r / 3600 % 24, r / 60 % 60, r % 60);
        file += time;
        for (int c = 0; c < shape.columns; ++c) {
            const std::string field = shape.field(r, c);
            if (field == "#")
                break;
            std::string scratch;
            expected[size_t(c)][size_t(r - 1)] = readValue(prepareField(field, scratch)).value;
            file += "," + field;
        }
    }
    return file + "\n";
}

class DecimalColumns : public ::testing::TestWithParam<LoadMode> {};

}  // namespace

INSTANTIATE_TEST_SUITE_P(ThreadModes, DecimalColumns, ::testing::ValuesIn(loadModes()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_P(DecimalColumns, EveryValueComesBackAsItsFieldReadsAlone)
{
    for (const Shape &shape : shapes()) {
        std::vector<std::vector<double>> expected;
        LoaderFixture loader;
        loader.options = GetParam().options;
        const LoadOutcome outcome = loader.load(std::string(shape.name) + ".csv", fileOf(shape, expected));
        const DataSet &data = loader.data;
        ASSERT_TRUE(outcome.loaded) << shape.name << ": " << messageOf(outcome);
        ASSERT_EQ(data.Row_Count, shape.rows) << shape.name;
        for (int c = 0; c < shape.columns; ++c) {
            const double *values = data.Perf_Data.column(c + 2, 1);
            int wrong = 0;
            for (int r = 0; r < shape.rows && wrong < 3; ++r)
                if (std::bit_cast<uint64_t>(values[r]) != std::bit_cast<uint64_t>(expected[size_t(c)][size_t(r)])) {
                    ADD_FAILURE() << shape.name << ", column " << c << ", row " << r + 1 << ": " << values[r]
                                  << " instead of " << expected[size_t(c)][size_t(r)];
                    ++wrong;
                }
        }
    }
}
