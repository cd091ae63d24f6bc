#pragma once
// What the picture and printing tests share: a small chart with a known title,
// and the independent programs that read the files back.

#include "chart/ChartView.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
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

// Any picture file Kavra writes, drawn as a bitmap of the given size by
// programs of its own format: ImageMagick's convert for bitmaps, Ghostscript
// for EPS, poppler for PDF, librsvg for SVG, and WMF and EMF turned into SVG by
// libwmf and libemf2svg first. Null, with run telling why, when it fails; run
// is not found when a reader is not installed.
QImage rasterised(const QString &picture, const QSize &size, ToolRun &run);

// The text of the XML document's elements named element (all of them, joined);
// empty when it is not well-formed XML.
QString xmlText(const QByteArray &xml, const QString &element, bool *wellFormed = nullptr);

// The plot area of a picture: between the left and the right value axis, the
// longest upright dark lines of each half, from their top to their bottom; empty
// when there are none a third of the picture high.
QRect plotArea(const QImage &image);

}  // namespace outputtest

// Skips the test (never fails it) when a reader is not installed here;
// tools/setup.sh installs them all.
#define SKIP_WITHOUT(run, program)                                                                                     \
    if ((run).found) {                                                                                                 \
    } else                                                                                                             \
        GTEST_SKIP() << program << " is not installed here (tools/setup.sh installs it)"
