#include "chart/ChartGraph.h"

#include "chart/LineBand.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavra {
ChartGraph::ChartGraph(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPGraph(keyAxis, valueAxis) {}

// Point i stands on point i of each series below, whatever their keys. Each
// series' drawn values are its own plus the drawn values of the series below,
// worked out once: a stack of n series costs n passes, not n * n.
const QCPGraphDataContainer &ChartGraph::stacked() const
{
    if (!stackBase_)
        return *mDataContainer;
    if (!stackStale_)
        return stacked_;
    const QCPGraphDataContainer &below = stackBase_->stacked();
    const int count = mDataContainer->size(), belowCount = below.size();
    stacked_ = *mDataContainer;  // the keys; the sums take the values' places
    double low = std::numeric_limits<double>::infinity(), high = -low;
    auto point = stacked_.begin();
    auto under = below.constBegin();
    for (int i = 0; i < count; ++i, ++point) {
        // Beyond the end of a shorter series below, the series under that one count.
        const double base = i < belowCount ? (under + i)->value : stackBase_->sumBelow(i);
        const double sum = point->value + base;
        point->value = sum;
        if (std::isfinite(sum)) {
            low = std::min(low, sum);
            high = std::max(high, sum);
        }
    }
    stackedRangeFound_ = low <= high;
    stackedRange_ = stackedRangeFound_ ? QCPRange(low, high) : QCPRange();
    stackStale_ = false;
    return stacked_;
}

double ChartGraph::sumBelow(int i) const
{
    if (!stackBase_)
        return 0;
    const QCPGraphDataContainer &below = stackBase_->stacked();
    return i < below.size() ? (below.constBegin() + i)->value : stackBase_->sumBelow(i);
}

std::vector<double> ChartGraph::stackedValues(int first, int count) const
{
    std::vector<double> values(size_t(qMax(0, count)), 0.0);
    const QCPGraphDataContainer &drawn = stacked();
    for (int i = 0; i < count && first + i < drawn.size(); ++i)
        if (first + i >= 0)
            values[size_t(i)] = drawn.at(first + i)->value;
    return values;
}

double ChartGraph::drawnDistance(const QPointF &pos, double tolerance, int &nearest) const
{
    nearest = -1;
    if (mDataContainer->isEmpty() || !mKeyAxis || !mValueAxis)
        return -1;
    double keyLow = 0, keyHigh = 0, ignored = 0;
    pixelsToCoords(pos - QPointF(tolerance, tolerance), keyLow, ignored);
    pixelsToCoords(pos + QPointF(tolerance, tolerance), keyHigh, ignored);
    if (keyLow > keyHigh)
        std::swap(keyLow, keyHigh);
    // One point beyond each side of the window: a segment crossing it counts.
    const auto begin = mDataContainer->findBegin(keyLow, true);
    const auto end = mDataContainer->findEnd(keyHigh, true);
    const int first = int(begin - mDataContainer->constBegin());
    const int count = int(end - begin);
    if (count <= 0)
        return -1;
    const std::vector<double> values = stackedValues(first, count);
    const QCPVector2D p(pos);
    double best = std::numeric_limits<double>::infinity();
    QPointF previous;
    bool previousDrawn = false;
    for (int i = 0; i < count; ++i) {
        const double value = values[size_t(i)];
        const bool drawn = std::isfinite(value);
        if (!drawn) {
            previousDrawn = false;
            continue;
        }
        const QPointF pixel = coordsToPixels((begin + i)->key, value);
        const double distance = (QCPVector2D(pixel) - p).lengthSquared();
        if (distance < best) {
            best = distance;
            nearest = first + i;
        }
        if (mLineStyle != lsNone && previousDrawn)
            best = qMin(best, p.distanceSquaredToLine(previous, pixel));
        previous = pixel;
        previousDrawn = true;
    }
    const double distance = std::sqrt(best);
    if (nearest < 0 || !(distance <= tolerance)) {
        nearest = -1;
        return -1;
    }
    return distance;
}

bool ChartGraph::drawnThrough(const QPointF &pos, double reach) const
{
    if (mLineStyle == lsNone) {
        int nearest = -1;
        return drawnDistance(pos, reach, nearest) >= 0;
    }
    if (mDataContainer->isEmpty() || !mKeyAxis || !mValueAxis)
        return false;
    // The column from half a pixel left of pos to half a pixel right of it.
    double keyLow = 0, keyHigh = 0, ignored = 0;
    pixelsToCoords(pos - QPointF(0.5, 0), keyLow, ignored);
    pixelsToCoords(pos + QPointF(0.5, 0), keyHigh, ignored);
    if (keyLow > keyHigh)
        std::swap(keyLow, keyHigh);
    const auto begin = mDataContainer->findBegin(keyLow, true);
    const auto end = mDataContainer->findEnd(keyHigh, true);
    const int first = int(begin - mDataContainer->constBegin());
    const int count = int(end - begin);
    if (count <= 0)
        return false;
    const std::vector<double> values = stackedValues(first, count);
    const double left = pos.x() - 0.5, right = pos.x() + 0.5;
    double top = std::numeric_limits<double>::infinity(), bottom = -top;
    const auto take = [&](double y) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    };
    QPointF previous;
    bool previousDrawn = false;
    for (int i = 0; i < count; ++i) {
        const double value = values[size_t(i)];
        if (!std::isfinite(value)) {
            previousDrawn = false;
            continue;
        }
        const QPointF pixel = coordsToPixels((begin + i)->key, value);
        if (pixel.x() >= left && pixel.x() <= right)
            take(pixel.y());
        if (previousDrawn) {
            // The part of the segment within the column.
            const QPointF a = previous.x() <= pixel.x() ? previous : pixel, b = previous.x() <= pixel.x() ? pixel : previous;
            const double from = std::max(a.x(), left), to = std::min(b.x(), right);
            if (from <= to && b.x() > a.x()) {
                const auto yAt = [&](double x) { return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()); };
                take(yAt(from));
                take(yAt(to));
            }
        }
        previous = pixel;
        previousDrawn = true;
    }
    return top <= bottom && pos.y() >= top - reach && pos.y() <= bottom + reach;
}

namespace {

bool finite(const QPointF &p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// Pictures made of drawing commands (SVG, EPS, PDF, WMF/EMF) get one polyline
// per unbroken stretch of the line: a command per segment makes them many times
// larger and slower to write and to open.
void drawRuns(QCPPainter *painter, const QVector<QPointF> &lines)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i <= lines.size(); ++i) {
        if (i < lines.size() && finite(lines[i]))
            continue;
        if (i - start > 1)
            painter->drawPolyline(lines.constData() + start, int(i - start));
        start = i + 1;
    }
}

}  // namespace

void ChartGraph::drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const
{
    if (painter->pen().style() == Qt::NoPen || painter->pen().color().alpha() == 0)
        return;
    applyDefaultAntialiasingHint(painter);
    if (painter->paintEngine() && painter->paintEngine()->type() != QPaintEngine::Raster) {
        drawRuns(painter, lines);
        return;
    }
    // While the view moves every line is drawn as its band; otherwise dense lines are.
    if (painter->pen().style() == Qt::SolidLine && LineBand::fits(*painter)) {
        LineBand band(*painter, clipRect());
        if (previewCanvas_ || band.dense(lines)) {
            band.paint(painter, lines, previewCanvas_);
            return;
        }
    }
    // Qt's stroker slows down more than linearly with the length of a polyline
    // drawn with a wide pen. The same line drawn as separate segments in one call
    // looks the same (the segments' square ends meet) and draws many times faster.
    // NaN points (gaps) break the line, as QCustomPlot's own drawing does.
    QVector<QLineF> segments;
    segments.reserve(lines.size());
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QPointF &a = lines[i], &b = lines[i + 1];
        if (std::isfinite(a.y()) && std::isfinite(b.y()) && std::isfinite(a.x()) && std::isfinite(b.x()))
            segments.append(QLineF(a, b));
    }
    painter->drawLines(segments);
}

void ChartGraph::getOptimizedLineData(QVector<QCPGraphData> *lineData,
                                      const QCPGraphDataContainer::const_iterator &begin,
                                      const QCPGraphDataContainer::const_iterator &end) const
{
    if (!stackBase_) {
        QCPGraph::getOptimizedLineData(lineData, begin, end);
        return;
    }
    // The stacked values of the visible stretch, thinned like any other data.
    const QCPGraphDataContainer &drawn = stacked();
    const int first = int(begin - mDataContainer->constBegin());
    const int last = int(end - mDataContainer->constBegin());
    QCPGraph::getOptimizedLineData(lineData, drawn.constBegin() + first, drawn.constBegin() + last);
}

QCPRange ChartGraph::getValueRange(bool &foundRange, QCP::SignDomain inSignDomain, const QCPRange &inKeyRange) const
{
    if (!stackBase_)
        return QCPGraph::getValueRange(foundRange, inSignDomain, inKeyRange);
    stacked();  // works out the range with the sums
    foundRange = stackedRangeFound_;
    return stackedRange_;
}

BandCanvasItem::BandCanvasItem(QCustomPlot *plot, const QString &layer)
    : QCPLayerable(plot, layer), canvas_(std::make_unique<BandCanvas>())
{
}

BandCanvasItem::~BandCanvasItem() = default;

void BandCanvasItem::draw(QCPPainter *painter)
{
    canvas_->paint(painter);
}

}  // namespace kavra
