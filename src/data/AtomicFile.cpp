#include "data/AtomicFile.h"

#include "data/DescriptorStream.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

namespace kavra {
namespace {

namespace fs = std::filesystem;

// The file a path leads to: a link's target, followed link by link, so that a
// save replaces the file the user keeps and the link stays. A link to nowhere
// leads to the file it names, made by the save.
bool followLinks(fs::path &path, int &error)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::error_code ec;
        const fs::path to = fs::read_symlink(path, ec);
        if (ec) {
            error = ec.value();
            return false;
        }
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    error = ELOOP;
    return false;
}

// A short name of its own in the folder: a target name may be as long as the
// file system allows, so nothing is added to it.
int createTemporary(const fs::path &folder, std::string &path)
{
    static unsigned counter = 0;
    const auto seed = unsigned(std::chrono::steady_clock::now().time_since_epoch().count()) ^ unsigned(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned value = seed + 7919u * ++counter;
        std::string name = ".kavra";
        for (int i = 0; i < 6; ++i, value /= 36)
            name += "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36];
        path = (folder / name).string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The rename is on the disk once the folder is synced. A failure here is not
// reported: the new file is whole and in place, and the old one is gone.
void syncFolder(const fs::path &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

fs::path folderOf(const fs::path &path)
{
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

}  // namespace

AtomicFile::AtomicFile(const std::string &path)
{
    fs::path target(path);
    int error = 0;
    if (!followLinks(target, error)) {
        error_ = std::strerror(error);
        return;
    }
    target_ = target.string();
    struct stat old {};
    const bool exists = ::stat(target_.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        error_ = path + " is a folder";
        return;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        error_ = path + " is not a regular file";
        return;
    }
    fd_ = createTemporary(folderOf(target), temporary_);
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return;
    }
    if (exists) {  // the owner first: a change of owner clears the set-id bits
        // Only root may give a file to another owner; anyone else's new file is theirs, as the old one was.
        [[maybe_unused]] const int owned = ::fchown(fd_, old.st_uid, old.st_gid);
        ::fchmod(fd_, old.st_mode & 07777);
    }
}

AtomicFile::~AtomicFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temporary_.empty())
        ::unlink(temporary_.c_str());
}

std::ostream &AtomicFile::stream()
{
    if (!stream_)
        stream_ = std::make_unique<DescriptorStream>(fd_);
    return *stream_;
}

std::string AtomicFile::fail(int error)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    return std::strerror(error ? error : EIO);
}

std::string AtomicFile::commit()
{
    if (!error_.empty())
        return error_;
    if (stream_) {
        stream_->flush();
        if (!*stream_)
            return fail(stream_->error());
    }
    // The bytes are on the disk before their name replaces the old file's.
    if (::fsync(fd_) != 0 && errno != EINVAL)
        return fail(errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        return fail(errno);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    committed_ = true;
    syncFolder(folderOf(target_));
    return {};
}

std::string writeFileAtomically(const std::string &path, const std::function<void(std::ostream &)> &write)
{
    AtomicFile file(path);
    if (!file.error().empty())
        return file.error();
    write(file.stream());
    return file.commit();
}

std::string writeTextLines(const std::string &path, const std::vector<std::string> &lines)
{
    return writeFileAtomically(path, [&](std::ostream &out) {
        for (const std::string &line : lines)
            out << line << "\r\n";
    });
}

}  // namespace kavra
