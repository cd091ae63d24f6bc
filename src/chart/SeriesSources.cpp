#include "chart/SeriesSources.h"

#include "data/DataSet.h"

#include <utility>

namespace kavra {

SeriesSources::Source &SeriesSources::at(int s)
{
    if (size_t(s) >= sources_.size())
        sources_.resize(size_t(s) + 1);
    return sources_[size_t(s)];
}

void SeriesSources::setRows(int s, int column, int file, int firstRow, int count)
{
    at(s) = {column, file, firstRow, count, {}, {}};
}

void SeriesSources::setComputed(int s, int from, std::vector<double> values)
{
    const int firstRow = at(from).firstRow;
    const int count = int(values.size());
    at(s) = {0, 0, firstRow, count, std::move(values), {}};
}

void SeriesSources::exchange(int a, int b) { std::swap(at(a), at(b)); }

void SeriesSources::truncate(int s)
{
    if (size_t(s) < sources_.size())
        sources_.resize(size_t(s));
}

bool SeriesSources::itemOf(int s, int &column, int &file) const
{
    if (s < 0 || size_t(s) >= sources_.size() || sources_[size_t(s)].file == 0)
        return false;
    column = sources_[size_t(s)].column;
    file = sources_[size_t(s)].file;
    return true;
}

SeriesValues SeriesSources::values(int s, const DataSet &data) const
{
    if (s < 0 || size_t(s) >= sources_.size())
        return {};
    const Source &source = sources_[size_t(s)];
    // Rows or a column the data set no longer has give no values.
    const size_t end = size_t(source.firstRow - 1) + size_t(source.count);
    if (source.count <= 0 || source.firstRow < 1 || end > data.Xaxis_Values.size())
        return {};
    const double *x = data.Xaxis_Values.data() + (source.firstRow - 1);
    if (source.file == 0)
        return {x, source.computed.data(), source.computed.size()};
    if (source.file < 1 || source.file > data.Perf_Data.files() || source.column < 1 ||
        source.column > data.Perf_Data.columns() || end > size_t(data.Perf_Data.rows()))
        return {};
    // The series holds its column: it stays decoded while it is charted.
    source.held = data.Perf_Data.values(source.column, source.file);
    return {x, source.held->data() + (source.firstRow - 1), size_t(source.count)};
}

}  // namespace kavra
