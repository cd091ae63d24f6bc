#pragma once
// Writing the displayed cut of the data set back as a data file that the loader
// reads again: record 1 of the file whose values it holds, a "Sample Time" header with the
// listed items, and one record per displayed row.

#include <iosfwd>
#include <string>

namespace kavra {

struct DataSet;
class ItemRevision;

struct SaveRange {
    int firstRow = 1;
    int lastRow = 1;
    int file = 1;  // the file whose values are written
};

void writeDataFile(std::ostream &out, const DataSet &data, const ItemRevision &items, const SaveRange &range);

// Writes the file through a temporary file in the same folder that is renamed over
// the target, so a failure never leaves a half-written file in its place. Returns
// the error's description, empty on success.
std::string saveDataFile(const std::string &path, const DataSet &data, const ItemRevision &items,
                         const SaveRange &range);

}  // namespace kavra
