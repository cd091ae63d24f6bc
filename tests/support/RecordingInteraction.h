#pragma once
// An interaction that passes every question on to a scripted FakeInteraction and
// records the input boxes asked.

#include "support/FakeInteraction.h"

#include <vector>

struct Question {
    QString prompt, title, defaultAnswer;
};

// Passes every question on to the scripted FakeInteraction and records the input
// boxes. A command that keeps asking far beyond any script gets a valid answer,
// so that a faulty loop fails the test instead of hanging it.
class RecordingInteraction : public kavra::Interaction {
public:
    explicit RecordingInteraction(FakeInteraction &scripted) : scripted_(scripted) {}

    std::vector<Question> questions;
    bool runaway = false;

    std::optional<QString> openFileName(QWidget *parent, const QString &filter, const QString &folder) override
    {
        return scripted_.openFileName(parent, filter, folder);
    }
    std::optional<QString> saveFileName(QWidget *parent, const QString &filter, const QString &folder) override
    {
        return scripted_.saveFileName(parent, filter, folder);
    }
    void message(QWidget *parent, const QString &text, const QString &title) override
    {
        scripted_.message(parent, text, title);
    }
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultAnswer) override
    {
        questions.push_back({prompt, title, defaultAnswer});
        if (questions.size() > 60) {
            runaway = true;
            return QStringLiteral("3");
        }
        return scripted_.input(parent, prompt, title, defaultAnswer);
    }

    std::optional<QColor> chooseColour(QWidget *parent, const QColor &initial, const QString &title) override
    {
        return scripted_.chooseColour(parent, initial, title);
    }

private:
    FakeInteraction &scripted_;
};
