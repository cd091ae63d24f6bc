#include "data/DataSet.h"

#include "data/Text.h"

#include <algorithm>
#include <new>

namespace kavra {

PerfData::PerfData() { reset(1, 1); }

void PerfData::reset(int rows, int columns)
{
    layers_.clear();
    strides_.clear();
    rows_ = stride_ = rows;
    columns_ = columns;
    addLayer(makeLayer());
}

PerfData::Layer PerfData::makeLayer() const
{
    const size_t cells = static_cast<size_t>(stride_) * static_cast<size_t>(columns_);
    if (stride_ < 1 || columns_ < 1 || cells / static_cast<size_t>(columns_) != static_cast<size_t>(stride_))
        throw std::bad_alloc();
    return Layer(cells);
}

void PerfData::addLayer(Layer layer)
{
    layers_.push_back(std::move(layer));
    strides_.push_back(static_cast<size_t>(stride_));
}

void PerfData::addColumns(int count)
{
    // Columns lie one after another, so new ones go at the end of each layer.
    for (size_t f = 0; f < layers_.size(); ++f)
        layers_[f].resize(layers_[f].size() + size_t(count) * strides_[f], 0.0);
    columns_ += count;
}

void PerfData::moveLayer(size_t file, int stride)
{
    const size_t columns = static_cast<size_t>(columns_), from = strides_[file], to = static_cast<size_t>(stride);
    Layer grown(to * columns);
    for (size_t c = 0; c < columns; ++c)
        std::copy_n(layers_[file].data() + c * from, rows_, grown.data() + c * to);
    layers_[file] = std::move(grown);
    strides_[file] = to;
}

void PerfData::reserveRows(int rows)
{
    stride_ = std::max(stride_, rows);
    for (size_t f = 0; f < layers_.size(); ++f)
        if (strides_[f] < static_cast<size_t>(stride_))
            moveLayer(f, stride_);
}

void PerfData::growRows(int rows)
{
    if (rows <= rows_)
        return;
    // Within an eighth of the room (at least 1024 rows), room for a quarter
    // more rows (at least 4096, an hour of one-second samples) is made.
    if (rows + std::max(stride_ / 8, 1024) > stride_)
        stride_ = std::max({rows, stride_ + stride_ / 4, stride_ + 4096});
    bool movedOne = false;
    for (size_t f = 0; f < layers_.size(); ++f)
        if (strides_[f] < static_cast<size_t>(rows) || (!movedOne && strides_[f] < static_cast<size_t>(stride_))) {
            movedOne = movedOne || strides_[f] >= static_cast<size_t>(rows);
            moveLayer(f, stride_);
        }
    rows_ = rows;
}

void PerfData::removeLastLayer()
{
    if (layers_.size() > 1) {
        layers_.pop_back();
        strides_.pop_back();
    }
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

bool DataSet::isItemColumn(int column) const
{
    return column >= 2 && column <= static_cast<int>(Column_Names.size()) &&
           !text::containsNoCase(Column_Names[static_cast<size_t>(column - 1)], "SAMPLE TIME");
}

int32_t DataSet::itemColumn(const std::string &name) const
{
    for (size_t c = 1; c <= Column_Names.size(); ++c)
        if (Column_Names[c - 1] == name && isItemColumn(static_cast<int>(c)))
            return static_cast<int32_t>(c);
    return 0;
}

void DataSet::apply(LoadedFile &&file)
{
    const int columns = static_cast<int>(file.names.size());
    const size_t n = static_cast<size_t>(file.fileNumber - 1);
    if (file.fileNumber == 1) {
        Perf_Data = std::move(file.table);
        Row_Count = file.rowCount;
        Last_Used_Column = columns;
        Column_Map.reset(columns, kFileLimit);
        Xaxis_Values.assign(Perf_Data.column(1, 1), Perf_Data.column(1, 1) + Row_Count);
        Column_Names = file.names;
        Column_Names_Windows1252 = file.windows1252Names;
    } else {
        Perf_Data.addLayer(std::move(file.layer));
    }
    Column_Map.growColumns(columns);
    for (int c = 1; c <= columns; ++c)
        Column_Map(c, file.fileNumber) = file.columnMap[static_cast<size_t>(c - 1)];
    Files_Open = file.fileNumber;
    Column_Count = columns;
    File_Names[n] = std::move(file.path);
    Node_Name = text::decoded(file.nodeName);
    Node_Names[n] = text::upperCased(text::trimBlanks(Node_Name));
    File_Header_Lines[n] = text::decoded(text::trimBlanks(file.line1));
    Collection_Dates[n] = file.collectionDate;
    Collection_Date_Text = std::move(file.collectionDate);
    Line1 = file.line1;
    File_Line1[n] = std::move(file.line1);
}

int DataSet::appendRows(int file, int firstRow, const double *rows, int count, int width)
{
    if (file < 1 || file > std::min(int(Files_Open), Perf_Data.files()) || count < 1 || firstRow < 1 ||
        firstRow > Row_Count + 1)
        return 0;
    const int last = file == 1 ? firstRow + (count - 1) : std::min(Row_Count, firstRow + (count - 1));
    if (last < firstRow)
        return 0;
    if (file == 1 && last > Row_Count) {
        Perf_Data.growRows(last);
        Row_Count = last;
        Xaxis_Values.resize(static_cast<size_t>(Row_Count));
    }
    const size_t stride = static_cast<size_t>(width);
    for (int c = 1; c <= std::min(width, Perf_Data.columns()); ++c) {
        double *column = Perf_Data.column(c, file);
        for (int r = firstRow; r <= last; ++r)
            column[r - 1] = rows[static_cast<size_t>(r - firstRow) * stride + size_t(c - 1)];
    }
    if (file == 1)
        for (int r = firstRow; r <= last; ++r)
            Xaxis_Values[static_cast<size_t>(r - 1)] = Perf_Data(r, 1, 1);
    return last - firstRow + 1;
}

void DataSet::closeAll()
{
    Files_Open = 0;
    Max_Files = kFileLimit;
    for (auto &line : File_Header_Lines)
        line.clear();
}

}  // namespace kavra
