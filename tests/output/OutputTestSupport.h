#pragma once
// What the picture and printing tests share: a small chart with a known title,
// and the independent programs that read the files back.

#include "chart/ChartView.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace outputtest {

inline const QString kTitle = QStringLiteral("Export Test Title");

// A chart of 800 x 500 pixels titled kTitle, with one line of a few points
// at one-minute steps.
std::unique_ptr<kavra::ChartView> makeChart();

struct ToolRun {
    bool found = false;  // the program is installed
    int status = -1;
    QByteArray output;
    QString errors;
};

// Runs an installed program to its end.
ToolRun runTool(const QString &program, const QStringList &arguments);

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// The text of the XML document's elements named element (all of them, joined);
// empty when it is not well-formed XML.
QString xmlText(const QByteArray &xml, const QString &element, bool *wellFormed = nullptr);

}  // namespace outputtest

// Skips the test (never fails it) when a reader is not installed here;
// tools/setup.sh installs them all.
#define SKIP_WITHOUT(run, program)                                                                                     \
    if ((run).found) {                                                                                                 \
    } else                                                                                                             \
        GTEST_SKIP() << program << " is not installed here (tools/setup.sh installs it)"
