#include "data/FileBytes.h"

#include "data/HugePages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <utility>
#include <unistd.h>
#include <vector>

namespace kavra {
namespace {

constexpr size_t kMinPiece = size_t(8) << 20;  // smaller files are read by one call
constexpr size_t kFirstStretch = size_t(64) << 10;  // presentThrough's first read; each next one doubles

size_t pageSize()
{
    static const size_t size = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

// Reads bytes [offset, offset + size) into target; returns how many it got (fewer
// when the file ends first) and sets error on a failure.
size_t readPiece(int fd, char *target, size_t offset, size_t size, int &error)
{
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, target + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = errno;
            break;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    return got;
}

}  // namespace

FileBytes::~FileBytes()
{
    drop();
    if (fd_ >= 0)
        ::close(fd_);
}

void FileBytes::drop()
{
    data_.reset();
    if (map_)
        ::munmap(map_, size_);
    map_ = nullptr;
    size_ = headEnd_ = tailBegin_ = 0;
}

std::string FileBytes::open(const std::string &path)
{
    drop();
    cutShort_ = false;
    if (fd_ >= 0)
        ::close(fd_);
    // Not blocking: opening a FIFO would otherwise wait for a writer.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        return std::strerror(errno);
    if (::fstat(fd_, &opened_) != 0)
        return std::strerror(errno);
    if (S_ISDIR(opened_.st_mode))
        return "Path is a folder, not a file";
    if (!S_ISREG(opened_.st_mode))
        return "Not a regular file";
    return {};
}

std::string FileBytes::read(size_t limit, int threads)
{
    drop();
    const size_t size = std::min(static_cast<size_t>(opened_.st_size), limit);
    data_.reset(new (std::nothrow) char[size > 0 ? size : 1]);  // no zeroing: every byte is read over
    if (!data_)
        return "Out of memory";
    adviseHugePages(data_.get(), size);
    const size_t pieces = std::max<size_t>(1, std::min<size_t>(threads > 0 ? size_t(threads) : 1, size / kMinPiece));
    const size_t pieceSize = (size + pieces - 1) / pieces;
    std::vector<size_t> got(pieces, 0);
    std::vector<int> errors(pieces, 0);
    const auto readOne = [&](size_t i) {
        const size_t offset = i * pieceSize;
        const size_t length = std::min(pieceSize, size - std::min(size, offset));
        got[i] = readPiece(fd_, data_.get() + offset, offset, length, errors[i]);
    };
    {
        std::vector<std::jthread> readers;
        for (size_t i = 1; i < pieces; ++i)
            readers.emplace_back(readOne, i);
        readOne(0);
    }
    for (size_t i = 0; i < pieces; ++i) {
        if (errors[i] != 0) {
            data_.reset();
            size_ = 0;
            return std::strerror(errors[i]);
        }
        size_ += got[i];
        if (size_ < std::min(size, (i + 1) * pieceSize)) {
            cutShort_ = true;  // the file shrank while it was read: take what is there up to the first gap
            break;
        }
    }
    return {};
}

std::string FileBytes::reserve(size_t headBytes, size_t tailBytes)
{
    drop();
    const size_t size = static_cast<size_t>(opened_.st_size);
    if (size == 0)
        return read(0);
    // Anonymous memory, not a mapping of the file: pages the file loses while it
    // is read cannot fault; a range read short is seen as a changed file instead.
    void *map = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (map == MAP_FAILED)
        return "Out of memory";
    map_ = static_cast<char *>(map);
    size_ = tailBegin_ = size;
    if (!keepHead(std::min(size, headBytes)) || !keepTail(size - std::min(size, tailBytes)))
        cutShort_ = true;  // the file shrank since it was opened: the load refuses it as changed
    return {};
}

bool FileBytes::readRange(size_t begin, size_t end)
{
    if (begin >= end)
        return true;
    int error = 0;
    if (readPiece(fd_, map_ + begin, begin, end - begin, error) == end - begin)
        return true;
    cutShort_ = true;
    return false;
}

bool FileBytes::present(size_t begin, size_t end)
{
    if (!map_)
        return true;
    end = std::min(end, size_);
    // The kept head and tail are read already.
    return readRange(std::max(begin, headEnd_), std::min(end, tailBegin_));
}

void FileBytes::release(size_t begin, size_t end)
{
    if (!map_)
        return;
    const size_t page = pageSize();
    begin = (std::max(begin, headEnd_) + page - 1) / page * page;
    end = std::min(end, tailBegin_) / page * page;
    if (begin < end)
        ::madvise(map_ + begin, end - begin, MADV_DONTNEED);
}

size_t FileBytes::presentThrough(size_t at, std::string_view mark)
{
    if (!map_ || at >= size_)
        return size_;
    size_t end = at;
    for (size_t stretch = kFirstStretch;; stretch *= 2) {
        const size_t from = end;
        end = std::min(size_, from + stretch);
        if (!present(from, end))
            return 0;
        // A mark may straddle the stretches: look from just before the new bytes.
        const size_t look = std::max(at, from - std::min(from, mark.size()));
        if (end == size_ || bytes().substr(0, end).find(mark, look) != std::string_view::npos)
            return end;
    }
}

bool FileBytes::keepHead(size_t end)
{
    end = std::min(end, size_);
    if (!map_ || end <= headEnd_)
        return true;
    const bool read = readRange(headEnd_, std::min(end, tailBegin_));
    headEnd_ = end;
    return read;
}

bool FileBytes::keepTail(size_t begin)
{
    if (!map_ || begin >= tailBegin_)
        return true;
    const bool read = readRange(std::max(begin, headEnd_), tailBegin_);
    tailBegin_ = begin;
    return read;
}

bool FileBytes::changed() const
{
    struct stat now {};
    if (cutShort_ || fd_ < 0 || ::fstat(fd_, &now) != 0)
        return true;
    if (now.st_size > opened_.st_size)
        return !onlyAppendedTo();
    return now.st_size != opened_.st_size || now.st_mtim.tv_sec != opened_.st_mtim.tv_sec ||
           now.st_mtim.tv_nsec != opened_.st_mtim.tv_nsec;
}

// A file that grew is one its collector appended records to, not one written
// anew, when its first and last bytes as read are still there.
bool FileBytes::onlyAppendedTo() const
{
    constexpr size_t kCompared = 4096;
    const size_t headEnd = std::min(map_ ? headEnd_ : size_, kCompared);
    const size_t tailBegin = std::max(map_ ? tailBegin_ : 0, size_ - std::min(size_, kCompared));
    std::string now(kCompared, '\0');
    for (const auto &[begin, end] : {std::pair{size_t(0), headEnd}, std::pair{tailBegin, size_}}) {
        int error = 0;
        if (readPiece(fd_, now.data(), begin, end - begin, error) != end - begin ||
            bytes().substr(begin, end - begin) != std::string_view(now).substr(0, end - begin))
            return false;
    }
    return true;
}

}  // namespace kavra
