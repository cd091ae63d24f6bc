#include "data/Writer.h"

#include "data/AtomicFile.h"
#include "data/DataSet.h"
#include "data/NumberText.h"
#include "data/TimeStrings.h"

#include <ostream>

namespace kavra {

void writeDataFile(std::ostream &out, const DataSet &data, const std::vector<SavedItem> &items, const SaveRange &range)
{
    const char *crlf = "\r\n";
    // Record 1 names the node, so it comes from the file whose values follow.
    out << data.File_Line1[size_t(range.file - 1)] << crlf;
    std::string record = "Sample Time";
    for (const SavedItem &item : items)
        record += "," + item.name;
    out << record << crlf;

    std::vector<const double *> columns;
    for (const SavedItem &item : items)
        columns.push_back(data.Perf_Data.column(item.column, range.file));
    const double *times = data.Perf_Data.column(1, 1);
    for (int r = range.firstRow; r <= range.lastRow && out; ++r) {  // after a failed write, nothing more to make
        record = timestr::generalDateText(times[r - 1]);
        for (const double *column : columns) {
            record += ',';
            record += signedNumberText(column[r - 1]);
        }
        out << record << crlf;
    }
}

std::string saveDataFile(const std::string &path, const DataSet &data, const std::vector<SavedItem> &items,
                         const SaveRange &range)
{
    return writeFileAtomically(path, [&](std::ostream &out) { writeDataFile(out, data, items, range); });
}

}  // namespace kavra
