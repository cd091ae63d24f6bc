#include "ExerciserInteraction.h"

#include "Random.h"

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
    : random_(random), pool_(std::move(pool)), outputFolder_(std::move(outputFolder))
{
}

QString ExerciserInteraction::outputPath(const QString &stem, const QString &extension)
{
    // A few names only, so that files are written over again.
    const QString name = stem + QString::number(random_.below(3)) + extension;
    if (random_.chance(3))
        return outputFolder_ + QStringLiteral("/no such folder/") + name;
    return outputFolder_ + QLatin1Char('/') + name;
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
    const QString path = outputPath(QStringLiteral("saved"), known.isEmpty() ? QString() : known.first().toLower());
    log(QStringLiteral("save: ") + QDir(outputFolder_).relativeFilePath(path));
    written.push_back({path, filter, 0});
    return path;
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
    QString path = outputPath(QStringLiteral("chart"), extension);
    // As the dialog does: a name without an extension gets the chosen type's.
    if (extension.isEmpty() && filterIndex >= 1 && filterIndex <= known.size())
        path += known[filterIndex - 1];
    log(QStringLiteral("export: type %1, ").arg(filterIndex) + QDir(outputFolder_).relativeFilePath(path));
    written.push_back({path, filter, filterIndex});
    return path;
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
    printer.setOutputFileName(outputFolder_ + QStringLiteral("/printed.pdf"));
    log(QStringLiteral("print dialog: to a PDF file"));
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
