#pragma once
// Writing a file so that a failure never leaves a damaged file in place of an
// existing one, and a success that was reported survives a crash or a power
// cut: the bytes go to a temporary file in the target's folder, which is synced
// to the disk and then renamed over the target, and the folder is synced after.
// A target that is a symbolic link is written through to the file it points
// to, and an existing file keeps its permission bits (and owner, where allowed);
// a new one gets the default permissions.

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace kavra {

class DescriptorStream;

class AtomicFile {
public:
    // Makes the temporary file at once, so that a folder that cannot be written
    // is told before anything is drawn or written.
    explicit AtomicFile(const std::string &path);
    // An uncommitted file is removed; the target stays as it was.
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // The reason the temporary file could not be made; empty when it was.
    const std::string &error() const { return error_; }
    // Where the bytes go; a failed write is told by commit.
    std::ostream &stream();
    // The temporary file, for writers that open a file by its name; commit
    // takes what they left in it.
    const std::string &temporaryPath() const { return temporary_; }
    // The file that commit replaces: the target, or the file its links lead to.
    const std::string &target() const { return target_; }

    // Writes out, syncs and renames the temporary file over the target.
    // Returns the error's description, empty on success.
    std::string commit();

private:
    std::string fail(int error);

    std::string target_, temporary_, error_;
    int fd_ = -1;
    bool committed_ = false;
    std::unique_ptr<DescriptorStream> stream_;
};

// Returns the error's description, empty on success.
std::string writeFileAtomically(const std::string &path, const std::function<void(std::ostream &)> &write);

// A text file of lines, each ended by CR LF as the program's text files are,
// written the same safe way. Returns the error's description, empty on success.
std::string writeTextLines(const std::string &path, const std::vector<std::string> &lines);

}  // namespace kavra
