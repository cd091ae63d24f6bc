#include "data/FileBytes.h"

#include "data/HugePages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kavra {
namespace {

constexpr size_t kMinPiece = size_t(8) << 20;  // smaller files are read by one call

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
    if (fd_ >= 0)
        ::close(fd_);
}

std::string FileBytes::open(const std::string &path)
{
    data_.reset();
    size_ = 0;
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
    data_.reset();
    size_ = 0;
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

bool FileBytes::changed() const
{
    struct stat now {};
    if (cutShort_ || fd_ < 0 || ::fstat(fd_, &now) != 0)
        return true;
    return now.st_size != opened_.st_size || now.st_mtim.tv_sec != opened_.st_mtim.tv_sec ||
           now.st_mtim.tv_nsec != opened_.st_mtim.tv_nsec;
}

}  // namespace kavra
