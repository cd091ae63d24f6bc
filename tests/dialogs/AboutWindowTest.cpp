#include "dialogs/AboutWindow.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using kavra::AboutWindow;

TEST(AboutWindow, TheStatementIsAnOpeningParagraphAndConditionsAToH)
{
    const auto statement = AboutWindow::statementSlots();
    ASSERT_EQ(statement.size(), 50u);
    for (size_t k = 0; k < statement.size(); ++k)
        EXPECT_EQ(statement[k].isEmpty(), k >= 9) << "slot " << k;

    AboutWindow window;
    const QString text = window.text();
    // Each paragraph followed by one empty line: CR LF CR LF after every one.
    ASSERT_TRUE(text.endsWith(QStringLiteral("\r\n\r\n")));
    QStringList paragraphs = text.split(QStringLiteral("\r\n\r\n"));
    ASSERT_TRUE(paragraphs.back().isEmpty());
    paragraphs.removeLast();
    ASSERT_EQ(paragraphs.size(), 9);
    EXPECT_FALSE(paragraphs[0].startsWith(QLatin1Char('(')));
    EXPECT_TRUE(paragraphs[0].contains(QStringLiteral("Kavra")));
    const QString letters = QStringLiteral("abcdefgh");
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(paragraphs[k], statement[size_t(k)]);
        EXPECT_FALSE(paragraphs[k].contains(QLatin1Char('\r')) || paragraphs[k].contains(QLatin1Char('\n')));
        if (k > 0) {
            EXPECT_TRUE(paragraphs[k].startsWith(QStringLiteral("(") + letters[k - 1] + QStringLiteral(") ")))
                << paragraphs[k].toStdString();
        }
    }
    EXPECT_TRUE(text.contains(QStringLiteral("\"as is\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("warranty")));
    EXPECT_TRUE(text.contains(QStringLiteral("liable")));
}

TEST(AboutWindow, TheTextSkipsEmptySlots)
{
    std::array<QString, AboutWindow::kSlotCount> statement;
    EXPECT_EQ(AboutWindow::statementText(statement), QString());
    statement[0] = QStringLiteral("A");
    statement[5] = QStringLiteral("B b");
    statement[49] = QStringLiteral("C");
    EXPECT_EQ(AboutWindow::statementText(statement), QStringLiteral("A\r\n\r\nB b\r\n\r\nC\r\n\r\n"));
}

TEST(AboutWindow, HasTheDesignedControlsAndOkHidesKeepingTheText)
{
    AboutWindow window;
    EXPECT_EQ(window.objectName(), QStringLiteral("frmKavra3"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("About Kavra"));
    EXPECT_FALSE(window.isModal());
    auto *text = window.findChild<QPlainTextEdit *>(QStringLiteral("txtKavra9231"));
    auto *ok = window.findChild<QPushButton *>(QStringLiteral("cmdKavra9231"));
    ASSERT_TRUE(text);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(text->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(text->toPlainText(), QString(window.text()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    const int dx = window.logicalDpiX(), dy = window.logicalDpiY();
    auto twips = [dx, dy](int left, int top, int width, int height) {
        return QRect(left * dx / 1440, top * dy / 1440, width * dx / 1440, height * dy / 1440);
    };
    EXPECT_EQ(text->geometry(), twips(120, 120, 8550, 4935));
    EXPECT_EQ(ok->geometry(), twips(3300, 5280, 1800, 500));
    // The whole text box lies inside the window.
    EXPECT_TRUE(window.rect().contains(text->geometry()));

    const QString shown = window.text();
    window.show();
    ok->click();
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.text(), shown);
    EXPECT_EQ(text->toPlainText(), QString(shown).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

// The package's copyright file gives the same terms as the About window.
TEST(AboutWindow, ThePackagesCopyrightFileStatesTheSameTerms)
{
    QFile file(QStringLiteral(KAVRA_EXAMPLES "/../packaging/copyright"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    // The text of the stand-alone License paragraph: lines after its first,
    // each starting with a blank, " ." between paragraphs.
    const qsizetype start = lines.indexOf(QStringLiteral("License: Kavra-terms"),
                                          1 + lines.indexOf(QStringLiteral("License: Kavra-terms")));
    ASSERT_GT(start, 0);
    QStringList paragraphs{QString()};
    for (qsizetype k = start + 1; k < lines.size() && lines[k].startsWith(QLatin1Char(' ')); ++k) {
        if (lines[k] == QStringLiteral(" ."))
            paragraphs << QString();
        else
            paragraphs.back() += (paragraphs.back().isEmpty() ? QString() : QStringLiteral(" ")) + lines[k].mid(1);
    }
    const auto statement = AboutWindow::statementSlots();
    ASSERT_EQ(paragraphs.size(), 9);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(paragraphs[k], statement[size_t(k)]) << "paragraph " << k;
}
