#include "data/FileBytes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace

std::string FileBytes::open(const std::string &path)
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
    while (size_ < size) {
        const ssize_t got = ::read(file.fd, data_.get() + size_, size - size_);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const std::string reason = std::strerror(errno);
            data_.reset();
            size_ = 0;
            return reason;
        }
        if (got == 0)
            break;  // the file shrank while it was read: take what is there
        size_ += static_cast<size_t>(got);
    }
    return {};
}

}  // namespace kavra
