#pragma once
// A picture as a list of drawing primitives in device pixels, free of Qt and of
// any file format: what VectorRecorder records and the metafile writers replay.

#include <cstdint>
#include <string>
#include <vector>

namespace kavra {

struct VectorColour {
    uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const VectorColour &) const = default;
};

enum class VectorPenStyle { None, Solid, Dash, Dot, DashDot, DashDotDot };

struct VectorPen {
    VectorPenStyle style = VectorPenStyle::Solid;
    VectorColour colour;
    double width = 1;  // pixels
    bool operator==(const VectorPen &) const = default;
};

struct VectorBrush {
    bool solid = false;  // false: nothing is filled
    VectorColour colour;
    bool operator==(const VectorBrush &) const = default;
};

struct VectorFont {
    std::string family;
    double pixelSize = 12;  // the em height
    bool bold = false;
    bool italic = false;
    bool operator==(const VectorFont &) const = default;
};

struct VectorPoint {
    double x = 0, y = 0;
};

struct VectorShape {
    enum class Kind { Polyline, Polygon, Rectangle, Ellipse, Text };
    Kind kind = Kind::Polyline;
    // Polyline, Polygon: the corners. Rectangle, Ellipse: top left and bottom right.
    // Text: the left end of the baseline.
    std::vector<VectorPoint> points;
    VectorPen pen;      // the outline (none for text)
    VectorBrush brush;  // the filling of polygons, rectangles and ellipses
    std::u16string text;
    VectorFont font;
    VectorColour textColour;
    double angle = 0;  // text direction, degrees counter-clockwise from the x axis
};

struct VectorPicture {
    int width = 0, height = 0;  // pixels
    std::vector<VectorShape> shapes;
};

}  // namespace kavra
