#include "output/WmfWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kavra {
namespace {

// Record functions.
enum : uint16_t {
    kEof = 0x0000,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetPolyFillMode = 0x0106,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kDeleteObject = 0x01F0,
    kSetTextColor = 0x0209,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kEllipse = 0x0418,
    kRectangle = 0x041B,
    kTextOut = 0x0521,
};

constexpr int kMaxPointsPerRecord = 32000;  // counts are 16-bit signed numbers

uint32_t colourRef(const VectorColour &colour)
{
    return uint32_t(colour.red) | uint32_t(colour.green) << 8 | uint32_t(colour.blue) << 16;
}

uint16_t penStyle(VectorPenStyle style)
{
    switch (style) {
    case VectorPenStyle::Solid: return 0;       // PS_SOLID
    case VectorPenStyle::Dash: return 1;        // PS_DASH
    case VectorPenStyle::Dot: return 2;         // PS_DOT
    case VectorPenStyle::DashDot: return 3;     // PS_DASHDOT
    case VectorPenStyle::DashDotDot: return 4;  // PS_DASHDOTDOT
    case VectorPenStyle::None: break;
    }
    return 5;  // PS_NULL
}

class WmfRecords {
public:
    explicit WmfRecords(double scale) : scale_(scale) {}

    void record(uint16_t function, const std::vector<uint16_t> &parameters)
    {
        const uint32_t size = uint32_t(3 + parameters.size());
        words_.push_back(uint16_t(size & 0xffff));
        words_.push_back(uint16_t(size >> 16));
        words_.push_back(function);
        words_.insert(words_.end(), parameters.begin(), parameters.end());
        maxRecord_ = std::max(maxRecord_, size);
    }

    uint16_t coordinate(double pixels) const
    {
        return uint16_t(int16_t(std::clamp(std::lround(pixels * scale_), -32768L, 32767L)));
    }

    void setPen(const VectorPen &pen)
    {
        if (pen_ >= 0 && pen == currentPen_)
            return;
        const uint16_t width = uint16_t(std::clamp(std::lround(pen.width * scale_), 1L, 32767L));
        const uint32_t colour = colourRef(pen.colour);
        select(pen_, kCreatePenIndirect,
               {penStyle(pen.style), width, 0, uint16_t(colour & 0xffff), uint16_t(colour >> 16)});
        currentPen_ = pen;
    }

    void setBrush(const VectorBrush &brush)
    {
        if (brush_ >= 0 && brush == currentBrush_)
            return;
        const uint32_t colour = colourRef(brush.colour);
        select(brush_, kCreateBrushIndirect,
               {uint16_t(brush.solid ? 0 : 1), uint16_t(colour & 0xffff), uint16_t(colour >> 16), 0});
        currentBrush_ = brush;
    }

    void setFont(const VectorFont &font, double angle)
    {
        if (font_ >= 0 && font == currentFont_ && angle == currentAngle_)
            return;
        const auto tenths = uint16_t(int16_t(std::lround(angle * 10)));
        std::vector<uint16_t> parameters = {
            coordinate(-font.pixelSize),
            0,
            tenths,
            tenths,
            uint16_t(font.bold ? 700 : 400),
            uint16_t(font.italic ? 1 : 0),  // italic, then no underline
            0,                              // no strike-out, ANSI characters
            0,                              // default output and clip precision
            0,                              // default quality, pitch and family
        };
        char name[32] = {};
        std::copy_n(font.family.begin(), std::min<size_t>(font.family.size(), 31), name);
        for (int i = 0; i < 32; i += 2)
            parameters.push_back(uint16_t(uint8_t(name[i]) | uint8_t(name[i + 1]) << 8));
        select(font_, kCreateFontIndirect, parameters);
        currentFont_ = font;
        currentAngle_ = angle;
    }

    void setTextColour(const VectorColour &colour)
    {
        if (textColourSet_ && colour == textColour_)
            return;
        const uint32_t ref = colourRef(colour);
        record(kSetTextColor, {uint16_t(ref & 0xffff), uint16_t(ref >> 16)});
        textColour_ = colour;
        textColourSet_ = true;
    }

    void points(uint16_t function, const std::vector<VectorPoint> &points, size_t first, size_t count)
    {
        std::vector<uint16_t> parameters = {uint16_t(count)};
        for (size_t i = first; i < first + count; ++i) {
            parameters.push_back(coordinate(points[i].x));
            parameters.push_back(coordinate(points[i].y));
        }
        record(function, parameters);
    }

    void text(const VectorShape &shape)
    {
        std::string latin1;
        for (char16_t c : shape.text)
            latin1 += c < 256 ? char(c) : '?';
        std::vector<uint16_t> parameters = {uint16_t(latin1.size())};
        latin1.resize((latin1.size() + 1) / 2 * 2, '\0');
        for (size_t i = 0; i < latin1.size(); i += 2)
            parameters.push_back(uint16_t(uint8_t(latin1[i]) | uint8_t(latin1[i + 1]) << 8));
        parameters.push_back(coordinate(shape.points[0].y));
        parameters.push_back(coordinate(shape.points[0].x));
        record(kTextOut, parameters);
    }

    const std::vector<uint16_t> &words() const { return words_; }
    uint32_t maxRecord() const { return maxRecord_; }
    uint16_t objectCount() const { return uint16_t(slots_.size()); }

private:
    // Creates an object in the lowest free slot, selects it and deletes the one
    // it replaces.
    void select(int &current, uint16_t create, const std::vector<uint16_t> &parameters)
    {
        const auto freeSlot = std::find(slots_.begin(), slots_.end(), false);
        const int slot = int(freeSlot - slots_.begin());
        if (freeSlot == slots_.end())
            slots_.push_back(true);
        else
            *freeSlot = true;
        record(create, parameters);
        record(kSelectObject, {uint16_t(slot)});
        if (current >= 0) {
            record(kDeleteObject, {uint16_t(current)});
            slots_[size_t(current)] = false;
        }
        current = slot;
    }

    double scale_;
    std::vector<uint16_t> words_;
    uint32_t maxRecord_ = 0;
    std::vector<bool> slots_;
    int pen_ = -1, brush_ = -1, font_ = -1;
    VectorPen currentPen_;
    VectorBrush currentBrush_;
    VectorFont currentFont_;
    double currentAngle_ = 0;
    VectorColour textColour_;
    bool textColourSet_ = false;
};

void putWord(std::string &bytes, uint16_t word)
{
    bytes += char(word & 0xff);
    bytes += char(word >> 8);
}

void putDword(std::string &bytes, uint32_t dword)
{
    putWord(bytes, uint16_t(dword & 0xffff));
    putWord(bytes, uint16_t(dword >> 16));
}

void replay(WmfRecords &out, const VectorShape &shape)
{
    using Kind = VectorShape::Kind;
    if (shape.kind == Kind::Text) {
        out.setFont(shape.font, shape.angle);
        out.setTextColour(shape.textColour);
        out.text(shape);
        return;
    }
    out.setPen(shape.pen);
    if (shape.kind == Kind::Polyline) {
        // Long lines in pieces that share their end points.
        for (size_t first = 0; first + 1 < shape.points.size(); first += kMaxPointsPerRecord - 1) {
            const size_t count = std::min<size_t>(kMaxPointsPerRecord, shape.points.size() - first);
            out.points(kPolyline, shape.points, first, count);
        }
        return;
    }
    out.setBrush(shape.brush);
    if (shape.kind == Kind::Polygon) {
        if (shape.points.size() <= size_t(kMaxPointsPerRecord))  // larger ones cannot be told
            out.points(kPolygon, shape.points, 0, shape.points.size());
        return;
    }
    const VectorPoint &a = shape.points[0], &b = shape.points[1];
    out.record(shape.kind == Kind::Rectangle ? kRectangle : kEllipse,
               {out.coordinate(b.y), out.coordinate(b.x), out.coordinate(a.y), out.coordinate(a.x)});
}

}  // namespace

std::string wmfBytes(const VectorPicture &picture)
{
    // Logical units of a quarter pixel where they fit the 16-bit coordinates.
    const int largest = std::max({picture.width, picture.height, 1});
    const double scale = std::min(4.0, 32767.0 / largest);
    WmfRecords records(scale);
    const uint16_t width = records.coordinate(picture.width), height = records.coordinate(picture.height);
    records.record(kSetMapMode, {8});  // MM_ANISOTROPIC
    records.record(kSetWindowOrg, {0, 0});
    records.record(kSetWindowExt, {height, width});
    records.record(kSetBkMode, {1, 0});        // TRANSPARENT
    records.record(kSetTextAlign, {24, 0});    // TA_BASELINE | TA_LEFT
    records.record(kSetPolyFillMode, {2, 0});  // WINDING
    for (const VectorShape &shape : picture.shapes)
        replay(records, shape);
    records.record(kEof, {});

    std::string bytes;
    // The placeable header: key, no handle, bounding box, units per inch, reserved, checksum.
    const uint16_t placeable[10] = {0xCDD7, 0x9AC6, 0, 0, 0, width, height, uint16_t(std::lround(96 * scale)), 0, 0};
    uint16_t checksum = 0;
    for (uint16_t word : placeable) {
        putWord(bytes, word);
        checksum ^= word;
    }
    putWord(bytes, checksum);
    // The metafile header: in memory, 9 words long, version 3.0, sizes in words.
    putWord(bytes, 1);
    putWord(bytes, 9);
    putWord(bytes, 0x0300);
    putDword(bytes, uint32_t(9 + records.words().size()));
    putWord(bytes, records.objectCount());
    putDword(bytes, records.maxRecord());
    putWord(bytes, 0);
    for (uint16_t word : records.words())
        putWord(bytes, word);
    return bytes;
}

}  // namespace kavra
