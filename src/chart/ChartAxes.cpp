// The chart's axes: their looks, and their ranges fitted to the series.

#include "chart/ChartAxes.h"

#include "chart/AxisTickers.h"
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

ChartAxes::ChartAxes(ChartView &view) : view_(view)
{
    QCustomPlot *plot = view_.plot_;
    plot->xAxis->setTicker(QSharedPointer<TimeTicker>::create());
    dateTimeFormat_ = TimeTicker::defaultFormat();
    for (QCPAxis *valueAxis : {plot->yAxis, plot->yAxis2}) {
        valueAxis->setTicker(QSharedPointer<ValueTicker>::create());
        valueAxis->setVisible(true);
    }
    numberFormats_[0] = numberFormats_[1] = QString::fromUtf8(kDefaultAxisFormat);
    plot->xAxis2->setVisible(false);
}

void ChartAxes::setLook(ChartAxis which, const AxisLook &look)
{
    const AxisLook was = this->look(which);
    if (look.grid && look.grid != was.grid)
        setGrid(which, *look.grid);
    if (look.lineColour.isValid() && look.lineColour != was.lineColour)
        setLineColour(which, look.lineColour);
    if (look.labelColour != was.labelColour) {
        view_.axis(which)->setTickLabelColor(look.labelColour);
        view_.axis(which)->setLabelColor(look.labelColour);
    }
    if (look.title != was.title)
        view_.axis(which)->setLabel(look.title);
    if (which == ChartAxis::Bottom) {
        if (look.dates != was.dates)
            setTimeAxis(look.dates);
        if (look.numberFormat != was.numberFormat)
            setDateTimeFormat(look.numberFormat);
    } else {
        double (&span)[2] = spans_[int(which)];
        span[0] = qBound(0.0, look.spanStart, 100.0);
        span[1] = qBound(span[0] + 1.0, look.spanEnd, 100.0);
        if (look.numberFormat != was.numberFormat) {
            numberFormats_[int(which)] = look.numberFormat;
            static_cast<ValueTicker *>(view_.axis(which)->ticker().data())->format = look.numberFormat;
        }
        if (look.fixed != was.fixed || look.minimum != was.minimum || look.maximum != was.maximum)
            setFixedRange(which, look.fixed, look.minimum, look.maximum);
    }
}

AxisLook ChartAxes::look(ChartAxis which) const
{
    const AxisState &state = state_[int(which)];
    AxisLook look;
    look.grid = state.grid;
    look.lineColour = state.lineColour;
    look.labelColour = view_.axis(which)->tickLabelColor();
    look.title = view_.axis(which)->label();
    if (which == ChartAxis::Bottom) {
        look.dates = timeAxis_;
        look.numberFormat = dateTimeFormat_;
    } else {
        look.numberFormat = numberFormats_[int(which)];
        look.spanStart = spans_[int(which)][0];
        look.spanEnd = spans_[int(which)][1];
        look.fixed = state.fixed;
        look.minimum = state.fixedRange[0];
        look.maximum = state.fixedRange[1];
    }
    return look;
}

void ChartAxes::setGrid(ChartAxis which, GridStyle style)
{
    state_[int(which)].grid = style;
    QPen pen(QColor(160, 160, 160), 0, penStyle(style));
    if (style == GridStyle::FineDots)
        pen.setDashPattern({1, 2});
    view_.axis(which)->grid()->setPen(pen);
    view_.axis(which)->grid()->setVisible(style != GridStyle::None);
}

void ChartAxes::setLineColour(ChartAxis which, const QColor &colour)
{
    state_[int(which)].lineColour = colour;
    QCPAxis *a = view_.axis(which);
    for (auto setter : {&QCPAxis::setBasePen, &QCPAxis::setTickPen, &QCPAxis::setSubTickPen})
        (a->*setter)(QPen(colour));
}

void ChartAxes::setDateTimeFormat(const QString &format)
{
    dateTimeFormat_ = format;
    if (auto *ticker = dynamic_cast<TimeTicker *>(view_.plot_->xAxis->ticker().data()))
        ticker->setFormat(format);
}

AxisRange ChartAxes::range(ChartAxis which) const
{
    const QCPRange range = view_.axis(which)->range();
    if (which == ChartAxis::Bottom)
        return {fromKey(range.lower), fromKey(range.upper)};
    return {range.lower, range.upper};
}

void ChartAxes::setTimeAxis(bool on)
{
    timeAxis_ = on;
    if (on) {
        auto ticker = QSharedPointer<TimeTicker>::create();
        if (!dateTimeFormat_.isEmpty())
            ticker->setFormat(dateTimeFormat_);
        view_.plot_->xAxis->setTicker(ticker);
    } else {
        view_.plot_->xAxis->setTicker(QSharedPointer<ValueTicker>::create());
    }
    // A chart of plain numbers (the scatter diagram) shows whatever values the
    // items have, however close together: its labels take the decimals they need.
    for (QCPAxis *numbers : {view_.plot_->xAxis, view_.plot_->yAxis, view_.plot_->yAxis2})
        if (auto *ticker = dynamic_cast<ValueTicker *>(numbers->ticker().data()))
            ticker->widenDecimals = !on;
}

// While the right axis mirrors the left one (no series of its own, the same
// span) both keep one scale, so that no second set of grid lines appears.
void ChartAxes::setFixedRange(ChartAxis which, bool fixed, double minimum, double maximum)
{
    const bool mirrored = spans_[0][0] == spans_[1][0] && spans_[0][1] == spans_[1][1] &&
                          std::none_of(view_.series_.begin(), view_.series_.end(),
                                       [](const auto &series) { return series.axis == ValueAxis::Right; });
    for (ChartAxis side : {ChartAxis::Left, ChartAxis::Right}) {
        if (side != which && !mirrored)
            continue;
        AxisState &state = state_[int(side)];
        state.fixed = fixed && maximum > minimum;
        state.fixedRange[0] = minimum;
        state.fixedRange[1] = maximum;
        if (state.fixed)
            view_.axis(side)->setRange(minimum, maximum);
    }
}

bool ChartAxes::setCopies(bool on)
{
    if (on == (copies_.size() == 2))
        return false;
    QCPAxisRect *rect = view_.plot_->axisRect();
    for (QCPAxis *copy : copies_)
        rect->removeAxis(copy);
    copies_.clear();
    if (on) {
        // Each copy shares its original's ticker, so it shows the same span.
        const std::pair<QCPAxis *, QCPAxis::AxisType> copies[] = {{view_.plot_->yAxis, QCPAxis::atRight},
                                                                   {view_.plot_->yAxis2, QCPAxis::atLeft}};
        for (const auto &[original, side] : copies) {
            QCPAxis *copy = rect->addAxis(side);
            copy->setTicker(original->ticker());
            copy->setRange(original->range());
            copy->setBasePen(original->basePen());
            copy->setTickLabelColor(original->tickLabelColor());
            copy->grid()->setVisible(false);
            QObject::connect(original, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), copy,
                    qOverload<const QCPRange &>(&QCPAxis::setRange));
            copies_.push_back(copy);
        }
    }
    return true;
}

// Fits the time axis to all points and each value axis to its series, keeping
// each value axis within its span of the plot height.
void ChartAxes::fitTimeAxis(double from, double to)
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
    view_.plot_->xAxis->setRange(toKey(from), toKey(to));
}

void ChartAxes::fit()
{
    double from = 0, to = 1;
    if (dataTimeRange(from, to))
        fitTimeAxis(from, to);
    bool anyRight = false;
    std::vector<std::optional<QCPRange>> seriesRanges;  // each series' values, read once
    for (const auto &series : view_.series_) {
        anyRight |= series.axis == ValueAxis::Right;
        bool found = false;
        const QCPRange range = series.plottable->getValueRange(found);
        seriesRanges.push_back(found ? std::optional<QCPRange>(range) : std::nullopt);
    }
    for (int side = 0; side < 2; ++side) {
        if (state_[side].fixed)
            continue;
        QCPRange range;
        bool found = false;
        // The axis spans what is drawn: a series hidden under its ratio or its
        // average would squeeze the curves shown. With nothing shown it spans all.
        for (const bool shownOnly : {true, false}) {
            for (size_t i = 0; i < view_.series_.size(); ++i) {
                const auto &series = view_.series_[i];
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
        auto *ticker = static_cast<ValueTicker *>((side == 0 ? view_.plot_->yAxis : view_.plot_->yAxis2)->ticker().data());
        ticker->bounds = range;
        const double start = spans_[side][0] / 100, end = spans_[side][1] / 100;
        const double perFraction = range.size() / (end - start);
        (side == 0 ? view_.plot_->yAxis : view_.plot_->yAxis2)
            ->setRange(range.lower - (1 - end) * perFraction, range.upper + start * perFraction);
    }
}

// A candle is drawn across its width, centred on its time: the first and the
// last one need half a candle's room beyond their times, and a little more, so
// that they stand clear of the axes as the others stand clear of each other.
bool ChartAxes::keyRangeOf(const QCPAbstractPlottable *plottable, QCPRange &range)
{
    bool found = false;
    range = plottable->getKeyRange(found);
    if (const auto *candles = qobject_cast<const QCPFinancial *>(plottable); candles && found) {
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
void ChartAxes::widenTo(int s)
{
    const auto &series = view_.series_[size_t(s)];
    bool found = false;
    const QCPRange values = series.plottable->getValueRange(found, QCP::sdBoth, view_.plot_->xAxis->range());
    if (!found)
        return;
    const bool anyRight = std::any_of(view_.series_.begin(), view_.series_.end(),
                                      [](const auto &other) { return other.axis == ValueAxis::Right; });
    const double pad = values.size() > 0 ? values.size() * 0.02 : qMax(1.0, std::fabs(values.lower) * 0.1);
    for (int side = 0; side < 2; ++side) {
        const bool onThisSide = series.axis == ValueAxis::Both || int(series.axis) == side ||
                                (side == 1 && !anyRight && series.axis == ValueAxis::Left);
        QCPAxis *valueAxis = side == 0 ? view_.plot_->yAxis : view_.plot_->yAxis2;
        const bool inView = valueAxis->range().contains(values.lower) && valueAxis->range().contains(values.upper);
        if (!onThisSide || state_[side].fixed || inView)
            continue;
        const QCPRange wanted(values.lower - pad, values.upper + pad);
        valueAxis->setRange(qMin(valueAxis->range().lower, wanted.lower), qMax(valueAxis->range().upper, wanted.upper));
        auto *ticker = static_cast<ValueTicker *>(valueAxis->ticker().data());
        ticker->bounds = QCPRange(qMin(ticker->bounds.lower, wanted.lower), qMax(ticker->bounds.upper, wanted.upper));
    }
}

bool ChartAxes::dataTimeRange(double &from, double &to) const
{
    bool found = false;
    QCPRange all;
    for (const auto &series : view_.series_) {
        QCPRange range;
        if (!keyRangeOf(series.plottable, range))
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
