#include "items/ListFiles.h"

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

std::vector<SavedItem> savedItems(const ItemRevision &items)
{
    std::vector<SavedItem> saved;
    saved.reserve(items.rows.size());
    for (const ItemRow &row : items.rows)
        saved.push_back({row.text, row.tag});
    return saved;
}

}  // namespace kavra
