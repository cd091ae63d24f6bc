#pragma once
// How the chart answers the mouse: a rectangle dragged with the left button
// towards the lower right zooms into it, towards the upper left undoes the zoom;
// the right button scrolls; the wheel zooms the time axis around the pointer;
// a cursor line is dragged sideways; moving over a series reports the point
// under the pointer; resting on a legend entry shows its tooltip. ChartView owns
// it and hands it the plot's events; it tells the program through the view's
// signals.

#include <QPoint>

class QContextMenuEvent;
class QEvent;
class QHelpEvent;
class QMouseEvent;
class QRubberBand;
class QWheelEvent;

namespace kavra {

class ChartView;

class ChartMouse {
public:
    explicit ChartMouse(ChartView &view);

    // An event of the plot; true when it was the mouse's and is done with.
    bool handle(QEvent *event);
    // Ends a drag begun, as if the button had been let go where it was pressed.
    void stop();
    // The series are gone: the one under the pointer, if any, is left.
    void seriesRemoved() { leaveHoveredSeries(); }

private:
    bool press(QMouseEvent *event);
    bool move(QMouseEvent *event);
    bool release(QMouseEvent *event);
    void wheel(QWheelEvent *event);
    bool contextMenu(QContextMenuEvent *event);
    bool showLegendToolTip(QHelpEvent *event);
    void hover(const QPoint &position);
    void leaveHoveredSeries();
    void setDragging(bool dragging);
    // The series drawn under this point of the plot and its point nearest to it;
    // -1 for both when none. Only what is drawn counts, where it is drawn: hidden
    // series never, stacked ones at their stacked values.
    int seriesAt(const QPoint &at, int &point) const;
    // The series a press at this point lies on (drawn within 3 pixels of it at
    // its x), the topmost; -1 if none.
    int seriesPressedAt(const QPoint &at) const;
    // The series whose legend entry is at this point of the plot, -1 if none.
    int legendEntryAt(const QPoint &at) const;
    // The cursor line drawn within reach of this point of the plot: 0 A, 1 B, -1 none.
    int cursorLineAt(const QPoint &at) const;

    ChartView &view_;
    // A zoom rectangle with the left button, a scroll with the right; a cursor
    // line is dragged with the left button too.
    enum class Drag { None, Zoom, Scroll, Cursor } drag_ = Drag::None;
    int draggedCursor_ = -1;
    QPoint dragStart_;
    double dragRange_[6] = {};  // time, left and right axis ranges when the scroll began
    bool zoomedBeforeScroll_ = false;
    QRubberBand *rubberBand_;
    int hoveredSeries_ = -1;
    int hoveredPoint_ = -1;
};

}  // namespace kavra
