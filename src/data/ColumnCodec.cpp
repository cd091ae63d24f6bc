#include "data/ColumnCodec.h"

#include "data/BitPacking.h"
#include "data/CodecRules.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>

namespace kavra::codec {
namespace {

// Block layout (little-endian):
//   Zero      [kind]
//   Constant  [kind] [the double]
//   Raw       [kind] [count doubles]
//   Decimal,  [kind | 0x80 when delta coded] [exponent, signed] [scale index] [bit width]
//   Seconds   [base: zigzag varint] ([first integer: zigzag varint] when delta coded)
//             [exception count: varint] [patch count: varint] [packed words]
//             [patches: 2-byte position, the packed value whole: varint]
//             [exceptions: 2-byte position, the double]
// The integers of a frame-of-reference block are base + packed value; of a delta
// coded block the first integer, then each the one before + base + packed value.
// A patch replaces the low bits the packed words hold for its position.

constexpr uint8_t kDeltaFlag = 0x80;
constexpr size_t kIntegerHeader = 4;  // kind, exponent, scale, width

uint64_t zigzag(int64_t v)
{
    return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63);
}
int64_t unzigzag(uint64_t v)
{
    return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
}

size_t varintBytes(uint64_t v)
{
    return std::max<size_t>(1, (static_cast<size_t>(std::bit_width(v)) + 6) / 7);
}
uint8_t *putVarint(uint8_t *p, uint64_t v)
{
    for (; v >= 0x80; v >>= 7)
        *p++ = static_cast<uint8_t>(v | 0x80);
    *p++ = static_cast<uint8_t>(v);
    return p;
}
const uint8_t *getVarint(const uint8_t *p, uint64_t &v)
{
    v = 0;
    for (unsigned shift = 0;; shift += 7) {
        const uint8_t byte = *p++;
        v |= static_cast<uint64_t>(byte & 0x7F) << shift;
        if (byte < 0x80)
            return p;
    }
}

// An exception's integer becomes its neighbour's, so it widens neither the frame
// nor the deltas.
void fillExceptions(int64_t *ints, size_t count, const uint16_t *exceptions, size_t n)
{
    size_t leading = 0;
    while (leading < n && exceptions[leading] == leading)
        ++leading;
    for (size_t j = leading; j < n; ++j)
        ints[exceptions[j]] = ints[exceptions[j] - 1];
    if (leading < count)
        std::fill_n(ints, leading, ints[leading]);
}

// How a block's integers are packed: the packed values are the integers less the
// base (frame of reference) or the steps between them less the base (delta), at
// a width that leaves the few values too wide for it as patches kept whole.
struct Frame {
    bool delta = false;
    int64_t base = 0;
    unsigned width = 0;
    size_t packedCount = 0;
    size_t patches = 0;
    size_t bytes = 0;  // packed words and patches
};

void packedValues(const int64_t *ints, size_t count, const Frame &frame, uint64_t *packed)
{
    if (frame.delta)
        for (size_t i = 1; i < count; ++i)
            packed[i - 1] = static_cast<uint64_t>(ints[i] - ints[i - 1] - frame.base);
    else
        for (size_t i = 0; i < count; ++i)
            packed[i] = static_cast<uint64_t>(ints[i] - frame.base);
}

size_t patchBytes(unsigned valueWidth)
{
    return 2 + std::max<size_t>(1, (valueWidth + 6) / 7);
}

// The packed value of position i under the frame.
uint64_t packedValue(const int64_t *ints, const int64_t *steps, size_t i, const Frame &frame)
{
    return static_cast<uint64_t>((frame.delta ? steps[i] : ints[i]) - frame.base);
}

// The width that packs the values in the fewest bytes, patches included, judged
// from every 8th value; widest is the width that needs no patch.
void estimateWidth(const int64_t *ints, const int64_t *steps, unsigned widest, Frame &frame)
{
    frame.width = widest;
    frame.bytes = bitpack::packedBytes(frame.packedCount, widest);
    // Narrow values gain little from patches; the estimate is for wide ones and
    // for bases that wrap values round (widest 64).
    if (widest < 10 || frame.packedCount < 64)
        return;
    // Four counts a width, taken in turn: most values have the same width, and
    // one count would wait on its own last increment each time.
    size_t histogram[4][65] = {};
    for (size_t i = 0, k = 0; i < frame.packedCount; i += 8, ++k)
        ++histogram[k & 3][bitpack::bitWidth(packedValue(ints, steps, i, frame))];
    size_t patchTotal = 0;
    for (unsigned w = widest; w-- > 0;) {
        const size_t wider = histogram[0][w + 1] + histogram[1][w + 1] + histogram[2][w + 1] + histogram[3][w + 1];
        patchTotal += wider * 8 * patchBytes(w + 1);
        const size_t bytes = bitpack::packedBytes(frame.packedCount, w) + patchTotal;
        if (bytes < frame.bytes) {
            frame.width = w;
            frame.bytes = bytes;
        }
    }
}

// The values too wide for width (and the bytes they take as patches): counted
// without a branch a value, since which values those are follows no pattern,
// and so on vector registers.
KAVRA_VECTOR_CLONES
size_t countPatches(const int64_t *from, size_t count, int64_t base, unsigned width, size_t &bytes)
{
    size_t patches = 0, total = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint64_t u = static_cast<uint64_t>(from[i] - base);
        const size_t wide = (u >> width) != 0;
        size_t b = 3;  // patchBytes: a position and a varint of 7 bits a byte
        for (unsigned k = 7; k < 64; k += 7)
            b += u >> k != 0;
        patches += wide;
        total += wide * b;
    }
    bytes = total;
    return patches;
}

// The exact size at the estimated width, or the plain width when that is smaller.
void settleWidth(const int64_t *ints, const int64_t *steps, unsigned widest, Frame &frame)
{
    frame.patches = 0;
    if (frame.width == widest)
        return;
    size_t patchTotal = 0;
    frame.patches = countPatches(frame.delta ? steps : ints, frame.packedCount, frame.base, frame.width, patchTotal);
    frame.bytes = bitpack::packedBytes(frame.packedCount, frame.width) + patchTotal;
    if (frame.bytes >= bitpack::packedBytes(frame.packedCount, widest)) {
        frame.width = widest;
        frame.patches = 0;
        frame.bytes = bitpack::packedBytes(frame.packedCount, widest);
    }
}

size_t headerBytes(const Frame &frame, const int64_t *ints, size_t exceptions)
{
    return kIntegerHeader + varintBytes(zigzag(frame.base)) + (frame.delta ? varintBytes(zigzag(ints[0])) : 0) +
           varintBytes(exceptions) + varintBytes(frame.patches);
}

// A base that leaves a few far outliers below it (to be patches) instead of
// widening every packed value: the least value not far below the bulk, the bulk
// judged from every 32nd value (the second least and second greatest of them).
bool robustBase(const int64_t *v, size_t count, int64_t least, int64_t &base)
{
    if (count < 4 * 32)
        return false;
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max(), kMin = std::numeric_limits<int64_t>::min();
    int64_t least1 = kMax, least2 = kMax, most1 = kMin, most2 = kMin;
    for (size_t i = 0; i < count; i += 32) {
        const int64_t x = v[i];
        if (x < least1) {
            least2 = least1;
            least1 = x;
        } else if (x < least2) {
            least2 = x;
        }
        if (x > most1) {
            most2 = most1;
            most1 = x;
        } else if (x > most2) {
            most2 = x;
        }
    }
    const int64_t low = least2, spread = most2 - least2;
    if (low - least <= 2 * spread + 1)
        return false;
    base = low;
    for (size_t i = 0; i < count; ++i)
        if (v[i] >= low - spread)
            base = std::min(base, v[i]);
    return true;
}

// The least and greatest integer and step (steps[i] = ints[i + 1] - ints[i]), in
// one pass: four running extremes that do not wait on one another.
KAVRA_VECTOR_CLONES
void ranges(const int64_t *ints, size_t count, int64_t *steps, int64_t &lo, int64_t &hi, int64_t &dlo, int64_t &dhi)
{
    int64_t a = ints[0], b = ints[0];
    int64_t c = std::numeric_limits<int64_t>::max(), d = std::numeric_limits<int64_t>::min();
    for (size_t i = 1; i < count; ++i) {
        const int64_t x = ints[i], step = x - ints[i - 1];
        steps[i - 1] = step;
        a = std::min(a, x);
        b = std::max(b, x);
        c = std::min(c, step);
        d = std::max(d, step);
    }
    lo = a;
    hi = b;
    dlo = c;
    dhi = d;
}

// Chooses between frame of reference and delta coding, each at its best width.
// steps receives the differences of neighbouring integers.
Frame chooseFrame(const int64_t *ints, size_t count, size_t exceptions, BlockKind kind, int64_t *steps)
{
    int64_t lo, hi, dlo, dhi;
    ranges(ints, count, steps, lo, hi, dlo, dhi);
    struct Candidate {
        Frame frame;
        unsigned widest;
    };
    Candidate candidates[5];
    size_t n = 0;
    // A base above the least value wraps the values below it round to the top
    // of the range: those are always patches.
    const auto add = [&](bool delta, int64_t base, int64_t least, int64_t top) {
        const Frame frame{delta, base, 0, delta ? count - 1 : count, 0, 0};
        candidates[n++] = {frame, base == least ? bitpack::bitWidth(static_cast<uint64_t>(top - base)) : 64};
    };
    constexpr unsigned kOutlierWidth = 12;  // below it no outlier costs much
    int64_t base = 0;
    add(false, lo, lo, hi);
    if (candidates[0].widest >= kOutlierWidth && robustBase(ints, count, lo, base))
        add(false, base, lo, hi);
    if (count >= 2) {
        add(true, dlo, dlo, dhi);
        if (candidates[n - 1].widest >= kOutlierWidth && robustBase(steps, count - 1, dlo, base))
            add(true, base, dlo, dhi);
        // Sample times step by the same interval: that step as the base packs
        // to nothing, and gaps and steps back become patches.
        if (kind == BlockKind::Seconds && steps[0] != dlo)
            add(true, steps[0], dlo, dhi);
    }
    Candidate *best = nullptr;
    size_t bestBytes = ~size_t(0);
    for (Candidate &c : std::span(candidates, n)) {
        estimateWidth(ints, steps, c.widest, c.frame);
        const size_t bytes = headerBytes(c.frame, ints, exceptions) + c.frame.bytes;
        if (bytes < bestBytes) {
            best = &c;
            bestBytes = bytes;
        }
    }
    settleWidth(ints, steps, best->widest, best->frame);
    return best->frame;
}

size_t integerBlockBytes(const Frame &frame, const int64_t *ints, size_t exceptions)
{
    return headerBytes(frame, ints, exceptions) + frame.bytes + exceptions * 10;
}

void writeIntegerBlock(const Rule &rule, const Frame &frame, const double *values, const int64_t *ints, size_t count,
                       const uint16_t *exceptions, size_t exceptionCount, uint8_t *p)
{
    *p++ = static_cast<uint8_t>(static_cast<uint8_t>(rule.kind) | (frame.delta ? kDeltaFlag : 0));
    *p++ = static_cast<uint8_t>(static_cast<int8_t>(rule.exponent));
    *p++ = static_cast<uint8_t>(rule.scale);
    *p++ = static_cast<uint8_t>(frame.width);
    p = putVarint(p, zigzag(frame.base));
    if (frame.delta)
        p = putVarint(p, zigzag(ints[0]));
    p = putVarint(p, exceptionCount);
    p = putVarint(p, frame.patches);
    uint64_t packed[kBlockValues];
    packedValues(ints, count, frame, packed);
    uint8_t *patch = p + bitpack::packedBytes(frame.packedCount, frame.width);
    if (frame.patches > 0) {
        const uint64_t mask = (uint64_t(1) << frame.width) - 1;  // width < 64 where there are patches
        for (size_t i = 0; i < frame.packedCount; ++i) {
            if ((packed[i] & ~mask) == 0)
                continue;
            const auto position = static_cast<uint16_t>(i);
            std::memcpy(patch, &position, 2);
            patch = putVarint(patch + 2, packed[i]);
            packed[i] &= mask;
        }
    }
    bitpack::pack(packed, frame.packedCount, frame.width, p);
    p = patch;
    for (size_t j = 0; j < exceptionCount; ++j) {
        std::memcpy(p, &exceptions[j], 2);
        std::memcpy(p + 2, &values[exceptions[j]], 8);
        p += 10;
    }
}

uint8_t *grow(std::vector<uint8_t> &out, size_t bytes)
{
    const size_t at = out.size();
    out.resize(at + bytes);
    return out.data() + at;
}

void writeRaw(const double *values, size_t count, std::vector<uint8_t> &out)
{
    uint8_t *p = grow(out, 1 + count * 8);
    *p = static_cast<uint8_t>(BlockKind::Raw);
    std::memcpy(p + 1, values, count * 8);
}

size_t decodeIntegerBlock(const uint8_t *block, size_t count, double *out)
{
    const uint8_t *p = block;
    const auto kind = static_cast<BlockKind>(p[0] & ~kDeltaFlag);
    const bool delta = (p[0] & kDeltaFlag) != 0;
    const int exponent = static_cast<int8_t>(p[1]);
    const int scale = p[2];
    const unsigned width = p[3];
    p += kIntegerHeader;
    uint64_t value = 0;
    p = getVarint(p, value);
    const int64_t base = unzigzag(value);
    int64_t first = 0;
    if (delta) {
        p = getVarint(p, value);
        first = unzigzag(value);
    }
    uint64_t exceptions = 0, patches = 0;
    p = getVarint(p, exceptions);
    p = getVarint(p, patches);
    uint64_t packed[kBlockValues];
    int64_t ints[kBlockValues];
    const size_t packedCount = delta ? count - 1 : count;
    bitpack::unpack(p, packedCount, width, packed);
    p += bitpack::packedBytes(packedCount, width);
    for (uint64_t j = 0; j < patches; ++j) {
        uint16_t position;
        std::memcpy(&position, p, 2);
        p = getVarint(p + 2, packed[position]);
    }
    if (delta) {
        ints[0] = first;
        for (size_t i = 1; i < count; ++i)
            ints[i] = ints[i - 1] + base + static_cast<int64_t>(packed[i - 1]);
    } else {
        for (size_t i = 0; i < count; ++i)
            ints[i] = base + static_cast<int64_t>(packed[i]);
    }
    ruleValues(Rule{kind, exponent, scale}, ints, count, out);
    for (uint64_t j = 0; j < exceptions; ++j, p += 10) {
        uint16_t position;
        std::memcpy(&position, p, 2);
        std::memcpy(&out[position], p + 2, 8);
    }
    return static_cast<size_t>(p - block);
}

// Looked at a stretch at a time: most blocks differ within the first one.
KAVRA_VECTOR_CLONES
bool allSame(const double *values, size_t count, uint64_t first)
{
    constexpr size_t kStretch = 32;
    size_t i = 0;
    for (; i + kStretch <= count; i += kStretch) {
        uint64_t differ = 0;
        for (size_t j = 0; j < kStretch; ++j)
            differ |= bitsOf(values[i + j]) ^ first;
        if (differ != 0)
            return false;
    }
    uint64_t differ = 0;
    for (; i < count; ++i)
        differ |= bitsOf(values[i]) ^ first;
    return differ == 0;
}

// Writes a block of zeros or of one constant; false when the values differ.
bool writeSame(const double *values, size_t count, std::vector<uint8_t> &out)
{
    const uint64_t first = bitsOf(values[0]);
    if (!allSame(values, count, first))
        return false;
    if (first == 0) {
        out.push_back(static_cast<uint8_t>(BlockKind::Zero));
    } else {
        uint8_t *p = grow(out, 9);
        *p = static_cast<uint8_t>(BlockKind::Constant);
        std::memcpy(p + 1, &first, 8);
    }
    return true;
}

// A block held as integers under one rule, before it is written.
struct IntegerPlan {
    Rule rule;
    int64_t ints[kBlockValues];
    uint16_t exceptions[kBlockValues];
    size_t exceptionCount = 0;
    Frame frame;
    size_t bytes = 0;

    // False when the rule is no better than the raw doubles.
    bool make(const double *values, size_t count, const Rule &chosen)
    {
        rule = chosen;
        if (rule.kind == BlockKind::Raw)
            return false;
        exceptionCount = mapValues(values, count, rule, ints, exceptions);
        return settle(count);
    }
    // The same from the reader's count of fraction digits; false, with nothing
    // made, when it tells no rule.
    bool makePlain(const double *values, size_t count, int mostDigits)
    {
        return mapPlainDecimals(values, count, mostDigits, rule, ints, exceptions, exceptionCount);
    }
    // Frames the integers; false when the rule is no better than the raw doubles.
    bool settle(size_t count)
    {
        if (exceptionCount == count)
            return false;
        fillExceptions(ints, count, exceptions, exceptionCount);
        int64_t steps[kBlockValues];
        frame = chooseFrame(ints, count, exceptionCount, rule.kind, steps);
        bytes = integerBlockBytes(frame, ints, exceptionCount);
        return bytes < 1 + count * 8;
    }
    void write(const double *values, size_t count, std::vector<uint8_t> &out) const
    {
        writeIntegerBlock(rule, frame, values, ints, count, exceptions, exceptionCount, grow(out, bytes));
    }
};

// The rule searched from a sample of the values, the rule of the block before
// tried first.
void encodeSearched(const double *values, size_t count, std::vector<uint8_t> &out, EncoderHint &hint)
{
    const Sample sample = takeSample(values, count);
    const Rule hinted{static_cast<BlockKind>(hint.kind), hint.exponent, hint.scale};
    IntegerPlan plan;
    const IntegerPlan *chosen = &plan;
    if (!plan.make(values, count, chooseRule(sample, hinted))) {
        chosen = nullptr;
    } else if (plan.exceptionCount > count / 16 && plan.rule.kind == BlockKind::Decimal) {
        // Many exceptions: the sample may have missed what the block needs; a
        // rule chosen again with the exceptions in view is kept when it packs
        // smaller.
        const Rule again = chooseRule(resample(sample, values, plan.exceptions, plan.exceptionCount), {});
        IntegerPlan other;
        if (!(again == plan.rule) && other.make(values, count, again) && other.bytes < plan.bytes) {
            hint = {static_cast<uint8_t>(again.kind), static_cast<int8_t>(again.exponent),
                    static_cast<uint8_t>(again.scale)};
            return other.write(values, count, out);
        }
    }
    if (!chosen) {
        hint = {};
        return writeRaw(values, count, out);
    }
    hint = {static_cast<uint8_t>(plan.rule.kind), static_cast<int8_t>(plan.rule.exponent),
            static_cast<uint8_t>(plan.rule.scale)};
    plan.write(values, count, out);
}

}  // namespace

void encodeBlock(const double *values, size_t count, std::vector<uint8_t> &out)
{
    EncoderHint none;
    encodeBlock(values, count, out, none);
}

void encodeBlock(const double *values, size_t count, std::vector<uint8_t> &out, EncoderHint &hint)
{
    encodeBlock(values, count, kDigitsUnknown, out, hint);
}

void encodeBlock(const double *values, size_t count, int mostDigits, std::vector<uint8_t> &out, EncoderHint &hint)
{
    assert(count >= 1 && count <= kBlockValues);
    if (writeSame(values, count, out))
        return;
    IntegerPlan plan;
    if (!plan.makePlain(values, count, mostDigits))
        return encodeSearched(values, count, out, hint);
    if (!plan.settle(count)) {
        hint = {};
        return writeRaw(values, count, out);
    }
    hint = {static_cast<uint8_t>(plan.rule.kind), static_cast<int8_t>(plan.rule.exponent),
            static_cast<uint8_t>(plan.rule.scale)};
    plan.write(values, count, out);
}

size_t decodeBlock(const uint8_t *block, size_t count, double *out)
{
    switch (blockKind(block)) {
    case BlockKind::Zero: std::fill_n(out, count, 0.0); return 1;
    case BlockKind::Constant: {
        double v;
        std::memcpy(&v, block + 1, 8);
        std::fill_n(out, count, v);
        return 9;
    }
    case BlockKind::Raw: std::memcpy(out, block + 1, count * 8); return 1 + count * 8;
    case BlockKind::Decimal:
    case BlockKind::Seconds: return decodeIntegerBlock(block, count, out);
    }
    return 0;
}

BlockKind blockKind(const uint8_t *block)
{
    return static_cast<BlockKind>(block[0] & ~kDeltaFlag);
}

}  // namespace kavra::codec
