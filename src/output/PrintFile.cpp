#include "output/PrintFile.h"

#include "data/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
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

QString withName(const QString &error, const QString &shown)
{
    return error + QStringLiteral(" (") + shown + QLatin1Char(')');
}

// Runs write, which writes the document into the temporary file it is given,
// and puts the file in place of target when it is a whole PDF document.
QString checkedPdf(const QString &target, const std::function<QString(const QString &temporary)> &write)
{
    const QString shown = QDir::toNativeSeparators(target);
    AtomicFile file(QFile::encodeName(target).toStdString());
    if (!file.error().empty())
        return withName(QString::fromLocal8Bit(file.error()), shown);
    if (const QString error = write(QFile::decodeName(QByteArray::fromStdString(file.temporaryPath())));
        !error.isEmpty())
        return error;
    if (!wholePdf(QFile::decodeName(QByteArray::fromStdString(file.temporaryPath()))))
        return QStringLiteral("the PDF file %1 could not be written whole - is the disk full?").arg(shown);
    if (const std::string failed = file.commit(); !failed.empty())
        return withName(QString::fromLocal8Bit(failed), shown);
    return {};
}

}  // namespace

QString printIntoFile(QPrinter &printer, const std::function<QString()> &print)
{
    const QString target = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || target.isEmpty())
        return print();
    return checkedPdf(target, [&](const QString &temporary) {
        printer.setOutputFileName(temporary);
        const QString error = print();
        printer.setOutputFileName(target);
        return error;
    });
}

QString writePdfFile(const QString &path, const std::function<QString(QPdfWriter &writer)> &paint)
{
    const QString shown = QDir::toNativeSeparators(path);
    return checkedPdf(path, [&](const QString &temporary) {
        QFile out(temporary);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return withName(out.errorString(), shown);
        QString error;
        {
            QPdfWriter writer(&out);
            error = paint(writer);
        }
        // The engine does not tell a failed write, and stops drawing after one;
        // the file keeps its reason, which comes first.
        if (!out.flush() || out.error() != QFileDevice::NoError)
            error = withName(out.errorString(), shown);
        out.close();
        return error;
    });
}

}  // namespace kavra
