#pragma once
// kavra-batch report: the charts of many items in one PDF document, as the
// viewer's Save Report ... writes it.

#include <optional>
#include <string>
#include <vector>

namespace kavra {

struct DataSet;
class ItemList;

struct ReportOptions {
    std::string output;
    std::optional<std::vector<std::string>> items;  // none: the items with the highest median
    int top = 0;                                    // 0 when not given
    int perPage = 0;
    int from = 0;  // rows from..to, counted from 1; 0 when not given
    int to = 0;
};

// Takes the report options at argv[i] (advancing i past a value); false when
// argv[i] is not one of them. bad is set when one lacks its value or has a wrong one.
bool takeReportOption(int argc, char **argv, int &i, ReportOptions &options, bool &bad);
// Whether the options name the output, and not both the items and how many.
bool reportOptionsComplete(const ReportOptions &options);

// Writes the report of the loaded files. Returns the exit status: 0; 1 when an
// item is not in the list ("No such item: NAME") or the file cannot be
// written, and nothing is written; 2 for rows outside the data.
int writeReportFile(const char *program, const DataSet &data, ItemList &items, const ReportOptions &options);

}  // namespace kavra
