#include "data/Writer.h"

#include "data/AtomicFile.h"
#include "data/DataSet.h"
#include "data/NumberText.h"
#include "data/TimeStrings.h"

#include <algorithm>
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

    // A band of rows of every saved column at a time, decoded into one buffer:
    // the table is never decoded whole.
    constexpr int kBand = 1024;
    const size_t width = items.size() + 1;
    std::vector<double> band(width * kBand);
    for (int from = range.firstRow; from <= range.lastRow && out; from += kBand) {
        const int n = std::min(kBand, range.lastRow - from + 1);
        data.Perf_Data.decode(1, 1, from, n, band.data());
        for (size_t i = 0; i < items.size(); ++i)
            data.Perf_Data.decode(items[i].column, range.file, from, n, band.data() + (i + 1) * kBand);
        for (int k = 0; k < n && out; ++k) {  // after a failed write, nothing more to make
            record = timestr::generalDateText(band[size_t(k)]);
            for (size_t i = 1; i < width; ++i) {
                record += ',';
                record += signedNumberText(band[i * kBand + size_t(k)]);
            }
            out << record << crlf;
        }
    }
}

std::string saveDataFile(const std::string &path, const DataSet &data, const std::vector<SavedItem> &items,
                         const SaveRange &range)
{
    return writeFileAtomically(path, [&](std::ostream &out) { writeDataFile(out, data, items, range); });
}

}  // namespace kavra
