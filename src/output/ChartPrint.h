#pragma once
// The chart on paper: landscape, with margins given as parts of the page.

#include <QString>

class QPrinter;

namespace kavra {

class ChartView;

// Prints the chart on printer: landscape, white background, margins of marginX
// of the page width left and right and marginY of the page height top and
// bottom (both charts use 0.15 and 0.25, which keep the titles off the paper
// edge). A PDF file is written whole or not at all (output/PrintFile). Returns
// the error's description, empty on success ("No printer is installed" when
// printer is not a usable one).
QString printChart(ChartView &chart, QPrinter &printer, double marginX, double marginY);

// Fills a print preview: paints the chart on the preview's printer as
// printChart would, but with the panel colour the chart has on screen.
void paintPreview(ChartView &chart, QPrinter &printer, double marginX, double marginY);

}  // namespace kavra
