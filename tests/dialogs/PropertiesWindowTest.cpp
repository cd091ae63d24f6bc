#include "dialogs/PropertiesWindow.h"

#include "app/WindowFixture.h"
#include "data/LoaderTestSupport.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <gtest/gtest.h>

using kavra::PropertiesWindow;
using kavra::propertiesReport;

namespace {

const QString kTail = QStringLiteral(
    "Form width      :  15000\r\n"
    "Form height     :  12000\r\n"
    "\r\n"
    "Screen width   :  28800\r\n"
    "Screen height  :  16200\r\n"
    "\r\n"
    "Column count  :  4\r\n"
    "Row count      :  3\r\n"
    "\r\n"
    "Max Files        :  16\r\n"
    "\r\n"
    "Current User   : alice\r\n"
    "\r\n");

std::string dataFile(const std::string &record1, const std::string &day)
{
    return record1 + "\r\n" + day + ",10:00:00\r\n" +
           "Sample Time,CPU Busy,MP Sync Time,Disk Rate\r\n" + day + " 10:00:00,12.5,1,3K\r\n" +
           "10:01:00,13,2,2.5K\r\n10:02:00,14,3,2K\r\nColumn Average,12.75,2,2750\r\n";
}

QString report(const kavra::DataSet &data)
{
    return propertiesReport(data, QStringLiteral("alice"), QSize(15000, 12000), QSize(28800, 16200));
}

// One file whose record 1 is given, without the loader.
kavra::DataSet oneFile(const std::string &record1, const std::string &node)
{
    kavra::DataSet data;
    data.Files_Open = 1;
    data.Row_Count = 3;
    data.Column_Count = 4;
    data.File_Names[0] = "/data/x.csv";
    data.Node_Names[0] = node;
    data.File_Header_Lines[0] = record1;
    return data;
}

QString fileBlock(const QString &fields)
{
    return QStringLiteral("File # 1 : \r\n\tName : /data/x.csv\r\n\tNode : N3\r\n") + fields + QStringLiteral("\r\n\r\n");
}

class PropertiesLoad : public ::testing::Test, public LoaderFixture {};
class PropertiesOfTheMainWindow : public WindowTest {};

}  // namespace

TEST_F(PropertiesLoad, TwoFilesGiveTheExactReport)
{
    const auto first = load("node1.csv", dataFile("NODE1, Collector (release 2, build 7), 2005", "06-DEC-2026"));
    ASSERT_TRUE(first.loaded) << messageOf(first);
    const auto second = load("node2.csv", dataFile("  Node2,NODE2, Interval (60s),node2 ", "07-DEC-2026"));
    ASSERT_TRUE(second.loaded) << messageOf(second);
    ASSERT_EQ(data.Files_Open, 2);

    const QString path1 = QString::fromStdString(dir.file("node1.csv"));
    const QString path2 = QString::fromStdString(dir.file("node2.csv"));
    const QString expected = QStringLiteral("File # 1 : \r\n") +
                             QStringLiteral("\tName : ") + path1 + QStringLiteral("\r\n") +
                             QStringLiteral("\tNode : NODE1\r\n"
                                            "\tCollector (release 2, build 7)\r\n"
                                            "\t2005\r\n"
                                            "\r\n"
                                            "\r\n"
                                            "File # 2 : \r\n") +
                             QStringLiteral("\tName : ") + path2 + QStringLiteral("\r\n") +
                             QStringLiteral("\tNode : NODE2\r\n"
                                            "\tInterval (60s)\r\n"
                                            "\r\n"
                                            "\r\n") +
                             kTail;
    EXPECT_EQ(report(data).toStdString(), expected.toStdString());
}

TEST(PropertiesReport, ListsTheFieldsOfRecordOneSplitOutsideParentheses)
{
    // The node's own field is left out in any letter case and wherever it stands.
    EXPECT_EQ(report(oneFile("n3,A, N3 ,b", "N3")), fileBlock(QStringLiteral("\tA\r\n\tb\r\n")) + kTail);
    // Blanks around a field go, blanks inside it stay.
    EXPECT_EQ(report(oneFile("N3,  two  words  ", "N3")), fileBlock(QStringLiteral("\ttwo  words\r\n")) + kTail);
    // Nested parentheses: only the commas at depth 0 split.
    EXPECT_EQ(report(oneFile("N3,f(a,(b,c)),d", "N3")), fileBlock(QStringLiteral("\tf(a,(b,c))\r\n\td\r\n")) + kTail);
    // An unclosed parenthesis keeps every later comma, the appended one too, from
    // splitting: what follows the last splitting comma is never listed.
    EXPECT_EQ(report(oneFile("N3,x,(open, still open", "N3")), fileBlock(QStringLiteral("\tx\r\n")) + kTail);
    // An empty field is listed as an empty line after its tab.
    EXPECT_EQ(report(oneFile("N3,,z", "N3")), fileBlock(QStringLiteral("\t\r\n\tz\r\n")) + kTail);
}

TEST(PropertiesReport, NumbersCarryALeadingBlankAndNegativesAMinus)
{
    kavra::DataSet data;
    data.Column_Count = 0;
    data.Row_Count = 0;
    const QString text = propertiesReport(data, QString(), QSize(-15, 0), QSize(1440, 900));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Form width      : -15\r\nForm height     :  0\r\n\r\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Screen width   :  1440\r\nScreen height  :  900\r\n\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Current User   : \r\n\r\n")));
}

TEST(PropertiesReport, TwipsAre1440ToTheLogicalInch)
{
    EXPECT_EQ(kavra::pixelsToTwips(QSize(96, 192), 96, 96), QSize(1440, 2880));
    EXPECT_EQ(kavra::pixelsToTwips(QSize(120, 60), 120, 72), QSize(1440, 1200));
    EXPECT_EQ(kavra::pixelsToTwips(QSize(1000, 1), 144, 144), QSize(10000, 10));
}

TEST_F(PropertiesOfTheMainWindow, WithNoFileStartWithTheFormWidth)
{
    window->resize(640, 480);
    const QSize windowSize = kavra::windowTwips(*window);
    const QSize screenSize = kavra::screenTwips(*window);
    EXPECT_EQ(windowSize, kavra::pixelsToTwips(window->frameGeometry().size(), window->logicalDpiX(), window->logicalDpiY()));
    EXPECT_GT(screenSize.width(), 0);
    EXPECT_GT(screenSize.height(), 0);

    const QString text = propertiesReport(window->data(), window->state().Current_User, windowSize, screenSize);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Form width      :  ") + QString::number(windowSize.width()) +
                                QStringLiteral("\r\nForm height     :  ") + QString::number(windowSize.height()) +
                                QStringLiteral("\r\n\r\nScreen width   :  ") + QString::number(screenSize.width())))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Column count  :  0\r\nRow count      :  0\r\n\r\nMax Files        :  16\r\n\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Current User   : ") + window->state().Current_User + QStringLiteral("\r\n\r\n")));
}

TEST(PropertiesWindow, HasTheDesignedControls)
{
    PropertiesWindow window;
    EXPECT_EQ(window.objectName(), QStringLiteral("frmKavra6"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Properties"));
    EXPECT_FALSE(window.isModal());
    auto *text = window.findChild<QPlainTextEdit *>(QStringLiteral("txtKavra61"));
    auto *ok = window.findChild<QPushButton *>(QStringLiteral("cmdKavra61"));
    ASSERT_TRUE(text);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_DOUBLE_EQ(text->font().pointSizeF(), 9.75);
    EXPECT_EQ(text->font().family(), QStringLiteral("Verdana"));

    const int dx = window.logicalDpiX(), dy = window.logicalDpiY();
    auto twips = [dx, dy](int left, int top, int width, int height) {
        return QRect(left * dx / 1440, top * dy / 1440, width * dx / 1440, height * dy / 1440);
    };
    EXPECT_EQ(text->geometry(), twips(120, 480, 9975, 7935));
    EXPECT_EQ(ok->geometry(), twips(4320, 8640, 1335, 375));
    EXPECT_EQ(window.size(), QSize(10230 * dx / 1440, 9225 * dy / 1440));
}

TEST(PropertiesWindow, ShowsTheReportAndOkOrTheCloseBoxHideAndEmptyIt)
{
    PropertiesWindow window;
    auto *text = window.findChild<QPlainTextEdit *>(QStringLiteral("txtKavra61"));
    ASSERT_TRUE(text);

    window.show(QStringLiteral("first\r\n\tline two\r\n"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.text(), QStringLiteral("first\r\n\tline two\r\n"));
    EXPECT_EQ(text->toPlainText(), QStringLiteral("first\n\tline two\n"));

    // Running the command again rebuilds the text in the same window.
    window.show(QStringLiteral("second\r\n"));
    EXPECT_EQ(window.text(), QStringLiteral("second\r\n"));
    EXPECT_EQ(text->toPlainText(), QStringLiteral("second\n"));

    window.findChild<QPushButton *>(QStringLiteral("cmdKavra61"))->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.text().isEmpty());
    EXPECT_TRUE(text->toPlainText().isEmpty());

    window.show(QStringLiteral("third\r\n"));
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.text().isEmpty());
    EXPECT_TRUE(text->toPlainText().isEmpty());

    // The main window's Close empties it while it stays open.
    window.show(QStringLiteral("fourth\r\n"));
    window.clear();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.text().isEmpty());
    EXPECT_TRUE(text->toPlainText().isEmpty());
}
