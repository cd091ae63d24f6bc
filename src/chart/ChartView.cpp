#include "chart/ChartView.h"

#include "analysis/Curves.h"
#include "chart/AxisTickers.h"
#include "chart/ChartAxes.h"
#include "chart/ChartFrame.h"
#include "chart/ChartGraph.h"
#include "chart/CheckLegendItem.h"
#include "chart/ChartMouse.h"
#include "chart/CursorLines.h"

#include <QEvent>

#include <algorithm>
#include <optional>
#include <qcustomplot.h>

namespace kavra {
namespace {

constexpr double kUnixEpochDay = 25569.0;  // 1 January 1970 as a date value

// The plot, told before each layout (on screen, for a picture or for a page), so
// that the legend can be fitted to the room that layout has.
class ChartPlot : public QCustomPlot {
public:
    using QCustomPlot::QCustomPlot;
    std::function<void()> beforeLayout;
    // Asked after each layout: true when it must be laid out once more, with
    // what this one found out (the time axis' length).
    std::function<bool()> layOutAgain;

protected:
    void updateLayout() override
    {
        if (beforeLayout)
            beforeLayout();
        QCustomPlot::updateLayout();
        if (layOutAgain && layOutAgain())
            QCustomPlot::updateLayout();
    }
};

}  // namespace

double dateValueToKey(double dateValue) { return (dateValue - kUnixEpochDay) * 86400.0; }
double keyToDateValue(double key) { return key / 86400.0 + kUnixEpochDay; }

ChartView::ChartView(QWidget *parent) : QWidget(parent), plot_(new ChartPlot(this))
{
    static_cast<ChartPlot *>(plot_)->beforeLayout = [this] { frame_->fitLegend(); };
    // The time labels' spacing follows the axis' length, known only once laid out.
    static_cast<ChartPlot *>(plot_)->layOutAgain = [this] {
        auto *ticker = dynamic_cast<TimeTicker *>(plot_->xAxis->ticker().data());
        return ticker && ticker->setRoom(plot_->axisRect()->width(), plot_->xAxis->tickLabelFont());
    };
    setObjectName(QStringLiteral("tchKavra"));
    plot_->setGeometry(rect());
    plot_->setAutoAddPlottableToLegend(false);
    plot_->setNoAntialiasingOnDrag(true);
    plot_->setPlottingHint(QCP::phCacheLabels, true);

    frame_ = std::make_unique<ChartFrame>(*this);
    axes_ = std::make_unique<ChartAxes>(*this);
    plot_->addLayer(QStringLiteral("bands"), plot_->layer(QStringLiteral("main")), QCustomPlot::limAbove);
    bandCanvas_ = new BandCanvasItem(plot_, QStringLiteral("bands"));
    frame_->arrangeLayout();

    mouse_ = std::make_unique<ChartMouse>(*this);
    plot_->installEventFilter(this);
    plot_->setMouseTracking(true);
    connect(plot_, &QCustomPlot::afterReplot, this, &ChartView::afterDraw);
    connect(plot_, &QCustomPlot::afterLayout, this, [this] { frame_->placeLegend(); });
    connect(plot_, &QCustomPlot::legendClick, this, [this](QCPLegend *, QCPAbstractLegendItem *item, QMouseEvent *) {
        for (size_t s = 0; s < series_.size(); ++s)
            if (series_[s].legendItem == item)
                toggleFromLegend(int(s));
    });
}

ChartView::~ChartView() = default;

double ChartView::toKey(double x) const { return axes_->toKey(x); }

double ChartView::fromKey(double key) const { return axes_->fromKey(key); }

// ---- Axes ------------------------------------------------------------------

void ChartView::setAxisLook(ChartAxis which, const AxisLook &look)
{
    axes_->setLook(which, look);
    changed();
}

AxisLook ChartView::axisLook(ChartAxis which) const { return axes_->look(which); }

AxisRange ChartView::axisRange(ChartAxis which) const { return axes_->range(which); }

void ChartView::setAxisCopies(bool on)
{
    if (axes_->setCopies(on))
        changed();
}

bool ChartView::dataTimeRange(double &from, double &to) const { return axes_->dataTimeRange(from, to); }

void ChartView::setEmptyTimeRange(double from, double to)
{
    if (series_.empty())
        axes_->fitTimeAxis(from, to);
}

// ---- Titles and legend -----------------------------------------------------

void ChartView::setTitle(TitleLine line, const TitleLook &look)
{
    frame_->setTitle(line, look);
    changed();
}

TitleLook ChartView::title(TitleLine line) const { return frame_->title(line); }

void ChartView::setLegend(const LegendLook &look)
{
    frame_->setLegend(look);
    changed();
}

LegendLook ChartView::legend() const { return frame_->legend(); }

void ChartView::stopMouseAction() { mouse_->stop(); }

bool ChartView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != plot_)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::Paint) {
        // The chart draws into buffers made for the screen it was created on; on a
        // screen of another pixel density they are made again at its resolution.
        if (plot_->bufferDevicePixelRatio() != plot_->devicePixelRatioF()) {
            plot_->setBufferDevicePixelRatio(plot_->devicePixelRatioF());
            plot_->replot(QCustomPlot::rpQueuedRefresh);
        }
        return false;
    }
    return mouse_->handle(event);
}

// A series ticked back on in the legend is brought into view: the value axes
// are fitted again, or, while zoomed, widened to what it draws in view.
void ChartView::toggleFromLegend(int s)
{
    const bool shown = !series_[size_t(s)].plottable->visible();
    series_[size_t(s)].plottable->setVisible(shown);
    if (shown && zoomed_)
        axes_->widenTo(s);
    draw();
}

void ChartView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A hidden widget gets its resize event only when shown; the plot's viewport is
    // set here so that pictures and tests drawn before that see the real size.
    plot_->setGeometry(rect());
    plot_->setViewport(plot_->rect());
}

QCPAxis *ChartView::axis(ChartAxis which) const
{
    switch (which) {
    case ChartAxis::Left: return plot_->yAxis;
    case ChartAxis::Right: return plot_->yAxis2;
    case ChartAxis::Bottom: return plot_->xAxis;
    }
    return plot_->xAxis;
}

ChartGraph *ChartView::graph(int s) const { return qobject_cast<ChartGraph *>(series_[size_t(s)].plottable); }

// ---- Series list -----------------------------------------------------------

int ChartView::addSeries(SeriesKind kind, const std::optional<SeriesStyle> &style)
{
    QCPAbstractPlottable *plottable = nullptr;
    if (kind == SeriesKind::Candle) {
        auto *candles = new QCPFinancial(plot_->xAxis, plot_->yAxis);
        candles->setChartStyle(QCPFinancial::csCandlestick);
        candles->setTwoColored(true);
        candles->setBrushPositive(Qt::white);
        candles->setBrushNegative(Qt::red);
        plottable = candles;
    } else {
        auto *line = new ChartGraph(plot_->xAxis, plot_->yAxis);
        line->setAdaptiveSampling(true);
        if (kind == SeriesKind::Point) {
            line->setLineStyle(QCPGraph::lsNone);
            line->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 5));
        }
        plottable = line;
    }
    const int index = seriesCount();
    auto *entry = new CheckLegendItem(plot_->legend, plottable, [this, plottable] {
        for (size_t i = 0; i < series_.size(); ++i)
            if (series_[i].plottable == plottable)
                return legendTextWanted ? legendTextWanted(int(i)) : plottable->name();
        return plottable->name();
    });
    plot_->legend->addItem(entry);
    series_.push_back({kind, plottable, entry});
    if (colourWanted)
        setSeriesColour(index, colourWanted(index));
    if (style)
        setSeriesStyle(index, *style);
    else
        changed();
    return index;
}

void ChartView::removeAllSeries()
{
    plot_->legend->clearItems();
    for (const Series &series : series_)
        plot_->removePlottable(series.plottable);
    series_.clear();
    changed();
    mouse_->seriesRemoved();
}

// ---- One series ------------------------------------------------------------

void ChartView::setSeriesStyle(int s, const SeriesStyle &style)
{
    const SeriesStyle was = seriesStyle(s);
    Series &series = series_[size_t(s)];
    QCPAbstractPlottable *plottable = series.plottable;
    if (style.name != was.name)
        plottable->setName(style.name);
    if (style.shown != was.shown)
        plottable->setVisible(style.shown);
    if (style.colour != was.colour)
        setSeriesColour(s, style.colour);
    if (style.penWidth != was.penWidth || style.lineStyle != was.lineStyle) {
        QPen pen = plottable->pen();
        pen.setWidth(style.penWidth);
        pen.setStyle(style.lineStyle);
        plottable->setPen(pen);
    }
    if (style.axis != was.axis) {
        series.axis = style.axis;
        plottable->setValueAxis(style.axis == ValueAxis::Right ? plot_->yAxis2 : plot_->yAxis);
    }
    if (style.stackMode != was.stackMode || style.stackGroup != was.stackGroup) {
        series.stackMode = style.stackMode;
        series.stackGroup = style.stackGroup;
        restack();
    }
    // A new name alone is drawn with whatever is drawn next.
    SeriesStyle renamed = was;
    renamed.name = style.name;
    if (style == was || style != renamed)
        changed();
}

SeriesStyle ChartView::seriesStyle(int s) const
{
    const Series &series = series_[size_t(s)];
    const QPen pen = series.plottable->pen();
    return {series.plottable->name(), pen.color(),         pen.width(),      pen.style(),
            series.axis,              series.stackMode,    series.stackGroup, series.plottable->visible()};
}

// The pen's colour, and a point series' filled circles.
void ChartView::setSeriesColour(int s, const QColor &colour)
{
    QCPAbstractPlottable *plottable = series_[size_t(s)].plottable;
    QPen pen = plottable->pen();
    pen.setColor(colour);
    plottable->setPen(pen);
    if (auto *line = graph(s); line && line->lineStyle() == QCPGraph::lsNone)
        line->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, colour, colour, 5));
}

std::pair<size_t, size_t> ChartView::shownSpan(const double *times, size_t n) const
{
    // Compared as the chart keys them, so that a view whose edges lie on sample
    // times keeps exactly the points drawn at them.
    const QCPRange shown = plot_->xAxis->range();
    const double *end = times + n;
    const double *first = std::partition_point(times, end, [&](double t) { return axes_->toKey(t) < shown.lower; });
    const double *last = std::partition_point(first, end, [&](double t) { return axes_->toKey(t) <= shown.upper; });
    return {size_t(first - times), size_t(last - times)};
}

void ChartView::setSeriesPoints(int s, const double *x, const double *y, int count)
{
    ChartGraph *line = graph(s);
    if (!line)
        return;
    // Filled in place and handed over whole: long curves are not copied again.
    auto container = QSharedPointer<QCPGraphDataContainer>::create();
    QVector<QCPGraphData> points(qMax(0, count));
    for (int i = 0; i < count; ++i)
        points[i] = QCPGraphData(axes_->toKey(x[i]), std::isfinite(y[i]) ? y[i] : qQNaN());
    // The plot finds the points in view by a binary search over x, so the points
    // must be in x order. Times come in order; a scatter's x values do not, and a
    // point series drawn without lines loses nothing by being sorted.
    const auto byKey = [](const QCPGraphData &a, const QCPGraphData &b) { return a.key < b.key; };
    if (!std::is_sorted(points.begin(), points.end(), byKey)) {
        points.erase(std::remove_if(points.begin(), points.end(),
                                    [](const QCPGraphData &p) { return !std::isfinite(p.key); }),
                     points.end());
        std::stable_sort(points.begin(), points.end(), byKey);
    }
    container->set(points, true);
    line->setData(container);
    restack();
    changed();
}

void ChartView::setCandles(int s, const std::vector<analysis::Candle> &candles, const CandleLook &look)
{
    auto *financial = qobject_cast<QCPFinancial *>(series_[size_t(s)].plottable);
    if (!financial)
        return;
    financial->setBrushPositive(look.upClose);
    financial->setPenPositive(QPen(look.upClose.darker(130)));
    financial->setBrushNegative(look.downClose);
    financial->setPenNegative(QPen(look.downClose.darker(130)));
    for (const analysis::Candle &candle : candles)
        financial->addData(axes_->toKey(candle.date), candle.open, candle.high, candle.low, candle.close);
    if (look.widthDays > 0)
        financial->setWidth(look.widthDays * 86400.0);
    changed();
}

// Each stacked series stands on the stacked series before it in its stack
// group (the items, or their moving averages). Called whenever
// points or stack modes change, so that stacks are worked out again.
void ChartView::restack()
{
    const ChartGraph *below = nullptr;
    int belowGroup = 0;
    for (size_t i = 0; i < series_.size(); ++i) {
        ChartGraph *line = graph(int(i));
        if (!line)
            continue;
        const bool stacked = series_[i].stackMode == Stacked;
        if (stacked && below && series_[i].stackGroup != belowGroup)
            below = nullptr;  // a new stack begins
        line->setStackBase(stacked ? below : nullptr);
        if (stacked) {
            below = line;
            belowGroup = series_[i].stackGroup;
        }
    }
}

// ---- View ------------------------------------------------------------------

void ChartView::changed()
{
    if (repaint_)
        draw();
}

void ChartView::draw()
{
    if (!zoomed_)
        axes_->fit();
    plot_->replot();
}

void ChartView::setRepaint(bool on)
{
    repaint_ = on;
    if (on)
        draw();
}

void ChartView::undoZoom()
{
    mouse_->stop();
    zoomed_ = false;
    changed();
    emit zoomChanged();
}

void ChartView::showTimeRange(double from, double to)
{
    if (!(to > from))
        return;
    plot_->xAxis->setRange(axes_->toKey(from), axes_->toKey(to));
    zoomed_ = true;
    plot_->replot();
    emit zoomChanged();
}

void ChartView::setPanelColour(const QColor &colour, bool redraw)
{
    panelColour_ = colour;
    plot_->setBackground(colour);
    plot_->axisRect()->setBackground(Qt::white);
    plot_->legend->setBrush(colour);
    if (redraw)
        changed();
}

QImage ChartView::picture(int width, int height, double scale)
{
    // Pictures are made for paper and reports: white behind the chart.
    plot_->setBackground(Qt::white);
    plot_->legend->setBrush(Qt::white);
    QImage image = plot_->toPixmap(width, height, scale).toImage();
    image.setDevicePixelRatio(scale);
    plot_->setBackground(panelColour_);
    plot_->legend->setBrush(panelColour_);
    return image;
}

ChartView::PaintResult ChartView::paintOnto(QPaintDevice &device, int width, int height, const QRect &target) const
{
    QCPPainter painter;
    if (!painter.begin(&device))
        return PaintResult::CannotStart;
    if (!target.isNull()) {
        painter.setViewport(target);
        painter.setWindow(0, 0, width, height);
    }
    painter.setMode(QCPPainter::pmVectorized);   // no pixel-grid corrections
    painter.setMode(QCPPainter::pmNoCaching);    // labels as text, not cached pixmaps
    painter.setMode(QCPPainter::pmNonCosmetic);  // line widths scale with the page
    plot_->toPainter(&painter, width, height);
    return painter.end() ? PaintResult::Done : PaintResult::CannotFinish;
}

// ---- Cursor lines ----------------------------------------------------------

void ChartView::setCursorLines(bool shown, double a, double b)
{
    if (!cursorLines_)
        cursorLines_ = std::make_unique<CursorLines>(plot_, [this](double time) { return axes_->toKey(time); });
    if (cursorLines_->place(shown, a, b) && repaint_)
        cursorLines_->redraw();
}


}  // namespace kavra
