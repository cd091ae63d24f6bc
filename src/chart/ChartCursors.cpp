// The A and B cursor lines: drawn on a layer of their own above the series, so
// that moving one repaints that layer only, not every line of the chart.

#include "chart/ChartView.h"

#include <cmath>
#include <qcustomplot.h>

namespace kavra {
namespace {

constexpr double kCursorReach = 5;  // pixels from a cursor line within which the pointer is on it
const QColor kCursorColour(40, 40, 40);

}  // namespace

void ChartView::createCursorLines()
{
    plot_->addLayer(QStringLiteral("cursors"), plot_->layer(QStringLiteral("bands")), QCustomPlot::limAbove);
    QCPLayer *layer = plot_->layer(QStringLiteral("cursors"));
    layer->setMode(QCPLayer::lmBuffered);
    for (int which = 0; which < 2; ++which) {
        auto *line = new QCPItemLine(plot_);
        line->setLayer(layer);
        line->setPen(QPen(kCursorColour, 1, which == 0 ? Qt::SolidLine : Qt::DashLine));
        line->setSelectable(false);
        for (QCPItemPosition *end : {line->start, line->end}) {
            end->setTypeX(QCPItemPosition::ptPlotCoords);
            end->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
        line->start->setCoords(0, 0);
        line->end->setCoords(0, 1);
        auto *label = new QCPItemText(plot_);
        label->setLayer(layer);
        label->setSelectable(false);
        label->setText(which == 0 ? QStringLiteral("A") : QStringLiteral("B"));
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        label->setColor(Qt::white);
        label->setBrush(kCursorColour);
        label->setPadding(QMargins(3, 1, 3, 1));
        label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->position->setTypeX(QCPItemPosition::ptPlotCoords);
        label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        label->position->setCoords(0, 0);
        line->setVisible(false);
        label->setVisible(false);
        cursorLines_[which] = line;
        cursorLabels_[which] = label;
    }
}

void ChartView::setCursorLines(bool shown, double a, double b)
{
    if (!cursorLines_[0])
        createCursorLines();
    const bool moved = shown != cursorsShown_ || a != cursorTimes_[0] || b != cursorTimes_[1];
    cursorsShown_ = shown;
    cursorTimes_[0] = a;
    cursorTimes_[1] = b;
    placeCursorLines();
    if (!moved)
        return;
    // Only the cursors' layer is drawn again, once the whole chart has been drawn.
    if (repaint_ && plot_->layer(QStringLiteral("cursors"))->mode() == QCPLayer::lmBuffered)
        plot_->layer(QStringLiteral("cursors"))->replot();
    else if (repaint_)
        plot_->replot();
}

void ChartView::placeCursorLines()
{
    for (int which = 0; which < 2; ++which) {
        const double key = toKey(cursorTimes_[which]);
        cursorLines_[which]->start->setCoords(key, 0);
        cursorLines_[which]->end->setCoords(key, 1);
        cursorLabels_[which]->position->setCoords(key, 0);
        cursorLines_[which]->setVisible(cursorsShown_);
        cursorLabels_[which]->setVisible(cursorsShown_);
    }
    // With A and B close together the labels would cover each other: B's goes below A's.
    const bool together = std::fabs(cursorLinePixel(0) - cursorLinePixel(1)) < 16;
    cursorLabels_[1]->position->setCoords(toKey(cursorTimes_[1]), together ? 0.05 : 0);
}

double ChartView::cursorLinePixel(int which) const
{
    return plot_->xAxis->coordToPixel(toKey(cursorTimes_[which == 0 ? 0 : 1]));
}

int ChartView::cursorLineAt(const QPoint &at) const
{
    if (!cursorsShown_ || !plot_->axisRect()->rect().contains(at))
        return -1;
    int found = -1;
    double nearest = kCursorReach;
    for (int which = 0; which < 2; ++which) {
        const double distance = std::fabs(cursorLinePixel(which) - at.x());
        if (distance <= nearest) {  // on a tie the later one, drawn on top
            nearest = distance;
            found = which;
        }
    }
    return found;
}

}  // namespace kavra
