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
class QCPTextElement;
class QContextMenuEvent;
class QHelpEvent;
class QRubberBand;

namespace kavra {

class BandCanvasItem;
class ChartGraph;
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

// One axis. Spans are in percent of the plot height, 0 at the top. A grid or a
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
    double spanStart = 0;
    double spanEnd = 100;
    bool fixed = false;
    double minimum = 0;
    double maximum = 0;
    bool operator==(const AxisLook &) const = default;
};

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget *parent = nullptr);
    ~ChartView() override;

    // Series list.
    // A new series, coloured as colourWanted says unless a style is given.
    int addSeries(SeriesKind kind, const std::optional<SeriesStyle> &style = std::nullopt);
    int seriesCount() const { return int(series_.size()); }
    SeriesKind seriesKind(int s) const { return series_[size_t(s)].kind; }
    void removeSeries(int s);
    void removeAllSeries();
    void exchangeSeries(int a, int b);

    // One series: changed by reading its style, changing that and setting it back.
    // Setting a style changes only what differs from the style the series has.
    void setSeriesStyle(int s, const SeriesStyle &style);
    SeriesStyle seriesStyle(int s) const;
    // The points of a series in one go; values that are not finite are left out
    // of the line.
    void setSeriesPoints(int s, const double *x, const double *y, int count);
    void addPoint(int s, double x, double y);
    void addCandle(int s, double date, double open, double high, double low, double close);
    // Candles whose close is above their open in one colour, below in the other.
    void setCandleColours(int s, const QColor &upClose, const QColor &downClose);
    // The width of each candle, in days.
    void setCandleWidth(int s, double days);
    int pointCount(int s) const;
    double pointX(int s, int p) const;
    double pointY(int s, int p) const;  // the point's own value, also when stacked
    // Of n ascending sample times, the first and one past the last that lie
    // within the time axis as shown.
    std::pair<size_t, size_t> shownSpan(const double *times, size_t n) const;
    // The series drawn under this point of the plot and its point nearest to it;
    // -1 for both when none. Only what is drawn counts, where it is drawn: hidden
    // series never, stacked ones at their stacked values.
    int seriesAt(const QPoint &at, int &point) const;

    // Title lines, each set whole; as with series, what differs is changed.
    void setTitle(TitleLine line, const TitleLook &look);
    TitleLook title(TitleLine line) const;

    // Axes, each set whole; what differs is changed. The time axis has no span,
    // number format or fixed range of its own: those of its look are left alone.
    void setAxisLook(ChartAxis axis, const AxisLook &look);
    AxisLook axisLook(ChartAxis axis) const;
    void setAxisDateTimeFormat(const QString &format);
    double axisMinimum(ChartAxis axis) const;
    double axisMaximum(ChartAxis axis) const;
    // Copies of the value axes on the other side of the plot, each with its own
    // span, so that each of two stacked charts has a scale on both sides.
    void setAxisCopies(bool on);
    bool axisCopies() const { return axisCopies_.size() == 2; }

    // Legend. Its entries are laid out so that each shows its whole text where it
    // can; an entry's tooltip gives the whole text and what the program adds.
    // Custom: over the plot, its top left corner at the point given by setLegendPosition.
    enum class LegendPlace { Bottom, Top, Right, Custom };
    void setLegendShown(bool shown);
    bool legendShown() const;
    void setLegendBold(bool bold);
    bool legendBold() const;
    // The text the legend entry of series s shows, and the tooltip it gives.
    QString legendEntryText(int s) const;
    QString legendToolTip(int s) const;
    // The series whose legend entry is at this point of the plot, -1 if none.
    int legendEntryAt(const QPoint &at) const;
    void setLegendPlace(LegendPlace place);
    LegendPlace legendPlace() const { return legendPlace_; }
    // The legend over the plot, its top left corner this many pixels from the
    // chart's left and top edges, at any size of the chart.
    void setLegendPosition(const QPoint &topLeft);

    // The bottom axis: date values with time labels (the default), or plain numbers.
    void setTimeAxis(bool on);
    bool timeAxis() const { return timeAxis_; }
    void setAxisTitle(ChartAxis axis, const QString &title);

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
    bool cursorLinesShown() const;
    double cursorLineTime(int which) const;
    // The cursor line drawn within reach of this point of the plot: 0 A, 1 B, -1 none.
    int cursorLineAt(const QPoint &at) const;
    // The pixel column of a cursor line (where the plot would draw it).
    double cursorLinePixel(int which) const;
    // While off, changes are collected and nothing is drawn; switching on draws once.
    void setRepaint(bool on);
    bool repaintOn() const { return repaint_; }
    // The panel behind the plot and the legend; redraw false leaves the chart on
    // screen as it is drawn (for pictures, which are drawn apart).
    void setPanelColour(const QColor &colour, bool redraw = true);
    QColor panelColour() const { return panelColour_; }
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
    friend QCustomPlot *plotOf(const ChartView &chart);
    friend class ChartPages;  // paints the plot with a report's painter

    struct Series {
        SeriesKind kind;
        QCPAbstractPlottable *plottable;
        CheckLegendItem *legendItem;
        ValueAxis axis = ValueAxis::Both;
        int stackMode = StackNone;
        int stackGroup = 0;
    };
    struct AxisState {
        std::optional<GridStyle> grid;  // none until set
        QColor lineColour;              // invalid until set
        bool fixed = false;
        double fixedRange[2] = {};
    };

    QCPAxis *axis(ChartAxis which) const;
    QCPTextElement *titleElement(TitleLine line) const { return titles_[size_t(line)]; }
    void setSeriesColour(int s, const QColor &colour);
    void setAxisGrid(ChartAxis axis, GridStyle style);
    void setAxisLineColour(ChartAxis axis, const QColor &colour);
    void setAxisFixedRange(ChartAxis axis, bool fixed, double minimum, double maximum);
    ChartGraph *graph(int s) const;
    void changed();
    void restack();
    void fitAxes();
    void widenValueAxesTo(int s);
    void toggleFromLegend(int s);
    bool keyRangeOf(const Series &series, QCPRange &range) const;
    // The series a press at this point lies on (drawn within 3 pixels of it at
    // its x), the topmost; -1 if none.
    int seriesPressedAt(const QPoint &at) const;
    void fitTimeAxis(double from, double to);
    void arrangeLayout();
    void arrangeLegend();
    void fitLegend();
    void placeLegend();
    bool showLegendToolTip(QHelpEvent *event);
    void hover(const QPoint &position);
    void leaveHoveredSeries();
    bool mousePress(QMouseEvent *event);
    bool mouseMove(QMouseEvent *event);
    bool mouseRelease(QMouseEvent *event);
    void wheel(QWheelEvent *event);
    bool contextMenu(QContextMenuEvent *event);
    void setDragging(bool dragging);

    QCustomPlot *plot_;
    std::vector<Series> series_;
    std::vector<QCPTextElement *> titles_;
    std::vector<bool> titleShown_;
    int titleSizes_[4] = {18, 12, 12, 12};  // as given; the font is scaled down from these
    double spans_[2][2] = {{0, 100}, {0, 100}};
    QString numberFormats_[2];
    double toKey(double x) const { return timeAxis_ ? dateValueToKey(x) : x; }
    double fromKey(double key) const { return timeAxis_ ? keyToDateValue(key) : key; }

    QColor panelColour_ = Qt::white;
    bool timeAxis_ = true;
    LegendPlace legendPlace_ = LegendPlace::Bottom;
    QPoint legendPosition_;
    AxisState axes_[3];
    std::vector<QCPAxis *> axisCopies_;  // [copy of the left axis on the right, copy of the right axis on the left]
    bool zoomed_ = false;
    bool repaint_ = true;
    // Mouse actions: a zoom rectangle with the left button, a scroll with the right.
    // A cursor line is dragged with the left button too.
    enum class Drag { None, Zoom, Scroll, Cursor } drag_ = Drag::None;
    int draggedCursor_ = -1;
    std::unique_ptr<CursorLines> cursorLines_;  // made when first shown
    QPoint dragStart_;
    double dragRange_[6] = {};  // time, left and right axis ranges when the scroll began
    bool zoomedBeforeScroll_ = false;
    QRubberBand *rubberBand_ = nullptr;
    BandCanvasItem *bandCanvas_ = nullptr;
    int hoveredSeries_ = -1;
    int hoveredPoint_ = -1;
};

}  // namespace kavra
