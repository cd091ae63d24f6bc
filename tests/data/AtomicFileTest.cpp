// Where a saved file lands, with which permissions, and that it is on the disk
// before it replaces the file that was there.

#include "data/AtomicFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using kavra::writeFileAtomically;

namespace {

mode_t defaultMode()
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

mode_t modeOf(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Every name in the folder and the folders below it, links as "name -> target".
std::vector<std::string> listing(const std::string &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        std::string name = entry.path().lexically_relative(folder).string();
        if (entry.is_symlink())
            name += " -> " + fs::read_symlink(entry.path()).string();
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

const std::string kOld = "the file that was there\r\n";
const std::string kNew = "Sample Time,CPU Busy\r\n";

// Every fsync of the process while a test watches: whether a folder or a file
// was synced, its path, and what the target held at that moment.
struct Sync {
    bool folder;
    std::string path, targetHeld;
};
std::vector<Sync> *watchedSyncs = nullptr;
std::string watchedTarget;

std::string contents(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int fsync(int fd)
{
    if (watchedSyncs) {
        struct stat st {};
        ::fstat(fd, &st);
        std::error_code ec;
        const fs::path path = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ec);
        watchedSyncs->push_back({S_ISDIR(st.st_mode), path.string(), contents(watchedTarget)});
    }
    static const auto next = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    return next(fd);
}

TEST(AtomicFile, ASaveLandsInTheFileTheUserMeantWithItsPermissions)
{
    const std::string longName(250, 'n');
    const struct Case {
        const char *name;
        std::string saved;                                // the path saved to, in the folder
        std::vector<std::pair<std::string, mode_t>> old;  // files there before, with their modes
        std::vector<std::pair<std::string, std::string>> links;
        std::string written;  // the file that must hold the new bytes
        mode_t mode;          // 0: the default mode of a new file
    } cases[] = {
        {"a new file", "new.csv", {}, {}, "new.csv", 0},
        {"a file of another mode", "kept.csv", {{"kept.csv", 0640}}, {}, "kept.csv", 0640},
        {"a read-only file", "ro.csv", {{"ro.csv", 0444}}, {}, "ro.csv", 0444},
        {"a relative link", "link.csv", {{"real.csv", 0604}}, {{"link.csv", "real.csv"}}, "real.csv", 0604},
        {"a link into another folder",
         "link.csv",
         {{"sub/other.csv", 0600}},
         {{"link.csv", "@/sub/other.csv"}},
         "sub/other.csv",
         0600},
        {"a chain of links",
         "a.csv",
         {{"sub/c.csv", 0660}},
         {{"a.csv", "b.csv"}, {"b.csv", "sub/c.csv"}},
         "sub/c.csv",
         0660},
        {"a link to a file not made yet", "dangling.csv", {}, {{"dangling.csv", "sub/made.csv"}}, "sub/made.csv", 0},
        {"a name of 250 bytes", longName, {{longName, 0640}}, {}, longName, 0640},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        fs::create_directory(dir.file("sub"));
        for (const auto &[name, mode] : c.old) {
            dir.write(name, kOld);
            ::chmod(dir.file(name).c_str(), mode);
        }
        for (const auto &[name, to] : c.links)
            fs::create_symlink(to.starts_with("@") ? dir.path() + to.substr(1) : to, dir.file(name));
        const std::vector<std::string> before = listing(dir.path());

        ASSERT_EQ(writeFileAtomically(dir.file(c.saved), [](std::ostream &out) { out << kNew; }), "");
        EXPECT_EQ(dir.read(c.written), kNew);
        EXPECT_EQ(modeOf(dir.file(c.written)), c.mode ? c.mode : defaultMode());
        std::vector<std::string> expected = before;  // the links stay links; nothing else is left
        if (std::find(expected.begin(), expected.end(), c.written) == expected.end())
            expected.push_back(c.written);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(listing(dir.path()), expected);
    }
}

TEST(AtomicFile, RefusesTargetsThatAreNoPlainFileAndLeavesThemAlone)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    fs::create_directory(dir.file("folder"));
    fs::create_symlink("folder", dir.file("link to folder"));
    for (const char *name : {"pipe", "folder", "link to folder", "no such folder/x.csv"}) {
        SCOPED_TRACE(name);
        const std::vector<std::string> before = listing(dir.path());
        EXPECT_NE(writeFileAtomically(dir.file(name), [](std::ostream &out) { out << kNew; }), "");
        EXPECT_EQ(listing(dir.path()), before);
    }
    EXPECT_TRUE(fs::is_fifo(dir.file("pipe")));
}

TEST(AtomicFile, TheNewBytesAreOnTheDiskBeforeTheyReplaceTheOldAndTheFolderAfter)
{
    TempDir dir;
    watchedTarget = dir.write("saved.csv", kOld);
    std::vector<Sync> syncs;
    watchedSyncs = &syncs;
    const std::string error = writeFileAtomically(watchedTarget, [](std::ostream &out) { out << kNew; });
    watchedSyncs = nullptr;
    ASSERT_EQ(error, "");
    ASSERT_EQ(syncs.size(), 2u);
    // The temporary file, beside the target, while the target still held the old bytes.
    EXPECT_FALSE(syncs[0].folder);
    EXPECT_EQ(fs::path(syncs[0].path).parent_path(), fs::path(dir.path()));
    EXPECT_EQ(syncs[0].targetHeld, kOld);
    // Then the folder, once the name is the new file's.
    EXPECT_TRUE(syncs[1].folder);
    EXPECT_EQ(fs::path(syncs[1].path), fs::path(dir.path()));
    EXPECT_EQ(syncs[1].targetHeld, kNew);
}
