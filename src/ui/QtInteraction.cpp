#include "ui/QtInteraction.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace kavra {

QString QtInteraction::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QString description = parts.value(0);
    QStringList patterns = parts.value(1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &pattern : QStringList(patterns)) {
        for (const QString &variant : {pattern.toLower(), pattern.toUpper()})
            if (!patterns.contains(variant))
                patterns << variant;
    }
    const int open = description.indexOf(QLatin1Char('('));
    if (open >= 0)
        description.truncate(open);
    return description.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

std::optional<QString> QtInteraction::openFileName(QWidget *parent, const QString &filter, const QString &folder)
{
    const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), folder, qtFilter(filter));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtInteraction::saveFileName(QWidget *parent, const QString &filter, const QString &folder)
{
    // Qt's dialog asks before overwriting and only offers existing folders.
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save as"), folder, qtFilter(filter));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtInteraction::exportFileName(QWidget *parent, const QString &filter, const QString &folder,
                                                     int &filterIndex)
{
    // "description|pattern|description|pattern...": one entry per file type.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries << qtFilter(parts[i] + QLatin1Char('|') + parts[i + 1]);
    QFileDialog dialog(parent, QStringLiteral("Export Chart"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(entries);
    if (filterIndex >= 1 && filterIndex <= entries.size())
        dialog.selectNameFilter(entries[filterIndex - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    filterIndex = int(entries.indexOf(dialog.selectedNameFilter())) + 1;
    return dialog.selectedFiles().constFirst();
}

void QtInteraction::message(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? QApplication::applicationName() : title, text,
                    QMessageBox::Ok, parent);
    box.exec();
}

bool QtInteraction::question(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title.isEmpty() ? QApplication::applicationName() : title, text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtInteraction::input(QWidget *parent, const QString &prompt, const QString &title,
                                            const QString &defaultAnswer)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultAnswer, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

std::optional<QColor> QtInteraction::chooseColour(QWidget *parent, const QColor &initial, const QString &title)
{
    const QColor colour = QColorDialog::getColor(initial, parent, title);
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

void QtInteraction::printPreview(QWidget *parent, const std::function<void(QPrinter &)> &paint)
{
    QPrintPreviewDialog dialog(parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter *printer) { paint(*printer); });
    dialog.exec();
}

bool QtInteraction::choosePrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace kavra
