#include "output/ClippingDevice.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <optional>

namespace kavra {

class ClippingPaintEngine : public QPaintEngine {
public:
    explicit ClippingPaintEngine(QPaintDevice &target) : QPaintEngine(AllFeatures), target_(target) {}

    bool begin(QPaintDevice *) override { return out_.begin(&target_); }
    bool end() override { return out_.end(); }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState &) override {}  // the painter's state is read when drawing

    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override;
    void drawLines(const QLineF *lines, int count) override;
    void drawRects(const QRectF *rects, int count) override;
    void drawEllipse(const QRectF &rect) override;
    void drawPoints(const QPointF *points, int count) override;
    void drawTextItem(const QPointF &position, const QTextItem &item) override;
    void drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &source) override;
    void drawImage(const QRectF &rect, const QImage &image, const QRectF &source,
                   Qt::ImageConversionFlags flags) override;
    void drawTiledPixmap(const QRectF &rect, const QPixmap &pixmap, const QPointF &offset) override;

private:
    std::optional<QRectF> clip() const;
    void takeState();
    void drawCut(const QPainterPath &path, const QRectF &clip);
    void strokeCut(const QPolygonF &line, const QRectF &clip);

    QPaintDevice &target_;
    QPainter out_;
};

namespace {

bool within(const QRectF &box, const QRectF &clip)
{
    return clip.left() <= box.left() && box.right() <= clip.right() && clip.top() <= box.top() &&
           box.bottom() <= clip.bottom();
}

// Also true for boxes of no width or height (upright and level lines).
bool apart(const QRectF &box, const QRectF &clip)
{
    return box.left() > clip.right() || box.right() < clip.left() || box.top() > clip.bottom() ||
           box.bottom() < clip.top();
}

// Cuts the segment a-b to its part within clip (Liang and Barsky's way); false
// when none of it is.
bool cutSegment(QPointF &a, QPointF &b, const QRectF &clip)
{
    const QPointF along = b - a;
    const double p[4] = {-along.x(), along.x(), -along.y(), along.y()};
    const double q[4] = {a.x() - clip.left(), clip.right() - a.x(), a.y() - clip.top(), clip.bottom() - a.y()};
    double enter = 0, leave = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;  // parallel to this edge and outside it
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return false;
    const QPointF start = a;
    if (enter > 0)
        a = start + along * enter;
    if (leave < 1)
        b = start + along * leave;
    return true;
}

// The pieces of a polyline within clip.
QList<QPolygonF> cutPolyline(const QPolygonF &line, const QRectF &clip)
{
    QList<QPolygonF> pieces;
    QPolygonF piece;
    const auto finish = [&] {
        if (piece.size() >= 2)
            pieces << piece;
        piece.clear();
    };
    for (qsizetype i = 1; i < line.size(); ++i) {
        QPointF a = line[i - 1], b = line[i];
        if (!cutSegment(a, b, clip)) {
            finish();
            continue;
        }
        if (piece.isEmpty() || piece.last() != a) {
            finish();
            piece << a;
        }
        piece << b;
        if (b != line[i])
            finish();  // the line leaves the clip here
    }
    finish();
    return pieces;
}

Qt::FillRule fillRule(QPaintEngine::PolygonDrawMode mode)
{
    return mode == QPaintEngine::WindingMode ? Qt::WindingFill : Qt::OddEvenFill;
}

}  // namespace

std::optional<QRectF> ClippingPaintEngine::clip() const
{
    if (!painter()->hasClipping())
        return std::nullopt;
    return painter()->clipBoundingRect();  // in the coordinates the shapes come in
}

// The target's painter draws as this one would, in the same coordinates, without a clip.
void ClippingPaintEngine::takeState()
{
    const QPainter *in = painter();
    out_.setTransform(in->combinedTransform());
    out_.setPen(in->pen());
    out_.setBrush(in->brush());
    out_.setBrushOrigin(in->brushOrigin());
    out_.setFont(in->font());
    out_.setRenderHints(in->renderHints());
    out_.setOpacity(in->opacity());
    out_.setBackgroundMode(in->backgroundMode());
    out_.setBackground(in->background());
}

// A shape that crosses the clip's edge: its area intersected with the clip, then
// its outline cut at the edge (the clip's edge itself gets no line).
void ClippingPaintEngine::drawCut(const QPainterPath &path, const QRectF &clip)
{
    const QPen pen = out_.pen();
    if (out_.brush().style() != Qt::NoBrush) {
        QPainterPath area;
        area.addRect(clip);
        out_.setPen(Qt::NoPen);
        out_.drawPath(path.intersected(area));
        out_.setPen(pen);
    }
    if (pen.style() == Qt::NoPen)
        return;
    for (const QPolygonF &outline : path.toSubpathPolygons())
        strokeCut(outline, clip);
}

void ClippingPaintEngine::strokeCut(const QPolygonF &line, const QRectF &clip)
{
    const QBrush brush = out_.brush();
    out_.setBrush(Qt::NoBrush);
    for (const QPolygonF &piece : cutPolyline(line, clip))
        out_.drawPolyline(piece);
    out_.setBrush(brush);
}

void ClippingPaintEngine::drawPath(const QPainterPath &path)
{
    takeState();
    const std::optional<QRectF> cut = clip();
    const QRectF box = path.controlPointRect();
    if (!cut || within(box, *cut))
        out_.drawPath(path);
    else if (!apart(box, *cut))
        drawCut(path, *cut);
}

void ClippingPaintEngine::drawPolygon(const QPointF *points, int count, PolygonDrawMode mode)
{
    takeState();
    const QPolygonF polygon(QList<QPointF>(points, points + count));
    const std::optional<QRectF> cut = clip();
    const QRectF box = polygon.boundingRect();
    if (!cut || within(box, *cut)) {
        if (mode == PolylineMode)
            out_.drawPolyline(polygon);
        else
            out_.drawPolygon(polygon, fillRule(mode));
    } else if (!apart(box, *cut)) {
        if (mode == PolylineMode) {
            strokeCut(polygon, *cut);
            return;
        }
        QPainterPath path;
        path.setFillRule(fillRule(mode));
        path.addPolygon(polygon);
        path.closeSubpath();
        drawCut(path, *cut);
    }
}

void ClippingPaintEngine::drawLines(const QLineF *lines, int count)
{
    takeState();
    const std::optional<QRectF> cut = clip();
    QList<QLineF> kept;
    kept.reserve(count);
    for (int i = 0; i < count; ++i) {
        QPointF a = lines[i].p1(), b = lines[i].p2();
        if (!cut || cutSegment(a, b, *cut))
            kept << QLineF(a, b);
    }
    out_.drawLines(kept);
}

void ClippingPaintEngine::drawRects(const QRectF *rects, int count)
{
    takeState();
    const std::optional<QRectF> cut = clip();
    for (int i = 0; i < count; ++i) {
        const QRectF rect = rects[i].normalized();
        if (!cut || within(rect, *cut)) {
            out_.drawRect(rect);
        } else if (!apart(rect, *cut)) {
            QPainterPath path;
            path.addRect(rect);
            drawCut(path, *cut);
        }
    }
}

void ClippingPaintEngine::drawEllipse(const QRectF &rect)
{
    takeState();
    const std::optional<QRectF> cut = clip();
    if (!cut || within(rect.normalized(), *cut)) {
        out_.drawEllipse(rect);
    } else if (!apart(rect.normalized(), *cut)) {
        QPainterPath path;
        path.addEllipse(rect);
        drawCut(path, *cut);
    }
}

void ClippingPaintEngine::drawPoints(const QPointF *points, int count)
{
    takeState();
    const std::optional<QRectF> cut = clip();
    QPolygonF kept;
    for (int i = 0; i < count; ++i)
        if (!cut || cut->contains(points[i]))
            kept << points[i];
    out_.drawPoints(kept);
}

void ClippingPaintEngine::drawTextItem(const QPointF &position, const QTextItem &item)
{
    takeState();
    const std::optional<QRectF> cut = clip();
    if (!cut || cut->contains(position))
        out_.drawTextItem(position, item);
}

void ClippingPaintEngine::drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &source)
{
    takeState();
    const std::optional<QRectF> cut = clip();
    if (!cut || cut->contains(rect.topLeft()))
        out_.drawPixmap(rect, pixmap, source);
}

void ClippingPaintEngine::drawImage(const QRectF &rect, const QImage &image, const QRectF &source,
                                    Qt::ImageConversionFlags flags)
{
    takeState();
    const std::optional<QRectF> cut = clip();
    if (!cut || cut->contains(rect.topLeft()))
        out_.drawImage(rect, image, source, flags);
}

void ClippingPaintEngine::drawTiledPixmap(const QRectF &rect, const QPixmap &pixmap, const QPointF &offset)
{
    takeState();
    const std::optional<QRectF> cut = clip();
    if (!cut || cut->contains(rect.topLeft()))
        out_.drawTiledPixmap(rect, pixmap, offset);
}

ClippingDevice::ClippingDevice(QPaintDevice &target)
    : target_(target), engine_(std::make_unique<ClippingPaintEngine>(target))
{
}

ClippingDevice::~ClippingDevice() = default;

QPaintEngine *ClippingDevice::paintEngine() const
{
    return engine_.get();
}

int ClippingDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return target_.width();
    case PdmHeight: return target_.height();
    case PdmWidthMM: return target_.widthMM();
    case PdmHeightMM: return target_.heightMM();
    case PdmNumColors: return target_.colorCount();
    case PdmDepth: return target_.depth();
    case PdmDpiX: return target_.logicalDpiX();
    case PdmDpiY: return target_.logicalDpiY();
    case PdmPhysicalDpiX: return target_.physicalDpiX();
    case PdmPhysicalDpiY: return target_.physicalDpiY();
    case PdmDevicePixelRatio: return target_.devicePixelRatio();
    case PdmDevicePixelRatioScaled: return int(target_.devicePixelRatioF() * devicePixelRatioFScale());
    }
    return 0;
}

}  // namespace kavra
