#include "data/PlainDecimal.h"

#include "data/Text.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define KAVRA_VECTOR_READER 1
#endif

namespace kavra::plaindecimal {
namespace {

using text::isDigit;

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr uint64_t kIntegerPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

uint64_t load8(const char *p)
{
    uint64_t chunk;
    std::memcpy(&chunk, p, 8);
    return chunk;  // little-endian: the first character is the lowest byte
}

// How many of the 8 characters in chunk, from the first, are digits (8 when all are).
int digitRun(uint64_t chunk)
{
    constexpr uint64_t kHigh = 0xF0F0F0F0F0F0F0F0ULL, kZeros = 0x3030303030303030ULL;
    const uint64_t notDigit = ((chunk & kHigh) ^ kZeros) | (((chunk + 0x0606060606060606ULL) & kHigh) ^ kZeros);
    return notDigit == 0 ? 8 : std::countr_zero(notDigit) / 8;
}

// The number written by the first n (1 to 7) digit characters of chunk.
uint64_t digitsValue(uint64_t chunk, int n)
{
    uint64_t x = (chunk - 0x3030303030303030ULL) & ((1ULL << (8 * n)) - 1);
    x <<= 8 * (8 - n);  // right-align as an eight-digit number with leading zeros
    x = x * 10 + (x >> 8);
    return (((x & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
            (((x >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
           32;
}

// The value of digits (at most 15, as one integer) with fraction of them after
// the point: exactly the double nearest to it, as both factors are exact.
size_t finish(uint64_t digits, int fraction, bool negative, double &value, int8_t &fractionDigits, size_t length)
{
    value = static_cast<double>(digits) / kPowersOfTen[fraction];
    if (negative)
        value = -value;
    fractionDigits = static_cast<int8_t>(fraction);
    return length;
}

#ifdef KAVRA_VECTOR_READER
// Byte shuffles: align[n] moves the first n bytes to the end (zeros before);
// closeGap[d] moves bytes 0 to d - 1 up by one, over a point at d.
struct Shuffles {
    alignas(16) uint8_t align[17][16] = {};
    alignas(16) uint8_t closeGap[16][16] = {};
    constexpr Shuffles()
    {
        for (int n = 0; n <= 16; ++n)
            for (int i = 0; i < 16; ++i)
                align[n][i] = i < 16 - n ? 0x80 : static_cast<uint8_t>(i - (16 - n));
        for (int d = 0; d < 16; ++d)
            for (int i = 0; i < 16; ++i)
                closeGap[d][i] = i == 0 ? 0x80 : static_cast<uint8_t>(i <= d ? i - 1 : i);
    }
};
constexpr Shuffles shuffles;

__m128i loadShuffle(const uint8_t *row)
{
    return _mm_load_si128(reinterpret_cast<const __m128i *>(row));
}

// Sixteen characters at a time: where the comma, the point and the digits are,
// as bit masks, and the digits' value by multiply-adds of neighbouring lanes.
// A field takes the same few vector steps whatever its digits, in a little over
// half the time digit runs measured in turn take.
__attribute__((target("ssse3"))) size_t readByVector(std::string_view text, double &value, int8_t &fractionDigits)
{
    if (text.size() < 16)
        return readByCharacter(text, value, fractionDigits);
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text.data()));
    const auto maskOf = [](__m128i lanes) { return static_cast<unsigned>(_mm_movemask_epi8(lanes)); };
    const auto length =
        static_cast<unsigned>(std::countr_zero(maskOf(_mm_cmpeq_epi8(chars, _mm_set1_epi8(','))) | 0x10000u));
    if (length == 16)
        return readByCharacter(text, value, fractionDigits);
    const unsigned field = (1u << length) - 1;
    const __m128i numbers = _mm_sub_epi8(chars, _mm_set1_epi8('0'));
    const unsigned digits = maskOf(_mm_cmpeq_epi8(_mm_min_epu8(numbers, _mm_set1_epi8(9)), numbers)) & field;
    const unsigned points = maskOf(_mm_cmpeq_epi8(chars, _mm_set1_epi8('.'))) & field;
    const unsigned negative = text[0] == '-';
    const auto point = static_cast<unsigned>(std::countr_zero(points | 0x10000u));
    // A digit after the sign, then digits and at most one point, with a digit after it.
    if ((digits | points) != (field & ~negative) || (digits >> negative & 1) == 0 || (points & (points - 1)) != 0 ||
        (points != 0 && point + 1 == length))
        return readByCharacter(text, value, fractionDigits);
    // The digits alone, right-aligned behind zeros, as sixteen numbers 0 to 9.
    __m128i lanes = _mm_andnot_si128(_mm_cvtsi32_si128(negative ? 0xFF : 0), numbers);
    lanes = _mm_shuffle_epi8(lanes, loadShuffle(shuffles.align[length]));
    if (points != 0)
        lanes = _mm_shuffle_epi8(lanes, loadShuffle(shuffles.closeGap[point + 16 - length]));
    const __m128i twos =
        _mm_maddubs_epi16(lanes, _mm_setr_epi8(10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1));
    const __m128i fours = _mm_madd_epi16(twos, _mm_setr_epi16(100, 1, 100, 1, 100, 1, 100, 1));
    const __m128i fourDigitPairs = _mm_packs_epi32(fours, fours);
    const __m128i eights = _mm_madd_epi16(fourDigitPairs, _mm_setr_epi16(10000, 1, 10000, 1, 10000, 1, 10000, 1));
    const auto high = static_cast<uint32_t>(_mm_cvtsi128_si32(eights));
    const auto low = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(eights, 4)));
    const int fraction = points != 0 ? static_cast<int>(length - point - 1) : 0;
    return finish(uint64_t(high) * 100000000 + low, fraction, negative != 0, value, fractionDigits, length);
}

bool vectorReaderRuns()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}
#endif

}  // namespace

size_t readByCharacter(std::string_view text, double &value, int8_t &fractionDigits)
{
    const char *p = text.data();
    const char *const end = p + text.size();
    const bool negative = p < end && *p == '-';
    p += negative;
    uint64_t digits = 0;
    const char *const integerStart = p;
    for (; p < end && isDigit(*p); ++p)
        digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    const long integerLength = p - integerStart;
    long fractionLength = 0;
    if (p < end && *p == '.') {
        const char *const fractionStart = ++p;
        for (; p < end && isDigit(*p); ++p)
            digits = digits * 10 + static_cast<uint64_t>(*p - '0');
        fractionLength = p - fractionStart;
        if (fractionLength == 0)
            return std::string_view::npos;
    }
    if (integerLength == 0 || integerLength + fractionLength > 15 || (p < end && *p != ','))
        return std::string_view::npos;
    return finish(digits, int(fractionLength), negative, value, fractionDigits, size_t(p - text.data()));
}

size_t readByWords(std::string_view text, double &value, int8_t &fractionDigits)
{
    // Digit runs are measured without a branch per character; that needs 18
    // characters in view (sign, 7 digits, point, 7 digits, comma), so fields
    // near the end of a record go character by character.
    if (text.size() < 18)
        return readByCharacter(text, value, fractionDigits);
    const char *p = text.data();
    const bool negative = *p == '-';
    p += negative;
    const uint64_t integerChunk = load8(p);
    const int integerLength = digitRun(integerChunk);
    if (integerLength == 0 || integerLength == 8)
        return readByCharacter(text, value, fractionDigits);
    uint64_t digits = digitsValue(integerChunk, integerLength);
    p += integerLength;
    int fractionLength = 0;
    if (*p == '.') {
        const uint64_t fractionChunk = load8(p + 1);
        fractionLength = digitRun(fractionChunk);
        if (fractionLength == 0 || fractionLength == 8)
            return readByCharacter(text, value, fractionDigits);
        digits = digits * kIntegerPowersOfTen[fractionLength] + digitsValue(fractionChunk, fractionLength);
        p += 1 + fractionLength;
    }
    if (*p != ',')
        return std::string_view::npos;
    return finish(digits, fractionLength, negative, value, fractionDigits, size_t(p - text.data()));
}

Reader fastestReader()
{
    return availableReaders().back();
}

std::vector<Reader> availableReaders()
{
    std::vector<Reader> readers{readByCharacter, readByWords};
#ifdef KAVRA_VECTOR_READER
    if (vectorReaderRuns())
        readers.push_back(readByVector);
#endif
    return readers;
}

}  // namespace kavra::plaindecimal
