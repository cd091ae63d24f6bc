#pragma once
// tchKavra: the chart. One adapter over QCustomPlot that offers, in the program's
// own terms, what the redraw and the chart commands rely on: a list of series,
// four title lines, left, right and bottom axes, zoom and scroll by mouse, and
// events. The redraw decides what to draw; this class decides how.
//
// X values are date values (days since 30 December 1899).

#include "plan/ChartOptions.h"

#include <QColor>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCustomPlot;
class QCPAbstractPlottable;
class QCPAxis;
class QCPRange;

namespace kavra {
namespace analysis {
struct Candle;
}

class BandCanvasItem;
class ChartAxes;
class ChartFrame;
class ChartGraph;
class ChartMouse;
class CursorLines;
class CheckLegendItem;

enum class SeriesKind { Line = 0, Point = 4, FastLine = 6, Candle = 11 };
enum class ValueAxis { Left = 0, Right = 1, Both = 2 };
enum class ChartAxis { Left = 0, Right, Bottom };
// Pen styles of grid lines: solid, dashed, dotted, none, fine dots.
enum class GridStyle { Solid = 0, Dash = 1, Dot = 2, None = 5, FineDots = 7 };
// Date values and the seconds since 1970 that the plot's time axis counts.
double dateValueToKey(double dateValue);
double keyToDateValue(double key);

// How a series is drawn. Stacked series stand on the stacked series before them
// of the same stack group: moving averages stack on one another, not on the items.
struct SeriesStyle {
    QString name;
    QColor colour;
    int penWidth = 1;
    Qt::PenStyle lineStyle = Qt::SolidLine;
    ValueAxis axis = ValueAxis::Both;
    int stackMode = StackNone;
    int stackGroup = 0;
    bool shown = true;
    bool operator==(const SeriesStyle &) const = default;
};

// One title line. The size is given for a large window; the font is scaled down.
// A line shown keeps its room also while empty; a hidden one takes none.
struct TitleLook {
    QString text;
    bool shown = false;
    int size = 12;
    QColor colour;
    bool bold = false;
    bool operator==(const TitleLook &) const = default;
};

// One axis. The time axis counts date values with time labels in its number
// format (a date-time format), or, without dates, plain numbers; it has no span
// or fixed range of its own. Spans are in percent of the plot height, 0 at the top. A grid or a
// line colour never set is the plot's own (no value, an invalid colour): the
// light dotted grid and the thin black line. A fixed range is a value axis' own
// range instead of one fitted to its series (none unless maximum > minimum);
// while the right axis mirrors the left one (no series of its own, the same
// span), fixing or freeing either does both.
struct AxisLook {
    std::optional<GridStyle> grid;
    QColor lineColour;
    QColor labelColour;
    QString numberFormat;
    QString title;
    bool dates = true;  // the time axis only
    double spanStart = 0;
    double spanEnd = 100;
    bool fixed = false;
    double minimum = 0;
    double maximum = 0;
    bool operator==(const AxisLook &) const = default;
};

// The legend. Its entries are laid out so that each shows its whole text where
// it can; an entry's tooltip gives the whole text and what the program adds.
// Custom: over the plot, its top left corner this many pixels from the chart's
// left and top edges, at any size of the chart.
enum class LegendPlace { Bottom, Top, Right, Custom };
struct LegendLook {
    bool shown = true;
    bool bold = false;
    LegendPlace place = LegendPlace::Bottom;
    QPoint position;
    bool operator==(const LegendLook &) const = default;
};

// Candles whose close is above their open in one colour, below in the other,
// each drawn this many days wide.
struct CandleLook {
    QColor upClose;
    QColor downClose;
    double widthDays = 0;
};

// What an axis shows, from the first to the last value in view (date values
// on the time axis).
struct AxisRange {
    double minimum = 0;
    double maximum = 0;
};

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget *parent = nullptr);
    ~ChartView() override;

    // Series. A series is named by the number addSeries gives it, the next one
    // up from 0; it keeps that number until all series are removed, so a chart
    // drawn from a plan numbers its series as the plan does.
    // A new series, coloured as colourWanted says unless a style is given.
    int addSeries(SeriesKind kind, const std::optional<SeriesStyle> &style = std::nullopt);
    int seriesCount() const { return int(series_.size()); }
    void removeAllSeries();
    // One series: changed by reading its style, changing that and setting it back.
    // Setting a style changes only what differs from the style the series has.
    void setSeriesStyle(int s, const SeriesStyle &style);
    SeriesStyle seriesStyle(int s) const;
    // The points of a line or point series in one go; values that are not
    // finite are left out of the line.
    void setSeriesPoints(int s, const double *x, const double *y, int count);
    // The candles of a candle series in one go.
    void setCandles(int s, const std::vector<analysis::Candle> &candles, const CandleLook &look);
    // Of n ascending sample times, the first and one past the last that lie
    // within the time axis as shown.
    std::pair<size_t, size_t> shownSpan(const double *times, size_t n) const;

    // Title lines, each set whole; as with series, what differs is changed.
    void setTitle(TitleLine line, const TitleLook &look);
    TitleLook title(TitleLine line) const;
    // Axes, each set whole; what differs is changed.
    void setAxisLook(ChartAxis axis, const AxisLook &look);
    AxisLook axisLook(ChartAxis axis) const;
    AxisRange axisRange(ChartAxis axis) const;
    // Copies of the value axes on the other side of the plot, each with its own
    // span, so that each of two stacked charts has a scale on both sides.
    void setAxisCopies(bool on);
    // The legend, set whole.
    void setLegend(const LegendLook &look);
    LegendLook legend() const;
    // The panel behind the plot and the legend; redraw false leaves the chart on
    // screen as it is drawn (for pictures, which are drawn apart).
    void setPanelColour(const QColor &colour, bool redraw = true);
    QColor panelColour() const { return panelColour_; }

    // View.
    bool zoomed() const { return zoomed_; }
    void undoZoom();
    // Shows the time range [from, to] (date values), as a zoom or scroll would.
    void showTimeRange(double from, double to);
    // The time range of all the series' points.
    bool dataTimeRange(double &from, double &to) const;
    // The time range [from, to] (date values) a chart with no series shows, so
    // that its axis still reads the file's times; not a zoom.
    void setEmptyTimeRange(double from, double to);
    void stopMouseAction();
    // Two cursor lines across the plot, "A" at time a and "B" at time b (date
    // values), drawn over the series; a line outside the time axis as shown is
    // not drawn and comes back with the view. Pressing on a line drags it
    // (cursorPressed, then cursorDragged), and never starts a zoom.
    void setCursorLines(bool shown, double a = 0, double b = 0);

    // While off, changes are collected and nothing is drawn; switching on draws once.
    void setRepaint(bool on);
    // Draws the chart now (the axes fitted to the series unless zoomed).
    void draw();
    // The chart as a picture laid out for width x height, white behind the plot,
    // with scale device pixels to each of those (a screen's device pixel ratio).
    QImage picture(int width, int height, double scale = 1.0);
    // Paints the chart as vectors, laid out for width x height pixels, onto any
    // paint device (a printer, a PDF or SVG writer, a recorder): into target of
    // the device when one is given, else at the device's own coordinates.
    enum class PaintResult { Done, CannotStart, CannotFinish };
    PaintResult paintOnto(QPaintDevice &device, int width, int height, const QRect &target = QRect()) const;

    // What the chart asks the program: the legend text and the colour of series i.
    std::function<QString(int)> legendTextWanted;
    std::function<QColor(int)> colourWanted;
    // What a legend entry's tooltip adds below the entry's text, for series i.
    std::function<QString(int)> legendToolTipWanted;

signals:
    void afterDraw();
    void mouseEnteredSeries(int series, int point);
    void mouseLeftSeries();
    void seriesClicked(int series);
    void zoomChanged();
    // A cursor line pressed (0 A, 1 B), and dragged to the time under the pointer.
    void cursorPressed(int which);
    void cursorDragged(int which, double time);
    // A right click without a drag, or the keyboard's menu key: the place for a
    // context menu, in screen coordinates.
    void contextMenuWanted(const QPoint &globalPosition);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Tests and benchmarks look into the plot through this one door.
    friend struct ChartAccess;
    friend class ChartPages;  // paints the plot with a report's painter
    friend class ChartFrame;  // lays the titles and the legend out around the plot
    friend class ChartAxes;  // fits the axes to the series
    friend class ChartMouse;  // zooms, scrolls and reports what lies under the pointer

    struct Series {
        SeriesKind kind;
        QCPAbstractPlottable *plottable;
        CheckLegendItem *legendItem;
        ValueAxis axis = ValueAxis::Both;
        int stackMode = StackNone;
        int stackGroup = 0;
    };
    QCPAxis *axis(ChartAxis which) const;
    void setSeriesColour(int s, const QColor &colour);
    ChartGraph *graph(int s) const;
    void changed();
    void restack();
    void toggleFromLegend(int s);

    QCustomPlot *plot_;
    std::vector<Series> series_;
    double toKey(double x) const;
    double fromKey(double key) const;

    QColor panelColour_ = Qt::white;
    bool zoomed_ = false;
    bool repaint_ = true;
    std::unique_ptr<CursorLines> cursorLines_;  // made when first shown
    BandCanvasItem *bandCanvas_ = nullptr;
    std::unique_ptr<ChartFrame> frame_;
    std::unique_ptr<ChartAxes> axes_;
    std::unique_ptr<ChartMouse> mouse_;
};

}  // namespace kavra
