#pragma once
// The bytes of a file, read into memory. A copy rather than a mapping: a collector
// that truncates the file while it loads cannot pull pages away; and the file's
// size and modification time are kept from when it was opened, so a load can tell
// whether what it read is one state of the file.
//
// A large file need not be held whole: reserve() sets aside address space for all
// of it (memory that is only used where bytes are read into it) and reads the
// head; each range is then read with present() before it is used and let go with
// release() once parsed, so the text costs the ranges in use, not the file's size.

#include <atomic>
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
    std::string_view bytes() const { return {base(), size_}; }

    // In place of what was read before: room for the whole file, of which the
    // first headBytes and the last tailBytes are read and kept until the next
    // read; the rest is read range by range. On failure returns the reason.
    std::string reserve(size_t headBytes, size_t tailBytes);
    // Whether the bytes are held range by range rather than whole.
    bool windowed() const { return map_ != nullptr; }

    // Reads the bytes of [begin, end) that are not kept anyway. False when the
    // file ended first (or could not be read): the load sees a changed file.
    // Ranges that several threads present at once must not overlap.
    bool present(size_t begin, size_t end);
    // Lets go of the memory of the whole pages within [begin, end) that are not
    // kept; they read as zeros until presented again. A page shared with a
    // neighbouring range stays, so threads may release ranges side by side.
    void release(size_t begin, size_t end);
    // Presents the bytes from at on, a growing stretch at a time, until they hold
    // mark or reach the end; returns where the presented bytes end, 0 when the
    // file ended early. The caller releases [at, returned) when done.
    size_t presentThrough(size_t at, std::string_view mark);
    // Keeps [0, end) / [begin, size) read until the next read; false as present.
    bool keepHead(size_t end);
    bool keepTail(size_t begin);
    size_t headKept() const { return headEnd_; }
    size_t tailKept() const { return tailBegin_; }

    // Whether the file is not as it was when it was opened: shorter, written anew
    // (another modification time at the same size, or other first or last bytes),
    // or a read that met its end early. A file that was only appended to since is
    // not: its bytes as read are one state of it, and the rest is read by following.
    bool changed() const;
    // The file as it was when it was opened; none before a successful open.
    const struct stat *opened() const { return fd_ >= 0 && S_ISREG(opened_.st_mode) ? &opened_ : nullptr; }

private:
    const char *base() const { return map_ ? map_ : data_.get(); }
    void drop();
    bool readRange(size_t begin, size_t end);
    bool onlyAppendedTo() const;

    int fd_ = -1;
    struct stat opened_ {};
    std::atomic<bool> cutShort_ = false;
    std::unique_ptr<char[]> data_;
    char *map_ = nullptr;
    size_t size_ = 0;
    size_t headEnd_ = 0, tailBegin_ = 0;  // the kept bytes of a windowed file
};

}  // namespace kavra
