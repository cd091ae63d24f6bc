#pragma once
// What exporting and printing share: the chart painted white behind, and the
// chart painted with a QCustomPlot painter on any device.

#include <QColor>

class QCPPainter;

namespace kavra {

class ChartView;

// Makes the chart's panel white for as long as it lives (pictures and paper get
// a white background), then gives the chart its own colour back.
class WhitePanel {
public:
    explicit WhitePanel(ChartView &chart);
    ~WhitePanel();
    WhitePanel(const WhitePanel &) = delete;
    WhitePanel &operator=(const WhitePanel &) = delete;

private:
    ChartView &chart_;
    QColor colour_;
};

// Paints the chart, laid out for width x height pixels, with painter (begun on
// its device, with any window and viewport set), as vectors.
void paintChart(ChartView &chart, QCPPainter &painter, int width, int height);

}  // namespace kavra
