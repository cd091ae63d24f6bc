#pragma once
// The chart's three axes: the looks set on them (grids, colours, titles, number
// formats, spans of the plot height, fixed ranges), the time axis' dates, the
// value axes' copies, and the fitting of their ranges to the series drawn.
// ChartView owns them; they draw nothing themselves.

#include "chart/ChartView.h"

#include <QString>

#include <optional>
#include <vector>

class QCPAbstractPlottable;
class QCPAxis;
class QCPRange;

namespace kavra {

class ChartAxes {
public:
    // Sets the plot's axes up: time labels below, numbers on both sides.
    explicit ChartAxes(ChartView &view);

    // What differs from the look the axis has is changed.
    void setLook(ChartAxis axis, const AxisLook &look);
    AxisLook look(ChartAxis axis) const;
    AxisRange range(ChartAxis axis) const;
    // True when that added or took away the copies.
    bool setCopies(bool on);
    bool copies() const { return copies_.size() == 2; }

    // Date values and the plot's keys (seconds since 1970 on a time axis).
    double toKey(double x) const { return timeAxis_ ? dateValueToKey(x) : x; }
    double fromKey(double key) const { return timeAxis_ ? keyToDateValue(key) : key; }

    // Fits the time axis to all points and each value axis to its series,
    // keeping each value axis within its span of the plot height.
    void fit();
    // Shows [from, to] (date values) on the time axis, a single time with room
    // around it.
    void fitTimeAxis(double from, double to);
    // While zoomed: widens the value axes as far as series s's values in view need.
    void widenTo(int s);
    // The time range of all the series' points.
    bool dataTimeRange(double &from, double &to) const;

private:
    struct AxisState {
        std::optional<GridStyle> grid;  // none until set
        QColor lineColour;              // invalid until set
        bool fixed = false;
        double fixedRange[2] = {};
    };

    void setGrid(ChartAxis axis, GridStyle style);
    void setLineColour(ChartAxis axis, const QColor &colour);
    void setFixedRange(ChartAxis axis, bool fixed, double minimum, double maximum);
    void setTimeAxis(bool on);
    void setDateTimeFormat(const QString &format);
    static bool keyRangeOf(const QCPAbstractPlottable *plottable, QCPRange &range);

    ChartView &view_;
    AxisState state_[3];
    double spans_[2][2] = {{0, 100}, {0, 100}};
    QString numberFormats_[2];
    QString dateTimeFormat_;  // the time axis' labels
    bool timeAxis_ = true;
    std::vector<QCPAxis *> copies_;  // [copy of the left axis on the right, copy of the right axis on the left]
};

}  // namespace kavra
