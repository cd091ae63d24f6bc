#include "data/BitPacking.h"

#include <array>
#include <bit>
#include <cstring>
#include <utility>

namespace kavra::bitpack {
namespace {

uint64_t load(const uint8_t *p)
{
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;  // the format is little-endian, as the machines Kavra runs on
}

void store(uint8_t *p, uint64_t word)
{
    std::memcpy(p, &word, 8);
}

// Sixty-four values fill exactly W words: unrolled, every shift is a constant.
template <unsigned W> void packGroup(const uint64_t *values, uint8_t *out)
{
    uint64_t words[W] = {};
#pragma GCC unroll 64
    for (unsigned j = 0; j < 64; ++j) {
        const unsigned bit = j * W, shift = bit & 63;
        words[bit >> 6] |= values[j] << shift;
        if (shift + W > 64)
            words[(bit >> 6) + 1] |= values[j] >> (64 - shift);
    }
    std::memcpy(out, words, sizeof words);
}

template <unsigned W> void packWidth(const uint64_t *values, size_t count, uint8_t *out)
{
    size_t i = 0;
    for (; i + 64 <= count; i += 64, out += W * 8)
        packGroup<W>(values + i, out);
    uint64_t word = 0;
    unsigned used = 0;
    for (; i < count; ++i) {
        const uint64_t v = values[i];
        word |= v << used;
        used += W;
        if (used >= 64) {
            store(out, word);
            out += 8;
            used -= 64;
            word = used != 0 ? v >> (W - used) : 0;
        }
    }
    if (used != 0)
        store(out, word);
}

// Value i of a run of width W whose first value starts at bit 0 of words.
template <unsigned W> uint64_t valueAt(const uint8_t *words, size_t i)
{
    constexpr uint64_t kMask = W == 64 ? ~uint64_t(0) : (uint64_t(1) << W) - 1;
    const size_t bit = i * W;
    const unsigned shift = bit & 63;
    uint64_t v = load(words + (bit >> 6) * 8) >> shift;
    if (shift + W > 64)
        v |= load(words + (bit >> 6) * 8 + 8) << (64 - shift);
    return v & kMask;
}

template <unsigned W> void unpackWidth(const uint8_t *in, size_t count, uint64_t *out)
{
    // Sixty-four values fill exactly W words: unrolled, every shift is a constant.
    size_t i = 0;
    for (; i + 64 <= count; i += 64, in += W * 8) {
#pragma GCC unroll 64
        for (size_t j = 0; j < 64; ++j)
            out[i + j] = valueAt<W>(in, j);
    }
    for (size_t j = 0; i < count; ++i, ++j)
        out[i] = valueAt<W>(in, j);
}

using PackFunction = void (*)(const uint64_t *, size_t, uint8_t *);
using UnpackFunction = void (*)(const uint8_t *, size_t, uint64_t *);

template <size_t... W> constexpr std::array<PackFunction, sizeof...(W)> packTable(std::index_sequence<W...>)
{
    return {&packWidth<static_cast<unsigned>(W + 1)>...};
}
template <size_t... W> constexpr std::array<UnpackFunction, sizeof...(W)> unpackTable(std::index_sequence<W...>)
{
    return {&unpackWidth<static_cast<unsigned>(W + 1)>...};
}

constexpr auto kPack = packTable(std::make_index_sequence<64>());
constexpr auto kUnpack = unpackTable(std::make_index_sequence<64>());

}  // namespace

void pack(const uint64_t *values, size_t count, unsigned width, uint8_t *out)
{
    if (width > 0 && count > 0)
        kPack[width - 1](values, count, out);
}

void unpack(const uint8_t *in, size_t count, unsigned width, uint64_t *out)
{
    if (width == 0)
        std::memset(out, 0, count * sizeof(uint64_t));
    else
        kUnpack[width - 1](in, count, out);
}

}  // namespace kavra::bitpack
