#include "chart/ChartView.h"

#include "chart/AxisTickers.h"
#include "chart/ChartGraph.h"

#include <QRubberBand>

#include <algorithm>
#include <optional>
#include <qcustomplot.h>

namespace kavra {
namespace {

constexpr double kUnixEpochDay = 25569.0;  // 1 January 1970 as a date value

}  // namespace

double dateValueToKey(double dateValue) { return (dateValue - kUnixEpochDay) * 86400.0; }
double keyToDateValue(double key) { return key / 86400.0 + kUnixEpochDay; }

ChartView::ChartView(QWidget *parent) : QWidget(parent), plot_(new QCustomPlot(this))
{
    setObjectName(QStringLiteral("tchKavra"));
    plot_->setGeometry(rect());
    plot_->setAutoAddPlottableToLegend(false);
    plot_->setNoAntialiasingOnDrag(true);
    plot_->setPlottingHint(QCP::phCacheLabels, true);

    static const char *const kDefaultTitles[] = {"Kavra", "", "", ""};
    for (int line = 0; line < 4; ++line) {
        auto *element = new QCPTextElement(plot_, QString::fromLatin1(kDefaultTitles[line]));
        titles_.push_back(element);
        titleShown_.push_back(line == 0);
    }
    plot_->axisRect()->insetLayout()->take(plot_->legend);
    plot_->legend->setVisible(true);
    plot_->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot_->legend->setWrap(4);  // four entries a row under the plot
    plot_->plotLayout()->setMargins(QMargins(0, 0, 0, 4));
    plot_->legend->setBorderPen(QPen(Qt::gray));

    plot_->xAxis->setTicker(QSharedPointer<TimeTicker>::create());
    for (QCPAxis *valueAxis : {plot_->yAxis, plot_->yAxis2}) {
        valueAxis->setTicker(QSharedPointer<ValueTicker>::create());
        valueAxis->setVisible(true);
    }
    numberFormats_[0] = numberFormats_[1] = QStringLiteral("#,##0.###");
    plot_->xAxis2->setVisible(false);
    arrangeLayout();

    rubberBand_ = new QRubberBand(QRubberBand::Rectangle, plot_);
    plot_->installEventFilter(this);
    plot_->setMouseTracking(true);
    connect(plot_, &QCustomPlot::afterReplot, this, &ChartView::afterDraw);
    connect(plot_, &QCustomPlot::legendClick, this, [this](QCPLegend *, QCPAbstractLegendItem *item, QMouseEvent *) {
        if (auto *entry = qobject_cast<CheckLegendItem *>(item)) {
            entry->series()->setVisible(!entry->series()->visible());
            plot_->replot();
        }
    });
}

ChartView::~ChartView() = default;

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

int ChartView::addSeries(SeriesKind kind)
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
    changed();
    return index;
}

void ChartView::removeSeries(int s)
{
    if (s < 0 || s >= seriesCount())
        return;
    Series gone = series_[size_t(s)];
    series_.erase(series_.begin() + s);
    plot_->legend->removeItem(gone.legendItem);
    plot_->removePlottable(gone.plottable);
    restack();
    changed();
}

void ChartView::removeAllSeries()
{
    plot_->legend->clearItems();
    for (const Series &series : series_)
        plot_->removePlottable(series.plottable);
    series_.clear();
    hoveredSeries_ = hoveredPoint_ = -1;
    changed();
}

void ChartView::exchangeSeries(int a, int b)
{
    if (a < 0 || b < 0 || a >= seriesCount() || b >= seriesCount() || a == b)
        return;
    std::swap(series_[size_t(a)], series_[size_t(b)]);
    arrangeLegend();
    restack();
    changed();
}

// ---- One series ------------------------------------------------------------

void ChartView::setSeriesShown(int s, bool shown)
{
    series_[size_t(s)].plottable->setVisible(shown);
    changed();
}

bool ChartView::seriesShown(int s) const { return series_[size_t(s)].plottable->visible(); }

void ChartView::setSeriesColour(int s, const QColor &colour)
{
    QCPAbstractPlottable *plottable = series_[size_t(s)].plottable;
    QPen pen = plottable->pen();
    pen.setColor(colour);
    plottable->setPen(pen);
    if (auto *line = graph(s); line && line->lineStyle() == QCPGraph::lsNone)
        line->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, colour, colour, 5));
    changed();
}

QColor ChartView::seriesColour(int s) const { return series_[size_t(s)].plottable->pen().color(); }

void ChartView::setSeriesPenWidth(int s, int width)
{
    QCPAbstractPlottable *plottable = series_[size_t(s)].plottable;
    QPen pen = plottable->pen();
    pen.setWidth(width);
    plottable->setPen(pen);
    changed();
}

int ChartView::seriesPenWidth(int s) const { return series_[size_t(s)].plottable->pen().width(); }

void ChartView::setSeriesStackMode(int s, int mode)
{
    series_[size_t(s)].stackMode = mode;
    restack();
    changed();
}

void ChartView::setSeriesValueAxis(int s, ValueAxis valueAxis)
{
    Series &series = series_[size_t(s)];
    series.axis = valueAxis;
    series.plottable->setValueAxis(valueAxis == ValueAxis::Right ? plot_->yAxis2 : plot_->yAxis);
    changed();
}

void ChartView::setSeriesLineStyle(int s, Qt::PenStyle style)
{
    QCPAbstractPlottable *plottable = series_[size_t(s)].plottable;
    QPen pen = plottable->pen();
    pen.setStyle(style);
    plottable->setPen(pen);
    changed();
}

Qt::PenStyle ChartView::seriesLineStyle(int s) const { return series_[size_t(s)].plottable->pen().style(); }

void ChartView::seriesPoints(int s, std::vector<double> &x, std::vector<double> &y) const
{
    x.clear();
    y.clear();
    const ChartGraph *line = graph(s);
    if (!line)
        return;
    x.reserve(size_t(line->data()->size()));
    y.reserve(size_t(line->data()->size()));
    for (const QCPGraphData &point : *line->data()) {
        x.push_back(fromKey(point.key));
        y.push_back(point.value);
    }
}

void ChartView::setSeriesName(int s, const QString &name) { series_[size_t(s)].plottable->setName(name); }

QString ChartView::seriesName(int s) const { return series_[size_t(s)].plottable->name(); }

void ChartView::setSeriesPoints(int s, const double *x, const double *y, int count)
{
    ChartGraph *line = graph(s);
    if (!line)
        return;
    // Filled in place and handed over whole: long curves are not copied again.
    auto container = QSharedPointer<QCPGraphDataContainer>::create();
    QVector<QCPGraphData> points(qMax(0, count));
    for (int i = 0; i < count; ++i)
        points[i] = QCPGraphData(toKey(x[i]), std::isfinite(y[i]) ? y[i] : qQNaN());
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
    changed();
}

void ChartView::addPoint(int s, double x, double y)
{
    if (ChartGraph *line = graph(s))
        line->addData(toKey(x), std::isfinite(y) ? y : qQNaN());
    changed();
}

void ChartView::addCandle(int s, double date, double open, double high, double low, double close)
{
    if (auto *candles = qobject_cast<QCPFinancial *>(series_[size_t(s)].plottable))
        candles->addData(toKey(date), open, high, low, close);
    changed();
}

void ChartView::setCandleColours(int s, const QColor &upClose, const QColor &downClose)
{
    if (auto *candles = qobject_cast<QCPFinancial *>(series_[size_t(s)].plottable)) {
        candles->setBrushPositive(upClose);
        candles->setPenPositive(QPen(upClose.darker(130)));
        candles->setBrushNegative(downClose);
        candles->setPenNegative(QPen(downClose.darker(130)));
    }
    changed();
}

void ChartView::setCandleWidth(int s, double days)
{
    if (auto *candles = qobject_cast<QCPFinancial *>(series_[size_t(s)].plottable))
        candles->setWidth(days * 86400.0);
    changed();
}

int ChartView::pointCount(int s) const
{
    const QCPAbstractPlottable *plottable = series_[size_t(s)].plottable;
    if (const auto *candles = qobject_cast<const QCPFinancial *>(plottable))
        return candles->data()->size();
    return static_cast<const QCPGraph *>(plottable)->data()->size();
}

double ChartView::pointX(int s, int p) const
{
    const QCPAbstractPlottable *plottable = series_[size_t(s)].plottable;
    if (const auto *candles = qobject_cast<const QCPFinancial *>(plottable))
        return fromKey(candles->data()->at(p)->key);
    return fromKey(static_cast<const QCPGraph *>(plottable)->data()->at(p)->key);
}

double ChartView::pointY(int s, int p) const
{
    const QCPAbstractPlottable *plottable = series_[size_t(s)].plottable;
    if (const auto *candles = qobject_cast<const QCPFinancial *>(plottable))
        return candles->data()->at(p)->close;
    return static_cast<const QCPGraph *>(plottable)->data()->at(p)->value;
}

// Each stacked series stands on the stacked series before it.
void ChartView::restack()
{
    const ChartGraph *below = nullptr;
    for (size_t i = 0; i < series_.size(); ++i) {
        ChartGraph *line = graph(int(i));
        if (!line)
            continue;
        const bool stacked = series_[i].stackMode == Stacked;
        line->setStackBase(stacked ? below : nullptr);
        if (stacked)
            below = line;
    }
}

void ChartView::arrangeLegend()
{
    for (const Series &series : series_)
        if (series.legendItem->layout() == plot_->legend)
            plot_->legend->take(series.legendItem);
    plot_->legend->simplify();
    for (const Series &series : series_)
        plot_->legend->addElement(series.legendItem);
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
        fitAxes();
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
    stopMouseAction();
    zoomed_ = false;
    changed();
    emit zoomChanged();
}

void ChartView::showTimeRange(double from, double to)
{
    if (!(to > from))
        return;
    plot_->xAxis->setRange(toKey(from), toKey(to));
    zoomed_ = true;
    plot_->replot();
    emit zoomChanged();
}

void ChartView::setPanelColour(const QColor &colour)
{
    panelColour_ = colour;
    plot_->setBackground(colour);
    plot_->axisRect()->setBackground(Qt::white);
    plot_->legend->setBrush(colour);
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

}  // namespace kavra
