#include "output/ChartPainting.h"

#include "chart/ChartView.h"

#include <qcustomplot.h>

namespace kavra {

WhitePanel::WhitePanel(ChartView &chart) : chart_(chart), colour_(chart.panelColour())
{
    chart_.setPanelColour(Qt::white);
}

WhitePanel::~WhitePanel()
{
    chart_.setPanelColour(colour_);
}

void paintChart(ChartView &chart, QCPPainter &painter, int width, int height)
{
    painter.setMode(QCPPainter::pmVectorized);   // no pixel-grid corrections
    painter.setMode(QCPPainter::pmNoCaching);    // labels as text, not cached pixmaps
    painter.setMode(QCPPainter::pmNonCosmetic);  // line widths scale with the page
    chart.plot()->toPainter(&painter, width, height);
}

}  // namespace kavra
