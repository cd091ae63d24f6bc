#include "app/BatchCorrelate.h"

#include "analysis/Correlation.h"
#include "app/BatchArguments.h"
#include "data/DataSet.h"
#include "items/ItemList.h"

#ifndef KAVRA_NO_RENDER
#include "app/BatchRender.h"
#endif

#include <iostream>

namespace kavra {

bool takeCorrelateOption(int argc, char **argv, int &i, CorrelateOptions &options, bool &bad)
{
    const std::string arg = argv[i];
    if (arg != "--item" && arg != "--from" && arg != "--to" && arg != "--scatter")
        return false;
    if (i + 1 >= argc) {
        bad = true;
        return true;
    }
    const char *value = argv[++i];
    if (arg == "--item")
        options.item = value;
    else if (arg == "--scatter")
        options.scatter = value;
    else if (!parseWhole(value, arg == "--from" ? options.from : options.to))
        bad = true;
    return true;
}

int printCorrelationList(const char *program, const DataSet &data, const ItemList &items,
                         const CorrelateOptions &options, DescriptorStream &out)
{
#ifdef KAVRA_NO_RENDER
    (void)program;
    if (!options.scatter.empty()) {
        std::cerr << "This kavra-batch was built without the chart: --scatter is not available\n";
        return 2;
    }
#else
    if (!options.scatter.empty() && !knownPictureFormat(options.scatter))
        return 2;
#endif
    const ItemRevision &list = items.current();
    const ItemRow *reference = nullptr;
    std::vector<analysis::CorrelationItem> candidates;
    for (const ItemRow &row : list.rows) {
        if (!reference && row.text == options.item)
            reference = &row;
        candidates.push_back({row.text, row.tag});
    }
    if (!reference) {
        std::cerr << "No item named \"" << options.item << "\" in the item list\n";
        return 2;
    }
    const int first = options.from > 0 ? options.from : 1;
    const int last = options.to > 0 ? options.to : data.Row_Count;
    if (options.from < 0 || options.to < 0 || first > last || last > data.Row_Count) {
        std::cerr << "Rows " << first << " to " << last << " are not rows of the data: use rows 1 to " << data.Row_Count
                  << '\n';
        return 2;
    }
    const int file = data.Files_Open;  // the coefficients come from the file loaded last, as in the viewer
    std::vector<double> values(size_t(last - first + 1));  // one column at a time, past the cache
    const std::vector<analysis::CorrelationLine> lines = analysis::correlationList(
        [&](int32_t column) {
            data.Perf_Data.decode(column, file, first, last - first + 1, values.data());
            return values.data();
        },
        values.size(), reference->tag, candidates);
    if (lines.empty()) {
        std::cerr << "No relevant items found ...\n";
        return 1;
    }
    for (const analysis::CorrelationLine &line : lines)
        out << line.text << '\n';
    if (const int status = finishOutput(out))
        return status;
#ifndef KAVRA_NO_RENDER
    if (!options.scatter.empty())
        return renderScatterImage(program, data, lines.back().text, lines.back().column, reference->text,
                                  reference->tag, first, last, options.scatter);
#endif
    return 0;
}

}  // namespace kavra
