#pragma once
// Answers every question of the viewer at random (numbers in and out of range,
// text, empty answers, Cancel); files come from the pool, saves and exports go to
// the output folder. Each answer is written into the step's log.

#include "DiskFaults.h"
#include "WriteRecord.h"

#include "ui/Interaction.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class Random;

class ExerciserInteraction : public kavra::Interaction {
public:
    ExerciserInteraction(Random &random, QStringList pool, QString outputFolder);
    ~ExerciserInteraction() override;

    std::optional<QString> openFileName(QWidget *parent, const QString &filter, const QString &folder) override;
    std::optional<QString> saveFileName(QWidget *parent, const QString &filter, const QString &folder) override;
    std::optional<QString> exportFileName(QWidget *parent, const QString &filter, const QString &folder,
                                          int &filterIndex) override;
    void message(QWidget *parent, const QString &text, const QString &title) override;
    bool question(QWidget *parent, const QString &text, const QString &title) override;
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultAnswer) override;
    void printPreview(QWidget *parent, const std::function<void(QPrinter &)> &paint) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    std::optional<QColor> chooseColour(QWidget *parent, const QColor &initial, const QString &title) override;

    // Texts an answer may be cut from (the item names on show).
    std::function<QStringList()> wordsOnShow;
    // Where the step's log goes.
    std::function<void(const QString &)> log;
    // The first data file loaded, empty when none is: a save may go over it.
    std::function<QString()> loadedFile;

    QStringList pool() const { return pool_; }
    DiskFaults &faults() { return faults_; }
    // Whether a message was shown after the dialog of record.
    bool messageAfter(const Written &record) const { return messages.size() > record.messagesAt; }
    // Whether the step chose the FIFO of the pool in the open dialog.
    bool pipeChosen = false;
    // What the current step asked to write; emptied before each step.
    std::vector<Written> written;
    std::vector<QString> messages;
    // Questions asked in the current step; a step that asks without end is a hang.
    int questions = 0;

private:
    QString outputPath(const QString &stem, const QString &extension, const QString &filter,
                       std::optional<int> filterIndex);
    QString answerText();

    Random &random_;
    QStringList pool_;
    QString outputFolder_;
    DiskFaults faults_;
};
