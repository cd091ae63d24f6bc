#include "data/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace kavra {

std::string writeFileAtomically(const std::string &path, const std::function<void(std::ostream &)> &write)
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    std::error_code ec;
    if (fs::is_directory(target, ec))
        return path + " is a folder";
    fs::path temporary = target;
    temporary += ".kavra-" + std::to_string(::getpid()) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return std::strerror(errno ? errno : EACCES);
        write(out);
        out.flush();
        if (!out) {
            const std::string reason = std::strerror(errno ? errno : EIO);
            out.close();
            fs::remove(temporary, ec);
            return reason;
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return ec.message();
    }
    return {};
}

std::string writeTextLines(const std::string &path, const std::vector<std::string> &lines)
{
    return writeFileAtomically(path, [&](std::ostream &out) {
        for (const std::string &line : lines)
            out << line << "\r\n";
    });
}

}  // namespace kavra
