#pragma once
// The bytes of a file, read into memory in one go. A copy rather than a mapping:
// a collector that truncates the file while it loads cannot pull pages away.

#include <memory>
#include <string>
#include <string_view>

namespace kavra {

class FileBytes {
public:
    // Reads the whole file, a large one in pieces on up to threads threads (the
    // copy out of the page cache is much of a load's time); on failure returns
    // the reason and holds no bytes.
    std::string open(const std::string &path, int threads = 1);
    std::string_view bytes() const { return {data_.get(), size_}; }

private:
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
};

}  // namespace kavra
