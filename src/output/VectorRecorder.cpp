#include "output/VectorRecorder.h"

#include <QFontInfo>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTextItem>

#include <cmath>
#include <limits>
#include <numbers>

namespace kavra {

class VectorPaintEngine : public QPaintEngine {
public:
    VectorPaintEngine(VectorPicture &picture, int dpi) : QPaintEngine(AllFeatures), picture_(picture), dpi_(dpi) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState &) override {}  // the painter's state is read when drawing

    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override;
    void drawLines(const QLineF *lines, int count) override;
    void drawRects(const QRectF *rects, int count) override;
    void drawEllipse(const QRectF &rect) override;
    void drawPoints(const QPointF *points, int count) override;
    void drawTextItem(const QPointF &position, const QTextItem &item) override;
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override {}

private:
    QTransform transform() const { return painter()->combinedTransform(); }
    VectorPen pen() const;
    VectorBrush brush() const;
    VectorShape shape(VectorShape::Kind kind, const QPolygonF &points, bool filled) const;
    void add(VectorShape shape);

    VectorPicture &picture_;
    int dpi_;
};

namespace {

VectorColour colourOf(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return {uint8_t(rgb.red()), uint8_t(rgb.green()), uint8_t(rgb.blue())};
}

VectorPenStyle styleOf(Qt::PenStyle style)
{
    switch (style) {
    case Qt::NoPen: return VectorPenStyle::None;
    case Qt::SolidLine: return VectorPenStyle::Solid;
    case Qt::DashLine: return VectorPenStyle::Dash;
    case Qt::DotLine: return VectorPenStyle::Dot;
    case Qt::DashDotLine: return VectorPenStyle::DashDot;
    case Qt::DashDotDotLine: return VectorPenStyle::DashDotDot;
    default: return VectorPenStyle::Dot;  // custom dashes, as the fine dotted grid uses
    }
}

// How much the transform enlarges lengths.
double scaleOf(const QTransform &transform)
{
    return std::sqrt(std::abs(transform.determinant()));
}

}  // namespace

VectorPen VectorPaintEngine::pen() const
{
    const QPen &qpen = painter()->pen();
    VectorPen result;
    result.style = styleOf(qpen.style());
    if (qpen.brush().style() == Qt::NoBrush || qpen.color().alpha() == 0)
        result.style = VectorPenStyle::None;
    result.colour = colourOf(qpen.color());
    const double width = qpen.widthF();
    result.width = qpen.isCosmetic() || width <= 0 ? std::max(1.0, width) : width * scaleOf(transform());
    return result;
}

VectorBrush VectorPaintEngine::brush() const
{
    const QBrush &qbrush = painter()->brush();
    VectorBrush result;
    QColor colour = qbrush.color();
    if (qbrush.gradient() && !qbrush.gradient()->stops().isEmpty())
        colour = qbrush.gradient()->stops().first().second;
    result.solid = qbrush.style() != Qt::NoBrush && colour.alpha() > 0;
    result.colour = colourOf(colour);
    return result;
}

VectorShape VectorPaintEngine::shape(VectorShape::Kind kind, const QPolygonF &points, bool filled) const
{
    VectorShape result;
    result.kind = kind;
    result.points.reserve(size_t(points.size()));
    for (const QPointF &point : points)
        result.points.push_back({point.x(), point.y()});
    result.pen = pen();
    if (filled)
        result.brush = brush();
    return result;
}

void VectorPaintEngine::add(VectorShape shape)
{
    if (shape.pen.style == VectorPenStyle::None && !shape.brush.solid)
        return;  // nothing to see
    picture_.shapes.push_back(std::move(shape));
}

void VectorPaintEngine::drawPath(const QPainterPath &path)
{
    const QTransform t = transform();
    const QList<QPolygonF> outlines = path.toSubpathPolygons(t);
    if (brush().solid) {
        // One closed outline keeps its pen; anything else is filled first and outlined after.
        if (outlines.size() == 1 && outlines.first().isClosed()) {
            add(shape(VectorShape::Kind::Polygon, outlines.first(), true));
            return;
        }
        for (const QPolygonF &fill : path.toFillPolygons(t)) {
            VectorShape filled = shape(VectorShape::Kind::Polygon, fill, true);
            filled.pen.style = VectorPenStyle::None;
            add(std::move(filled));
        }
    }
    for (const QPolygonF &outline : outlines)
        add(shape(VectorShape::Kind::Polyline, outline, false));
}

void VectorPaintEngine::drawPolygon(const QPointF *points, int count, PolygonDrawMode mode)
{
    const QPolygonF polygon = transform().map(QPolygonF(QList<QPointF>(points, points + count)));
    if (mode == PolylineMode)
        add(shape(VectorShape::Kind::Polyline, polygon, false));
    else
        add(shape(VectorShape::Kind::Polygon, polygon, true));
}

void VectorPaintEngine::drawLines(const QLineF *lines, int count)
{
    // Segments that go on from where the one before ended make one polyline.
    const QTransform t = transform();
    QPolygonF chain;
    for (int i = 0; i < count; ++i) {
        if (!chain.isEmpty() && lines[i].p1() != lines[i - 1].p2()) {
            add(shape(VectorShape::Kind::Polyline, t.map(chain), false));
            chain.clear();
        }
        if (chain.isEmpty())
            chain.append(lines[i].p1());
        chain.append(lines[i].p2());
    }
    if (!chain.isEmpty())
        add(shape(VectorShape::Kind::Polyline, t.map(chain), false));
}

void VectorPaintEngine::drawRects(const QRectF *rects, int count)
{
    const QTransform t = transform();
    for (int i = 0; i < count; ++i) {
        if (t.type() <= QTransform::TxScale) {
            const QRectF mapped = t.mapRect(rects[i].normalized());
            add(shape(VectorShape::Kind::Rectangle, QPolygonF({mapped.topLeft(), mapped.bottomRight()}), true));
        } else {
            add(shape(VectorShape::Kind::Polygon, t.map(QPolygonF(rects[i])), true));
        }
    }
}

void VectorPaintEngine::drawEllipse(const QRectF &rect)
{
    const QTransform t = transform();
    if (t.type() <= QTransform::TxScale) {
        const QRectF mapped = t.mapRect(rect.normalized());
        add(shape(VectorShape::Kind::Ellipse, QPolygonF({mapped.topLeft(), mapped.bottomRight()}), true));
    } else {
        QPainterPath path;
        path.addEllipse(rect);
        drawPath(path);
    }
}

void VectorPaintEngine::drawPoints(const QPointF *points, int count)
{
    const QTransform t = transform();
    for (int i = 0; i < count; ++i) {
        const QPointF at = t.map(points[i]);
        add(shape(VectorShape::Kind::Polyline, QPolygonF({at, at + QPointF(0.5, 0)}), false));
    }
}

void VectorPaintEngine::drawTextItem(const QPointF &position, const QTextItem &item)
{
    const QString text = item.text();
    if (text.isEmpty() || painter()->pen().style() == Qt::NoPen)
        return;
    const QTransform t = transform();
    VectorShape shape;
    shape.kind = VectorShape::Kind::Text;
    const QPointF at = t.map(position);
    shape.points.push_back({at.x(), at.y()});
    shape.pen.style = VectorPenStyle::None;
    shape.text = text.toStdU16String();
    const QFont font = item.font();
    shape.font.family = QFontInfo(font).family().toStdString();  // the font really used
    const double size = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * dpi_ / 72.0;
    shape.font.pixelSize = size * scaleOf(t);
    shape.font.bold = font.weight() >= QFont::DemiBold;
    shape.font.italic = font.italic();
    shape.textColour = colourOf(painter()->pen().color());
    shape.angle = std::atan2(-t.m12(), t.m11()) * 180.0 / std::numbers::pi;
    picture_.shapes.push_back(std::move(shape));
}

VectorRecorder::VectorRecorder(int width, int height, int dpi)
    : dpi_(dpi), engine_(std::make_unique<VectorPaintEngine>(picture_, dpi))
{
    picture_.width = width;
    picture_.height = height;
}

VectorRecorder::~VectorRecorder() = default;

QPaintEngine *VectorRecorder::paintEngine() const
{
    return engine_.get();
}

int VectorRecorder::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return picture_.width;
    case PdmHeight: return picture_.height;
    case PdmWidthMM: return int(std::lround(picture_.width * 25.4 / dpi_));
    case PdmHeightMM: return int(std::lround(picture_.height * 25.4 / dpi_));
    case PdmNumColors: return std::numeric_limits<int>::max();
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return dpi_;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    }
    return 0;
}

}  // namespace kavra
