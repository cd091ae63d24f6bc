#pragma once
// Unsigned integers of a fixed bit width packed one after another into 64-bit
// little-endian words: value i takes bits i * width to i * width + width - 1.
// The packed form is whole words, so reading it never runs past its end.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace kavra::bitpack {

// The bits the largest value needs: 0 for 0, 64 for values of 2^63 and above.
inline unsigned bitWidth(uint64_t largest)
{
    return static_cast<unsigned>(std::bit_width(largest));
}

// The bytes that count values of width bits (0 to 64) take.
inline size_t packedBytes(size_t count, unsigned width)
{
    return (count * width + 63) / 64 * 8;
}

// Writes packedBytes(count, width) bytes; every value must be below 2^width.
void pack(const uint64_t *values, size_t count, unsigned width, uint8_t *out);
// Reads count values of width bits from what pack wrote.
void unpack(const uint8_t *in, size_t count, unsigned width, uint64_t *out);

}  // namespace kavra::bitpack
