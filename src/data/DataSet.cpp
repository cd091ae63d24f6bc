#include "data/DataSet.h"

#include "data/Text.h"

#include <algorithm>
#include <new>

namespace kavra {

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
        Perf_Data.reset(file.rowCount, columns + kSpareColumns, std::move(file.columns));
        Row_Count = file.rowCount;
        Last_Used_Column = columns;
        Column_Map.reset(columns, kFileLimit);
        Xaxis_Values.resize(static_cast<size_t>(Row_Count));
        Perf_Data.decode(1, 1, 1, Row_Count, Xaxis_Values.data());
        Column_Names = file.names;
        Column_Names_Windows1252 = file.windows1252Names;
    } else {
        Perf_Data.addFile(std::move(file.columns));
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
    }
    const size_t stride = static_cast<size_t>(width), n = static_cast<size_t>(last - firstRow + 1);
    std::vector<double> run(n);
    for (int c = 1; c <= std::min(width, Perf_Data.columns()); ++c) {
        for (size_t r = 0; r < n; ++r)
            run[r] = rows[r * stride + size_t(c - 1)];
        Perf_Data.write(c, file, firstRow, run.data(), int(n));
    }
    // Whole blocks of the rows appended so far are encoded; the rest stay open.
    Perf_Data.seal();
    if (file == 1) {
        Xaxis_Values.resize(static_cast<size_t>(Row_Count));
        Perf_Data.decode(1, 1, firstRow, int(n), Xaxis_Values.data() + (firstRow - 1));
    }
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
