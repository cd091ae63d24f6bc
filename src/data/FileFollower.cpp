#include "data/FileFollower.h"

#include "data/DataError.h"
#include "data/DataSet.h"
#include "data/LoadFailure.h"
#include "data/LoadMessages.h"
#include "data/RecordReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavra {
namespace {

constexpr const char *kFollowTitle = "Follow Growing Files";
// A record of a file ended by carriage return + line feed has no length limit;
// one this long without its terminator is not one a collector writes.
constexpr size_t kLongestOpenRecord = size_t(64) << 20;
// A later file far ahead of the first keeps this many rows at most; the rest
// waits in the file until the first file catches up.
constexpr int kMostPendingRows = 65536;

long long modifiedNs(const struct stat &s)
{
    return static_cast<long long>(s.st_mtim.tv_sec) * 1000000000LL + s.st_mtim.tv_nsec;
}

std::string notFollowed(const std::string &path, const std::string &what)
{
    return "The file " + path + " " + what + " - it is no longer followed. The rows loaded from it stay.";
}

}  // namespace

FileFollower::FileFollower(FollowStart start)
    : start_(std::move(start)), layout_{start_.columnCount, &start_.columnMap, start_.collectionDate, false,
                                        start_.classicRules},
      parser_(layout_)
{
    for (const int32_t column : start_.columnMap)
        width_ = std::max<int>(width_, column);
    readTo_ = start_.offset;
    shortRecordReported_ = start_.shortRecordReported;
    nextRow_ = start_.lastRowOpen ? start_.rows : start_.rows + 1;
    if (start_.ended) {
        stopped_ = true;  // "Column Average" ended the data: nothing after it is read
        return;
    }
    fd_ = ::open(start_.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat opened {};
    if (fd_ < 0 || ::fstat(fd_, &opened) != 0)
        stopWith(notFollowed(start_.path, "is gone"), kFollowTitle);
    else if (static_cast<uint64_t>(opened.st_ino) != start_.inode || static_cast<uint64_t>(opened.st_dev) != start_.device)
        stopWith(notFollowed(start_.path, "was replaced by another file"), kFollowTitle);
}

FileFollower::~FileFollower()
{
    if (fd_ >= 0)
        ::close(fd_);
}

// The loader's own message for a record it cannot read, and that the file is no
// longer followed.
void FileFollower::stopUnreadable(const LoadDiagnostic &diagnostic)
{
    const LoadMessage shown = loadMessage(diagnostic);
    stopWith(shown.text + "\r\n\r\n" + notFollowed(start_.path, "has a record that cannot be read"), shown.title);
}

void FileFollower::noteShortRecord(int fields, std::string_view record)
{
    shortRecordReported_ = true;
    const LoadMessage shown = loadMessage({.kind = LoadProblem::ColumnCountMismatch,
                                           .row = nextRow_ + pendingRows(),
                                           .field = std::string(record),
                                           .detail = start_.header,
                                           .count = fields});
    notice_ = FollowMessage{start_.file, shown.text, shown.title};
}

void FileFollower::stopWith(std::string message, std::string title)
{
    stopped_ = true;
    stop_ = {start_.file, std::move(message), std::move(title)};
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    partial_.clear();
}

// Still the file loaded: the same file at its path, no shorter than what was
// read, and its first bytes as they were.
bool FileFollower::sameFile(const struct stat &now)
{
    struct stat atPath {};
    if (::stat(start_.path.c_str(), &atPath) != 0) {
        stopWith(notFollowed(start_.path, errno == ENOENT ? "is gone" : "cannot be read (" + std::string(std::strerror(errno)) + ")"),
                 kFollowTitle);
        return false;
    }
    if (atPath.st_ino != now.st_ino || atPath.st_dev != now.st_dev) {
        stopWith(notFollowed(start_.path, "was replaced by another file"), kFollowTitle);
        return false;
    }
    if (static_cast<size_t>(now.st_size) < readTo_) {
        stopWith(notFollowed(start_.path, "became shorter"), kFollowTitle);
        return false;
    }
    if (static_cast<size_t>(now.st_size) == seenSize_ && modifiedNs(now) == seenTime_)
        return true;
    std::string head(start_.head.size(), '\0');
    const ssize_t got = head.empty() ? 0 : ::pread(fd_, head.data(), head.size(), 0);
    if (got != static_cast<ssize_t>(head.size()) || head != start_.head) {
        stopWith(notFollowed(start_.path, "was replaced by another file"), kFollowTitle);
        return false;
    }
    seenSize_ = static_cast<size_t>(now.st_size);
    seenTime_ = modifiedNs(now);
    return true;
}

bool FileFollower::read(size_t maxBytes)
{
    if (stopped_ || pendingRows() >= kMostPendingRows)
        return false;
    struct stat now {};
    if (::fstat(fd_, &now) != 0) {
        stopWith(notFollowed(start_.path, "cannot be read (" + std::string(std::strerror(errno)) + ")"), kFollowTitle);
        return false;
    }
    if (!sameFile(now) || static_cast<size_t>(now.st_size) == readTo_)
        return false;
    const size_t size = static_cast<size_t>(now.st_size);
    const size_t wanted = std::min(size - readTo_, maxBytes);
    const size_t had = partial_.size();
    partial_.resize(had + wanted);
    ssize_t got = 0;
    do
        got = ::pread(fd_, partial_.data() + had, wanted, static_cast<off_t>(readTo_));
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        stopWith(notFollowed(start_.path, "cannot be read (" + std::string(std::strerror(errno)) + ")"), kFollowTitle);
        return false;
    }
    partial_.resize(had + static_cast<size_t>(got));
    readTo_ += static_cast<size_t>(got);
    takeRecords();
    return !stopped_ && got > 0 && readTo_ < size;
}

// Parses every record whose terminator has come; a record still without one
// stays for the next read.
void FileFollower::takeRecords()
{
    const std::string_view bytes(partial_);
    const std::string_view terminator(start_.terminator);
    const bool crlf = terminator == "\r\n";
    std::vector<double> row(static_cast<size_t>(width_));
    std::vector<int8_t> mostDigits(row.size());  // not kept: the rows are encoded as their blocks fill
    size_t p = 0;
    for (size_t end = bytes.find(terminator); end != std::string_view::npos && !stopped_;
         end = bytes.find(terminator, p)) {
        const std::string_view record = bytes.substr(p, end - p);
        p = end + terminator.size();
        if (isEndOfData(record)) {
            stopped_ = true;  // the data ends here, as it does when the file is loaded
            break;
        }
        try {
            if (!crlf && record.size() > kRecordChunk)
                failOverlongRecord();
            std::fill(row.begin(), row.end(), 0.0);
            const int fields = parser_.read(record, row.data(), 1, mostDigits.data());
            if (fields < start_.columnCount && !shortRecordReported_ && !start_.classicRules)
                noteShortRecord(fields, record);
            pending_.insert(pending_.end(), row.begin(), row.end());
        } catch (const LoadFailure &failure) {
            stopUnreadable(failure.outcome.failure);
        } catch (const DataError &error) {
            stopUnreadable({.kind = LoadProblem::UnreadableField, .detail = error.what()});
        }
    }
    if (stopped_)
        return;
    partial_.erase(0, p);
    if (partial_.size() > (crlf ? kLongestOpenRecord : kRecordChunk)) {
        try {
            failOverlongRecord();
        } catch (const LoadFailure &failure) {
            stopUnreadable(failure.outcome.failure);
        }
    }
}

void FileFollower::stored(int count)
{
    count = std::clamp(count, 0, pendingRows());
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count) * width_);
    nextRow_ += count;
}

void FollowSet::add(const FollowStart &start)
{
    followers_.push_back(std::make_unique<FileFollower>(start));
    stopReported_.push_back(false);
}

void FollowSet::makeRoom(DataSet &data)
{
    // The times shown on the x axis are the one column held whole; the table's
    // columns take rows into their open blocks as they come.
    data.Xaxis_Values.reserve(size_t(data.Row_Count) + size_t(std::max(data.Row_Count / 4, 4096)));
}

void FollowSet::clear()
{
    followers_.clear();
    stopReported_.clear();
}

int FollowSet::following() const
{
    return static_cast<int>(std::count_if(followers_.begin(), followers_.end(),
                                          [](const auto &follower) { return follower->following(); }));
}

FollowStep FollowSet::step(DataSet &data, Clock::time_point deadline)
{
    FollowStep step;
    for (bool more = true; more;) {
        more = false;
        for (const auto &follower : followers_)
            more = follower->read(kSliceBytes) || more;
        if (more && Clock::now() >= deadline) {
            step.more = true;
            break;
        }
    }
    // The first file's rows first, so a later file's can fill the rows it added.
    std::vector<FileFollower *> inOrder;
    for (const auto &follower : followers_)
        inOrder.push_back(follower.get());
    std::stable_sort(inOrder.begin(), inOrder.end(), [](auto *a, auto *b) { return a->file() < b->file(); });
    for (FileFollower *follower : inOrder) {
        if (follower->pendingRows() == 0)
            continue;
        const int rowsBefore = data.Row_Count;
        const int first = follower->nextRow();
        const int stored = data.appendRows(follower->file(), first, follower->pending(), follower->pendingRows(),
                                           follower->width());
        if (stored == 0)
            continue;
        follower->stored(stored);
        step.changed.push_back({follower->file(), first, first + stored - 1});
        // The rows the first file added are rows of every file: zeros until theirs come.
        for (int file = 2; file <= data.Files_Open && data.Row_Count > rowsBefore; ++file)
            step.changed.push_back({file, rowsBefore + 1, data.Row_Count});
    }
    for (const auto &follower : followers_)
        if (std::optional<FollowMessage> notice = follower->takeNotice())
            step.notices.push_back(std::move(*notice));
    for (size_t i = 0; i < followers_.size(); ++i)
        if (!followers_[i]->following() && !followers_[i]->stop().message.empty() && !stopReported_[i]) {
            stopReported_[i] = true;
            step.stops.push_back(followers_[i]->stop());
        }
    return step;
}

}  // namespace kavra
