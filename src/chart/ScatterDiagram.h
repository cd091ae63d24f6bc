#pragma once
// The correlation window's scatter diagram: one listed item against the
// reference item, one point per displayed row. The window and kavra-batch
// correlate draw it with this same code.

#include <QSize>
#include <QString>

#include <cstdint>

namespace kavra {

class ChartView;
struct DataSet;

// The diagram's chart as designed: plain numbers on the bottom axis, the legend
// answering entry 0 with the coefficient text of the line drawn last.
void setUpScatterChart(ChartView &chart, const QString *legendText);

// The chart's size in the correlation window, at a screen's dots per inch.
QSize scatterChartSize(int dpiX, int dpiY);

struct ScatterDrawn {
    QString legendText;  // the coefficient text of the line
    QString startDate;   // the first row's sample time, as general date text
    double endDate = 0;  // the last row's, without its parts of a second
};

// Draws the list line (coefficient text, two blanks, item text) whose item is
// column against the reference item, over rows first to last of the first file.
ScatterDrawn drawScatterDiagram(ChartView &chart, const DataSet &data, const QString &line, int32_t column,
                                const QString &referenceText, int32_t referenceColumn, int first, int last);

}  // namespace kavra
