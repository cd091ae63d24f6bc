#include "data/DescriptorStream.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace kavra {

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}

DescriptorBuffer::DescriptorBuffer(int fd) : fd_(fd), buffer_(kBufferSize)
{
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool DescriptorBuffer::writeAll(const char *bytes, size_t count)
{
    while (count > 0 && error_ == 0) {
        const ssize_t written = ::write(fd_, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error_ = written < 0 ? errno : EIO;
            break;
        }
        bytes += written;
        count -= size_t(written);
    }
    return error_ == 0;
}

bool DescriptorBuffer::drain()
{
    const bool written = writeAll(pbase(), size_t(pptr() - pbase()));
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return written;
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type ch)
{
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

std::streamsize DescriptorBuffer::xsputn(const char *bytes, std::streamsize count)
{
    // What fits goes into the buffer; a large block goes out at once.
    if (count <= epptr() - pptr()) {
        std::memcpy(pptr(), bytes, size_t(count));
        pbump(int(count));
        return count;
    }
    if (!drain() || !writeAll(bytes, size_t(count)))
        return 0;
    return count;
}

int DescriptorBuffer::sync()
{
    return drain() ? 0 : -1;
}

}  // namespace kavra
