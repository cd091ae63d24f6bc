#include "support/FakeInteraction.h"

#include <QPrinter>

namespace {

std::optional<QString> takeFirst(std::deque<QString> &answers)
{
    const QString answer = answers.empty() ? QString() : answers.front();
    if (!answers.empty())
        answers.pop_front();
    if (answer.isNull())
        return std::nullopt;
    return answer;
}

}  // namespace

std::optional<QString> FakeInteraction::input(QWidget *, const QString &, const QString &, const QString &)
{
    return takeFirst(inputAnswers);
}

std::optional<QString> FakeInteraction::nextFile(const QString &filter, const QString &folder)
{
    ++fileDialogs;
    filters << filter;
    folders << folder;
    return takeFirst(fileAnswers);
}

bool FakeInteraction::question(QWidget *, const QString &text, const QString &title)
{
    askedQuestions.push_back({text, title});
    const bool yes = !questionAnswers.empty() && questionAnswers.front();
    if (!questionAnswers.empty())
        questionAnswers.pop_front();
    return yes;
}

bool FakeInteraction::choosePrinter(QWidget *, QPrinter &printer)
{
    ++printerDialogs;
    printerFormatsOffered.push_back(printer.outputFormat());
    const std::optional<QString> file = takeFirst(printerFiles);
    if (!file)
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*file);
    return true;
}

std::optional<QColor> FakeInteraction::chooseColour(QWidget *, const QColor &initial, const QString &)
{
    coloursAsked.push_back(initial);
    const QColor answer = colourAnswers.empty() ? QColor() : colourAnswers.front();
    if (!colourAnswers.empty())
        colourAnswers.pop_front();
    if (!answer.isValid())
        return std::nullopt;
    return answer;
}
