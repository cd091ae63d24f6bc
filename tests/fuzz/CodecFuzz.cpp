// libFuzzer target: any column of doubles comes back from the column codec bit
// for bit, decoded whole and by row range, however it was cut into runs and
// chunks on the way in.
//
// The first byte chooses how the rest becomes a column, so that the fuzzer
// reaches every block kind from small inputs:
//   mode 0: the bytes are the doubles themselves (8 bytes each);
//   mode 1: each 2 bytes are a small integer n, v = n / 10^e * m as the reader
//           composes a decimal field (e and m from the first byte), repeated 1 to
//           4 times; a 0xFF byte makes the next 8 bytes a double as it is;
//   mode 2: sample times: each byte a step of 0 to 255 seconds (a 0xFF byte, a
//           step back), from a date in the byte after the first;
//   mode 3: each byte a run of 1 to 512 copies of one of a few awkward values
//           (0, -0, 1e300, subnormals, NaN, 12.5, 0.452).
// The column is appended in runs of a length from the first byte, into chunks
// joined in order, as the loader's parallel pass would fill it; in mode 1 the
// runs are given the most decimals of their values, as the loader gives the
// count its reader made, when the second byte is odd. On any
// difference the row and both values are printed and the program traps.

#include "data/CompressedColumn.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr size_t kMaxRows = 20000;

double powerOfTen(int e)
{
    double p = 1;
    for (int i = 0; i < e; ++i)
        p *= 10;
    return p;
}

std::vector<double> column(uint8_t mode, const uint8_t *p, size_t size, std::vector<int8_t> &digits)
{
    std::vector<double> values;
    switch (mode & 3) {
    case 0:
        for (size_t i = 0; i + 8 <= size; i += 8) {
            double v;
            std::memcpy(&v, p + i, 8);
            values.push_back(v);
        }
        break;
    case 1: {
        const int e = (mode >> 2) % 6;
        const double scales[] = {1, 0.01, 1000, 1000000};
        const double m = scales[(mode >> 5) & 3];
        for (size_t i = 0; i + 2 <= size && values.size() < kMaxRows;) {
            if (p[i] == 0xFF && i + 9 <= size) {
                double v;
                std::memcpy(&v, p + i + 1, 8);
                values.push_back(v);
                digits.resize(values.size(), kavra::codec::kDigitsUnknown);
                i += 9;
                continue;
            }
            const int16_t n = static_cast<int16_t>(p[i] | p[i + 1] << 8);
            double v = static_cast<double>(std::abs(n)) / powerOfTen(e);
            if (n < 0)
                v = -v;
            if (v != 0)
                v *= m;
            values.insert(values.end(), 1 + (p[i + 1] & 3), v);
            // The reader's count: e decimals, for values without a suffix.
            digits.resize(values.size(), m == 1 ? static_cast<int8_t>(e) : kavra::codec::kDigitsUnknown);
            i += 2;
        }
        break;
    }
    case 2: {
        long long second = 86400LL * (40000 + (size > 0 ? p[0] * 97 : 0));
        for (size_t i = 1; i < size; ++i) {
            second += p[i] == 0xFF ? -1 : p[i];
            values.push_back(static_cast<double>(second / 86400) + static_cast<double>(second % 86400) / 86400.0);
        }
        break;
    }
    default: {
        const double awkward[] = {0.0,
                                  -0.0,
                                  1e300,
                                  -1e-300,
                                  std::numeric_limits<double>::denorm_min(),
                                  std::bit_cast<double>(0x7FF4000000000123ull),
                                  12.5,
                                  45.2 * 0.01};
        for (size_t i = 0; i < size && values.size() < kMaxRows; ++i)
            values.insert(values.end(), 1 + (p[i] >> 3) * 16 % 512, awkward[p[i] & 7]);
        break;
    }
    }
    if (values.size() > kMaxRows)
        values.resize(kMaxRows);
    digits.resize(values.size(), kavra::codec::kDigitsUnknown);
    return values;
}

void check(bool same, const char *what, size_t row, double expected, double got)
{
    if (same)
        return;
    std::fprintf(stderr, "%s: row %zu was %a (%016llx), came back %a (%016llx)\n", what, row, expected,
                 static_cast<unsigned long long>(std::bit_cast<uint64_t>(expected)), got,
                 static_cast<unsigned long long>(std::bit_cast<uint64_t>(got)));
    __builtin_trap();
}

void compare(const std::vector<double> &expected, const double *got, size_t first, size_t count, const char *what)
{
    for (size_t i = 0; i < count; ++i)
        check(std::bit_cast<uint64_t>(expected[first + i]) == std::bit_cast<uint64_t>(got[i]), what, first + i,
              expected[first + i], got[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    std::vector<int8_t> digits;
    const std::vector<double> values = column(data[0], data + 2, size - 2, digits);
    const bool counted = (data[1] & 1) != 0;
    // Runs of 1 to 2048 values, four runs a chunk.
    const size_t run = 1 + (static_cast<size_t>(data[1]) * 8 + (data[0] >> 2)) % 2048;
    kavra::CompressedColumn joined;
    for (size_t at = 0; at < values.size();) {
        kavra::CompressedColumn chunk;
        for (int r = 0; r < 4 && at < values.size(); ++r) {
            const size_t n = std::min(run, values.size() - at);
            if (counted)
                chunk.append(values.data() + at, n, *std::max_element(digits.begin() + at, digits.begin() + at + n));
            else
                chunk.append(values.data() + at, n);
            at += n;
        }
        joined.append(std::move(chunk));
    }
    check(joined.rows() == values.size(), "row count", joined.rows(), 0, 0);
    std::vector<double> decoded(values.size());
    joined.decode(decoded.data());
    compare(values, decoded.data(), 0, values.size(), "whole column");
    if (!values.empty()) {
        const size_t first = data[1] % values.size();
        const size_t count = (values.size() - first) / (1 + data[0] % 3);
        joined.decode(first, count, decoded.data());
        compare(values, decoded.data(), first, count, "row range");
    }
    return 0;
}
