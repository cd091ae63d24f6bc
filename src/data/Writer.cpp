#include "data/Writer.h"

#include "data/DataSet.h"
#include "data/NumberText.h"
#include "data/TimeStrings.h"
#include "items/ItemList.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace kavra {

void writeDataFile(std::ostream &out, const DataSet &data, const ItemRevision &items, const SaveRange &range)
{
    const char *crlf = "\r\n";
    out << data.Line1 << crlf;
    std::string record = "Sample Time";
    for (const ItemRow &row : items.rows)
        record += "," + row.text;
    out << record << crlf;

    std::vector<const double *> columns;
    for (const ItemRow &row : items.rows)
        columns.push_back(data.Perf_Data.column(row.tag, range.file));
    const double *times = data.Perf_Data.column(1, 1);
    for (int r = range.firstRow; r <= range.lastRow; ++r) {
        record = timestr::generalDateText(times[r - 1]);
        for (const double *column : columns) {
            record += ',';
            record += signedNumberText(column[r - 1]);
        }
        out << record << crlf;
    }
}

std::string saveDataFile(const std::string &path, const DataSet &data, const ItemRevision &items,
                         const SaveRange &range)
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    if (fs::is_directory(target))
        return path + " is a folder";
    fs::path temporary = target;
    temporary += ".kavra-" + std::to_string(::getpid()) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return std::strerror(errno ? errno : EACCES);
        writeDataFile(out, data, items, range);
        out.flush();
        if (!out) {
            const std::string reason = std::strerror(errno ? errno : EIO);
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return reason;
        }
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return ec.message();
    }
    return {};
}

}  // namespace kavra
