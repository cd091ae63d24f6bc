#pragma once
// The bytes of a file, read into memory. A copy rather than a mapping: a collector
// that truncates the file while it loads cannot pull pages away; and the file's
// size and modification time are kept from when it was opened, so a load can tell
// whether what it read is one state of the file.

#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace kavra {

class FileBytes {
public:
    FileBytes() = default;
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;
    ~FileBytes();

    // Opens a regular file for reading. A FIFO, socket or device is refused at
    // once, without waiting for a writer or for data. On failure returns the
    // reason.
    std::string open(const std::string &path);
    // Reads the file's first limit bytes (all of a shorter file) in place of what
    // was read before; a large file in pieces on up to threads threads (the copy
    // out of the page cache is much of a load's time). On failure returns the
    // reason and holds no bytes.
    std::string read(size_t limit, int threads = 1);
    std::string_view bytes() const { return {data_.get(), size_}; }

    // Whether the file is not as it was when it was opened: another size or
    // modification time, or a read that met its end early.
    bool changed() const;
    // The file as it was when it was opened; none before a successful open.
    const struct stat *opened() const { return fd_ >= 0 && S_ISREG(opened_.st_mode) ? &opened_ : nullptr; }

private:
    int fd_ = -1;
    struct stat opened_ {};
    bool cutShort_ = false;
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
};

}  // namespace kavra
