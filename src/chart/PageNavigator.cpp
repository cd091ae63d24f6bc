#include "chart/PageNavigator.h"

#include "chart/ChartView.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace kavra {

PageNavigator::PageNavigator(ChartView &chart, QWidget *parent) : QWidget(parent), chart_(chart)
{
    setObjectName(QStringLiteral("cpnKavra"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    const auto button = [&](const char *name, Qt::ArrowType arrow, const QString &tip, void (PageNavigator::*slot)()) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setArrowType(arrow);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        layout->addWidget(b);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };
    first_ = button("cpnKavraFirst", Qt::UpArrow, tr("First page"), &PageNavigator::first);
    previous_ = button("cpnKavraPrevious", Qt::LeftArrow, tr("Previous page"), &PageNavigator::previous);
    next_ = button("cpnKavraNext", Qt::RightArrow, tr("Next page"), &PageNavigator::next);
    last_ = button("cpnKavraLast", Qt::DownArrow, tr("Last page"), &PageNavigator::last);
    connect(&chart_, &ChartView::afterDraw, this, &PageNavigator::refresh);
    refresh();
}

void PageNavigator::first()
{
    double from = 0, to = 0;
    if (chart_.dataTimeRange(from, to))
        moveTo(from);
}

void PageNavigator::previous()
{
    const double start = chart_.axisRange(ChartAxis::Bottom).minimum, end = chart_.axisRange(ChartAxis::Bottom).maximum;
    moveTo(start - (end - start));
}

void PageNavigator::next() { moveTo(chart_.axisRange(ChartAxis::Bottom).maximum); }

void PageNavigator::last()
{
    double from = 0, to = 0;
    if (chart_.dataTimeRange(from, to))
        moveTo(to);
}

void PageNavigator::moveTo(double from)
{
    double dataFrom = 0, dataTo = 0;
    if (!chart_.dataTimeRange(dataFrom, dataTo))
        return;
    const double width = chart_.axisRange(ChartAxis::Bottom).maximum - chart_.axisRange(ChartAxis::Bottom).minimum;
    from = qBound(dataFrom, from, qMax(dataFrom, dataTo - width));
    chart_.showTimeRange(from, from + width);
}

void PageNavigator::refresh()
{
    double dataFrom = 0, dataTo = 0;
    const bool any = chart_.dataTimeRange(dataFrom, dataTo);
    const double start = chart_.axisRange(ChartAxis::Bottom).minimum, end = chart_.axisRange(ChartAxis::Bottom).maximum;
    const double slack = (end - start) * 1e-6;
    const bool before = any && start > dataFrom + slack, after = any && end < dataTo - slack;
    first_->setEnabled(before);
    previous_->setEnabled(before);
    next_->setEnabled(after);
    last_->setEnabled(after);
}

}  // namespace kavra
