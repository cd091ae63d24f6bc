#pragma once
// One column of values (one item of one file, or a file's sample times) held
// compressed, losslessly, in blocks of at most kBlockRows values (ColumnCodec).
//
// A column is written by appending runs of values and read by decoding it whole
// or a range of its rows. Every append ends its last block, so a run's blocks
// never reach into the next run's rows, and appending a whole column moves its
// blocks as they are. That is how the loader's data pass fills the table: each
// reader encodes its chunk's rows onto the chunk's own column, 1024 rows at a
// time, and the table's column is then the chunks' columns appended in file
// order (append(CompressedColumn &&): a copy of compressed bytes, no decoding).
// Blocks may thus hold fewer than kBlockRows rows anywhere in a column.
//
// PerfData holds one per (column, file) and the cache of decoded columns.
// Decoding is const and touches nothing shared, so several threads may decode
// one column at the same time.

#include "data/ColumnCodec.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kavra {

class CompressedColumn {
public:
    static constexpr size_t kBlockRows = codec::kBlockValues;

    // Appends count values as blocks of kBlockRows, the last one shorter when
    // count is not a multiple of it.
    void append(const double *values, size_t count);
    // The same for values the reader parsed, with the most fraction digits of any
    // of them (codec::encodeBlock), which spares the encoder its search.
    void append(const double *values, size_t count, int mostDigits);
    // Appends count zeros (a byte a block).
    void appendZeros(size_t count);
    // Appends other's rows after this column's (its blocks, without decoding;
    // the second takes other's buffers over without copying them).
    void append(const CompressedColumn &other);
    void append(CompressedColumn &&other);

    size_t rows() const { return blockEnds_.empty() ? 0 : blockEnds_.back(); }
    size_t blocks() const { return blockEnds_.size(); }
    // The memory the column holds: its blocks and their index.
    size_t byteSize() const;
    // The bytes of its blocks alone, spare room left out.
    size_t encodedBytes() const;

    // Writes all rows() values to out.
    void decode(double *out) const;
    // Writes the values of rows first .. first + count - 1 (0-based, within rows()) to out.
    void decode(size_t first, size_t count, double *out) const;
    std::vector<double> values() const;
    // The value of row i (0-based, within rows()): decodes its block alone.
    double value(size_t i) const;

    // Takes the rows from the start of the block that holds row first on off the
    // column, appending their values to out: how a column's last block is opened
    // again to append rows to it. Returns the row those values start at.
    size_t takeFrom(size_t first, std::vector<double> &out);

    void clear();
    // Makes room for about bytes more of blocks, and blocks more blocks, in one
    // go: no copy of the blocks as they grow, no fresh pages touched twice.
    void reserve(size_t bytes, size_t blocks);
    // Gives back the spare capacity that appending left.
    void shrinkToFit();
    // The same where the spare is more than an eighth of what is used; less is
    // not worth the copy.
    void trimSpare();

private:
    // A block's place: its segment in the high bits, its offset there in the low.
    static constexpr int kSegmentShift = 44;
    static constexpr uint64_t kOffsetMask = (uint64_t(1) << kSegmentShift) - 1;
    static uint64_t place(size_t segment, size_t offset) { return (uint64_t(segment) << kSegmentShift) | offset; }
    size_t blockStart(size_t block) const { return block == 0 ? 0 : blockEnds_[block - 1]; }
    const uint8_t *blockData(size_t block) const
    {
        const uint64_t at = blockOffsets_[block];
        return segments_[size_t(at >> kSegmentShift)].data() + (at & kOffsetMask);
    }
    std::vector<uint8_t> &lastSegment();

    // The blocks' bytes, in one buffer per column joined in (append(CompressedColumn &&)).
    std::vector<std::vector<uint8_t>> segments_;
    std::vector<uint64_t> blockOffsets_;  // where each block starts (place())
    std::vector<uint32_t> blockEnds_;     // the rows up to the end of each block
    codec::EncoderHint hint_;             // what the last block appended found
};

}  // namespace kavra
