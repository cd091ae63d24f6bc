#pragma once
// One column of values (one item of one file, or a file's sample times) held
// compressed, losslessly, in blocks of at most kBlockRows values (ColumnCodec).
//
// A column is written by appending runs of values and read by decoding it whole
// or a range of its rows. Every append ends its last block, so a run's blocks
// never reach into the next run's rows, and appending a whole column moves its
// blocks as they are. That is how the loader's parallel data pass is meant to
// fill the table:
//
//   each worker, for its chunk of records, parses rows into a column-major buffer
//   of kBlockRows rows and, when the buffer is full or the chunk ends, appends
//   each column's run to that chunk's own CompressedColumn for the column;
//   once every chunk is read, the table's column is the chunks' columns appended
//   in file order (append(CompressedColumn &&): a copy of compressed bytes, no
//   decoding), then shrinkToFit().
//
// The value table is then one CompressedColumn per (column, file) plus a small
// cache of decoded columns, shared by the commands that read values:
//
//   class PerfData {                          // proposed
//       const CompressedColumn &compressed(int column, int file) const;
//       // The column's rows() values, decoded once and kept while the cache
//       // holds it (the charted columns are pinned; others go least recently
//       // used first); a whole-table pass decodes column by column into one
//       // buffer instead (decode(first, count, out)).
//       std::shared_ptr<const std::vector<double>> decoded(int column, int file) const;
//       void setColumn(int column, int file, CompressedColumn values);  // derived items
//   };
//
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
    // Appends other's rows after this column's (its blocks, without decoding).
    void append(const CompressedColumn &other);
    void append(CompressedColumn &&other);

    size_t rows() const { return blockEnds_.empty() ? 0 : blockEnds_.back(); }
    size_t blocks() const { return blockEnds_.size(); }
    // The memory the column holds: its blocks and their index.
    size_t byteSize() const;

    // Writes all rows() values to out.
    void decode(double *out) const;
    // Writes the values of rows first .. first + count - 1 (0-based, within rows()) to out.
    void decode(size_t first, size_t count, double *out) const;
    std::vector<double> values() const;

    void clear();
    // Gives back the spare capacity that appending left.
    void shrinkToFit();

private:
    size_t blockStart(size_t block) const { return block == 0 ? 0 : blockEnds_[block - 1]; }

    std::vector<uint8_t> bytes_;
    std::vector<uint64_t> blockOffsets_;  // where each block starts in bytes_
    std::vector<uint32_t> blockEnds_;     // the rows up to the end of each block
    codec::EncoderHint hint_;             // what the last block appended found
};

}  // namespace kavra
