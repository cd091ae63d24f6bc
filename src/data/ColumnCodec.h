#pragma once
// The lossless coding of a run of values (at most kBlockValues of one column):
// every double comes back bit for bit, -0, infinities, NaN payloads and
// subnormals included.
//
// Values read from decimal text with a few digits are, in almost every block,
// integers n scaled by a power of ten and one of the reader's suffixes
// (v == n / 10^e * m, m = 1, 0.01, 1000 or 1e6, exactly as the reader computes
// them); sample times are whole seconds (v == day + second / 86400.0). Such a
// block is held as those integers, frame-of-reference or delta coded and packed
// at the bit width the block needs; the few values that do not fit the block's
// rule are kept whole beside them. A block of zeros takes one byte, a constant
// block nine, and a block no rule fits its raw doubles plus one byte.
//
// Blocks are self-contained, so a column is the concatenation of its blocks in
// any cut (see CompressedColumn).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kavra::codec {

inline constexpr size_t kBlockValues = 1024;

enum class BlockKind : uint8_t {
    Zero,      // every value +0.0
    Constant,  // every value the same double
    Raw,       // the doubles as they are
    Decimal,   // n / 10^e * m, plus exceptions
    Seconds,   // whole seconds of a date value, plus exceptions
};

// What encoding a block learns for the next block of the same column: the rule
// it found, which is tried first there (a column keeps its digits from block to
// block). Only a speed-up: every block is checked value by value all the same.
struct EncoderHint {
    uint8_t kind = static_cast<uint8_t>(BlockKind::Raw);  // no rule yet
    int8_t exponent = 0;
    uint8_t scale = 0;
};

// Appends the block of values[0 .. count) (1 to kBlockValues values) to out.
void encodeBlock(const double *values, size_t count, std::vector<uint8_t> &out);
void encodeBlock(const double *values, size_t count, std::vector<uint8_t> &out, EncoderHint &hint);

// What the reader knows of the values it parsed: when each is the double nearest
// to a field's digits (one integer of at most 15 digits, signed) / 10^f, the most
// fraction digits f of any of them; kDigitsUnknown when some value took another
// route. With that the block's decimal rule is known without a search, and its
// integers without checking them (but for -0 and the very large); a count below
// the truth would give wrong values back, so only the reader's own may be given.
inline constexpr int8_t kDigitsUnknown = 127;
void encodeBlock(const double *values, size_t count, int mostDigits, std::vector<uint8_t> &out, EncoderHint &hint);

// Decodes a block of count values that starts at block; returns its size in bytes.
size_t decodeBlock(const uint8_t *block, size_t count, double *out);

BlockKind blockKind(const uint8_t *block);

}  // namespace kavra::codec
