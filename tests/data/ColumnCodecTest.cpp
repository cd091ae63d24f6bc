#include "data/BitPacking.h"
#include "data/CompressedColumn.h"
#include "data/FieldReader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace kavra;

namespace {

using Values = std::vector<double>;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();

// The double the reader makes of a field, so the values are the reader's own.
double read(const std::string &field)
{
    std::string scratch;
    return readValue(prepareField(field, scratch)).value;
}

std::string format(const char *pattern, double v)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, v);
    return text;
}

Values generate(size_t n, const std::function<double(size_t, std::mt19937_64 &)> &value)
{
    std::mt19937_64 random(n * 7919 + 1);
    Values v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = value(i, random);
    return v;
}

double uniform(std::mt19937_64 &random, double lo, double hi)
{
    return std::uniform_real_distribution<double>(lo, hi)(random);
}

// Sample times as the reader makes them: a date plus a time of day, 1 s apart,
// over midnight, with a gap and one step back.
double sampleTime(size_t i)
{
    long long second = 86000 + static_cast<long long>(i) + (i > 700 ? 3600 : 0) - (i == 900 ? 2 : 0);
    return static_cast<double>(46000 + second / 86400) + static_cast<double>(second % 86400) / 86400.0;
}

struct Shape {
    const char *name;
    size_t rows;
    std::function<double(size_t, std::mt19937_64 &)> value;
    double maxBytesPerValue;  // what the shape must at most cost, index included
};

std::vector<Shape> shapes()
{
    using R = std::mt19937_64;
    return {
        {"empty", 0, [](size_t, R &) { return 0.0; }, 0},
        {"one value", 1, [](size_t, R &) { return 12.5; }, 1e9},
        {"zeros", 5000, [](size_t, R &) { return 0.0; }, 0.02},
        {"negative zeros", 5000, [](size_t, R &) { return -0.0; }, 0.03},
        {"constant", 1025, [](size_t, R &) { return 1234.56; }, 0.05},
        {"constant NaN", 1024, [](size_t, R &) { return std::bit_cast<double>(0x7FF800000000BEEFull); }, 0.05},
        {"alternating signed zeros", 1023, [](size_t i, R &) { return i % 2 ? -0.0 : 0.0; }, 8.1},
        {"alternating extremes", 1024, [](size_t i, R &) { return i % 2 ? 1e300 : -1e-300; }, 8.1},
        {"extremes", 3000,
         [](size_t i, R &) {
             const double e[] = {kMax, -kMax, kInf, -kInf, kTiny, -kTiny, 2.2250738585072009e-308, 1e300, -1e-300, 0};
             return e[i % 10];
         },
         8.1},
        {"subnormals", 2000, [](size_t i, R &) { return kTiny * static_cast<double>(i); }, 8.1},
        {"NaN payloads and random bits", 2500,
         [](size_t i, R &r) { return std::bit_cast<double>(i % 3 ? r() : 0x7FF0000000000001ull + i); }, 8.1},
        {"huge jumps", 4097,
         [](size_t i, R &r) { return i % 97 == 0 ? 1e15 * uniform(r, -1, 1) : std::round(uniform(r, 0, 100)); }, 1.2},
        {"one odd value a block", 4096, [](size_t i, R &) { return i % 1024 == 513 ? 3.3e-300 : 0.0; }, 0.03},
        {"decimals 1234.56", 3000, [](size_t, R &r) { return read(format("%.2f", uniform(r, 1000, 2000))); }, 2.5},
        {"quarters", 2048, [](size_t i, R &) { return static_cast<double>(i % 40) * 0.25; }, 1.3},
        {"percentages", 3000, [](size_t, R &r) { return read(format("%.1f%%", uniform(r, 0, 100))); }, 1.4},
        {"thousands", 3000, [](size_t, R &r) { return read(format("%.1fK", uniform(r, 1, 9))); }, 1.0},
        {"millions", 3000, [](size_t, R &r) { return read(format("%.3fM", uniform(r, 0, 2))); }, 1.6},
        {"exponent fields", 1500, [](size_t, R &r) { return read(format("%.2fE1", uniform(r, 0, 9))); }, 8.1},
        {"counter", 5000, [](size_t i, R &r) { return static_cast<double>(1000000 + 37 * i + r() % 5); }, 0.55},
        {"negative decimals", 2000, [](size_t, R &r) { return read(format("%.1f", uniform(r, -50, 50))); }, 1.4},
        {"mixed decimals and noise", 3000,
         [](size_t i, R &r) { return i % 50 == 0 ? uniform(r, 0, 1) : read(format("%.2f", uniform(r, 0, 10))); }, 2.5},
        {"full-precision noise", 2000, [](size_t, R &r) { return uniform(r, 0, 1); }, 8.1},
        {"sample times", 5000, [](size_t i, R &) { return sampleTime(i); }, 0.1},
        {"large integers", 2000, [](size_t, R &r) { return static_cast<double>(r() >> 10); }, 8.1},
    };
}

bool sameBits(const Values &a, const Values &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::bit_cast<uint64_t>(a[i]) != std::bit_cast<uint64_t>(b[i]))
            return false;
    return true;
}

}  // namespace

TEST(CompressedColumn, EveryShapeComesBackBitForBitWholeAndByRowRange)
{
    for (const Shape &shape : shapes()) {
        SCOPED_TRACE(shape.name);
        const Values values = generate(shape.rows, shape.value);
        CompressedColumn column;
        column.append(values.data(), values.size());
        ASSERT_EQ(column.rows(), values.size());
        EXPECT_TRUE(sameBits(column.values(), values));

        const size_t n = values.size();
        for (const auto &[first, count] : {std::pair<size_t, size_t>{0, n},
                                           {0, 0},
                                           {n / 2, n - n / 2},
                                           {n / 3, n / 3},
                                           {n > 1 ? n - 1 : 0, n > 1 ? 1 : 0}}) {
            Values part(count);
            column.decode(first, count, part.data());
            EXPECT_TRUE(sameBits(part, Values(values.begin() + first, values.begin() + first + count)))
                << first << " +" << count;
        }
        column.shrinkToFit();
        if (n > 0) {
            EXPECT_LE(static_cast<double>(column.byteSize()) / n, shape.maxBytesPerValue);
        }
    }
}

TEST(CompressedColumn, ChunksEncodedApartAndJoinedReadAsOneColumn)
{
    // As the parallel data pass fills a column: runs of any length, in chunks
    // of several runs, the chunks joined in order.
    const Values values = generate(7000, [](size_t i, std::mt19937_64 &r) {
        return i % 700 < 300 ? 0.0 : read(format("%.1f", uniform(r, 0, 100)));
    });
    for (const size_t run : {size_t(1), size_t(333), size_t(1023), size_t(1024), size_t(1025), size_t(4000)}) {
        SCOPED_TRACE(run);
        CompressedColumn joined;
        for (size_t chunkStart = 0; chunkStart < values.size(); chunkStart += 3 * run + 17) {
            CompressedColumn chunk;
            const size_t chunkEnd = std::min(values.size(), chunkStart + 3 * run + 17);
            for (size_t p = chunkStart; p < chunkEnd; p += run)
                chunk.append(values.data() + p, std::min(run, chunkEnd - p));
            if (chunkStart % 2)
                joined.append(chunk);
            else
                joined.append(std::move(chunk));
        }
        ASSERT_EQ(joined.rows(), values.size());
        EXPECT_TRUE(sameBits(joined.values(), values));
        Values part(2500);
        joined.decode(1500, part.size(), part.data());
        EXPECT_TRUE(sameBits(part, Values(values.begin() + 1500, values.begin() + 4000)));
    }
}

TEST(CompressedColumn, EveryReaderValueOfTheTextFormsRoundTrips)
{
    // Each value as the reader parses it: a column of each form, one column of
    // all forms block after block, and one block of all of them.
    const char *forms[] = {"%.0f",  "%.1f",  "%.2f",   "%.3f",    "%.1f%%", "%.2f%%", "%.0fK", "%.2fK",
                           "%.1fM", "%.4fM", "%.2fE3", "%.1fE-2", "-%.2f",  "%.6f",   "%.15g", "%.17g"};
    Values all;
    CompressedColumn oneAfterAnother;  // each block's rule differs from the one before
    Values sequence;
    for (const char *form : forms) {
        SCOPED_TRACE(form);
        const Values values = generate(
            1024, [&](size_t i, std::mt19937_64 &r) { return read(format(form, uniform(r, 0, i % 2 ? 1 : 100000))); });
        CompressedColumn column;
        column.append(values.data(), values.size());
        EXPECT_TRUE(sameBits(column.values(), values));
        all.insert(all.end(), values.begin(), values.begin() + 64);
        oneAfterAnother.append(values.data(), values.size());
        sequence.insert(sequence.end(), values.begin(), values.end());
    }
    EXPECT_TRUE(sameBits(oneAfterAnother.values(), sequence));
    CompressedColumn mixed;
    mixed.append(all.data(), all.size());
    EXPECT_TRUE(sameBits(mixed.values(), all));
}

TEST(CompressedColumn, ValuesWithTheReadersCountOfDecimalsRoundTrip)
{
    // The loader's way: each block with the most decimals the reader counted in
    // it (or more), values of other syntax making the count unknown.
    const char *forms[] = {"%.2f", "-%.3f", "%.0f", "%.7f", "%.15g", "%.1fK"};
    for (const char *form : forms)
        for (const int extra : {0, 1, 5}) {
            SCOPED_TRACE(std::string(form) + " +" + std::to_string(extra));
            Values values;
            CompressedColumn column;
            for (size_t block = 0; block < 3; ++block) {
                int most = 0;
                for (size_t i = 0; i < 1000 + block * 24; ++i) {
                    const double x = std::pow(10.0, static_cast<double>(i % 16)) * std::sin(static_cast<double>(i));
                    std::string field = i % 101 == 7 ? "-0.00" : i % 211 == 3 ? "999999999999999" : format(form, x);
                    double v = 0;
                    int8_t digits = 0;
                    if (readPlainDecimal(field + ",", v, digits) != field.size()) {
                        digits = codec::kDigitsUnknown;
                        v = read(field);
                    }
                    most = std::max<int>(most, digits);
                    values.push_back(v);
                }
                const size_t first = column.rows();
                column.append(values.data() + first, values.size() - first,
                              most == codec::kDigitsUnknown ? most : most + extra);
            }
            EXPECT_TRUE(sameBits(column.values(), values));
        }
}

TEST(BitPacking, EveryWidthPacksAndUnpacksTheExtremes)
{
    for (unsigned width = 0; width <= 64; ++width) {
        for (const size_t count : {size_t(1), size_t(63), size_t(64), size_t(65), size_t(1024)}) {
            const uint64_t top = width == 64 ? ~0ull : (1ull << width) - 1;
            std::vector<uint64_t> in(count), out(count, 7);
            for (size_t i = 0; i < count; ++i)
                in[i] = i % 3 == 0 ? top : i % 3 == 1 ? 0 : (i * 0x9E3779B97F4A7C15ull) & top;
            std::vector<uint8_t> packed(bitpack::packedBytes(count, width));
            bitpack::pack(in.data(), count, width, packed.data());
            bitpack::unpack(packed.data(), count, width, out.data());
            ASSERT_EQ(in, out) << width << " bits, " << count << " values";
        }
    }
}
