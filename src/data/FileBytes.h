#pragma once
// The bytes of a file, mapped into memory read-only for as long as the object lives.

#include <string>
#include <string_view>

namespace kavra {

class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;

    // Maps the file; on failure returns the reason and holds no bytes.
    std::string open(const std::string &path);
    std::string_view bytes() const { return {data_, size_}; }

private:
    const char *data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace kavra
