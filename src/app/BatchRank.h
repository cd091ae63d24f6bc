#pragma once
// kavra-batch rank: the items ranked by how much they changed from one row to
// another, as the viewer's ranking lists them, as text.

#include <string>

namespace kavra {

struct DataSet;
class ItemList;
class DescriptorStream;

struct RankOptions {
    int from = 0;  // rows from..to, counted from 1; 0 when not given
    int to = 0;
    int top = 50;
};

// Takes the rank options at argv[i] (advancing i past a value); false when
// argv[i] is not one of them. bad is set when one lacks its value or has a wrong one.
bool takeRankOption(int argc, char **argv, int &i, RankOptions &options, bool &bad);
// Whether the options name both rows.
bool rankOptionsComplete(const RankOptions &options);

// Prints the ranking of every listed item, rows from..to against all other
// rows, scored on the file loaded last (as correlate), the top largest changes
// one line each. Returns the exit status: 0; 1 when fewer than 2 rows lie
// outside from..to ("Not enough rows outside the cursors" on standard error);
// 2 for rows outside the data.
int printChangeRanking(const DataSet &data, const ItemList &items, const RankOptions &options, DescriptorStream &out);

}  // namespace kavra
