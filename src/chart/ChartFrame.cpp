// The chart's frame: title lines, legend placement and the axes, with the fitting
// of the axes to the series.

#include "chart/AxisTickers.h"
#include "chart/ChartGraph.h"
#include "chart/ChartView.h"

#include <qcustomplot.h>

#include <algorithm>
#include <optional>

namespace kavra {
namespace {

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

// ---- Titles ----------------------------------------------------------------

void ChartView::setTitle(TitleLine line, const TitleLook &look)
{
    const TitleLook was = title(line);
    QCPTextElement *element = titleElement(line);
    if (look.text != was.text)
        element->setText(look.text);
    if (look.shown != was.shown)
        titleShown_[size_t(line)] = look.shown;
    QFont font = element->font();
    if (look.size != was.size) {
        titleSizes_[size_t(line)] = look.size;
        font.setPointSize(qBound(4, look.size * 2 / 3, 48));  // the sizes are given for a large window
    }
    if (look.bold != was.bold)
        font.setBold(look.bold);
    if (look.size != was.size || look.bold != was.bold)
        element->setFont(font);
    if (look.colour != was.colour)
        element->setTextColor(look.colour);
    if (look.text != was.text || look.shown != was.shown)
        arrangeLayout();
    changed();
}

TitleLook ChartView::title(TitleLine line) const
{
    const QCPTextElement *element = titleElement(line);
    return {element->text(), titleShown_[size_t(line)], titleSizes_[size_t(line)], element->textColor(),
            element->font().bold()};
}

// Header and sub-header above the plot, then legend, footer and sub-footer below
// it; a hidden line takes no room.
void ChartView::arrangeLayout()
{
    QCPLayoutGrid *grid = plot_->plotLayout();
    QCPAxisRect *rect = plot_->axisRect();
    QList<QCPLayoutElement *> order;
    for (TitleLine line : {TitleLine::Header, TitleLine::SubHeader})
        order << titleElement(line);
    if (legendPlace_ == LegendPlace::Top)
        order << plot_->legend << rect;
    else if (legendPlace_ == LegendPlace::Bottom)
        order << rect << plot_->legend;
    else
        order << rect;
    for (TitleLine line : {TitleLine::Footer, TitleLine::SubFooter})
        order << titleElement(line);
    QList<QCPLayoutElement *> placed = order;
    placed << plot_->legend;
    for (QCPLayoutElement *element : placed)
        if (element->layout() == grid)
            grid->take(element);
    if (plot_->legend->layout() == rect->insetLayout())
        rect->insetLayout()->take(plot_->legend);
    grid->simplify();
    if (legendPlace_ == LegendPlace::Right)
        rect->insetLayout()->addElement(plot_->legend, Qt::AlignTop | Qt::AlignRight);
    else if (legendPlace_ == LegendPlace::Custom)
        rect->insetLayout()->addElement(plot_->legend, QRectF());  // placed once the plot is laid out
    int row = 0;
    for (QCPLayoutElement *element : order) {
        auto *text = qobject_cast<QCPTextElement *>(element);
        // A line switched on keeps its room also while empty; a hidden one takes none.
        const bool shown =
            !text || titleShown_[size_t(std::find(titles_.begin(), titles_.end(), text) - titles_.begin())];
        if (text)
            text->setVisible(shown);
        if (shown)
            grid->addElement(row++, 0, element);
    }
    for (int r = 0; r < grid->rowCount(); ++r)
        grid->setRowStretchFactor(r, grid->element(r, 0) == rect ? 1.0 : 0.001);
}

// ---- Axes ------------------------------------------------------------------

void ChartView::setAxisLook(ChartAxis which, const AxisLook &look)
{
    const AxisLook was = axisLook(which);
    if (look.grid && look.grid != was.grid)
        setAxisGrid(which, *look.grid);
    if (look.lineColour.isValid() && look.lineColour != was.lineColour)
        setAxisLineColour(which, look.lineColour);
    if (look.labelColour != was.labelColour) {
        axis(which)->setTickLabelColor(look.labelColour);
        axis(which)->setLabelColor(look.labelColour);
    }
    if (which != ChartAxis::Bottom) {
        double (&span)[2] = spans_[int(which)];
        span[0] = qBound(0.0, look.spanStart, 100.0);
        span[1] = qBound(span[0] + 1.0, look.spanEnd, 100.0);
        if (look.numberFormat != was.numberFormat) {
            numberFormats_[int(which)] = look.numberFormat;
            static_cast<ValueTicker *>(axis(which)->ticker().data())->format = look.numberFormat;
        }
        if (look.fixed != was.fixed || look.minimum != was.minimum || look.maximum != was.maximum)
            setAxisFixedRange(which, look.fixed, look.minimum, look.maximum);
    }
    changed();
}

AxisLook ChartView::axisLook(ChartAxis which) const
{
    const AxisState &state = axes_[int(which)];
    AxisLook look;
    look.grid = state.grid;
    look.lineColour = state.lineColour;
    look.labelColour = axis(which)->tickLabelColor();
    if (which != ChartAxis::Bottom) {
        look.numberFormat = numberFormats_[int(which)];
        look.spanStart = spans_[int(which)][0];
        look.spanEnd = spans_[int(which)][1];
        look.fixed = state.fixed;
        look.minimum = state.fixedRange[0];
        look.maximum = state.fixedRange[1];
    }
    return look;
}

void ChartView::setAxisGrid(ChartAxis which, GridStyle style)
{
    axes_[int(which)].grid = style;
    QPen pen(QColor(160, 160, 160), 0, penStyle(style));
    if (style == GridStyle::FineDots)
        pen.setDashPattern({1, 2});
    axis(which)->grid()->setPen(pen);
    axis(which)->grid()->setVisible(style != GridStyle::None);
}

void ChartView::setAxisLineColour(ChartAxis which, const QColor &colour)
{
    axes_[int(which)].lineColour = colour;
    QCPAxis *a = axis(which);
    for (auto setter : {&QCPAxis::setBasePen, &QCPAxis::setTickPen, &QCPAxis::setSubTickPen})
        (a->*setter)(QPen(colour));
}

void ChartView::setAxisDateTimeFormat(const QString &format)
{
    if (auto *ticker = dynamic_cast<TimeTicker *>(plot_->xAxis->ticker().data()))
        ticker->setFormat(format);
    changed();
}

double ChartView::axisMinimum(ChartAxis which) const
{
    const double lower = axis(which)->range().lower;
    return which == ChartAxis::Bottom ? fromKey(lower) : lower;
}

double ChartView::axisMaximum(ChartAxis which) const
{
    const double upper = axis(which)->range().upper;
    return which == ChartAxis::Bottom ? fromKey(upper) : upper;
}

void ChartView::setTimeAxis(bool on)
{
    timeAxis_ = on;
    if (on) {
        plot_->xAxis->setTicker(QSharedPointer<TimeTicker>::create());
    } else {
        plot_->xAxis->setTicker(QSharedPointer<ValueTicker>::create());
    }
    // A chart of plain numbers (the scatter diagram) shows whatever values the
    // items have, however close together: its labels take the decimals they need.
    for (QCPAxis *numbers : {plot_->xAxis, plot_->yAxis, plot_->yAxis2})
        if (auto *ticker = dynamic_cast<ValueTicker *>(numbers->ticker().data()))
            ticker->widenDecimals = !on;
    changed();
}

void ChartView::setAxisTitle(ChartAxis which, const QString &title)
{
    axis(which)->setLabel(title);
    changed();
}

// While the right axis mirrors the left one (no series of its own, the same
// span) both keep one scale, so that no second set of grid lines appears.
void ChartView::setAxisFixedRange(ChartAxis which, bool fixed, double minimum, double maximum)
{
    const bool mirrored = spans_[0][0] == spans_[1][0] && spans_[0][1] == spans_[1][1] &&
                          std::none_of(series_.begin(), series_.end(),
                                       [](const Series &series) { return series.axis == ValueAxis::Right; });
    for (ChartAxis side : {ChartAxis::Left, ChartAxis::Right}) {
        if (side != which && !mirrored)
            continue;
        AxisState &state = axes_[int(side)];
        state.fixed = fixed && maximum > minimum;
        state.fixedRange[0] = minimum;
        state.fixedRange[1] = maximum;
        if (state.fixed)
            axis(side)->setRange(minimum, maximum);
    }
}

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

void ChartView::setLegendBold(bool bold)
{
    QFont font = plot_->legend->font();
    font.setBold(bold);
    plot_->legend->setFont(font);
    for (const Series &series : series_)
        series.legendItem->setFont(font);
    changed();
}

bool ChartView::legendBold() const { return plot_->legend->font().bold(); }

void ChartView::setLegendPlace(LegendPlace place)
{
    legendPlace_ = place;
    arrangeLayout();
    changed();
}

void ChartView::setLegendPosition(const QPoint &topLeft)
{
    legendPosition_ = topLeft;
    setLegendPlace(LegendPlace::Custom);
}

// The inset layout places its elements in fractions of the plot area, which is
// known only after the layout: the legend is moved to its point then.
void ChartView::placeLegend()
{
    if (legendPlace_ != LegendPlace::Custom)
        return;
    QCPLayoutInset *inset = plot_->axisRect()->insetLayout();
    const QRect area = plot_->axisRect()->rect();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const QPoint wanted = plot_->viewport().topLeft() + legendPosition_;
    for (int i = 0; i < inset->elementCount(); ++i) {
        if (inset->elementAt(i) != plot_->legend)
            continue;
        // The point is where the legend's frame begins; the inset layout keeps
        // margins of its own and rounds: placed, then moved by what is left over
        // until it is there.
        QPoint corner = wanted;
        for (int pass = 0; pass < 4 && plot_->legend->outerRect().topLeft() != wanted; ++pass) {
            inset->setInsetRect(i, QRectF(double(corner.x() - area.left()) / area.width(),
                                          double(corner.y() - area.top()) / area.height(), 0, 0));
            inset->update(QCPLayoutElement::upLayout);
            corner += wanted - plot_->legend->outerRect().topLeft();
        }
    }
}

// Fits the time axis to all points and each value axis to its series, keeping
// each value axis within its span of the plot height.
void ChartView::fitTimeAxis(double from, double to)
{
    if (!(to > from)) {  // a single time still gets a visible range
        const double pad = timeAxis_ ? 1.0 / 1440 : (from == 0 ? 1 : std::fabs(from) * 0.1);
        from -= pad;
        to += pad;
    }
    if (!timeAxis_) {  // points at the extremes stay whole inside the plot
        const double pad = (to - from) * 0.02;
        from -= pad;
        to += pad;
    }
    plot_->xAxis->setRange(toKey(from), toKey(to));
}

void ChartView::setEmptyTimeRange(double from, double to)
{
    if (series_.empty())
        fitTimeAxis(from, to);
}

void ChartView::fitAxes()
{
    double from = 0, to = 1;
    if (dataTimeRange(from, to))
        fitTimeAxis(from, to);
    bool anyRight = false;
    std::vector<std::optional<QCPRange>> seriesRanges;  // each series' values, read once
    for (const Series &series : series_) {
        anyRight |= series.axis == ValueAxis::Right;
        bool found = false;
        const QCPRange range = series.plottable->getValueRange(found);
        seriesRanges.push_back(found ? std::optional<QCPRange>(range) : std::nullopt);
    }
    for (int side = 0; side < 2; ++side) {
        if (axes_[side].fixed)
            continue;
        QCPRange range;
        bool found = false;
        // The axis spans what is drawn: a series hidden under its ratio or its
        // average would squeeze the curves shown. With nothing shown it spans all.
        for (const bool shownOnly : {true, false}) {
            for (size_t i = 0; i < series_.size(); ++i) {
                const Series &series = series_[i];
                const bool onThisSide = series.axis == ValueAxis::Both || int(series.axis) == side ||
                                        (side == 1 && !anyRight && series.axis == ValueAxis::Left);
                if (!onThisSide || !seriesRanges[i] || (shownOnly && !series.plottable->visible()))
                    continue;
                const QCPRange seriesRange = *seriesRanges[i];
                range = found ? QCPRange(qMin(range.lower, seriesRange.lower), qMax(range.upper, seriesRange.upper))
                              : seriesRange;
                found = true;
            }
            if (found)
                break;
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

// A candle is drawn across its width, centred on its time: the first and the
// last one need half a candle's room beyond their times, and a little more, so
// that they stand clear of the axes as the others stand clear of each other.
bool ChartView::keyRangeOf(const Series &series, QCPRange &range) const
{
    bool found = false;
    range = series.plottable->getKeyRange(found);
    if (const auto *candles = qobject_cast<const QCPFinancial *>(series.plottable); candles && found) {
        bool any = false;
        const QCPRange centres = candles->data()->keyRange(any);
        const double room = candles->width() * 0.65;
        if (any)
            range = QCPRange(qMin(range.lower, centres.lower - room), qMax(range.upper, centres.upper + room));
    }
    return found;
}

// While zoomed the view stays where the user put it, widened only as far as the
// series' values in view need.
void ChartView::widenValueAxesTo(int s)
{
    const Series &series = series_[size_t(s)];
    bool found = false;
    const QCPRange values = series.plottable->getValueRange(found, QCP::sdBoth, plot_->xAxis->range());
    if (!found)
        return;
    const bool anyRight = std::any_of(series_.begin(), series_.end(),
                                      [](const Series &other) { return other.axis == ValueAxis::Right; });
    const double pad = values.size() > 0 ? values.size() * 0.02 : qMax(1.0, std::fabs(values.lower) * 0.1);
    for (int side = 0; side < 2; ++side) {
        const bool onThisSide = series.axis == ValueAxis::Both || int(series.axis) == side ||
                                (side == 1 && !anyRight && series.axis == ValueAxis::Left);
        QCPAxis *valueAxis = side == 0 ? plot_->yAxis : plot_->yAxis2;
        const bool inView = valueAxis->range().contains(values.lower) && valueAxis->range().contains(values.upper);
        if (!onThisSide || axes_[side].fixed || inView)
            continue;
        const QCPRange wanted(values.lower - pad, values.upper + pad);
        valueAxis->setRange(qMin(valueAxis->range().lower, wanted.lower), qMax(valueAxis->range().upper, wanted.upper));
        auto *ticker = static_cast<ValueTicker *>(valueAxis->ticker().data());
        ticker->bounds = QCPRange(qMin(ticker->bounds.lower, wanted.lower), qMax(ticker->bounds.upper, wanted.upper));
    }
}

bool ChartView::dataTimeRange(double &from, double &to) const
{
    bool found = false;
    QCPRange all;
    for (const Series &series : series_) {
        QCPRange range;
        if (!keyRangeOf(series, range))
            continue;
        all = found ? QCPRange(qMin(all.lower, range.lower), qMax(all.upper, range.upper)) : range;
        found = true;
    }
    if (found) {
        from = fromKey(all.lower);
        to = fromKey(all.upper);
    }
    return found;
}

}  // namespace kavra
