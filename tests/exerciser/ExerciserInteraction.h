#pragma once
// Answers every question of the viewer at random (numbers in and out of range,
// text, empty answers, Cancel); files come from the pool, saves and exports go to
// the output folder. Each answer is written into the step's log.

#include "ui/Interaction.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class Random;

class ExerciserInteraction : public kavra::Interaction {
public:
    // A file the viewer was asked to write: the dialog's filter and the answer.
    struct Written {
        QString path;
        QString filter;
        int filterIndex = 0;
    };

    ExerciserInteraction(Random &random, QStringList pool, QString outputFolder);

    std::optional<QString> openFileName(QWidget *parent, const QString &filter, const QString &folder) override;
    std::optional<QString> saveFileName(QWidget *parent, const QString &filter, const QString &folder) override;
    std::optional<QString> exportFileName(QWidget *parent, const QString &filter, const QString &folder,
                                          int &filterIndex) override;
    void message(QWidget *parent, const QString &text, const QString &title) override;
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultAnswer) override;
    void printPreview(QWidget *parent, const std::function<void(QPrinter &)> &paint) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    std::optional<QColor> chooseColour(QWidget *parent, const QColor &initial, const QString &title) override;

    // Texts an answer may be cut from (the item names on show).
    std::function<QStringList()> wordsOnShow;
    // Where the step's log goes.
    std::function<void(const QString &)> log;

    QStringList pool() const { return pool_; }
    // What the current step asked to write; emptied before each step.
    std::vector<Written> written;
    std::vector<QString> messages;
    // Questions asked in the current step; a step that asks without end is a hang.
    int questions = 0;

private:
    QString outputPath(const QString &stem, const QString &extension);
    QString answerText();

    Random &random_;
    QStringList pool_;
    QString outputFolder_;
};
