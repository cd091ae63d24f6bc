#pragma once
// The A and B cursors: two rows of the data set (1-based), so that each keeps
// standing at its sample time whatever the view does (redraws, zoom, scroll).
// The chart only draws them; this is where they are.

#include <algorithm>
#include <utility>
#include <vector>

namespace kavra {

struct CursorPair {
    bool on = false;
    int rowA = 0;
    int rowB = 0;
    int lastTouched = 1;  // 0 A, 1 B: the one the keys move

    int row(int which) const { return which == 0 ? rowA : rowB; }
    void setRow(int which, int row) { (which == 0 ? rowA : rowB) = row; }
    // The earlier row first: A after B swaps, never a negative span.
    std::pair<int, int> ordered() const { return {std::min(rowA, rowB), std::max(rowA, rowB)}; }
};

// The row (1-based) whose sample time is nearest to time; times ascend, row
// r at times[r - 1]. 0 when there are no rows.
inline int nearestRow(const std::vector<double> &times, double time)
{
    if (times.empty())
        return 0;
    const auto after = std::lower_bound(times.begin(), times.end(), time);
    if (after == times.begin())
        return 1;
    if (after == times.end())
        return int(times.size());
    const auto before = after - 1;
    return int((time - *before <= *after - time ? before : after) - times.begin()) + 1;
}

// The rows a third and two thirds along the time axis from first to last.
inline std::pair<int, int> cursorStartRows(const std::vector<double> &times, int first, int last)
{
    if (times.empty())
        return {0, 0};
    const double from = times[size_t(first - 1)], to = times[size_t(last - 1)];
    return {nearestRow(times, from + (to - from) / 3), nearestRow(times, from + (to - from) * 2 / 3)};
}

}  // namespace kavra
