#include "data/CompressedColumn.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace kavra {

void CompressedColumn::append(const double *values, size_t count)
{
    size_t end = rows();
    for (size_t done = 0; done < count;) {
        const size_t n = std::min(kBlockRows, count - done);
        blockOffsets_.push_back(bytes_.size());
        codec::encodeBlock(values + done, n, bytes_, hint_);
        done += n;
        end += n;
        blockEnds_.push_back(static_cast<uint32_t>(end));
    }
}

void CompressedColumn::append(const CompressedColumn &other)
{
    const uint64_t byteShift = bytes_.size();
    const uint32_t rowShift = static_cast<uint32_t>(rows());
    bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
    for (uint64_t offset : other.blockOffsets_)
        blockOffsets_.push_back(offset + byteShift);
    for (uint32_t end : other.blockEnds_)
        blockEnds_.push_back(end + rowShift);
    if (!other.blockEnds_.empty())
        hint_ = other.hint_;
}

void CompressedColumn::append(CompressedColumn &&other)
{
    if (blockEnds_.empty())
        *this = std::move(other);
    else
        append(static_cast<const CompressedColumn &>(other));
    other = CompressedColumn();  // its memory goes now, not when it is destroyed
}

size_t CompressedColumn::byteSize() const
{
    return bytes_.capacity() + blockOffsets_.capacity() * sizeof(uint64_t) + blockEnds_.capacity() * sizeof(uint32_t);
}

void CompressedColumn::decode(double *out) const
{
    for (size_t b = 0; b < blocks(); ++b)
        codec::decodeBlock(bytes_.data() + blockOffsets_[b], blockEnds_[b] - blockStart(b), out + blockStart(b));
}

void CompressedColumn::decode(size_t first, size_t count, double *out) const
{
    assert(first + count <= rows());
    if (count == 0)
        return;
    // The first block that ends after row first.
    size_t b = static_cast<size_t>(std::upper_bound(blockEnds_.begin(), blockEnds_.end(), first) - blockEnds_.begin());
    double scratch[kBlockRows];
    for (const size_t end = first + count; first < end; ++b) {
        const size_t start = blockStart(b), size = blockEnds_[b] - start;
        const size_t from = first - start, n = std::min<size_t>(blockEnds_[b], end) - first;
        const uint8_t *block = bytes_.data() + blockOffsets_[b];
        if (from == 0 && n == size) {
            codec::decodeBlock(block, size, out);
        } else {
            codec::decodeBlock(block, size, scratch);
            std::memcpy(out, scratch + from, n * sizeof(double));
        }
        out += n;
        first += n;
    }
}

std::vector<double> CompressedColumn::values() const
{
    std::vector<double> v(rows());
    decode(v.data());
    return v;
}

void CompressedColumn::appendZeros(size_t count)
{
    static const double zeros[kBlockRows] = {};
    if (count < kBlockRows) {
        append(zeros, count);
        return;
    }
    CompressedColumn block;
    block.append(zeros, kBlockRows);
    for (; count >= kBlockRows; count -= kBlockRows)
        append(block);
    append(zeros, count);
}

double CompressedColumn::value(size_t i) const
{
    assert(i < rows());
    const size_t b = static_cast<size_t>(std::upper_bound(blockEnds_.begin(), blockEnds_.end(), i) - blockEnds_.begin());
    double scratch[kBlockRows];
    codec::decodeBlock(bytes_.data() + blockOffsets_[b], blockEnds_[b] - blockStart(b), scratch);
    return scratch[i - blockStart(b)];
}

size_t CompressedColumn::takeFrom(size_t first, std::vector<double> &out)
{
    if (first >= rows())
        return rows();
    const size_t b = static_cast<size_t>(std::upper_bound(blockEnds_.begin(), blockEnds_.end(), first) - blockEnds_.begin());
    const size_t start = blockStart(b), count = rows() - start;
    const size_t at = out.size();
    out.resize(at + count);
    decode(start, count, out.data() + at);
    bytes_.resize(blockOffsets_[b]);
    blockOffsets_.resize(b);
    blockEnds_.resize(b);
    return start;
}

void CompressedColumn::clear()
{
    hint_ = {};
    bytes_.clear();
    blockOffsets_.clear();
    blockEnds_.clear();
}

void CompressedColumn::shrinkToFit()
{
    bytes_.shrink_to_fit();
    blockOffsets_.shrink_to_fit();
    blockEnds_.shrink_to_fit();
}

}  // namespace kavra
