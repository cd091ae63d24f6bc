#pragma once
// Writing the displayed cut of the data set back as a data file that the loader
// reads again: record 1 of the file whose values it holds, a "Sample Time" header with the
// listed items, and one record per displayed row.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace kavra {

struct DataSet;

// One column of the saved file: its header and the Perf_Data column it comes from.
struct SavedItem {
    std::string name;
    int32_t column = 0;
};

struct SaveRange {
    int firstRow = 1;
    int lastRow = 1;
    int file = 1;  // the file whose values are written
};

void writeDataFile(std::ostream &out, const DataSet &data, const std::vector<SavedItem> &items, const SaveRange &range);

// Writes the file through a temporary file in the same folder that is renamed over
// the target, so a failure never leaves a half-written file in its place. Returns
// the error's description, empty on success.
std::string saveDataFile(const std::string &path, const DataSet &data, const std::vector<SavedItem> &items,
                         const SaveRange &range);

}  // namespace kavra
