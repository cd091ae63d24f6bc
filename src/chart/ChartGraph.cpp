#include "chart/ChartGraph.h"

#include "analysis/Curves.h"

#include <cmath>
#include <limits>

namespace kavra {
ChartGraph::ChartGraph(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPGraph(keyAxis, valueAxis) {}

double ChartGraph::drawnValue(int i) const
{
    const std::vector<double> values = stackedValues(i, 1);
    return values.empty() ? 0.0 : values.front();
}

const QCPGraphDataContainer &ChartGraph::stacked() const
{
    if (!stackBase_)
        return *mDataContainer;
    if (!stackStale_)
        return stacked_;
    // Point i stands on point i of each series below, whatever their keys.
    std::vector<const ChartGraph *> chain;
    for (const ChartGraph *g = this; g; g = g->stackBase_)
        chain.push_back(g);
    const int count = mDataContainer->size();
    std::vector<double> cumulative(size_t(count), 0.0), own;
    for (auto g = chain.rbegin(); g != chain.rend(); ++g) {
        const QCPGraphDataContainer &data = *(*g)->mDataContainer;
        own.assign(cumulative.size(), 0.0);
        for (int i = 0; i < count && i < data.size(); ++i)
            own[size_t(i)] = data.at(i)->value;
        analysis::stackOnto(cumulative, own.data(), own.size());
    }
    QVector<QCPGraphData> points(count);
    for (int i = 0; i < count; ++i)
        points[i] = QCPGraphData(mDataContainer->at(i)->key, cumulative[size_t(i)]);
    stacked_.set(points, true);
    stackStale_ = false;
    return stacked_;
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

namespace {

bool finite(const QPointF &p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// The quick picture drawn while the view moves: the line's extent in each pixel
// column, widened by half the pen, filled as one rectangle per column. At any
// density of points it looks like the stroked line, at a fraction of the cost.
void fillColumnSpans(QCPPainter *painter, const QVector<QPointF> &lines, const QRect &area)
{
    const double half = qMax(0.5, painter->pen().widthF() / 2);
    const int left = area.left(), columns = area.width();
    if (columns <= 0)
        return;
    std::vector<double> top(size_t(columns), std::numeric_limits<double>::infinity());
    std::vector<double> bottom(size_t(columns), -std::numeric_limits<double>::infinity());
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        QPointF a = lines[i], b = lines[i + 1];
        if (!finite(a) || !finite(b))
            continue;
        if (a.x() > b.x())
            std::swap(a, b);
        const double slope = b.x() > a.x() ? (b.y() - a.y()) / (b.x() - a.x()) : 0;
        const auto yAt = [&](double x) { return a.y() + slope * (qBound(a.x(), x, b.x()) - a.x()); };
        const int first = qMax(0, int(std::floor(a.x() - half)) - left);
        const int last = qMin(columns - 1, int(std::ceil(b.x() + half)) - left);
        // A pixel covers one unit; the pen reaches (half - 0.5) beyond it each way.
        const double reach = half - 0.5;
        for (int c = first; c <= last; ++c) {
            const double x = left + c;
            const double y0 = yAt(x - reach), y1 = yAt(x + 1 + reach);
            top[size_t(c)] = qMin(top[size_t(c)], qMin(y0, y1) - reach);
            bottom[size_t(c)] = qMax(bottom[size_t(c)], qMax(y0, y1) + reach);
        }
    }
    const QColor colour = painter->pen().color();
    for (int c = 0; c < columns; ++c)
        if (top[size_t(c)] <= bottom[size_t(c)])
            painter->fillRect(QRectF(left + c, top[size_t(c)], 1, bottom[size_t(c)] - top[size_t(c)]), colour);
}

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
    if (quickPreview_ && painter->pen().style() == Qt::SolidLine && painter->pen().widthF() > 1) {
        fillColumnSpans(painter, lines, clipRect());
        return;
    }
    if (painter->paintEngine() && painter->paintEngine()->type() != QPaintEngine::Raster) {
        drawRuns(painter, lines);
        return;
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
    QCPRange range;
    foundRange = false;
    const QCPGraphDataContainer &drawn = stacked();
    for (auto point = drawn.constBegin(); point != drawn.constEnd(); ++point) {
        const double value = point->value;
        if (!std::isfinite(value))
            continue;
        if (!foundRange) {
            range = QCPRange(value, value);
            foundRange = true;
        } else {
            range.expand(value);
        }
    }
    return range;
}

CheckLegendItem::CheckLegendItem(QCPLegend *legend, QCPAbstractPlottable *series, std::function<QString()> text)
    : QCPAbstractLegendItem(legend), series_(series), text_(std::move(text))
{
}

QColor CheckLegendItem::colour() const { return series_->pen().color(); }

int CheckLegendItem::boxSize() const { return QFontMetrics(mFont).height() - 4; }

int CheckLegendItem::naturalWidth() const
{
    return boxSize() + 6 + QFontMetrics(mFont).size(0, text_()).width() + mMargins.left() + mMargins.right();
}

QSize CheckLegendItem::minimumOuterSizeHint() const
{
    const QFontMetrics metrics(mFont);
    const int width = widthLimit_ > 0 ? qMin(naturalWidth(), widthLimit_) : naturalWidth();
    return QSize(width, qMax(boxSize(), metrics.height()) + 2 + mMargins.top() + mMargins.bottom());
}

QRect CheckLegendItem::textRect() const
{
    const int box = boxSize();
    return QRect(mRect.left() + box + 6, mRect.top(), qMax(0, mRect.width() - box - 6), mRect.height());
}

QString CheckLegendItem::shownText() const
{
    return QFontMetrics(mFont).elidedText(text_(), Qt::ElideMiddle, textRect().width());
}

void CheckLegendItem::draw(QCPPainter *painter)
{
    const int box = boxSize();
    const QRect area = mRect;
    const QRect boxRect(area.left(), area.top() + (area.height() - box) / 2, box, box);
    painter->setPen(QPen(Qt::black, 1));
    painter->setBrush(Qt::white);
    painter->drawRect(boxRect);
    if (series_->visible()) {
        painter->setPen(QPen(Qt::black, 2));
        painter->drawLine(QPointF(boxRect.left() + box * 0.2, boxRect.top() + box * 0.55),
                          QPointF(boxRect.left() + box * 0.45, boxRect.bottom() - box * 0.2));
        painter->drawLine(QPointF(boxRect.left() + box * 0.45, boxRect.bottom() - box * 0.2),
                          QPointF(boxRect.right() - box * 0.15, boxRect.top() + box * 0.2));
    }
    painter->setFont(mFont);
    painter->setPen(colour());
    painter->drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

}  // namespace kavra
