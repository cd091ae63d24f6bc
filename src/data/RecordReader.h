#pragma once
// Cutting a file's bytes into records.

#include <string_view>

namespace kavra {

// How much of the file the terminator is looked for in, and the longest record a
// file ended by carriage return alone or line feed alone may hold.
constexpr size_t kRecordChunk = 131072;

// The file's record terminator: "\r\n", "\r" or "\n", whichever comes first in the
// first 131072 characters (occurrences from position 99999 on are not looked for);
// empty when there is none.
std::string_view detectTerminator(std::string_view head);

// Hands out the records of a file held in memory, keeping count of the bytes not
// yet read the way the format's end-of-data rule needs them.
class RecordReader {
public:
    // Reads from start on, a record's first byte, as if the records before it had
    // been read.
    RecordReader(std::string_view content, std::string_view terminator, size_t start = 0);

    // The next record without its terminator; empty at the end of the file.
    std::string_view next();
    // Whether reading should go on: more bytes left than a terminator's length.
    bool more() const { return remaining_ > static_cast<long long>(terminator_.size()); }
    bool atEnd() const { return position_ >= content_.size(); }
    // Where the next record starts.
    size_t position() const { return position_; }
    // A record longer than a chunk in a file not ended by CR LF: the format cannot
    // hold it, and the loader stops with an error.
    bool overlong() const { return overlong_; }

private:
    std::string_view content_;
    std::string_view terminator_;
    size_t position_ = 0;
    long long remaining_ = 0;
    bool overlong_ = false;
};

// End of data: a record whose first 14 characters are "Column Average" or whose
// first character is NUL.
bool isEndOfData(std::string_view record);

}  // namespace kavra
