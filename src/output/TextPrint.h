#pragma once
// Lines of text on paper, and the printer set-up both print commands share.

#include <QString>
#include <QStringList>

class QPrinter;

namespace kavra {

// Sets printer up for the print dialog: without an installed printer the
// dialog can still print to a PDF file.
void offerPrintingToFile(QPrinter &printer);

// Whether printer, as the print dialog left it, can print at all.
bool canPrint(const QPrinter &printer);

// Prints lines top to bottom, a new page when one is full, tabs expanded.
// Returns false when the printer could not be started.
bool printTextLines(QPrinter &printer, const QStringList &lines);

}  // namespace kavra
