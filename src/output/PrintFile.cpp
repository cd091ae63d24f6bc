#include "output/PrintFile.h"

#include "data/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QPrinter>

namespace kavra {
namespace {

// A PDF document begins with its version and ends with its end-of-file marker.
bool wholePdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.read(5).startsWith("%PDF-"))
        return false;
    file.seek(qMax<qint64>(0, file.size() - 64));
    return file.readAll().contains("%%EOF");
}

}  // namespace

QString printIntoFile(QPrinter &printer, const std::function<QString()> &print)
{
    const QString target = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || target.isEmpty())
        return print();
    const QString shown = QDir::toNativeSeparators(target);
    AtomicFile file(QFile::encodeName(target).toStdString());
    if (!file.error().empty())
        return QString::fromLocal8Bit(file.error()) + QStringLiteral(" (") + shown + QLatin1Char(')');
    const QString temporary = QFile::decodeName(QByteArray::fromStdString(file.temporaryPath()));
    printer.setOutputFileName(temporary);
    const QString error = print();
    printer.setOutputFileName(target);
    if (!error.isEmpty())
        return error;
    if (!wholePdf(temporary))
        return QStringLiteral("the PDF file %1 could not be written whole - is the disk full?").arg(shown);
    if (const std::string failed = file.commit(); !failed.empty())
        return QString::fromLocal8Bit(failed) + QStringLiteral(" (") + shown + QLatin1Char(')');
    return {};
}

}  // namespace kavra
