#pragma once
// Printing into a PDF file as every save writes: into a temporary file beside
// it that replaces the file only when it is a whole PDF document. The PDF
// engine does not report a failed write, so a full disk would otherwise leave
// an empty or cut-off file in place of the one there before, and say nothing.

#include <QString>

#include <functional>

class QPdfWriter;
class QPrinter;

namespace kavra {

// Runs print, which prints on printer and returns the error's description
// (empty on success). A printer that prints into a PDF file prints into the
// temporary file meanwhile. Returns print's error, or why the file was not
// written; empty on success.
QString printIntoFile(QPrinter &printer, const std::function<QString()> &print);

// Writes a PDF document of pages that paint draws on writer (returning the
// error's description, empty on success) into path the same checked way.
// Returns paint's error, or why the file was not written ("File too large
// (/path/report.pdf)"); empty on success.
QString writePdfFile(const QString &path, const std::function<QString(QPdfWriter &writer)> &paint);

}  // namespace kavra
