#include "items/ListFiles.h"

#include "data/Text.h"
#include "items/ItemList.h"

namespace kavra {

ItemLoader::ItemLoader(DataSet &data, ItemList &items, LoadObserver &observer, LoadOptions options)
    : data_(data), items_(items), loader_(data, observer, options)
{
}

LoadOutcome ItemLoader::load(const std::string &path) { return listed(loader_.load(path)); }

LoadOutcome ItemLoader::loadBytes(const std::string &name, std::string_view bytes)
{
    return listed(loader_.loadBytes(name, bytes));
}

LoadOutcome ItemLoader::listed(LoadOutcome outcome)
{
    if (outcome.loaded && data_.Files_Open == 1)
        buildFirstRevision(items_, data_);
    else if (outcome.loaded)  // the derived items made so far get this file's values too
        items_.derivedItems().computeFor(data_, data_.Files_Open);
    return outcome;
}

void buildFirstRevision(ItemList &items, const DataSet &data)
{
    ItemRevision &list = items.revision(0);
    list.rows.clear();
    for (size_t c = 1; c <= data.Column_Names.size(); ++c)
        if (data.isItemColumn(static_cast<int>(c)))
            list.rows.push_back(makeLoadedItemRow(data.Column_Names[c - 1], static_cast<int32_t>(c)));
    list.applySort();
}

std::vector<SavedItem> savedItems(const ItemRevision &items, const DataSet &data)
{
    std::vector<SavedItem> saved;
    saved.reserve(items.rows.size());
    for (const ItemRow &row : items.rows) {
        // A derived item's key is its name; a loaded item is named by its column.
        const size_t column = static_cast<size_t>(row.tag);
        if (!row.key.empty() || column < 1 || column > data.Column_Names.size())
            saved.push_back({row.key.empty() ? row.text : row.key, row.tag});
        else if (column <= data.Column_Names_Windows1252.size() && data.Column_Names_Windows1252[column - 1])
            saved.push_back({text::utf8ToWindows1252(data.Column_Names[column - 1]), row.tag});
        else
            saved.push_back({data.Column_Names[column - 1], row.tag});
    }
    return saved;
}

}  // namespace kavra
