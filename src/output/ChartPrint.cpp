#include "output/ChartPrint.h"

#include "chart/ChartView.h"
#include "output/ChartPainting.h"
#include "output/PrintFile.h"
#include "output/TextPrint.h"

#include <QDir>
#include <QPrinter>

#include <cmath>

namespace kavra {
namespace {

QString printerName(const QPrinter &printer)
{
    return printer.outputFileName().isEmpty() ? printer.printerName()
                                              : QDir::toNativeSeparators(printer.outputFileName());
}

// The printer's name in messages is given: a PDF file is printed under a temporary name.
QString paintOnPage(ChartView &chart, QPrinter &printer, double marginX, double marginY, const QString &name)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    const QSizeF paper = printer.paperRect(QPrinter::DevicePixel).size();
    const QRect target = QRectF(paper.width() * marginX, paper.height() * marginY, paper.width() * (1 - 2 * marginX),
                                paper.height() * (1 - 2 * marginY))
                             .toRect();
    // The chart is laid out as on a screen of the paper's size, so that its text
    // keeps its size in points.
    const double screenPixels = double(chart.logicalDpiX()) / printer.resolution();
    const int width = std::max(1, int(std::lround(target.width() * screenPixels)));
    const int height = std::max(1, int(std::lround(target.height() * screenPixels)));
    switch (chart.paintOnto(printer, width, height, target)) {
    case ChartView::PaintResult::CannotStart:
        return QStringLiteral("Cannot print on %1").arg(name);
    case ChartView::PaintResult::CannotFinish:
        return QStringLiteral("Printing on %1 failed").arg(name);
    case ChartView::PaintResult::Done:
        break;
    }
    return {};
}

}  // namespace

QString printChart(ChartView &chart, QPrinter &printer, double marginX, double marginY)
{
    if (!canPrint(printer))
        return QStringLiteral("No printer is installed");
    const WhitePanel white(chart);
    const QString name = printerName(printer);
    return printIntoFile(printer, [&] { return paintOnPage(chart, printer, marginX, marginY, name); });
}

void paintPreview(ChartView &chart, QPrinter &printer, double marginX, double marginY)
{
    paintOnPage(chart, printer, marginX, marginY, printerName(printer));
}

}  // namespace kavra
