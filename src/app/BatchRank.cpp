#include "app/BatchRank.h"

#include "analysis/ChangeRanking.h"
#include "app/BatchArguments.h"
#include "data/DataSet.h"
#include "items/ItemList.h"

#include <iostream>

namespace kavra {

bool takeRankOption(int argc, char **argv, int &i, RankOptions &options, bool &bad)
{
    const std::string arg = argv[i];
    int *target = arg == "--from" ? &options.from : arg == "--to" ? &options.to : arg == "--top" ? &options.top : nullptr;
    if (!target)
        return false;
    bad = i + 1 >= argc || !parseWhole(argv[++i], *target) || *target < 1;
    return true;
}

bool rankOptionsComplete(const RankOptions &options) { return options.from > 0 && options.to > 0; }

int printChangeRanking(const DataSet &data, const ItemList &items, const RankOptions &options, DescriptorStream &out)
{
    if (options.from > options.to || options.to > data.Row_Count) {
        std::cerr << "Rows " << options.from << " to " << options.to
                  << " are not rows of the data: use rows 1 to " << data.Row_Count << '\n';
        return 2;
    }
    std::vector<analysis::RankingItem> candidates;
    for (const ItemRow &row : items.current().rows)
        candidates.push_back({row.text, row.tag});
    const int file = data.Files_Open;  // the file loaded last, as correlate and the viewer's Correlate
    const analysis::ChangeRanking ranking = analysis::rankByChange(
        [&](int32_t column, double *out) { data.Perf_Data.decode(column, file, 1, data.Row_Count, out); },
        size_t(data.Row_Count),
        size_t(options.from - 1), size_t(options.to - 1), candidates, size_t(options.top));
    if (!ranking.enoughRows) {
        std::cerr << analysis::kNotEnoughRowsText << '\n';
        return 1;
    }
    for (const analysis::RankedLine &line : ranking.lines)
        out << line.text << '\n';
    return finishOutput(out);
}

}  // namespace kavra
