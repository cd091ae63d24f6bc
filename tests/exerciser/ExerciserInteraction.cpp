#include "ExerciserInteraction.h"

#include "Random.h"

#include "output/ChartExport.h"

#include <QDir>
#include <QPrinter>

namespace {

constexpr int kQuestionsBeforeCancel = 40;

// The patterns of a "description|pattern|..." filter, without their "*".
QStringList extensions(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList found;
    for (int i = 1; i < parts.size(); i += 2)
        found << parts[i].mid(1);  // "*.png" -> ".png"
    return found;
}

}  // namespace

ExerciserInteraction::ExerciserInteraction(Random &random, QStringList pool, QString outputFolder)
    : random_(random), pool_(std::move(pool)), outputFolder_(outputFolder), faults_(random, outputFolder)
{
}

ExerciserInteraction::~ExerciserInteraction() = default;

// The name typed for a file of the type of filter's entry filterIndex (the
// first for the one-type dialogs), with the fault it meets and the files it may
// touch as they were.
QString ExerciserInteraction::outputPath(const QString &stem, const QString &extension, const QString &filter,
                                         std::optional<int> filterIndex)
{
    Written record;
    record.filter = filter;
    record.filterIndex = filterIndex;
    record.path = faults_.target(stem, extension, loadedFile ? loadedFile() : QString(), record);
    record.before = DiskFaults::snapshot(record.path, extensions(filter));
    record.messagesAt = messages.size();
    log(QStringLiteral("%1%2").arg(QDir(outputFolder_).relativeFilePath(record.path),
                                   record.fault.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(record.fault)));
    written.push_back(record);
    return record.path;
}

std::optional<QString> ExerciserInteraction::openFileName(QWidget *, const QString &, const QString &)
{
    if (random_.chance(8)) {
        log(QStringLiteral("open: Cancel"));
        return std::nullopt;
    }
    if (random_.chance(3)) {
        log(QStringLiteral("open: a file that is not there"));
        return outputFolder_ + QStringLiteral("/missing.csv");
    }
    const QString path = pool_[random_.below(int(pool_.size()))];
    pipeChosen = pipeChosen || QFileInfo(path).fileName() == QLatin1String("pipe.csv");
    log(QStringLiteral("open: ") + QFileInfo(path).fileName());
    return path;
}

std::optional<QString> ExerciserInteraction::saveFileName(QWidget *, const QString &filter, const QString &)
{
    if (random_.chance(10)) {
        log(QStringLiteral("save: Cancel"));
        return std::nullopt;
    }
    const QStringList known = extensions(filter);
    log(QStringLiteral("save: "));
    return outputPath(known.contains(QLatin1String(".Txt")) ? QStringLiteral("list") : QStringLiteral("saved"),
                      known.isEmpty() ? QString() : known.first().toLower(), filter, std::nullopt);
}

std::optional<QString> ExerciserInteraction::exportFileName(QWidget *, const QString &filter, const QString &,
                                                            int &filterIndex)
{
    if (random_.chance(10)) {
        log(QStringLiteral("export: Cancel"));
        return std::nullopt;
    }
    const QStringList known = extensions(filter);
    filterIndex =
        random_.chance(4) ? random_.between(-1, int(known.size()) + 2) : random_.between(1, int(known.size()));
    QString extension;
    if (filterIndex >= 1 && filterIndex <= known.size() && random_.chance(80))
        extension = known[filterIndex - 1];
    else if (random_.chance(50))
        extension = known[random_.below(int(known.size()))];
    log(QStringLiteral("export: type %1, ").arg(filterIndex));
    return outputPath(QStringLiteral("chart"), extension, filter, filterIndex);
}

bool ExerciserInteraction::question(QWidget *, const QString &text, const QString &)
{
    const bool yes = random_.chance(60);
    log(QStringLiteral("question \"%1\": %2").arg(text.left(60), yes ? QStringLiteral("Yes") : QStringLiteral("No")));
    if (!yes && !written.empty())
        written.back().declined = true;
    return yes;
}

void ExerciserInteraction::message(QWidget *, const QString &text, const QString &)
{
    messages.push_back(text);
    log(QStringLiteral("message: ") + text.left(100));
}

QString ExerciserInteraction::answerText()
{
    switch (random_.below(12)) {
    case 0:
    case 1:
    case 2: return QString::number(random_.between(1, 10));
    case 3: return QString::number(random_.between(-3, 0));
    case 4: return QString::number(random_.between(11, 20000));
    case 5: return QStringLiteral("99999999999");
    case 6: return QStringLiteral("2.5");
    case 7: return QStringLiteral("abc");
    case 8: return QString();
    case 9: return QStringLiteral(" 1E3");
    default: {
        const QStringList words = wordsOnShow ? wordsOnShow() : QStringList();
        if (words.isEmpty())
            return QStringLiteral("CPU");
        const QString word = words[random_.below(int(words.size()))];
        const int from = random_.below(int(word.size()) + 1);
        return word.mid(from, random_.between(1, 8));
    }
    }
}

std::optional<QString> ExerciserInteraction::input(QWidget *, const QString &prompt, const QString &, const QString &)
{
    ++questions;
    if (questions > kQuestionsBeforeCancel || random_.chance(10)) {
        log(QStringLiteral("input \"%1\": Cancel").arg(prompt.left(40)));
        return std::nullopt;
    }
    const QString answer = answerText();
    log(QStringLiteral("input \"%1\": \"%2\"").arg(prompt.left(40), answer));
    return answer;
}

void ExerciserInteraction::printPreview(QWidget *, const std::function<void(QPrinter &)> &paint)
{
    if (!random_.chance(30)) {
        log(QStringLiteral("print preview: closed"));
        return;
    }
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(outputFolder_ + QStringLiteral("/preview.pdf"));
    log(QStringLiteral("print preview: pages painted"));
    paint(printer);
}

bool ExerciserInteraction::choosePrinter(QWidget *, QPrinter &printer)
{
    if (random_.chance(50)) {
        log(QStringLiteral("print dialog: Cancel"));
        return false;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    log(QStringLiteral("print dialog: to a PDF file "));
    outputPath(QStringLiteral("printed"), QStringLiteral(".pdf"), QStringLiteral("PDF (*.pdf)|*.pdf"), 1);
    Written &record = written.back();
    if (!kavra::formatForPath(record.path))
        record.path += QStringLiteral(".pdf");  // the print dialog adds it; the name with it was looked at
    printer.setOutputFileName(record.path);
    return true;
}

std::optional<QColor> ExerciserInteraction::chooseColour(QWidget *, const QColor &initial, const QString &)
{
    if (random_.chance(25)) {
        log(QStringLiteral("colour dialog: Cancel"));
        return std::nullopt;
    }
    // The colour it opened on, a new one, or one with transparency.
    QColor colour = initial;
    if (!random_.chance(10)) {
        const int red = random_.below(256), green = random_.below(256), blue = random_.below(256);
        colour = QColor(red, green, blue, random_.chance(10) ? random_.below(256) : 255);
    }
    log(QStringLiteral("colour dialog: ") + colour.name(QColor::HexArgb));
    return colour;
}
