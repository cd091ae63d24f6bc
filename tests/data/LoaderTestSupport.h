#pragma once
#include "data/DataSet.h"
#include "data/Loader.h"
#include "items/ItemList.h"
#include "support/TempDir.h"

#include <string>
#include <vector>

// A data set and item list with a loader over them that records what it tells the user.
struct LoaderFixture : kavra::LoadObserver {
    kavra::DataSet data;
    kavra::ItemList items;
    TempDir dir;
    std::vector<std::string> statuses;
    std::vector<std::string> diagnostics;

    void status(const std::string &text) override { statuses.push_back(text); }
    void diagnostic(const std::string &text, const std::string &title) override
    {
        diagnostics.push_back(title + "|" + text);
    }

    kavra::LoadOutcome load(const std::string &name, const std::string &bytes)
    {
        kavra::Loader loader(data, items, *this);
        return loader.load(dir.write(name, bytes));
    }

    std::vector<std::string> itemNames() const
    {
        std::vector<std::string> names;
        for (const auto &row : items.current().rows)
            names.push_back(row.text);
        return names;
    }
};
