#pragma once
#include "app/MainWindow.h"
#include "support/FakeInteraction.h"
#include "support/TempDir.h"

#include <QAction>
#include <QString>
#include <gtest/gtest.h>

#include <memory>

// A main window after start-up, driven through a scripted interaction.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { start(QString()); }

    void start(const QString &commandLine)
    {
        window = std::make_unique<kavra::MainWindow>(ui);
        window->Form_Load(commandLine);
    }

    // Runs the Open command with the dialog answering with this file.
    void open(const std::string &path)
    {
        ui.fileAnswers.push_back(QString::fromStdString(path));
        window->mnuOpenFile_Click();
    }

    bool enabled(const char *entry) const { return window->action(QString::fromLatin1(entry))->isEnabled(); }
    template <typename T> T *child(const char *name) const { return window->findChild<T *>(QString::fromLatin1(name)); }
    QString lastMessage() const { return ui.messages.empty() ? QString() : ui.messages.back().text; }

    FakeInteraction ui;
    TempDir dir;
    std::unique_ptr<kavra::MainWindow> window;
};

inline const std::string kGoodFile = "NODE1,Collection of the day\r\n"
                                     "06-DEC-2026,10:00:00\r\n"
                                     "Sample Time,CPU Busy,MP Sync Time,Disk Rate\r\n"
                                     "06-DEC-2026 10:00:00,12.5,1,3K\r\n"
                                     "10:01:00,13,2,2.5K\r\n"
                                     "10:02:00,14,3,2K\r\n"
                                     "Column Average,12.75,2,2750\r\n";
inline const QString kNoFileText = QStringLiteral("Use the OPEN option on the FILE pulldown menu to OPEN a file");
