#pragma once
// Where each charted series' values come from, by series index: rows of one
// item of one file in Perf_Data, or values the program worked out from them
// (the ratios). The curves derived from a series (moving average, smoothed
// curve, candles, ratios) are computed from here, never read back out of the
// chart. Sources refer to the data set by row and column, not by address, so a
// table that grows after the redraw leaves them valid.

#include <cstddef>
#include <memory>
#include <vector>

namespace kavra {

struct DataSet;

// A series' values: n points (x[i], y[i]).
struct SeriesValues {
    const double *x = nullptr;
    const double *y = nullptr;
    size_t n = 0;
};

class SeriesSources {
public:
    void clear() { sources_.clear(); }
    // Series s charts rows firstRow to firstRow + count - 1 of an item's column in a file.
    void setRows(int s, int column, int file, int firstRow, int count);
    // Series s charts values computed for the rows that series from charts.
    void setComputed(int s, int from, std::vector<double> values);
    void exchange(int a, int b);
    // Series from s on are gone from the chart.
    void truncate(int s);

    // The item and file series s charts rows of; false for computed values or no source.
    bool itemOf(int s, int &column, int &file) const;
    // The values of series s; none for a series without a source (a derived curve).
    SeriesValues values(int s, const DataSet &data) const;

private:
    struct Source {
        int column = 0;
        int file = 0;  // 0: the values below, or none when there are none
        int firstRow = 1;
        int count = 0;
        std::vector<double> computed;
        mutable std::shared_ptr<const std::vector<double>> held;  // the item's column, decoded
    };
    Source &at(int s);

    std::vector<Source> sources_;
};

}  // namespace kavra
