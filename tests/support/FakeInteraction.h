#pragma once
#include "ui/Interaction.h"

#include <QPrinter>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>
#include <utility>

// Scripted answers for the questions the viewer asks; records every message.
class FakeInteraction : public kavra::Interaction {
public:
    struct Message {
        QString text;
        QString title;
    };

    // A null QString cancels; so does running out of answers.
    std::deque<QString> fileAnswers;
    std::deque<QString> inputAnswers;
    std::vector<Message> messages;
    QStringList filters;
    QStringList folders;  // the folder each file dialog started in
    int fileDialogs = 0;
    // Yes/No questions: the answers in turn, No when they run out; every
    // question asked is recorded.
    std::deque<bool> questionAnswers;
    std::vector<Message> askedQuestions;
    // The print dialog prints to these PDF files in turn; a null QString or
    // running out cancels it, an empty one accepts a printer that cannot print.
    std::deque<QString> printerFiles;
    int printerDialogs = 0;
    std::vector<QPrinter::OutputFormat> printerFormatsOffered;  // as each print dialog was shown
    // The colour dialog answers these in turn; an invalid QColor or running out
    // cancels it. The colour each dialog opened on is recorded.
    std::deque<QColor> colourAnswers;
    std::vector<QColor> coloursAsked;
    // Runs while a message is up, as the user acting on other windows meanwhile.
    std::function<void()> whileMessageShown;

    std::optional<QString> openFileName(QWidget *, const QString &filter, const QString &folder) override
    {
        return nextFile(filter, folder);
    }
    std::optional<QString> saveFileName(QWidget *, const QString &filter, const QString &folder) override
    {
        return nextFile(filter, folder);
    }
    void message(QWidget *, const QString &text, const QString &title) override
    {
        messages.push_back({text, title});
        if (whileMessageShown)
            std::exchange(whileMessageShown, nullptr)();
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override;
    bool question(QWidget *, const QString &text, const QString &title) override;
    bool choosePrinter(QWidget *, QPrinter &printer) override;
    std::optional<QColor> chooseColour(QWidget *, const QColor &initial, const QString &) override;

private:
    std::optional<QString> nextFile(const QString &filter, const QString &folder);
};
