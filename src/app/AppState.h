#pragma once
// The application state: the main window's variables that shape the item list
// and the chart. Every option starts from these values at each start; nothing is
// kept between runs.

#include "data/DataSet.h"

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>

namespace kavra {

struct PaletteColour {
    int16_t red, green, blue;
};

// Colour k of the series palette.
inline constexpr std::array<PaletteColour, 16> kSeriesPalette = {{
    {255, 0, 0},     {0, 0, 255},     {0, 128, 0},     {0, 0, 128},     {128, 0, 0},   {255, 0, 255},
    {0, 0, 0},       {128, 0, 128},   {200, 144, 200}, {250, 185, 70},  {128, 128, 0}, {64, 0, 64},
    {0, 220, 0},     {192, 192, 0},   {144, 220, 144}, {144, 144, 192},
}};

// Colour k of the series palette; indexes beyond it wrap around.
inline QColor paletteColour(int k)
{
    const PaletteColour &c = kSeriesPalette[size_t(((k % 16) + 16) % 16)];
    return QColor(c.red, c.green, c.blue);
}

struct AppState {
    int16_t Sort_Order = 0;      // 0 ascending, 1 descending
    int16_t Sort_Key_Start = 1;  // 1 to 10
    bool Median_Sorted = false;
    QString Search_String = QStringLiteral("MpSync");
    int32_t Primary_Line_Width = 3;
    int32_t Secondary_Line_Width = 3;
    int16_t MovAvg_Period = 10;
    int32_t Smoothing_Factor = 50;
    bool MovAvg_On = false;
    bool Ratio_Mode = false;
    bool Smoothing_On = false;
    bool Candle_On = false;
    int32_t Stack_Mode = 0;  // 0 none, 1 overlap (UnStack), 2 stacked (Stack)
    QString Chart_Title;
    QString Chart_Sub_Title;
    QString Chart_Footer;
    QString Chart_Sub_Footer;
    std::array<QString, 50> Legend_Text;
    int32_t Zoom_First_Row = 0;
    int32_t Zoom_Last_Row = 0;
    int32_t Selected_Item_Column = 0;
    int32_t Export_Filter_Index = 3;
    QString Current_User;
    int16_t Dual_Charts = 0;  // 0 one value axis, 1 dual Y axes, 2 dual charts
    int32_t Scount = 0;
    int32_t FCount = 0;
    int16_t Form_Key_Shift = 0;
    QString Axis_Format_String_Left;
    QString Axis_Format_String_Right;
    QString Dragged_File_Spec;
};

// How a successful load leaves the view: stacking off (items overlap), no moving
// average or smoothing; after the first file, its node in the title and all rows.
inline void applyLoadedView(AppState &state, const DataSet &data, bool firstFile)
{
    if (firstFile) {
        state.Chart_Title = QStringLiteral("Node(s) : ") + QString::fromLocal8Bit(data.Node_Names[0]);
        state.Zoom_First_Row = 1;
        state.Zoom_Last_Row = data.Row_Count;
    }
    state.Stack_Mode = 1;
    state.Chart_Sub_Footer.clear();
    state.MovAvg_On = false;
    state.Smoothing_On = false;
}

}  // namespace kavra
