#include "chart/LineBand.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace kavra {
namespace {

constexpr float kNone = std::numeric_limits<float>::infinity();

bool finite(const QPointF &p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// The premultiplied pixel of colour at coverage (0 to 1).
QRgb covered(const QColor &colour, double coverage)
{
    const double alpha = colour.alphaF() * qBound(0.0, coverage, 1.0);
    const auto part = [alpha](double channel) { return int(std::lround(channel * alpha * 255)); };
    return qRgba(part(colour.redF()), part(colour.greenF()), part(colour.blueF()), int(std::lround(alpha * 255)));
}

// src over dst, both premultiplied.
QRgb over(QRgb src, QRgb dst)
{
    const int keep = 255 - qAlpha(src);
    const auto part = [keep](int s, int d) { return s + (d * keep + 127) / 255; };
    return qRgba(part(qRed(src), qRed(dst)), part(qGreen(src), qGreen(dst)), part(qBlue(src), qBlue(dst)),
                 part(qAlpha(src), qAlpha(dst)));
}

}  // namespace

void BandCanvas::prepare(const QTransform &device, const QRect &area)
{
    if (device == device_ && area == area_ && !image_.isNull())
        return;
    device_ = device;
    area_ = area;
    image_ = QImage(area.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    forgetTouched();
}

void BandCanvas::touch(int firstRow, int lastRow)
{
    firstRow = qMax(firstRow - area_.top(), 0);
    lastRow = qMin(lastRow - area_.top(), image_.height() - 1);
    if (firstRow > lastRow)
        return;
    touchedTop_ = qMin(touchedTop_, firstRow);
    touchedBottom_ = qMax(touchedBottom_, lastRow);
}

void BandCanvas::forgetTouched()
{
    touchedTop_ = std::numeric_limits<int>::max();
    touchedBottom_ = -1;
}

void BandCanvas::paint(QPainter *painter)
{
    if (touchedTop_ > touchedBottom_ || image_.isNull())
        return;
    const QRect rows(0, touchedTop_, image_.width(), touchedBottom_ - touchedTop_ + 1);
    const QRectF target = device_.inverted().mapRect(QRectF(rows.translated(area_.topLeft())));
    painter->drawImage(target, image_, rows);
    const qsizetype stride = image_.bytesPerLine();
    std::memset(image_.bits() + rows.top() * stride, 0, size_t(rows.height() * stride));
    forgetTouched();
}

void BandCanvas::release()
{
    image_ = QImage();
    forgetTouched();
}

bool LineBand::fits(const QPainter &painter)
{
    const QTransform t = painter.deviceTransform();
    return t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0;
}

LineBand::LineBand(const QPainter &painter, const QRect &clip)
    : device_(painter.deviceTransform()), antialiased_(painter.testRenderHint(QPainter::Antialiasing))
{
    const QRectF area = device_.mapRect(QRectF(clip));
    left_ = int(std::floor(area.left()));
    columns_ = qMax(0, int(std::ceil(area.right())) - left_);
    top_ = area.top();
    bottom_ = area.bottom();
    const QPen &pen = painter.pen();
    const double width = qMax(pen.isCosmetic() ? 1.0 : 0.0, pen.widthF());
    halfX_ = qMax(0.5, width / 2 * (pen.isCosmetic() ? 1 : device_.m11()));
    halfY_ = qMax(0.5, width / 2 * (pen.isCosmetic() ? 1 : device_.m22()));
}

bool LineBand::dense(const QVector<QPointF> &lines) const
{
    if (lines.size() < 2)
        return false;
    const double span = std::abs(lines.back().x() - lines.front().x()) * device_.m11();
    return double(lines.size()) >= qMin(span, double(columns_));
}

void LineBand::paint(QPainter *painter, const QVector<QPointF> &lines, BandCanvas *canvas)
{
    if (canvas) {
        const int top = int(std::floor(top_));
        canvas->prepare(device_, QRect(left_, top, columns_, int(std::ceil(bottom_)) - top));
    }
    low_.assign(size_t(columns_), kNone);
    high_.assign(size_t(columns_), -kNone);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= lines.size(); ++i) {
        if (i < lines.size() && finite(lines[i]))
            continue;
        if (i - start > 1)
            paintRun(painter, lines.constData() + start, i - start, canvas);
        start = i + 1;
    }
}

void LineBand::paintRun(QPainter *painter, const QPointF *points, qsizetype count, BandCanvas *canvas)
{
    // Each column's extent: where the line passes within half a pen of its centre.
    // The painter only moves and scales (fits), so a point maps by hand.
    const double sx = device_.m11(), sy = device_.m22(), dx = device_.dx(), dy = device_.dy();
    const auto map = [&](const QPointF &p) { return QPointF(p.x() * sx + dx, p.y() * sy + dy); };
    float *const low = low_.data(), *const high = high_.data();
    int first = columns_, last = -1;
    QPointF next = map(points[0]);
    for (qsizetype i = 0; i + 1 < count; ++i) {
        QPointF a = next, b = map(points[i + 1]);
        next = b;
        if (a.x() > b.x())
            std::swap(a, b);
        const double run = b.x() - a.x();
        const double slope = run > 0 ? (b.y() - a.y()) / run : 0;
        // The columns whose centres lie within half a pen of the segment, bounded
        // before the conversion: points off the plot may lie far beyond int.
        const int from = int(qMax(0.0, std::ceil(a.x() - halfX_ - left_ - 0.5)));
        const int to = int(qMin(columns_ - 1.0, std::floor(b.x() + halfX_ - left_ - 0.5)));
        if (from > to)
            continue;
        first = qMin(first, from);
        last = qMax(last, to);
        for (int c = from; c <= to; ++c) {
            const double centre = left_ + c + 0.5;
            const double x0 = qMax(centre - halfX_, a.x()), x1 = qMin(centre + halfX_, b.x());
            if (x0 > x1)
                continue;
            // A segment of no width (two points at one time) spans its two ends.
            double y0 = run > 0 ? a.y() + slope * (x0 - a.x()) : a.y();
            double y1 = run > 0 ? a.y() + slope * (x1 - a.x()) : b.y();
            if (y0 > y1)
                std::swap(y0, y1);
            low[c] = qMin(low[c], float(y0 - halfY_));
            high[c] = qMax(high[c], float(y1 + halfY_));
        }
    }
    if (last < first)
        return;

    for (int c = first; c <= last; ++c) {
        low_[size_t(c)] = float(qBound(top_, double(low_[size_t(c)]), bottom_));
        high_[size_t(c)] = float(qBound(top_, double(high_[size_t(c)]), bottom_));
    }
    if (canvas)
        paintOnto(*canvas, painter->pen().color(), first, last);
    else
        paintImage(painter, first, last);
    std::fill(low_.begin() + first, low_.begin() + last + 1, kNone);
    std::fill(high_.begin() + first, high_.begin() + last + 1, -kNone);
}

void LineBand::rowSpan(int first, int last, int &row0, int &rows) const
{
    double low = bottom_, high = top_;
    for (int c = first; c <= last; ++c) {
        low = qMin(low, double(low_[size_t(c)]));
        high = qMax(high, double(high_[size_t(c)]));
    }
    row0 = int(std::floor(low));
    rows = int(std::ceil(high)) - row0;
}

void LineBand::paintOnto(BandCanvas &canvas, const QColor &colour, int first, int last) const
{
    QImage &image = canvas.image_;
    const QRect &area = canvas.area_;
    writeColumns(
        colour, first, last,
        {image.bits(), image.bytesPerLine(), area.left() - left_, image.width(), area.top(), image.height(), true});
    int row0 = 0, rows = 0;
    rowSpan(first, last, row0, rows);
    canvas.touch(row0, row0 + rows);
}

// The band of columns first to last, painted as one image of the rows it spans,
// or as a few stacked images where that would be very large (a picture exported
// at many thousand pixels). (Cut into narrow pieces it would hold fewer empty
// pixels, but the many small images draw no faster than the one.)
void LineBand::paintImage(QPainter *painter, int first, int last)
{
    int row0 = 0, rows = 0;
    rowSpan(first, last, row0, rows);
    const int width = last - first + 1;
    const int rowsAtOnce = int(qMax(qsizetype(1), kImagePixels / width));
    for (int top = row0; top < row0 + rows; top += rowsAtOnce)
        paintRows(painter, first, last, top, qMin(rowsAtOnce, row0 + rows - top));
}

void LineBand::paintRows(QPainter *painter, int first, int last, int row0, int rows)
{
    const int width = last - first + 1;
    QImage image(width, rows, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return;
    image.fill(Qt::transparent);
    writeColumns(painter->pen().color(), first, last,
                 {image.bits(), image.bytesPerLine(), first, width, row0, rows, false});
    const QRectF target = device_.inverted().mapRect(QRectF(left_ + first, row0, width, rows));
    painter->drawImage(target, image);
}

// The solid rows are written a few columns at a time, row by row: column by
// column, every pixel lies a row's length from the last, and the writes wait on
// the memory system instead of the processor.
void LineBand::writeColumns(const QColor &colour, int first, int last, const Pixels &out) const
{
    constexpr int kTile = 16;
    const QRgb solid = covered(colour, 1);
    const bool opaque = qAlpha(solid) == 255 || !out.over;
    const qsizetype step = out.stride / qsizetype(sizeof(QRgb));
    QRgb *const bits = reinterpret_cast<QRgb *>(out.bits);
    const auto put = [&](int r, int c, QRgb pixel) {
        if (r >= 0 && r < out.rows) {
            QRgb &at = bits[r * step + (c - out.column0)];
            at = out.over ? over(pixel, at) : pixel;
        }
    };
    const int end = qMin(last, out.column0 + out.width - 1);
    for (int tile = qMax(first, out.column0); tile <= end; tile += kTile) {
        const int count = qMin(kTile, end - tile + 1);
        int from[kTile], to[kTile];  // each column's solid rows
        int top = out.rows, bottom = 0;
        for (int i = 0; i < count; ++i) {
            const int c = tile + i;
            from[i] = to[i] = 0;
            const double y0 = low_[size_t(c)] - out.row0, y1 = high_[size_t(c)] - out.row0;
            if (!(y0 < y1) || y1 <= 0 || y0 >= out.rows)
                continue;
            // Aliased, the rows whose centres the band covers. Antialiased, the rows
            // it covers whole, and the end rows it covers in part get their share.
            int full0 = int(std::lround(y0)), full1 = int(std::lround(y1));
            if (antialiased_) {
                full0 = int(std::ceil(y0));
                full1 = int(std::floor(y1));
                if (full1 < full0) {  // within one row
                    put(full1, c, covered(colour, y1 - y0));
                    continue;
                }
                if (full0 > y0)
                    put(full0 - 1, c, covered(colour, full0 - y0));
                if (y1 > full1)
                    put(full1, c, covered(colour, y1 - full1));
            }
            from[i] = qMax(full0, 0);
            to[i] = qMin(full1, out.rows);
            if (from[i] < to[i]) {
                top = qMin(top, from[i]);
                bottom = qMax(bottom, to[i]);
            }
        }
        QRgb *row = bits + top * step + (tile - out.column0);
        if (opaque && count == kTile) {  // without branches, so that it runs in vector registers
            for (int r = top; r < bottom; ++r, row += step)
                for (int i = 0; i < kTile; ++i)
                    row[i] = r >= from[i] && r < to[i] ? solid : row[i];
            continue;
        }
        for (int r = top; r < bottom; ++r, row += step)
            for (int i = 0; i < count; ++i)
                if (r >= from[i] && r < to[i])
                    row[i] = opaque ? solid : over(solid, row[i]);
    }
}

}  // namespace kavra
