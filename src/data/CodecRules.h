#pragma once
// The rules by which the values of a block are integers (see ColumnCodec): a
// decimal rule v == n / 10^e * m, the reader's own arithmetic for a field of
// digits with a suffix (m = 1, 0.01, 1000 or 1e6), or the seconds rule
// v == day + second / 86400.0 of sample times. A block's rule is chosen from a
// sample of its values; every value is then checked, and those the rule does
// not give back bit for bit are exceptions.

#include "data/ColumnCodec.h"

#include <bit>
#include <cstddef>
#include <cstdint>

// The loops that run over every value are built three times where the compiler
// can: for the vector registers every x86-64 has, for AVX2, and for AVX-512
// (whose 64-bit minimum, maximum and leading-zero count the integer framing
// uses), the best one the processor has chosen when the program starts.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KAVRA_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define KAVRA_VECTOR_CLONES
#endif

namespace kavra::codec {

inline constexpr double kScales[] = {1, 0.01, 1000, 1000000};  // no suffix, %, K, M
inline constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline uint64_t bitsOf(double v)
{
    return std::bit_cast<uint64_t>(v);
}

struct Rule {
    BlockKind kind = BlockKind::Raw;
    int exponent = 0;
    int scale = 0;

    double scaleValue() const { return kScales[scale]; }
    bool operator==(const Rule &) const = default;
    // What a value is multiplied by to give its integer (rounded, then checked).
    double factor() const
    {
        return exponent >= 0 ? kPowersOfTen[exponent] / scaleValue() : 1 / (kPowersOfTen[-exponent] * scaleValue());
    }
};

inline constexpr size_t kSampleSize = 32;

struct Sample {
    double values[kSampleSize];
    size_t size = 0;
};

// Up to kSampleSize values spread over the block.
Sample takeSample(const double *values, size_t count);
// Half of first and as many of the values a rule left as exceptions.
Sample resample(const Sample &first, const double *values, const uint16_t *exceptions, size_t exceptionCount);
// The rule that packs the sample smallest (Raw when none does better than the
// doubles); hint, the rule of the block before, is taken when it still fits.
Rule chooseRule(const Sample &sample, const Rule &hint);
// The integers of the values under the rule (kind Decimal or Seconds) and the
// positions of the values it does not give back exactly (their integers are
// placeholders); returns how many those are.
size_t mapValues(const double *values, size_t count, const Rule &rule, int64_t *ints, uint16_t *exceptions);
// The decimal rule for values of at most mostDigits fraction digits as the reader
// counted them (see encodeBlock), and their integers and exceptions as mapValues
// gives them; false, with nothing mapped, when the count tells no rule.
bool mapPlainDecimals(const double *values, size_t count, int mostDigits, Rule &rule, int64_t *ints,
                      uint16_t *exceptions, size_t &exceptionCount);
// The values the rule gives for the integers.
void ruleValues(const Rule &rule, const int64_t *ints, size_t count, double *out);

}  // namespace kavra::codec
