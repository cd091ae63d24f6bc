#pragma once
// What exporting and printing share: the chart painted white behind.

#include <QColor>

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

}  // namespace kavra
