#pragma once
// Following loaded files while their collector is still writing them: the
// records appended since the last read are read by the loader's rules and go
// into the data set as new rows. No file is read from its start again: each
// follower keeps its offset, the bytes of a record whose terminator has not come
// yet, and how to tell the file is still the one loaded (device, inode, size,
// first bytes).

#include "data/FollowStart.h"
#include "data/LoadDiagnostic.h"
#include "data/RecordParser.h"

#include <chrono>
#include <sys/stat.h>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace kavra {

struct DataSet;

// A message box about one followed file: why it is no longer followed, or what
// was found in the records it gained.
struct FollowMessage {
    int file = 0;
    std::string message;
    std::string title;
};

class FileFollower {
public:
    explicit FileFollower(FollowStart start);
    ~FileFollower();
    FileFollower(const FileFollower &) = delete;
    FileFollower &operator=(const FileFollower &) = delete;

    int file() const { return start_.file; }
    bool following() const { return !stopped_; }
    // The stop, once the file changed in a way rows cannot follow; empty when
    // the data ended quietly (an end-of-data record) or following goes on.
    const FollowMessage &stop() const { return stop_; }
    // The column-count message for the first record with fewer fields than the
    // header, as loading gives it (once a file, and not if the load gave it);
    // taken once.
    std::optional<FollowMessage> takeNotice() { return std::exchange(notice_, std::nullopt); }

    // Reads at most maxBytes of what the file gained and parses the records that
    // are complete; true when more is waiting to be read.
    bool read(size_t maxBytes);

    // Rows parsed and not yet in the table, width values each.
    int width() const { return width_; }
    int pendingRows() const { return static_cast<int>(pending_.size() / static_cast<size_t>(width_)); }
    const double *pending() const { return pending_.data(); }
    int nextRow() const { return nextRow_; }
    // The first count pending rows are in the table now.
    void stored(int count);

private:
    void stopWith(std::string message, std::string title = "OpenFile");
    void stopUnreadable(const LoadDiagnostic &diagnostic);
    void noteShortRecord(int fields, std::string_view record);
    bool sameFile(const struct stat &now);
    void takeRecords();

    FollowStart start_;
    RecordLayout layout_;
    RecordParser parser_;
    int fd_ = -1;
    int width_ = 1;
    size_t readTo_ = 0;   // the file's bytes read so far end here
    size_t seenSize_ = 0; // its size at the last look
    long long seenTime_ = -1;
    std::string partial_;  // bytes after the last complete record
    std::vector<double> pending_;
    int nextRow_ = 1;  // the row the first pending row goes to
    bool stopped_ = false;
    FollowMessage stop_;
    std::optional<FollowMessage> notice_;
    bool shortRecordReported_ = false;
};

// The row range of one file that new values went into.
struct RowRange {
    int file = 0, first = 0, last = 0;
};

struct FollowStep {
    std::vector<RowRange> changed;  // every file's rows that got values, file 1 first
    std::vector<FollowMessage> stops;    // files no longer followed, each with its message
    std::vector<FollowMessage> notices;  // what was found in records that were read all the same
    bool more = false;              // bytes are waiting: step again soon
};

// Every loaded file followed together. Rows are matched by position: the
// first file's new rows extend the table, a later file's fill the rows up to
// Row_Count, and a later file that is ahead keeps its rows until the first
// file catches up.
class FollowSet {
public:
    using Clock = std::chrono::steady_clock;

    void add(const FollowStart &start);
    // Makes room in the table for the rows to come, before the first step.
    static void makeRoom(DataSet &data);
    void clear();
    bool empty() const { return followers_.empty(); }
    // The files still followed.
    int following() const;

    // Reads what the files gained, slice by slice, until everything is read or
    // the deadline has passed, and puts the rows into the data set.
    FollowStep step(DataSet &data, Clock::time_point deadline);

    // The bytes one follower reads at a time.
    static constexpr size_t kSliceBytes = size_t(256) << 10;

private:
    std::vector<std::unique_ptr<FileFollower>> followers_;
    std::vector<bool> stopReported_;
};

}  // namespace kavra
