#include "data/CodecRules.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace kavra::codec {
namespace {

// Decimal rule: v == n / 10^e * m (e >= 0) or n * 10^-e * m (e < 0).
constexpr int kMinExponent = -15;
constexpr int kMaxExponent = 18;
constexpr int kScaleCount = 4;
constexpr int kSecondsPerDay = 86400;

// Rounding by adding 1.5 * 2^52: exact for |x| < 2^51, and the integer can be read
// off the sum's bits without a conversion.
constexpr double kRoundingMagic = 0x1.8p52;
constexpr double kIntegerLimit = 0x1p51;

double integerValue(int64_t n)
{
    return std::bit_cast<double>(bitsOf(kRoundingMagic) + static_cast<uint64_t>(n)) - kRoundingMagic;
}

// The value the decimal rule gives for the integer-valued double r; the same
// operations, in the same order, as the reader uses on the digits of a field.
double decimalValue(double r, int exponent, double scale)
{
    const double v = exponent >= 0 ? r / kPowersOfTen[exponent] : r * kPowersOfTen[-exponent];
    return scale == 1 ? v : v * scale;
}

bool fitsDecimal(double v, const Rule &rule, double factor)
{
    const double x = v * factor;
    if (!(std::fabs(x) < kIntegerLimit))
        return false;
    const double r = (x + kRoundingMagic) - kRoundingMagic;
    return bitsOf(decimalValue(r, rule.exponent, rule.scaleValue())) == bitsOf(v);
}

// Sample times: day + second / 86400.0, as the reader adds a date and a time of day.
double secondsValue(int64_t n)
{
    int64_t day = n / kSecondsPerDay, second = n % kSecondsPerDay;
    if (second < 0) {
        second += kSecondsPerDay;
        --day;
    }
    return static_cast<double>(day) + static_cast<double>(second) / kSecondsPerDay;
}

bool secondsOf(double v, int64_t &n)
{
    if (!(std::fabs(v) < 1e9))
        return false;
    const double day = std::floor(v);
    n = static_cast<int64_t>(day) * kSecondsPerDay + static_cast<int64_t>(std::llround((v - day) * kSecondsPerDay));
    return bitsOf(secondsValue(n)) == bitsOf(v);
}

// Choosing the rule from a sample of the block: for each scale, the smallest
// exponent at which each sampled value fits, then the exponent whose estimated
// size (bit width from the sample's range, exceptions at their cost) is least.
constexpr double kExceptionBits = 80;  // a position and a double
constexpr int kNoExponent = kMaxExponent + 1;

// Exactness is kept as the exponent grows (n * 10 at e + 1 is the same number)
// until the integer leaves the safe range.
int smallestExponent(double v, int scale)
{
    Rule rule{BlockKind::Decimal, 0, scale};
    if (fitsDecimal(v, rule, rule.factor())) {
        while (rule.exponent > kMinExponent) {
            --rule.exponent;
            if (!fitsDecimal(v, rule, rule.factor()))
                return rule.exponent + 1;
        }
        return kMinExponent;
    }
    while (rule.exponent < kMaxExponent) {
        ++rule.exponent;
        if (fitsDecimal(v, rule, rule.factor()))
            return rule.exponent;
    }
    return kNoExponent;
}

double widthEstimate(double lo, double hi)
{
    return hi > lo ? std::ceil(std::log2(hi - lo + 1)) : 0;
}

struct Choice {
    Rule rule;
    double bits = std::numeric_limits<double>::infinity();  // estimated, per value
    size_t exceptions = 0;                                  // in the sample
};

void considerDecimal(const Sample &sample, int scale, Choice &best)
{
    int smallest[kSampleSize];
    for (size_t j = 0; j < sample.size; ++j)
        smallest[j] = smallestExponent(sample.values[j], scale);
    for (size_t c = 0; c < sample.size; ++c) {
        const int e = smallest[c];
        if (e == kNoExponent || std::find(smallest, smallest + c, e) != smallest + c)
            continue;
        const Rule rule{BlockKind::Decimal, e, scale};
        const double factor = rule.factor();
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        size_t exceptions = 0;
        for (size_t j = 0; j < sample.size; ++j) {
            if (smallest[j] > e) {
                ++exceptions;
                continue;
            }
            lo = std::min(lo, sample.values[j] * factor);
            hi = std::max(hi, sample.values[j] * factor);
        }
        const double bits =
            widthEstimate(lo, hi) + kExceptionBits * static_cast<double>(exceptions) / static_cast<double>(sample.size);
        if (bits < best.bits)
            best = {rule, bits, exceptions};
    }
}

void considerSeconds(const Sample &sample, Choice &best)
{
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    size_t exceptions = 0;
    for (size_t j = 0; j < sample.size; ++j) {
        int64_t n = 0;
        if (!secondsOf(sample.values[j], n)) {
            ++exceptions;
            continue;
        }
        lo = std::min(lo, static_cast<double>(n));
        hi = std::max(hi, static_cast<double>(n));
    }
    if (exceptions == sample.size)
        return;
    // Sample times rise steadily, which delta coding packs to nearly nothing.
    const double bits = std::min(widthEstimate(lo, hi), 8.0) +
                        kExceptionBits * static_cast<double>(exceptions) / static_cast<double>(sample.size);
    if (bits < best.bits)
        best = {{BlockKind::Seconds, 0, 0}, bits, exceptions};
}

// The rule of the block before, when it still fits every sampled value and no
// smaller exponent would.
bool hintHolds(const Sample &sample, const Rule &hint)
{
    if (hint.kind == BlockKind::Seconds) {
        int64_t n = 0;
        for (size_t j = 0; j < sample.size; ++j)
            if (!secondsOf(sample.values[j], n))
                return false;
        return true;
    }
    if (hint.kind != BlockKind::Decimal)
        return false;
    const double factor = hint.factor();
    for (size_t j = 0; j < sample.size; ++j)
        if (!fitsDecimal(sample.values[j], hint, factor))
            return false;
    if (hint.exponent == kMinExponent)
        return true;
    const Rule smaller{BlockKind::Decimal, hint.exponent - 1, hint.scale};
    const double smallerFactor = smaller.factor();
    for (size_t j = 0; j < sample.size; ++j)
        if (!fitsDecimal(sample.values[j], smaller, smallerFactor))
            return true;
    return false;
}

// The integers of the values under the rule, and the positions of the values the
// rule does not give back exactly (their integers are placeholders).
template <bool Multiply, bool Scaled>
[[gnu::always_inline]] inline size_t mapDecimalWith(const double *values, size_t count, const Rule &rule, int64_t *ints,
                                                    uint16_t *exceptions)
{
    const double factor = rule.factor();
    const double power = kPowersOfTen[std::abs(rule.exponent)];
    const double scale = rule.scaleValue();
    // Written so that it runs on vector registers: equal doubles of equal sign
    // are the same double (NaN is equal to nothing), and the verdict is a double.
    double fits[kBlockValues];
    for (size_t i = 0; i < count; ++i) {
        const double v = values[i];
        const double x = v * factor;
        const double sum = x + kRoundingMagic;
        const double r = sum - kRoundingMagic;
        double d = Multiply ? r * power : r / power;
        if constexpr (Scaled)
            d *= scale;
        ints[i] = static_cast<int64_t>(bitsOf(sum) - bitsOf(kRoundingMagic));
        fits[i] =
            ((std::fabs(x) < kIntegerLimit) & (d == v) & (std::copysign(1.0, d) == std::copysign(1.0, v))) ? 1.0 : 0.0;
    }
    size_t n = 0;
    for (size_t i = 0; i < count; ++i) {
        exceptions[n] = static_cast<uint16_t>(i);
        n += fits[i] == 0;
    }
    return n;
}

size_t mapSeconds(const double *values, size_t count, int64_t *ints, uint16_t *exceptions)
{
    size_t n = 0;
    for (size_t i = 0; i < count; ++i)
        if (!secondsOf(values[i], ints[i]))
            exceptions[n++] = static_cast<uint16_t>(i);
    return n;
}

KAVRA_VECTOR_CLONES
size_t mapDecimal(const double *values, size_t count, const Rule &rule, int64_t *ints, uint16_t *exceptions)
{
    const bool multiply = rule.exponent < 0, scaled = rule.scale != 0;
    if (multiply)
        return scaled ? mapDecimalWith<true, true>(values, count, rule, ints, exceptions)
                      : mapDecimalWith<true, false>(values, count, rule, ints, exceptions);
    return scaled ? mapDecimalWith<false, true>(values, count, rule, ints, exceptions)
                  : mapDecimalWith<false, false>(values, count, rule, ints, exceptions);
}

template <bool Multiply, bool Scaled>
[[gnu::always_inline]] inline void decimalValuesWith(const int64_t *ints, size_t count, int exponent, int scale,
                                                     double *out)
{
    const double power = kPowersOfTen[std::abs(exponent)];
    const double m = kScales[scale];
    for (size_t i = 0; i < count; ++i) {
        const double r = integerValue(ints[i]);
        double d = Multiply ? r * power : r / power;
        if constexpr (Scaled)
            d *= m;
        out[i] = d;
    }
}

KAVRA_VECTOR_CLONES
void decimalValues(const int64_t *ints, size_t count, int exponent, int scale, double *out)
{
    const bool multiply = exponent < 0, scaled = scale != 0;
    if (multiply)
        scaled ? decimalValuesWith<true, true>(ints, count, exponent, scale, out)
               : decimalValuesWith<true, false>(ints, count, exponent, scale, out);
    else
        scaled ? decimalValuesWith<false, true>(ints, count, exponent, scale, out)
               : decimalValuesWith<false, false>(ints, count, exponent, scale, out);
}

// A field of f fraction digits reads as the double nearest to digits / 10^f; under
// the decimal rule of exponent e >= f its integer is n = digits * 10^(e - f), to
// which v * 10^e rounds exactly while below 2^50 (v and the product are each
// within half an ulp), and the rule gives back n / 10^e: the same quotient of
// exact numbers, rounded the same way, so v bit for bit. Only -0 and values too
// large need the full check.
constexpr double kPlainLimit = 0x1p50;
constexpr uint64_t kNegativeZero = uint64_t(1) << 63;
constexpr int kMostPlainDigits = 15;

// Whether v cannot be taken on trust under the plain rule: -0, or too large.
inline bool plainMisfit(double v, double x)
{
    return !(std::fabs(x) < kPlainLimit) | (bitsOf(v) == kNegativeZero);
}

// The misfits are counted as integers: a sum of doubles would have to be added
// in order, one value after another, and could not be done on vector registers.
KAVRA_VECTOR_CLONES
size_t mapPlain(const double *values, size_t count, int exponent, int64_t *ints, uint16_t *candidates)
{
    const double power = kPowersOfTen[exponent];
    uint64_t misfits = 0;
    for (size_t i = 0; i < count; ++i) {
        const double v = values[i];
        const double x = v * power;
        ints[i] = static_cast<int64_t>(bitsOf(x + kRoundingMagic) - bitsOf(kRoundingMagic));
        misfits |= static_cast<uint64_t>(plainMisfit(v, x));
    }
    if (misfits == 0)
        return 0;
    size_t n = 0;
    for (size_t i = 0; i < count; ++i) {
        candidates[n] = static_cast<uint16_t>(i);
        n += plainMisfit(values[i], values[i] * power);
    }
    return n;
}

}  // namespace

bool mapPlainDecimals(const double *values, size_t count, int mostDigits, Rule &rule, int64_t *ints,
                      uint16_t *exceptions, size_t &exceptionCount)
{
    if (mostDigits < 0 || mostDigits > kMostPlainDigits)
        return false;
    rule = {BlockKind::Decimal, mostDigits, 0};
    const size_t candidates = mapPlain(values, count, mostDigits, ints, exceptions);
    const double factor = rule.factor();
    size_t n = 0;
    for (size_t j = 0; j < candidates; ++j)
        if (!fitsDecimal(values[exceptions[j]], rule, factor))
            exceptions[n++] = exceptions[j];
    exceptionCount = n;
    return true;
}

// Evenly spread, each taken at a varying place within its stretch, so a pattern
// that repeats with the spacing cannot hide the values that need more digits.
Sample takeSample(const double *values, size_t count)
{
    Sample s;
    s.size = std::min(count, kSampleSize);
    const size_t stretch = count / s.size;
    for (size_t j = 0; j < s.size; ++j)
        s.values[j] = values[j * count / s.size + (j * 7919) % stretch];
    return s;
}

// Half the first sample and as many of the values that rule left as exceptions.
Sample resample(const Sample &first, const double *values, const uint16_t *exceptions, size_t exceptionCount)
{
    Sample s;
    for (size_t j = 0; j < first.size; j += 2)
        s.values[s.size++] = first.values[j];
    const size_t wanted = std::min(exceptionCount, kSampleSize - s.size);
    for (size_t j = 0; j < wanted; ++j)
        s.values[s.size++] = values[exceptions[j * exceptionCount / wanted]];
    return s;
}

Rule chooseRule(const Sample &sample, const Rule &hint)
{
    if (hintHolds(sample, hint))
        return hint;
    Choice best;
    best.exceptions = sample.size;  // until a rule is found
    considerDecimal(sample, 0, best);
    // The suffix scales only where plain decimals leave exceptions, and only
    // where some value is a decimal at all.
    if (best.exceptions > 0 && best.exceptions < sample.size)
        for (int scale = 1; scale < kScaleCount && best.exceptions > 0; ++scale)
            considerDecimal(sample, scale, best);
    if (best.exceptions > 0)
        considerSeconds(sample, best);
    if (!(best.bits < 64))
        return {};
    return best.rule;
}

size_t mapValues(const double *values, size_t count, const Rule &rule, int64_t *ints, uint16_t *exceptions)
{
    return rule.kind == BlockKind::Seconds ? mapSeconds(values, count, ints, exceptions)
                                           : mapDecimal(values, count, rule, ints, exceptions);
}

void ruleValues(const Rule &rule, const int64_t *ints, size_t count, double *out)
{
    if (rule.kind == BlockKind::Seconds)
        for (size_t i = 0; i < count; ++i)
            out[i] = secondsValue(ints[i]);
    else
        decimalValues(ints, count, rule.exponent, rule.scale, out);
}

}  // namespace kavra::codec
