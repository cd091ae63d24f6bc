#pragma once
// The chart's frame: the four title lines above and below the plot and the
// legend (below, above, at the right or at a point over the plot), with the
// legend's entries fitted to the room the chart has. ChartView owns it; what it
// changes is drawn with the view's next draw.

#include "chart/ChartView.h"

#include <vector>

class QCPTextElement;

namespace kavra {

class ChartFrame {
public:
    // Makes the title lines ("Kavra" in the header) and sets the legend up.
    explicit ChartFrame(ChartView &view);

    void setTitle(TitleLine line, const TitleLook &look);
    TitleLook title(TitleLine line) const;
    void setLegend(const LegendLook &look);
    LegendLook legend() const;
    // The entry's text and what the program adds below it, for series s.
    QString legendToolTip(int s) const;

    // Header and sub-header above the plot, then legend, footer and sub-footer
    // below it; a hidden line takes no room.
    void arrangeLayout();
    // Before each layout: as many entries a row as fit with their whole texts.
    void fitLegend();
    // After each layout: a legend over the plot moved to its point.
    void placeLegend();

private:
    QCPTextElement *titleElement(TitleLine line) const { return titles_[size_t(line)]; }
    QString legendEntryText(int s) const;
    void arrangeLegend();

    ChartView &view_;
    std::vector<QCPTextElement *> titles_;
    std::vector<bool> titleShown_;
    int titleSizes_[4] = {18, 12, 12, 12};  // as given; the font is scaled down from these
    LegendPlace legendPlace_ = LegendPlace::Bottom;
    QPoint legendPosition_;
};

}  // namespace kavra
