#include "output/ChartPainting.h"

#include "chart/ChartView.h"

namespace kavra {

// Pictures and paper are drawn apart from the screen, so the chart on screen is
// not drawn again, white and then back in its colour: that took longer than the
// picture itself.
WhitePanel::WhitePanel(ChartView &chart) : chart_(chart), colour_(chart.panelColour())
{
    chart_.setPanelColour(Qt::white, false);
}

WhitePanel::~WhitePanel()
{
    chart_.setPanelColour(colour_, false);
}

}  // namespace kavra
