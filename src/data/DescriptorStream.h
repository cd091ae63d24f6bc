#pragma once
// An output stream onto an open file descriptor that keeps the reason of the
// first failed write, so that a full disk or a closed pipe is told with its
// cause (std::ofstream and std::cout only say that something failed).

#include <ostream>
#include <streambuf>
#include <vector>

namespace kavra {

class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd);
    // The errno of the first write that failed; 0 while none has.
    int error() const { return error_; }

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char *bytes, std::streamsize count) override;
    int sync() override;

private:
    bool drain();
    bool writeAll(const char *bytes, size_t count);

    int fd_;
    std::vector<char> buffer_;
    int error_ = 0;
};

// Writes are buffered; flush() sends them, and error() tells why one failed.
// The descriptor stays open.
class DescriptorStream : public std::ostream {
public:
    explicit DescriptorStream(int fd) : std::ostream(nullptr), buffer_(fd) { rdbuf(&buffer_); }
    int error() const { return buffer_.error(); }

private:
    DescriptorBuffer buffer_;
};

}  // namespace kavra
