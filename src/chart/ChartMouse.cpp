// How the chart answers the mouse (see ChartMouse.h).

#include "chart/ChartMouse.h"

#include "chart/ChartView.h"
#include "chart/CursorLines.h"

#include "chart/ChartFrame.h"
#include "chart/ChartGraph.h"
#include "chart/CheckLegendItem.h"
#include "chart/LineBand.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QTextDocument>
#include <QToolTip>
#include <QWheelEvent>
#include <qcustomplot.h>

namespace kavra {
namespace {

constexpr int kClickSlack = 4;  // pixels a click may move without becoming a drag
constexpr double kPressReach = 3;  // pixels from a drawn line within which a press is on it

}  // namespace

ChartMouse::ChartMouse(ChartView &view)
    : view_(view), rubberBand_(new QRubberBand(QRubberBand::Rectangle, view.plot_))
{
}

bool ChartMouse::handle(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: return press(static_cast<QMouseEvent *>(event));
    case QEvent::MouseMove: return move(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease: return release(static_cast<QMouseEvent *>(event));
    case QEvent::Wheel: wheel(static_cast<QWheelEvent *>(event)); return true;
    case QEvent::ContextMenu: return contextMenu(static_cast<QContextMenuEvent *>(event));
    case QEvent::ToolTip: return showLegendToolTip(static_cast<QHelpEvent *>(event));
    case QEvent::Leave: leaveHoveredSeries(); return false;
    default: return false;
    }
}

bool ChartMouse::press(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (!view_.plot_->axisRect()->rect().contains(at) || drag_ != Drag::None)
        return false;  // the legend and the axes keep their own clicks
    if (view_.plot_->legend->realVisibility() && view_.plot_->legend->outerRect().contains(at))
        return false;  // also where the legend stands over the plot
    dragStart_ = at;
    if (event->button() == Qt::LeftButton) {
        if (const int which = cursorLineAt(at); which >= 0) {
            drag_ = Drag::Cursor;
            draggedCursor_ = which;
            emit view_.cursorPressed(which);
            return true;
        }
        drag_ = Drag::Zoom;
        rubberBand_->setGeometry(QRect(at, QSize()));
        rubberBand_->show();
    } else if (event->button() == Qt::RightButton) {
        drag_ = Drag::Scroll;
        dragRange_[0] = view_.plot_->xAxis->range().lower;
        dragRange_[1] = view_.plot_->xAxis->range().upper;
        dragRange_[2] = view_.plot_->yAxis->range().lower;
        dragRange_[3] = view_.plot_->yAxis->range().upper;
        dragRange_[4] = view_.plot_->yAxis2->range().lower;
        dragRange_[5] = view_.plot_->yAxis2->range().upper;
        zoomedBeforeScroll_ = view_.zoomed_;
        setDragging(true);
    } else {
        return false;
    }
    // A press on a line is a click on it: the program may stop the action just
    // begun. Only on the line itself: on a dense chart nearly every press lies
    // near some line, and a zoom must still start there.
    if (const int series = seriesPressedAt(at); series >= 0)
        emit view_.seriesClicked(series);
    return true;
}

bool ChartMouse::move(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Cursor) {
        emit view_.cursorDragged(draggedCursor_, view_.fromKey(view_.plot_->xAxis->pixelToCoord(at.x())));
        return true;
    }
    // Over a cursor line the pointer says that it can be dragged sideways.
    if (drag_ == Drag::None && cursorLineAt(at) >= 0)
        view_.plot_->setCursor(Qt::SplitHCursor);
    else if (drag_ == Drag::None)
        view_.plot_->unsetCursor();
    if (drag_ == Drag::Zoom) {
        rubberBand_->setGeometry(QRect(dragStart_, at).normalized());
        return true;
    }
    if (drag_ == Drag::Scroll) {
        const double dx = view_.plot_->xAxis->pixelToCoord(dragStart_.x()) - view_.plot_->xAxis->pixelToCoord(at.x());
        view_.plot_->xAxis->setRange(dragRange_[0] + dx, dragRange_[1] + dx);
        // Scrolling goes both ways: the value axes follow the mouse too.
        const auto scrollValues = [&](QCPAxis *valueAxis, double lower, double upper) {
            const double dy = valueAxis->pixelToCoord(dragStart_.y()) - valueAxis->pixelToCoord(at.y());
            valueAxis->setRange(lower + dy, upper + dy);
        };
        scrollValues(view_.plot_->yAxis, dragRange_[2], dragRange_[3]);
        scrollValues(view_.plot_->yAxis2, dragRange_[4], dragRange_[5]);
        view_.zoomed_ = true;
        view_.plot_->replot(QCustomPlot::rpQueuedReplot);
        return true;
    }
    hover(at);
    return false;
}

bool ChartMouse::release(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const Drag drag = drag_;
    stop();
    if (drag == Drag::Scroll && (at - dragStart_).manhattanLength() <= kClickSlack) {
        // A click, not a scroll: the view stays where it was.
        view_.plot_->xAxis->setRange(dragRange_[0], dragRange_[1]);
        view_.plot_->yAxis->setRange(dragRange_[2], dragRange_[3]);
        view_.plot_->yAxis2->setRange(dragRange_[4], dragRange_[5]);
        view_.zoomed_ = zoomedBeforeScroll_;
        view_.plot_->replot();
        emit view_.contextMenuWanted(event->globalPosition().toPoint());
        return true;
    }
    if (drag == Drag::Cursor)
        return true;
    if (drag == Drag::Scroll) {
        view_.plot_->replot();
        emit view_.zoomChanged();
        return true;
    }
    if (drag != Drag::Zoom)
        return false;
    const QPoint delta = at - dragStart_;
    if (delta.x() > kClickSlack && delta.y() > kClickSlack) {
        const QRect box = QRect(dragStart_, at).normalized();
        view_.plot_->xAxis->setRange(view_.plot_->xAxis->pixelToCoord(box.left()), view_.plot_->xAxis->pixelToCoord(box.right()));
        for (QCPAxis *valueAxis : {view_.plot_->yAxis, view_.plot_->yAxis2})
            valueAxis->setRange(valueAxis->pixelToCoord(box.bottom()), valueAxis->pixelToCoord(box.top()));
        view_.zoomed_ = true;
        view_.plot_->replot();
        emit view_.zoomChanged();
    } else if (delta.x() < -kClickSlack && delta.y() < -kClickSlack) {
        view_.undoZoom();
    }
    return true;
}

bool ChartMouse::contextMenu(QContextMenuEvent *event)
{
    // Within the plot the right button also scrolls: its release tells a click from a drag.
    if (event->reason() == QContextMenuEvent::Mouse && view_.plot_->axisRect()->rect().contains(event->pos()))
        return true;
    emit view_.contextMenuWanted(event->globalPos());
    return true;
}

void ChartMouse::wheel(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0 || view_.series_.empty())
        return;
    const double centre = view_.plot_->xAxis->pixelToCoord(event->position().x());
    view_.plot_->xAxis->scaleRange(std::pow(0.85, steps), centre);
    view_.zoomed_ = true;
    view_.plot_->replot();
    emit view_.zoomChanged();
}

void ChartMouse::stop()
{
    if (drag_ == Drag::Scroll)
        setDragging(false);
    drag_ = Drag::None;
    draggedCursor_ = -1;
    rubberBand_->hide();
}

// While the view moves, antialiasing is dropped and the lines are drawn onto one
// canvas, so that each step draws quickly.
void ChartMouse::setDragging(bool dragging)
{
    for (const auto &series : view_.series_) {
        series.plottable->setAntialiased(!dragging);
        if (auto *line = qobject_cast<ChartGraph *>(series.plottable))
            line->setQuickPreview(dragging ? view_.bandCanvas_->canvas() : nullptr);
    }
    if (!dragging)
        view_.bandCanvas_->canvas()->release();  // a picture of the plot: megabytes on a large screen
}

int ChartMouse::seriesAt(const QPoint &at, int &point) const
{
    point = -1;
    if (!view_.plot_->axisRect()->rect().contains(at))
        return -1;
    const double tolerance = view_.plot_->selectionTolerance();
    int found = -1;
    double nearest = tolerance;
    for (size_t i = 0; i < view_.series_.size(); ++i) {
        const QCPAbstractPlottable *plottable = view_.series_[i].plottable;
        if (!plottable->realVisibility())
            continue;
        int index = -1;
        double distance = -1;
        if (const auto *line = qobject_cast<const ChartGraph *>(plottable)) {
            distance = line->drawnDistance(at, tolerance, index);
        } else {  // candles are drawn at their own values
            QVariant details;
            distance = plottable->selectTest(at, false, &details);
            const QCPDataSelection selection = details.value<QCPDataSelection>();
            index = selection.isEmpty() ? -1 : selection.dataRange().begin();
        }
        // On a tie the series drawn later, on top, is the one under the pointer.
        if (distance >= 0 && distance <= nearest && index >= 0) {
            nearest = distance;
            found = int(i);
            point = index;
        }
    }
    return found;
}

int ChartMouse::seriesPressedAt(const QPoint &at) const
{
    for (int i = view_.seriesCount() - 1; i >= 0; --i) {  // the one drawn last lies on top
        const QCPAbstractPlottable *plottable = view_.series_[size_t(i)].plottable;
        if (!plottable->realVisibility())
            continue;
        if (const auto *line = qobject_cast<const ChartGraph *>(plottable)) {
            if (line->drawnThrough(at, kPressReach))
                return i;
        } else {
            const double distance = plottable->selectTest(at, false);
            if (distance >= 0 && distance <= kPressReach)
                return i;
        }
    }
    return -1;
}

int ChartMouse::cursorLineAt(const QPoint &at) const
{
    return view_.cursorLines_ ? view_.cursorLines_->lineAt(at) : -1;
}

int ChartMouse::legendEntryAt(const QPoint &at) const
{
    if (!view_.plot_->legend->realVisibility())
        return -1;
    for (size_t i = 0; i < view_.series_.size(); ++i)
        if (view_.series_[i].legendItem->realVisibility() && view_.series_[i].legendItem->outerRect().contains(at))
            return int(i);
    return -1;
}

bool ChartMouse::showLegendToolTip(QHelpEvent *event)
{
    const int s = legendEntryAt(event->pos());
    if (s < 0) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(event->globalPos(), Qt::convertFromPlainText(view_.frame_->legendToolTip(s), Qt::WhiteSpaceNormal), view_.plot_,
                       view_.series_[size_t(s)].legendItem->outerRect());
    return true;
}

void ChartMouse::hover(const QPoint &position)
{
    int point = -1;
    const int series = seriesAt(position, point);
    if (series < 0 || point < 0) {
        leaveHoveredSeries();
        return;
    }
    if (series == hoveredSeries_ && point == hoveredPoint_)
        return;
    hoveredSeries_ = series;
    hoveredPoint_ = point;
    emit view_.mouseEnteredSeries(series, point);
}

// The program is told also when the series under the pointer goes away under it.
void ChartMouse::leaveHoveredSeries()
{
    if (hoveredSeries_ < 0)
        return;
    hoveredSeries_ = hoveredPoint_ = -1;
    emit view_.mouseLeftSeries();
}

}  // namespace kavra
