#pragma once
// Where a load left a file on disk: what following the file as it grows goes on
// from, and how to tell that it is still the same file.

#include <cstdint>
#include <string>
#include <vector>

namespace kavra {

struct FollowStart {
    std::string path;
    int file = 0;  // the file's number in the data set
    std::string terminator;
    size_t offset = 0;  // the first byte no row was read from
    int rows = 0;       // the file's rows in the table
    // The last row was read from a record without its terminator, which starts
    // at offset: it is read again, into the same row, once it is complete.
    bool lastRowOpen = false;
    bool ended = false;  // an end-of-data record ended the data: nothing more is read
    uint64_t device = 0, inode = 0;
    std::string head;  // the file's first bytes (up to 4 KiB), all read before offset
    // How its records are read, as the load read them.
    int columnCount = 0;
    std::string header;  // the header record (or the header lines joined), for the column-count message
    bool shortRecordReported = false;  // the load reported a record with fewer fields than the header
    std::vector<int32_t> columnMap;  // file column c - 1 -> table column, 0 when not stored
    std::string collectionDate;
    bool classicRules = false;
};

}  // namespace kavra
