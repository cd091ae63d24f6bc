#include "dialogs/ReleaseNotesWindow.h"

#include "support/TempDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using kavra::ReleaseNotesWindow;

namespace {

QString path(const std::string &file) { return QString::fromStdString(file); }

class ReleaseNotes : public ::testing::Test {
protected:
    QString load(const std::string &bytes)
    {
        EXPECT_TRUE(window.load(path(dir.write("notes.txt", bytes))));
        return window.text();
    }

    TempDir dir;
    ReleaseNotesWindow window;
};

}  // namespace

TEST_F(ReleaseNotes, ALineEndsAtACarriageReturnWithOrWithoutALineFeed)
{
    EXPECT_EQ(load("Line 1\r\nLine 2\r\n"), QStringLiteral("Line 1\r\nLine 2\r\n\r\n"));
    EXPECT_EQ(load("Line 1\rLine 2\r"), QStringLiteral("Line 1\r\nLine 2\r\n\r\n"));
    // A last line without a terminator is a line too.
    EXPECT_EQ(load("a\r\nb"), QStringLiteral("a\r\nb\r\n\r\n"));
    // CR then CR LF: an empty line between.
    EXPECT_EQ(load("a\r\r\nb\r\n"), QStringLiteral("a\r\n\r\nb\r\n\r\n"));
    // Line feeds alone do not end a line: the whole file is one line.
    EXPECT_EQ(load("one\ntwo\nthree\n"), QStringLiteral("one\ntwo\nthree\n\r\n\r\n"));
    EXPECT_EQ(load(""), QStringLiteral("\r\n"));
}

TEST_F(ReleaseNotes, LoadingTwiceShowsTheFileOnce)
{
    const QString notes = path(dir.write("notes.txt", "Kavra 1.0.0\r\n- first\r\n"));
    ASSERT_TRUE(window.load(notes));
    ASSERT_TRUE(window.load(notes));
    EXPECT_EQ(window.text(), QStringLiteral("Kavra 1.0.0\r\n- first\r\n\r\n"));
    EXPECT_EQ(window.findChild<QPlainTextEdit *>(QStringLiteral("txtKavra71"))->toPlainText(),
              QStringLiteral("Kavra 1.0.0\n- first\n\n"));
}

TEST_F(ReleaseNotes, AMissingFileReturnsFalseAndLeavesTheText)
{
    EXPECT_FALSE(window.load(path(dir.file("missing.txt"))));
    EXPECT_TRUE(window.text().isEmpty());
    EXPECT_TRUE(window.findChild<QPlainTextEdit *>(QStringLiteral("txtKavra71"))->toPlainText().isEmpty());

    load("kept\r\n");
    EXPECT_FALSE(window.load(path(dir.file("missing.txt"))));
    EXPECT_EQ(window.text(), QStringLiteral("kept\r\n\r\n"));
    // A folder cannot be read as a file.
    EXPECT_FALSE(window.load(path(dir.path())));
    EXPECT_EQ(window.text(), QStringLiteral("kept\r\n\r\n"));
}

TEST_F(ReleaseNotes, HasTheDesignedControlsAndOkHides)
{
    EXPECT_EQ(window.objectName(), QStringLiteral("frmKavra7"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kavra Release Notes"));
    EXPECT_FALSE(window.isModal());
    auto *text = window.findChild<QPlainTextEdit *>(QStringLiteral("txtKavra71"));
    auto *ok = window.findChild<QPushButton *>(QStringLiteral("cmdKavra71"));
    ASSERT_TRUE(text);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(text->toPlainText().isEmpty());
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));

    const int dx = window.logicalDpiX(), dy = window.logicalDpiY();
    auto twips = [dx, dy](int left, int top, int width, int height) {
        return QRect(left * dx / 1440, top * dy / 1440, width * dx / 1440, height * dy / 1440);
    };
    EXPECT_EQ(text->geometry(), twips(120, 120, 8535, 8055));
    EXPECT_EQ(ok->geometry(), twips(3720, 8400, 1575, 495));
    EXPECT_EQ(window.size(), QSize(9015 * dx / 1440, 9060 * dy / 1440));

    window.show();
    ok->click();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ReleaseNotes, TheShippedFileLiesNextToTheProgramWithCrLfLineEnds)
{
    EXPECT_EQ(ReleaseNotesWindow::defaultPath(),
              QCoreApplication::applicationDirPath() + QStringLiteral("/Kavra_Release_Notes.Txt"));
    QFile shipped(ReleaseNotesWindow::defaultPath());
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly)) << "not copied next to the program";
    QFile source(QStringLiteral(KAVRA_EXAMPLES "/../Kavra_Release_Notes.Txt"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = shipped.readAll();
    EXPECT_EQ(bytes, source.readAll());
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));

    ASSERT_TRUE(window.load(ReleaseNotesWindow::defaultPath()));
    EXPECT_TRUE(window.text().startsWith(QStringLiteral("Kavra Release Notes\r\n")));
    EXPECT_TRUE(window.text().contains(QStringLiteral("\r\nVersion 1.0.0 - 2026-12-07\r\n")));
    EXPECT_EQ(window.text(), QString::fromUtf8(bytes) + QStringLiteral("\r\n"));
}
