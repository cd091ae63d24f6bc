#include "chart/CursorLines.h"

#include <cmath>
#include <qcustomplot.h>

namespace kavra {
namespace {

constexpr double kCursorReach = 5;  // pixels from a cursor line within which the pointer is on it
const QColor kCursorColour(40, 40, 40);

}  // namespace

CursorLines::CursorLines(QCustomPlot *plot, std::function<double(double)> toKey)
    : plot_(plot), toKey_(std::move(toKey))
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
        lines_[which] = line;
        labels_[which] = label;
    }
}

bool CursorLines::place(bool shown, double a, double b)
{
    const bool moved = shown != shown_ || a != times_[0] || b != times_[1];
    shown_ = shown;
    times_[0] = a;
    times_[1] = b;
    for (int which = 0; which < 2; ++which) {
        const double key = toKey_(times_[which]);
        lines_[which]->start->setCoords(key, 0);
        lines_[which]->end->setCoords(key, 1);
        labels_[which]->position->setCoords(key, 0);
        lines_[which]->setVisible(shown_);
        labels_[which]->setVisible(shown_);
    }
    // With A and B close together the labels would cover each other: B's goes below A's.
    const bool together = std::fabs(pixel(0) - pixel(1)) < 16;
    labels_[1]->position->setCoords(toKey_(times_[1]), together ? 0.05 : 0);
    return moved;
}

void CursorLines::redraw()
{
    // Only the cursors' layer is drawn again, once the whole chart has been drawn.
    if (QCPLayer *layer = plot_->layer(QStringLiteral("cursors")); layer->mode() == QCPLayer::lmBuffered)
        layer->replot();
    else
        plot_->replot();
}

double CursorLines::pixel(int which) const { return plot_->xAxis->coordToPixel(toKey_(time(which))); }

int CursorLines::lineAt(const QPoint &at) const
{
    if (!shown_ || !plot_->axisRect()->rect().contains(at))
        return -1;
    int found = -1;
    double nearest = kCursorReach;
    for (int which = 0; which < 2; ++which) {
        const double distance = std::fabs(pixel(which) - at.x());
        if (distance <= nearest) {  // on a tie the later one, drawn on top
            nearest = distance;
            found = which;
        }
    }
    return found;
}

}  // namespace kavra
