#include "data/DataSet.h"

#include <algorithm>
#include <new>

namespace kavra {

PerfData::PerfData() { reset(1, 1); }

void PerfData::reset(int rows, int columns)
{
    layers_.clear();
    rows_ = rows;
    columns_ = columns;
    layers_.push_back(makeLayer());
}

PerfData::Layer PerfData::makeLayer() const
{
    const size_t cells = static_cast<size_t>(rows_) * static_cast<size_t>(columns_);
    if (rows_ < 1 || columns_ < 1 || cells / static_cast<size_t>(columns_) != static_cast<size_t>(rows_))
        throw std::bad_alloc();
    return Layer(cells);
}

void PerfData::addLayer(Layer layer) { layers_.push_back(std::move(layer)); }

void PerfData::addColumns(int count)
{
    // Columns lie one after another, so new ones go at the end of each layer.
    for (Layer &layer : layers_)
        layer.resize(layer.size() + size_t(count) * size_t(rows_), 0.0);
    columns_ += count;
}

void PerfData::removeLastLayer()
{
    if (layers_.size() > 1)
        layers_.pop_back();
}

void ColumnMap::reset(int fileColumns, int files)
{
    fileColumns_ = fileColumns;
    files_ = files;
    map_.assign(static_cast<size_t>(fileColumns) * static_cast<size_t>(files), 0);
}

void ColumnMap::clearFile(int file)
{
    if (file < 1 || file > files_ || fileColumns_ == 0)
        return;
    std::fill_n(map_.begin() + static_cast<std::ptrdiff_t>(index(1, file)), fileColumns_, 0);
}

void ColumnMap::growColumns(int fileColumns)
{
    if (fileColumns <= fileColumns_)
        return;
    ColumnMap grown;
    grown.reset(fileColumns, files_);
    for (int f = 1; f <= files_; ++f)
        for (int c = 1; c <= fileColumns_; ++c)
            grown(c, f) = (*this)(c, f);
    *this = std::move(grown);
}

void DataSet::closeAll()
{
    Files_Open = 0;
    Max_Files = kFileLimit;
    for (auto &line : File_Header_Lines)
        line.clear();
}

}  // namespace kavra
