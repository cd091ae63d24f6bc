#pragma once
// Data files and the item list: loading a file into the data set and, for the
// first file, building the first item-list revision from its columns; saving the
// items of a revision.

#include "data/Loader.h"
#include "data/Writer.h"

#include <string>
#include <string_view>

namespace kavra {

class ItemList;
class ItemRevision;

// The loader over a data set and the item list shown for it.
class ItemLoader {
public:
    ItemLoader(DataSet &data, ItemList &items, LoadObserver &observer, LoadOptions options = {});
    LoadOutcome load(const std::string &path);
    // The same for bytes already in memory, loaded under the given name.
    LoadOutcome loadBytes(const std::string &name, std::string_view bytes);

private:
    LoadOutcome listed(LoadOutcome outcome);

    DataSet &data_;
    ItemList &items_;
    Loader loader_;
};

// Revision 0 as a first file leaves it: one row per item column, in the
// revision's sort order.
void buildFirstRevision(ItemList &items, const DataSet &data);

// The revision's items as the saved file's columns, in display order: each under
// its name (a median sort's prefix is not part of it), in the bytes the file it
// came from wrote it in.
std::vector<SavedItem> savedItems(const ItemRevision &items, const DataSet &data);

inline void writeDataFile(std::ostream &out, const DataSet &data, const ItemRevision &items, const SaveRange &range)
{
    writeDataFile(out, data, savedItems(items, data), range);
}

inline std::string saveDataFile(const std::string &path, const DataSet &data, const ItemRevision &items,
                                const SaveRange &range)
{
    return saveDataFile(path, data, savedItems(items, data), range);
}

}  // namespace kavra
