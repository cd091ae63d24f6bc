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

void ChartView::setLegend(const LegendLook &look)
{
    const LegendLook was = legend();
    if (look.shown != was.shown)
        plot_->legend->setVisible(look.shown);
    if (look.bold != was.bold) {
        QFont font = plot_->legend->font();
        font.setBold(look.bold);
        plot_->legend->setFont(font);
        for (const Series &series : series_)
            series.legendItem->setFont(font);
    }
    legendPosition_ = look.position;
    if (look.place != was.place || (look.place == LegendPlace::Custom && look.position != was.position)) {
        legendPlace_ = look.place;
        arrangeLayout();
    }
    changed();
}

LegendLook ChartView::legend() const
{
    return {plot_->legend->visible(), plot_->legend->font().bold(), legendPlace_, legendPosition_};
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

}  // namespace kavra
