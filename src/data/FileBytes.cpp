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

// Closes the descriptor however the read ends.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

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

std::string FileBytes::open(const std::string &path, int threads)
{
    data_.reset();
    size_ = 0;
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        return std::strerror(errno);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        return std::strerror(errno);
    if (S_ISDIR(info.st_mode))
        return "Path is a folder, not a file";
    if (!S_ISREG(info.st_mode))
        return "Not a regular file";
    const size_t size = static_cast<size_t>(info.st_size);
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
        got[i] = readPiece(file.fd, data_.get() + offset, offset, length, errors[i]);
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
        if (got[i] < pieceSize)
            break;  // the file shrank while it was read: take what is there up to the first gap
    }
    return {};
}

}  // namespace kavra
