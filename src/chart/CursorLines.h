#pragma once
// The A and B cursor lines across the plot: two lines with labels on a layer of
// their own above the series, so that moving one repaints that layer only, not
// every line of the chart. ChartView owns them and says where they stand.

#include <QPoint>

#include <functional>

class QCustomPlot;
class QCPItemLine;
class QCPItemText;

namespace kavra {

class CursorLines {
public:
    // Adds the layer and the lines, hidden; toKey turns a time (date value) into
    // the plot's key.
    CursorLines(QCustomPlot *plot, std::function<double(double)> toKey);

    // Shows or hides both lines, "A" at time a and "B" at time b; true when that
    // moved, showed or hid them.
    bool place(bool shown, double a, double b);
    // Draws the moved lines: only their layer where it is buffered.
    void redraw();
    bool shown() const { return shown_; }
    double time(int which) const { return times_[which == 0 ? 0 : 1]; }
    // The pixel column of a line (where the plot would draw it).
    double pixel(int which) const;
    // The line drawn within reach of this point of the plot: 0 A, 1 B, -1 none.
    int lineAt(const QPoint &at) const;

private:
    QCustomPlot *plot_;
    std::function<double(double)> toKey_;
    bool shown_ = false;
    double times_[2] = {};
    QCPItemLine *lines_[2] = {};
    QCPItemText *labels_[2] = {};
};

}  // namespace kavra
