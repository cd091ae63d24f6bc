#include "output/EmfWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

// libEMF emulates the Windows GDI calls and brings Windows' names with it: it
// is kept to this file, and included after the standard headers.
#include <libEMF/emf.h>
#undef min
#undef max

namespace kavra {
namespace {

constexpr int kUnitsPerPixel = 4;  // logical units, for lines between pixels
constexpr double kPixelsPerInch = 96;
// libEMF's reference device without a context: 1024 x 768 pixels on 320 x 240 mm.
constexpr double kDevicePixelsPerMm = 1024.0 / 320.0;

COLORREF colourRef(const VectorColour &colour)
{
    return RGB(colour.red, colour.green, colour.blue);
}

INT penStyle(VectorPenStyle style)
{
    switch (style) {
    case VectorPenStyle::Solid: return PS_SOLID;
    case VectorPenStyle::Dash: return PS_DASH;
    case VectorPenStyle::Dot: return PS_DOT;
    case VectorPenStyle::DashDot: return PS_DASHDOT;
    case VectorPenStyle::DashDotDot: return PS_DASHDOTDOT;
    case VectorPenStyle::None: break;
    }
    return PS_NULL;
}

INT units(double pixels)
{
    return INT(std::lround(pixels * kUnitsPerPixel));
}

// The metafile's device context with the objects selected in it.
class EmfContext {
public:
    explicit EmfContext(HDC dc) : dc_(dc) {}
    ~EmfContext()
    {
        for (HGDIOBJ object : {pen_, brush_, font_})
            if (object)
                DeleteObject(object);
    }
    EmfContext(const EmfContext &) = delete;
    EmfContext &operator=(const EmfContext &) = delete;

    void setPen(const VectorPen &pen)
    {
        if (pen_ && pen == currentPen_)
            return;
        replace(pen_, CreatePen(penStyle(pen.style), std::max(1, units(pen.width)), colourRef(pen.colour)));
        currentPen_ = pen;
    }

    void setBrush(const VectorBrush &brush)
    {
        if (brush_ && brush == currentBrush_)
            return;
        LOGBRUSH logBrush = {UINT(brush.solid ? BS_SOLID : BS_NULL), colourRef(brush.colour), 0};
        replace(brush_, CreateBrushIndirect(&logBrush));
        currentBrush_ = brush;
    }

    void setFont(const VectorFont &font, double angle)
    {
        if (font_ && font == currentFont_ && angle == currentAngle_)
            return;
        LOGFONTW logFont = {};
        logFont.lfHeight = -units(font.pixelSize);
        logFont.lfEscapement = logFont.lfOrientation = LONG(std::lround(angle * 10));
        logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
        logFont.lfItalic = font.italic ? 1 : 0;
        logFont.lfCharSet = DEFAULT_CHARSET;
        for (size_t i = 0; i < font.family.size() && i < 31; ++i)
            logFont.lfFaceName[i] = WCHAR(uint8_t(font.family[i]));
        replace(font_, CreateFontIndirectW(&logFont));
        currentFont_ = font;
        currentAngle_ = angle;
    }

    void setTextColour(const VectorColour &colour)
    {
        if (textColourSet_ && colour == textColour_)
            return;
        SetTextColor(dc_, colourRef(colour));
        textColour_ = colour;
        textColourSet_ = true;
    }

    HDC dc() const { return dc_; }

private:
    template <typename Handle> void replace(HGDIOBJ &current, Handle created)
    {
        SelectObject(dc_, created);
        if (current)
            DeleteObject(current);
        current = created;
    }

    HDC dc_;
    HGDIOBJ pen_ = 0, brush_ = 0, font_ = 0;
    VectorPen currentPen_;
    VectorBrush currentBrush_;
    VectorFont currentFont_;
    double currentAngle_ = 0;
    VectorColour textColour_;
    bool textColourSet_ = false;
};

std::vector<POINT> pointsOf(const std::vector<VectorPoint> &points)
{
    std::vector<POINT> result;
    result.reserve(points.size());
    for (const VectorPoint &point : points)
        result.push_back({units(point.x), units(point.y)});
    return result;
}

void replay(EmfContext &out, const VectorShape &shape)
{
    using Kind = VectorShape::Kind;
    if (shape.kind == Kind::Text) {
        out.setFont(shape.font, shape.angle);
        out.setTextColour(shape.textColour);
        std::vector<WCHAR> text(shape.text.begin(), shape.text.end());
        TextOutW(out.dc(), units(shape.points[0].x), units(shape.points[0].y), text.data(), INT(text.size()));
        return;
    }
    out.setPen(shape.pen);
    if (shape.kind == Kind::Polyline) {
        const std::vector<POINT> points = pointsOf(shape.points);
        Polyline(out.dc(), points.data(), INT(points.size()));
        return;
    }
    out.setBrush(shape.brush);
    if (shape.kind == Kind::Polygon) {
        const std::vector<POINT> points = pointsOf(shape.points);
        Polygon(out.dc(), points.data(), INT(points.size()));
        return;
    }
    const VectorPoint &a = shape.points[0], &b = shape.points[1];
    if (shape.kind == Kind::Rectangle)
        Rectangle(out.dc(), units(a.x), units(a.y), units(b.x), units(b.y));
    else
        Ellipse(out.dc(), units(a.x), units(a.y), units(b.x), units(b.y));
}

}  // namespace

std::string emfBytes(const VectorPicture &picture, std::string &error)
{
    // The metafile is written into memory: a temporary file would make the
    // picture fail on a full disk, and libEMF ends the program when a write fails.
    char *buffer = nullptr;
    size_t size = 0;
    FILE *file = ::open_memstream(&buffer, &size);
    if (!file) {
        error = "Cannot make room for the metafile";
        return {};
    }
    const double widthMm = picture.width * 25.4 / kPixelsPerInch, heightMm = picture.height * 25.4 / kPixelsPerInch;
    const RECT frame = {0, 0, LONG(std::lround(widthMm * 100)), LONG(std::lround(heightMm * 100))};  // 0.01 mm
    HDC dc = CreateEnhMetaFileWithFILEA(0, file, &frame, "Kavra\0Chart\0");
    if (!dc) {
        std::fclose(file);
        std::free(buffer);
        error = "Cannot start the metafile";
        return {};
    }
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, picture.width * kUnitsPerPixel, picture.height * kUnitsPerPixel, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetViewportExtEx(dc, INT(std::lround(widthMm * kDevicePixelsPerMm)),
                     INT(std::lround(heightMm * kDevicePixelsPerMm)), nullptr);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    SetPolyFillMode(dc, WINDING);
    {
        EmfContext context(dc);
        for (const VectorShape &shape : picture.shapes)
            replay(context, shape);
        SelectObject(dc, GetStockObject(BLACK_PEN));  // so that the context's own objects can go
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
    }
    HENHMETAFILE metafile = CloseEnhMetaFileWithFILE(dc);
    // libEMF ends with the header written again at the start; the stream's size
    // is its position when it closes, so it goes back to the end first.
    const bool whole = metafile && std::fseek(file, 0, SEEK_END) == 0;
    if (metafile)
        DeleteEnhMetaFile(metafile);
    std::fclose(file);
    std::string bytes = whole ? std::string(buffer, size) : std::string();
    std::free(buffer);
    if (bytes.empty())
        error = "Cannot write the metafile";
    return bytes;
}

}  // namespace kavra
