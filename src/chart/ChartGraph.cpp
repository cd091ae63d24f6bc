#include "chart/ChartGraph.h"

#include "analysis/Curves.h"

namespace kavra {
ChartGraph::ChartGraph(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPGraph(keyAxis, valueAxis) {}

double ChartGraph::drawnValue(int i) const
{
    const std::vector<double> values = stackedValues(i, 1);
    return values.empty() ? 0.0 : values.front();
}

std::vector<double> ChartGraph::stackedValues(int first, int count) const
{
    std::vector<const ChartGraph *> chain;
    for (const ChartGraph *g = this; g; g = g->stackBase_)
        chain.push_back(g);
    std::vector<double> cumulative(size_t(qMax(0, count)), 0.0), own;
    for (auto g = chain.rbegin(); g != chain.rend(); ++g) {
        const QCPGraphDataContainer &data = *(*g)->mDataContainer;
        own.assign(cumulative.size(), 0.0);
        for (int i = 0; i < count && first + i < data.size(); ++i)
            own[size_t(i)] = data.at(first + i)->value;
        analysis::stackOnto(cumulative, own.data(), own.size());
    }
    return cumulative;
}

void ChartGraph::drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const
{
    if (painter->pen().style() == Qt::NoPen || painter->pen().color().alpha() == 0)
        return;
    applyDefaultAntialiasingHint(painter);
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
    QCPGraphDataContainer stacked;
    const int first = int(begin - mDataContainer->constBegin());
    const std::vector<double> values = stackedValues(first, int(end - begin));
    QVector<QCPGraphData> points;
    points.reserve(int(end - begin));
    size_t i = 0;
    for (auto it = begin; it != end; ++it, ++i)
        points.append(QCPGraphData(it->key, values[i]));
    stacked.set(points, true);
    QCPGraph::getOptimizedLineData(lineData, stacked.constBegin(), stacked.constEnd());
}

QCPRange ChartGraph::getValueRange(bool &foundRange, QCP::SignDomain inSignDomain, const QCPRange &inKeyRange) const
{
    if (!stackBase_)
        return QCPGraph::getValueRange(foundRange, inSignDomain, inKeyRange);
    QCPRange range;
    foundRange = false;
    for (const double value : stackedValues(0, mDataContainer->size())) {
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

QSize CheckLegendItem::minimumOuterSizeHint() const
{
    const QFontMetrics metrics(mFont);
    const int box = metrics.height() - 4;
    const QSize text = metrics.size(0, text_());
    return QSize(box + 6 + text.width(), qMax(box, text.height()) + 2) + QSize(mMargins.left() + mMargins.right(),
                                                                           mMargins.top() + mMargins.bottom());
}

void CheckLegendItem::draw(QCPPainter *painter)
{
    const QFontMetrics metrics(mFont);
    const int box = metrics.height() - 4;
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
    painter->drawText(QRect(boxRect.right() + 6, area.top(), area.width() - box - 6, area.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, text_());
}

}  // namespace kavra
