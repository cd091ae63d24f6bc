#pragma once
// The benchmarks' answers to the questions the window asks: the open and save
// dialogs with fixed paths, input boxes from a queue (cancelled when it is
// empty); messages are counted and printed.

#include "ui/Interaction.h"

#include <cstdio>
#include <deque>

class ScriptedInteraction : public kavra::Interaction {
public:
    QString openPath, savePath;
    std::deque<QString> answers;
    int messages = 0;

    std::optional<QString> openFileName(QWidget *, const QString &, const QString &) override
    {
        return pathOrCancel(openPath);
    }
    std::optional<QString> saveFileName(QWidget *, const QString &, const QString &) override
    {
        return pathOrCancel(savePath);
    }
    void message(QWidget *, const QString &text, const QString &) override
    {
        ++messages;
        std::printf("  (message: %s)\n", qPrintable(text.left(200)));
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override
    {
        if (answers.empty())
            return std::nullopt;
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }

private:
    static std::optional<QString> pathOrCancel(const QString &path)
    {
        if (path.isEmpty())
            return std::nullopt;
        return path;
    }
};
