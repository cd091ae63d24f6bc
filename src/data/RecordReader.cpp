#include "data/RecordReader.h"

#include <algorithm>

namespace kavra {

std::string_view detectTerminator(std::string_view head)
{
    head = head.substr(0, std::min(head.size(), kRecordChunk));
    constexpr size_t kLimit = 99999;  // 1-based position beyond which nothing is looked for
    size_t p = kLimit;
    const auto lower = [&](size_t found) {
        if (found != std::string_view::npos && found + 1 < p)
            p = found + 1;
    };
    lower(head.find("\r\n"));
    lower(head.find('\r'));
    lower(head.find('\n'));
    const size_t at = p - 1;
    if (at < head.size()) {
        if (head.substr(at, 2) == "\r\n")
            return "\r\n";
        if (head[at] == '\r')
            return "\r";
        if (head[at] == '\n')
            return "\n";
    }
    return {};
}

RecordReader::RecordReader(std::string_view content, std::string_view terminator, size_t start)
    : content_(content), terminator_(terminator), position_(std::min(start, content.size())),
      remaining_(static_cast<long long>(content.size() - position_))
{
}

std::string_view RecordReader::next()
{
    if (position_ >= content_.size()) {
        remaining_ -= static_cast<long long>(terminator_.size());
        return {};
    }
    const size_t end = terminator_.empty() ? std::string_view::npos : content_.find(terminator_, position_);
    const size_t stop = end == std::string_view::npos ? content_.size() : end;
    const std::string_view record = content_.substr(position_, stop - position_);
    position_ = end == std::string_view::npos ? content_.size() : end + terminator_.size();
    remaining_ -= static_cast<long long>(record.size() + terminator_.size());
    if (terminator_ != "\r\n" && record.size() > kRecordChunk)
        overlong_ = true;
    return record;
}

bool isEndOfData(std::string_view record)
{
    return (!record.empty() && record.front() == '\0') || record.substr(0, 14) == "Column Average";
}

}  // namespace kavra
