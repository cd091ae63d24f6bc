#pragma once
// The rows of the data set the chart, the saved file and the analyses work on:
// 1-based and inclusive, as the zoom and scroll commands leave them.

#include <algorithm>
#include <cstdint>
#include <utility>

namespace kavra {

struct DisplayedRows {
    int32_t Zoom_First_Row = 0;
    int32_t Zoom_Last_Row = 0;

    // The range kept within a table of rowCount rows: never before row 1 nor
    // past the last row, and never empty.
    std::pair<int, int> within(int rowCount) const
    {
        const int rows = std::max(1, rowCount);
        const int first = std::clamp(int(Zoom_First_Row), 1, rows);
        return {first, std::clamp(int(Zoom_Last_Row), first, rows)};
    }
};

}  // namespace kavra
