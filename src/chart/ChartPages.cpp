#include "chart/ChartPages.h"

#include "chart/ChartView.h"

#include <qcustomplot.h>

namespace kavra {

ChartPages::ChartPages(QPaintDevice &device) : painter_(std::make_unique<QCPPainter>())
{
    if (!painter_->begin(&device))
        return;
    painter_->setMode(QCPPainter::pmVectorized);   // no pixel-grid corrections
    painter_->setMode(QCPPainter::pmNoCaching);    // labels as text, not cached pixmaps
    painter_->setMode(QCPPainter::pmNonCosmetic);  // line widths scale with the page
}

ChartPages::~ChartPages()
{
    if (painter_->isActive())
        painter_->end();
}

bool ChartPages::isActive() const
{
    return painter_->isActive();
}

QPainter &ChartPages::painter()
{
    return *painter_;
}

void ChartPages::paintChart(const ChartView &chart, int width, int height, const QRect &target)
{
    painter_->save();
    painter_->setViewport(target);
    painter_->setWindow(0, 0, width, height);
    painter_->setClipRect(0, 0, width, height);
    chart.plot_->toPainter(painter_.get(), width, height);
    painter_->restore();
}

bool ChartPages::end()
{
    return painter_->end();
}

}  // namespace kavra
