#include "output/TextPrint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace kavra {

void offerPrintingToFile(QPrinter &printer)
{
    if (QPrinterInfo::availablePrinters().isEmpty() && printer.outputFileName().isEmpty())
        printer.setOutputFormat(QPrinter::PdfFormat);
}

bool canPrint(const QPrinter &printer)
{
    // A PDF printer needs a file; a native one a printer's name.
    const bool named = printer.outputFormat() == QPrinter::PdfFormat ? !printer.outputFileName().isEmpty()
                                                                       : !printer.printerName().isEmpty();
    return printer.isValid() && named;
}

bool printTextLines(QPrinter &printer, const QStringList &lines)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QFontMetrics metrics(painter.font());
    const QRect page = painter.viewport();
    int y = 0;
    for (const QString &line : lines) {
        if (y > 0 && y + metrics.height() > page.height()) {
            printer.newPage();
            y = 0;
        }
        painter.drawText(QRect(0, y, page.width(), metrics.height()), Qt::TextExpandTabs, line);
        y += metrics.height();
    }
    return painter.end();
}

}  // namespace kavra
