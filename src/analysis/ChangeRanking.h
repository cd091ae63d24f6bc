#pragma once
// What changed between two rows: every item scored by how far its values from
// row A to row B stand apart from its values on the other rows shown.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kavra::analysis {

// The lines a ranking lists unless told otherwise.
constexpr size_t kRankingLines = 50;

// Why a ranking has no lines: the rows outside A..B leave nothing to compare with.
inline constexpr const char *kNotEnoughRowsText = "Not enough rows outside the cursors";

// The effect size of the rows first..last (0-based, inclusive, first <= last <
// rows) of x[0..rows) against the other rows: the difference of the two means
// divided by the pooled standard deviation, sqrt((SSin + SSout) / (rows - 2)),
// SS being each group's sum of squared deviations from its own mean. 0 for a
// series constant over all rows; +-infinity when each group is constant but
// the two differ; 0 too when fewer than 2 rows lie outside (no comparison).
// Precise for values far from zero (1e12 + small changes) and for values whose
// squares overflow; one pass over the values.
double changeScore(const double *x, size_t rows, size_t first, size_t last);

// The line a ranking shows: the score with its sign and two decimals, two
// blanks and the item's text: "+3.42  Disk Busy DSK05", "-0.75  CPU Busy".
std::string rankingLineText(double score, const std::string &text);

struct RankingItem {
    std::string text;
    int32_t column = 0;
};

struct RankedLine {
    std::string text;  // as rankingLineText writes it
    double score = 0;
    int32_t column = 0;
};

struct ChangeRanking {
    // False when fewer than 2 rows lie outside A..B: then there are no lines and
    // the user is told kNotEnoughRowsText.
    bool enoughRows = false;
    // The largest scores by size, whatever their sign, largest first; equal
    // sizes in list order.
    std::vector<RankedLine> lines;
};

// The values of column c over the rows shown (rows values, the first row shown first).
using RankingValues = std::function<const double *(int32_t column)>;

// Scores every item (column 1, the sample times, aside) over the rows shown,
// rows a..b (0-based offsets into them, in either order, clamped to them)
// against the others, and keeps the top largest. The columns are scored on up
// to threads threads (0: as many as the machine has), all joined before it
// returns; values is called on them, once per item.
ChangeRanking rankByChange(const RankingValues &values, size_t rows, size_t a, size_t b,
                           const std::vector<RankingItem> &items, size_t top = kRankingLines, int threads = 0);

// Writes the rows values of column c (as RankingValues gives them) to out.
using RankingFill = std::function<void(int32_t column, double *out)>;

// The same ranking from columns filled one at a time into a buffer of each
// thread: fill is called on the scoring threads, at the same time on several.
// So a table held compressed is never decoded whole.
ChangeRanking rankByChange(const RankingFill &fill, size_t rows, size_t a, size_t b,
                           const std::vector<RankingItem> &items, size_t top = kRankingLines, int threads = 0);

}  // namespace kavra::analysis
