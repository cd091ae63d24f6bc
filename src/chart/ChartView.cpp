#include "chart/ChartView.h"

#include "chart/AxisTickers.h"
#include "chart/ChartGraph.h"

#include <QRubberBand>

#include <optional>
#include <qcustomplot.h>

namespace kavra {
namespace {

constexpr double kUnixEpochDay = 25569.0;  // 1 January 1970 as a date value

Qt::PenStyle penStyle(GridStyle style)
{
    switch (style) {
    case GridStyle::Solid: return Qt::SolidLine;
    case GridStyle::Dash: return Qt::DashLine;
    case GridStyle::Dot: return Qt::DotLine;
    case GridStyle::None: return Qt::NoPen;
    case GridStyle::FineDots: return Qt::CustomDashLine;
    }
    return Qt::SolidLine;
}

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
        x.push_back(keyToDateValue(point.key));
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
        points[i] = QCPGraphData(dateValueToKey(x[i]), std::isfinite(y[i]) ? y[i] : qQNaN());
    container->set(points, true);
    line->setData(container);
    changed();
}

void ChartView::addPoint(int s, double x, double y)
{
    if (ChartGraph *line = graph(s))
        line->addData(dateValueToKey(x), std::isfinite(y) ? y : qQNaN());
    changed();
}

void ChartView::addCandle(int s, double date, double open, double high, double low, double close)
{
    if (auto *candles = qobject_cast<QCPFinancial *>(series_[size_t(s)].plottable))
        candles->addData(dateValueToKey(date), open, high, low, close);
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
        return keyToDateValue(candles->data()->at(p)->key);
    return keyToDateValue(static_cast<const QCPGraph *>(plottable)->data()->at(p)->key);
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

// ---- Titles ----------------------------------------------------------------

void ChartView::setTitleText(TitleLine line, const QString &text)
{
    title(line)->setText(text);
    arrangeLayout();
    changed();
}

QString ChartView::titleText(TitleLine line) const { return title(line)->text(); }

void ChartView::setTitleShown(TitleLine line, bool shown)
{
    titleShown_[size_t(line)] = shown;
    arrangeLayout();
    changed();
}

bool ChartView::titleShown(TitleLine line) const { return titleShown_[size_t(line)]; }

void ChartView::setTitleSize(TitleLine line, int points)
{
    titleSizes_[size_t(line)] = points;
    QFont font = title(line)->font();
    font.setPointSize(qBound(4, points * 2 / 3, 48));  // the sizes are given for a large window
    title(line)->setFont(font);
    changed();
}

void ChartView::setTitleColour(TitleLine line, const QColor &colour)
{
    title(line)->setTextColor(colour);
    changed();
}

void ChartView::setTitleBold(TitleLine line, bool bold)
{
    QFont font = title(line)->font();
    font.setBold(bold);
    title(line)->setFont(font);
    changed();
}

int ChartView::titleSize(TitleLine line) const { return titleSizes_[size_t(line)]; }

QColor ChartView::titleColour(TitleLine line) const { return title(line)->textColor(); }

bool ChartView::titleBold(TitleLine line) const { return title(line)->font().bold(); }

// Header and sub-header above the plot, then legend, footer and sub-footer below
// it; a hidden line takes no room.
void ChartView::arrangeLayout()
{
    QCPLayoutGrid *grid = plot_->plotLayout();
    QCPAxisRect *rect = plot_->axisRect();
    QList<QCPLayoutElement *> order;
    for (TitleLine line : {TitleLine::Header, TitleLine::SubHeader})
        order << title(line);
    if (legendPlace_ == LegendPlace::Top)
        order << plot_->legend << rect;
    else if (legendPlace_ == LegendPlace::Bottom)
        order << rect << plot_->legend;
    else
        order << rect;
    for (TitleLine line : {TitleLine::Footer, TitleLine::SubFooter})
        order << title(line);
    QList<QCPLayoutElement *> placed = order;
    placed << plot_->legend;
    for (QCPLayoutElement *element : placed)
        if (element->layout() == grid)
            grid->take(element);
    if (plot_->legend->layout() == rect->insetLayout())
        rect->insetLayout()->take(plot_->legend);
    grid->simplify();
    if (legendPlace_ == LegendPlace::Right) {
        rect->insetLayout()->addElement(plot_->legend, Qt::AlignTop | Qt::AlignRight);
        plot_->legend->setWrap(1);
    } else {
        plot_->legend->setWrap(4);
    }
    int row = 0;
    for (QCPLayoutElement *element : order) {
        auto *text = qobject_cast<QCPTextElement *>(element);
        // An empty line takes no room, as a hidden one.
        const bool shown =
            !text || (!text->text().isEmpty() &&
                      titleShown_[size_t(std::find(titles_.begin(), titles_.end(), text) - titles_.begin())]);
        if (text)
            text->setVisible(shown);
        if (shown)
            grid->addElement(row++, 0, element);
    }
    for (int r = 0; r < grid->rowCount(); ++r)
        grid->setRowStretchFactor(r, grid->element(r, 0) == rect ? 1.0 : 0.001);
}

// ---- Axes ------------------------------------------------------------------

void ChartView::setAxisSpan(ChartAxis which, double startPercent, double endPercent)
{
    if (which == ChartAxis::Bottom)
        return;
    spans_[int(which)][0] = qBound(0.0, startPercent, 100.0);
    spans_[int(which)][1] = qBound(spans_[int(which)][0] + 1.0, endPercent, 100.0);
    changed();
}

void ChartView::setAxisGrid(ChartAxis which, GridStyle style)
{
    gridStyles_[int(which)] = style;
    QPen pen(QColor(160, 160, 160), 0, penStyle(style));
    if (style == GridStyle::FineDots)
        pen.setDashPattern({1, 2});
    axis(which)->grid()->setPen(pen);
    axis(which)->grid()->setVisible(style != GridStyle::None);
    changed();
}

void ChartView::setAxisLineColour(ChartAxis which, const QColor &colour)
{
    QCPAxis *a = axis(which);
    for (auto setter : {&QCPAxis::setBasePen, &QCPAxis::setTickPen, &QCPAxis::setSubTickPen})
        (a->*setter)(QPen(colour));
    changed();
}

void ChartView::setAxisLabelColour(ChartAxis which, const QColor &colour)
{
    axis(which)->setTickLabelColor(colour);
    axis(which)->setLabelColor(colour);
    changed();
}

void ChartView::setAxisNumberFormat(ChartAxis which, const QString &format)
{
    if (which == ChartAxis::Bottom)
        return;
    numberFormats_[int(which)] = format;
    static_cast<ValueTicker *>(axis(which)->ticker().data())->format = format;
    changed();
}

QString ChartView::axisNumberFormat(ChartAxis which) const
{
    return which == ChartAxis::Bottom ? QString() : numberFormats_[int(which)];
}

void ChartView::setAxisDateTimeFormat(const QString &format)
{
    static_cast<TimeTicker *>(plot_->xAxis->ticker().data())->setFormat(format);
    changed();
}

double ChartView::axisMinimum(ChartAxis which) const
{
    const double lower = axis(which)->range().lower;
    return which == ChartAxis::Bottom ? keyToDateValue(lower) : lower;
}

double ChartView::axisMaximum(ChartAxis which) const
{
    const double upper = axis(which)->range().upper;
    return which == ChartAxis::Bottom ? keyToDateValue(upper) : upper;
}

GridStyle ChartView::axisGrid(ChartAxis which) const { return gridStyles_[int(which)]; }

void ChartView::setAxisFixedRange(ChartAxis which, bool fixed, double minimum, double maximum)
{
    if (which == ChartAxis::Bottom)
        return;
    fixedRange_[int(which)] = fixed && maximum > minimum;
    if (fixedRange_[int(which)])
        axis(which)->setRange(minimum, maximum);
    changed();
}

bool ChartView::axisFixed(ChartAxis which) const { return which != ChartAxis::Bottom && fixedRange_[int(which)]; }

void ChartView::setAxisCopies(bool on)
{
    if (on == axisCopies())
        return;
    QCPAxisRect *rect = plot_->axisRect();
    for (QCPAxis *copy : axisCopies_)
        rect->removeAxis(copy);
    axisCopies_.clear();
    if (on) {
        // Each copy shares its original's ticker, so it shows the same span.
        const std::pair<QCPAxis *, QCPAxis::AxisType> copies[] = {{plot_->yAxis, QCPAxis::atRight},
                                                                   {plot_->yAxis2, QCPAxis::atLeft}};
        for (const auto &[original, side] : copies) {
            QCPAxis *copy = rect->addAxis(side);
            copy->setTicker(original->ticker());
            copy->setRange(original->range());
            copy->setBasePen(original->basePen());
            copy->setTickLabelColor(original->tickLabelColor());
            copy->grid()->setVisible(false);
            connect(original, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), copy,
                    qOverload<const QCPRange &>(&QCPAxis::setRange));
            axisCopies_.push_back(copy);
        }
    }
    changed();
}

void ChartView::setLegendShown(bool shown)
{
    plot_->legend->setVisible(shown);
    changed();
}

bool ChartView::legendShown() const { return plot_->legend->visible(); }

void ChartView::setLegendPlace(LegendPlace place)
{
    legendPlace_ = place;
    arrangeLayout();
    changed();
}

// Fits the time axis to all points and each value axis to its series, keeping
// each value axis within its span of the plot height.
void ChartView::fitAxes()
{
    double from = 0, to = 1;
    if (dataTimeRange(from, to)) {
        if (from == to) {
            from -= 1.0 / 1440;
            to += 1.0 / 1440;
        }
        plot_->xAxis->setRange(dateValueToKey(from), dateValueToKey(to));
    }
    bool anyRight = false;
    std::vector<std::optional<QCPRange>> seriesRanges;  // each series' values, read once
    for (const Series &series : series_) {
        anyRight |= series.axis == ValueAxis::Right;
        bool found = false;
        const QCPRange range = series.plottable->getValueRange(found);
        seriesRanges.push_back(found ? std::optional<QCPRange>(range) : std::nullopt);
    }
    for (int side = 0; side < 2; ++side) {
        if (fixedRange_[side])
            continue;
        QCPRange range;
        bool found = false;
        for (size_t i = 0; i < series_.size(); ++i) {
            const Series &series = series_[i];
            const bool onThisSide = series.axis == ValueAxis::Both || int(series.axis) == side ||
                                    (side == 1 && !anyRight && series.axis == ValueAxis::Left);
            if (!onThisSide || !seriesRanges[i])
                continue;
            const QCPRange seriesRange = *seriesRanges[i];
            range = found ? QCPRange(qMin(range.lower, seriesRange.lower), qMax(range.upper, seriesRange.upper))
                          : seriesRange;
            found = true;
        }
        if (!found)
            range = QCPRange(0, 1);
        if (range.size() == 0) {  // a flat line still gets a visible range
            const double pad = range.lower == 0 ? 1 : std::fabs(range.lower) * 0.1;
            range = QCPRange(range.lower - pad, range.upper + pad);
        } else {
            range = QCPRange(range.lower - range.size() * 0.02, range.upper + range.size() * 0.02);
        }
        auto *ticker = static_cast<ValueTicker *>((side == 0 ? plot_->yAxis : plot_->yAxis2)->ticker().data());
        ticker->bounds = range;
        const double start = spans_[side][0] / 100, end = spans_[side][1] / 100;
        const double perFraction = range.size() / (end - start);
        (side == 0 ? plot_->yAxis : plot_->yAxis2)
            ->setRange(range.lower - (1 - end) * perFraction, range.upper + start * perFraction);
    }
}

bool ChartView::dataTimeRange(double &from, double &to) const
{
    bool found = false;
    QCPRange all;
    for (const Series &series : series_) {
        bool seriesFound = false;
        const QCPRange range = series.plottable->getKeyRange(seriesFound);
        if (!seriesFound)
            continue;
        all = found ? QCPRange(qMin(all.lower, range.lower), qMax(all.upper, range.upper)) : range;
        found = true;
    }
    if (found) {
        from = keyToDateValue(all.lower);
        to = keyToDateValue(all.upper);
    }
    return found;
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
    plot_->xAxis->setRange(dateValueToKey(from), dateValueToKey(to));
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

QImage ChartView::picture(int width, int height)
{
    // Pictures are made for paper and reports: white behind the chart.
    plot_->setBackground(Qt::white);
    plot_->legend->setBrush(Qt::white);
    const QImage image = plot_->toPixmap(width, height).toImage();
    plot_->setBackground(panelColour_);
    plot_->legend->setBrush(panelColour_);
    return image;
}

}  // namespace kavra
