#include "data/FileBytes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavra {

FileBytes::~FileBytes()
{
    if (data_ && size_ > 0)
        ::munmap(const_cast<char *>(data_), size_);
}

std::string FileBytes::open(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::strerror(errno);
    struct stat info {};
    std::string error;
    if (::fstat(fd, &info) != 0) {
        error = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        error = "Path is a folder, not a file";
    } else if (!S_ISREG(info.st_mode)) {
        error = "Not a regular file";
    } else if (info.st_size > 0) {
        void *mapped = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped == MAP_FAILED) {
            error = std::strerror(errno);
        } else {
            data_ = static_cast<const char *>(mapped);
            size_ = static_cast<size_t>(info.st_size);
            ::madvise(mapped, size_, MADV_SEQUENTIAL);
        }
    }
    ::close(fd);
    return error;
}

}  // namespace kavra
