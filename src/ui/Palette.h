#pragma once
// The series palette: the sixteen colours the chart gives its series in turn.

#include <QColor>

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

}  // namespace kavra
