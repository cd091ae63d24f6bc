#pragma once
#include <string>

// A folder of its own for one test, removed again afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return path_; }
    // Writes a file of exactly these bytes and returns its path.
    std::string write(const std::string &name, const std::string &bytes) const;
    std::string read(const std::string &name) const;
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
