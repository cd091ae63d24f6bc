// The chart's frame: the four title lines and the legend, laid out around the plot.

#include "chart/ChartFrame.h"

#include "chart/ChartGraph.h"
#include "chart/CheckLegendItem.h"
#include "chart/ChartView.h"

#include <qcustomplot.h>

#include <algorithm>

namespace kavra {
namespace {

constexpr int kLegendColumns = 4;  // entries a row at most

}  // namespace

ChartFrame::ChartFrame(ChartView &view) : view_(view)
{
    QCustomPlot *plot = view_.plot_;
    static const char *const kDefaultTitles[] = {"Kavra", "", "", ""};
    for (int line = 0; line < 4; ++line) {
        auto *element = new QCPTextElement(plot, QString::fromLatin1(kDefaultTitles[line]));
        titles_.push_back(element);
        titleShown_.push_back(line == 0);
    }
    plot->axisRect()->insetLayout()->take(plot->legend);
    plot->legend->setVisible(true);
    plot->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot->legend->setWrap(kLegendColumns);
    plot->plotLayout()->setMargins(QMargins(0, 0, 0, 4));
    plot->legend->setBorderPen(QPen(Qt::gray));
    // An empty legend would narrow the plot to its own width: it may span the
    // chart (a bound the layout honours lies below its "no bound" once the
    // legend's margins are added).
    plot->legend->setMaximumSize(1 << 20, QWIDGETSIZE_MAX);

}

// ---- Titles ----------------------------------------------------------------

void ChartFrame::setTitle(TitleLine line, const TitleLook &look)
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
}

TitleLook ChartFrame::title(TitleLine line) const
{
    const QCPTextElement *element = titleElement(line);
    return {element->text(), titleShown_[size_t(line)], titleSizes_[size_t(line)], element->textColor(),
            element->font().bold()};
}

// Header and sub-header above the plot, then legend, footer and sub-footer below
// it; a hidden line takes no room.
void ChartFrame::arrangeLayout()
{
    QCPLayoutGrid *grid = view_.plot_->plotLayout();
    QCPAxisRect *rect = view_.plot_->axisRect();
    QList<QCPLayoutElement *> order;
    for (TitleLine line : {TitleLine::Header, TitleLine::SubHeader})
        order << titleElement(line);
    if (legendPlace_ == LegendPlace::Top)
        order << view_.plot_->legend << rect;
    else if (legendPlace_ == LegendPlace::Bottom)
        order << rect << view_.plot_->legend;
    else
        order << rect;
    for (TitleLine line : {TitleLine::Footer, TitleLine::SubFooter})
        order << titleElement(line);
    QList<QCPLayoutElement *> placed = order;
    placed << view_.plot_->legend;
    for (QCPLayoutElement *element : placed)
        if (element->layout() == grid)
            grid->take(element);
    if (view_.plot_->legend->layout() == rect->insetLayout())
        rect->insetLayout()->take(view_.plot_->legend);
    grid->simplify();
    if (legendPlace_ == LegendPlace::Right)
        rect->insetLayout()->addElement(view_.plot_->legend, Qt::AlignTop | Qt::AlignRight);
    else if (legendPlace_ == LegendPlace::Custom)
        rect->insetLayout()->addElement(view_.plot_->legend, QRectF());  // placed once the plot is laid out
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

void ChartFrame::setLegend(const LegendLook &look)
{
    const LegendLook was = legend();
    if (look.shown != was.shown)
        view_.plot_->legend->setVisible(look.shown);
    if (look.bold != was.bold) {
        QFont font = view_.plot_->legend->font();
        font.setBold(look.bold);
        view_.plot_->legend->setFont(font);
        for (const auto &series : view_.series_)
            series.legendItem->setFont(font);
    }
    legendPosition_ = look.position;
    if (look.place != was.place || (look.place == LegendPlace::Custom && look.position != was.position)) {
        legendPlace_ = look.place;
        arrangeLayout();
    }
}

LegendLook ChartFrame::legend() const
{
    return {view_.plot_->legend->visible(), view_.plot_->legend->font().bold(), legendPlace_, legendPosition_};
}

// The inset layout places its elements in fractions of the plot area, which is
// known only after the layout: the legend is moved to its point then.
void ChartFrame::placeLegend()
{
    if (legendPlace_ != LegendPlace::Custom)
        return;
    QCPLayoutInset *inset = view_.plot_->axisRect()->insetLayout();
    const QRect area = view_.plot_->axisRect()->rect();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const QPoint wanted = view_.plot_->viewport().topLeft() + legendPosition_;
    for (int i = 0; i < inset->elementCount(); ++i) {
        if (inset->elementAt(i) != view_.plot_->legend)
            continue;
        // The point is where the legend's frame begins; the inset layout keeps
        // margins of its own and rounds: placed, then moved by what is left over
        // until it is there.
        QPoint corner = wanted;
        for (int pass = 0; pass < 4 && view_.plot_->legend->outerRect().topLeft() != wanted; ++pass) {
            inset->setInsetRect(i, QRectF(double(corner.x() - area.left()) / area.width(),
                                          double(corner.y() - area.top()) / area.height(), 0, 0));
            inset->update(QCPLayoutElement::upLayout);
            corner += wanted - view_.plot_->legend->outerRect().topLeft();
        }
    }
}

// As many entries a row as fit with their whole texts, up to four; an entry too
// wide even for a row of its own is shortened in the middle. Many long entries
// would leave the plot no room: the legend keeps to a third of the chart's
// height and shortens the middles of more entries a row instead.
void ChartFrame::fitLegend()
{
    QCPLegend *legend = view_.plot_->legend;
    if (!legend->visible() || view_.series_.empty())
        return;
    const QMargins outer = view_.plot_->plotLayout()->margins(), inner = legend->margins();
    const QRect viewport = view_.plot_->viewport();
    const bool oneColumn = legendPlace_ == LegendPlace::Right || legendPlace_ == LegendPlace::Custom;
    const int across = viewport.width() - outer.left() - outer.right() - inner.left() - inner.right();
    const int room = qMax(1, legendPlace_ == LegendPlace::Right    ? viewport.width() / 3
                             : legendPlace_ == LegendPlace::Custom ? across - legendPosition_.x()
                                                                   : across);
    std::vector<int> widths;
    for (const auto &series : view_.series_) {
        series.legendItem->setWidthLimit(room);
        widths.push_back(qMin(series.legendItem->naturalWidth(), room));
    }
    const int count = int(widths.size());
    const int most = oneColumn ? 1 : qMin(kLegendColumns, count);
    int columns = most;
    for (; columns > 1; --columns) {
        int total = (columns - 1) * legend->columnSpacing();
        for (int c = 0; c < columns; ++c) {
            int widest = 0;
            for (size_t i = size_t(c); i < widths.size(); i += size_t(columns))
                widest = qMax(widest, widths[i]);
            total += widest;
        }
        if (total <= room)
            break;
    }
    const QCPLayoutElement *first = view_.series_.front().legendItem;
    const int rowHeight = first->minimumOuterSizeHint().height() + legend->rowSpacing();
    const int rowsAllowed = qMax(1, viewport.height() / 3 / qMax(1, rowHeight));
    if (columns < most && (count + columns - 1) / columns > rowsAllowed) {
        while (columns < most && (count + columns - 1) / columns > rowsAllowed)
            ++columns;
        const int share = qMax(1, (room - (columns - 1) * legend->columnSpacing()) / columns);
        for (const auto &series : view_.series_)
            series.legendItem->setWidthLimit(share);
    }
    if (columns != legend->wrap()) {
        legend->setWrap(columns);
        arrangeLegend();
    }
}

QString ChartFrame::legendEntryText(int s) const { return view_.series_[size_t(s)].legendItem->text(); }

QString ChartFrame::legendToolTip(int s) const
{
    QString tip = legendEntryText(s);
    if (const QString more = view_.legendToolTipWanted ? view_.legendToolTipWanted(s) : QString(); !more.isEmpty())
        tip += QLatin1Char('\n') + more;
    return tip;
}

void ChartFrame::arrangeLegend()
{
    for (const auto &series : view_.series_)
        if (series.legendItem->layout() == view_.plot_->legend)
            view_.plot_->legend->take(series.legendItem);
    view_.plot_->legend->simplify();
    for (const auto &series : view_.series_)
        view_.plot_->legend->addElement(series.legendItem);
}

}  // namespace kavra
