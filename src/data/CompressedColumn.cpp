#include "data/CompressedColumn.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace kavra {

std::vector<uint8_t> &CompressedColumn::lastSegment()
{
    if (segments_.empty())
        segments_.emplace_back();
    return segments_.back();
}

void CompressedColumn::append(const double *values, size_t count)
{
    append(values, count, codec::kDigitsUnknown);
}

void CompressedColumn::append(const double *values, size_t count, int mostDigits)
{
    size_t end = rows();
    for (size_t done = 0; done < count;) {
        const size_t n = std::min(kBlockRows, count - done);
        std::vector<uint8_t> &bytes = lastSegment();
        blockOffsets_.push_back(place(segments_.size() - 1, bytes.size()));
        codec::encodeBlock(values + done, n, mostDigits, bytes, hint_);
        done += n;
        end += n;
        blockEnds_.push_back(static_cast<uint32_t>(end));
    }
}

void CompressedColumn::append(const CompressedColumn &other)
{
    const uint32_t rowShift = static_cast<uint32_t>(rows());
    std::vector<uint8_t> &bytes = lastSegment();
    const size_t segment = segments_.size() - 1;
    for (size_t b = 0; b < other.blocks(); ++b) {
        const uint8_t *block = other.blockData(b);
        const size_t size = b + 1 < other.blocks() && (other.blockOffsets_[b + 1] >> kSegmentShift) ==
                                                          (other.blockOffsets_[b] >> kSegmentShift)
                                ? size_t(other.blockData(b + 1) - block)
                                : size_t(other.segments_[other.blockOffsets_[b] >> kSegmentShift].data() +
                                         other.segments_[other.blockOffsets_[b] >> kSegmentShift].size() - block);
        blockOffsets_.push_back(place(segment, bytes.size()));
        bytes.insert(bytes.end(), block, block + size);
    }
    for (uint32_t end : other.blockEnds_)
        blockEnds_.push_back(end + rowShift);
    if (!other.blockEnds_.empty())
        hint_ = other.hint_;
}

void CompressedColumn::append(CompressedColumn &&other)
{
    if (blockEnds_.empty()) {
        *this = std::move(other);
    } else {
        // Other's buffers join this column's as they are: nothing is copied, so
        // joining the chunks of a load holds no column twice.
        const size_t segmentShift = segments_.size();
        const uint32_t rowShift = static_cast<uint32_t>(rows());
        for (std::vector<uint8_t> &segment : other.segments_)
            segments_.push_back(std::move(segment));
        for (uint64_t offset : other.blockOffsets_)
            blockOffsets_.push_back(offset + (uint64_t(segmentShift) << kSegmentShift));
        for (uint32_t end : other.blockEnds_)
            blockEnds_.push_back(end + rowShift);
        if (!other.blockEnds_.empty())
            hint_ = other.hint_;
    }
    other = CompressedColumn();  // its memory goes now, not when it is destroyed
}

size_t CompressedColumn::byteSize() const
{
    // The first buffer is the column's own, as a plain vector member would be;
    // each further one joined in costs its header.
    size_t bytes = (segments_.capacity() > 0 ? segments_.capacity() - 1 : 0) * sizeof(std::vector<uint8_t>);
    for (const std::vector<uint8_t> &segment : segments_)
        bytes += segment.capacity();
    return bytes + blockOffsets_.capacity() * sizeof(uint64_t) + blockEnds_.capacity() * sizeof(uint32_t);
}

size_t CompressedColumn::encodedBytes() const
{
    size_t bytes = 0;
    for (const std::vector<uint8_t> &segment : segments_)
        bytes += segment.size();
    return bytes;
}

void CompressedColumn::decode(double *out) const
{
    for (size_t b = 0; b < blocks(); ++b)
        codec::decodeBlock(blockData(b), blockEnds_[b] - blockStart(b), out + blockStart(b));
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
        const uint8_t *block = blockData(b);
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
    codec::decodeBlock(blockData(b), blockEnds_[b] - blockStart(b), scratch);
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
    const size_t segment = size_t(blockOffsets_[b] >> kSegmentShift);
    segments_.resize(segment + 1);
    segments_.back().resize(size_t(blockOffsets_[b] & kOffsetMask));
    blockOffsets_.resize(b);
    blockEnds_.resize(b);
    return start;
}

void CompressedColumn::clear()
{
    hint_ = {};
    segments_.clear();
    blockOffsets_.clear();
    blockEnds_.clear();
}

void CompressedColumn::reserve(size_t bytes, size_t blocks)
{
    std::vector<uint8_t> &segment = lastSegment();
    segment.reserve(segment.size() + bytes);
    blockOffsets_.reserve(blockOffsets_.size() + blocks);
    blockEnds_.reserve(blockEnds_.size() + blocks);
}

void CompressedColumn::trimSpare()
{
    const auto trim = [](auto &v) {
        if (v.capacity() - v.size() > v.size() / 8)
            v.shrink_to_fit();
    };
    for (std::vector<uint8_t> &segment : segments_)
        trim(segment);
    trim(blockOffsets_);
    trim(blockEnds_);
}

void CompressedColumn::shrinkToFit()
{
    for (std::vector<uint8_t> &segment : segments_)
        segment.shrink_to_fit();
    segments_.shrink_to_fit();
    blockOffsets_.shrink_to_fit();
    blockEnds_.shrink_to_fit();
}

}  // namespace kavra
