// The A and B cursors as a user works them: Alt+C, drags on the chart, the [
// and ] keys, zoom and scroll, redraws and Close, the Cursor Readout window
// that follows them and Rank Items by Change A..B.

#include "app/WindowFixture.h"

#include "app/CursorCommands.h"
#include "chart/ChartView.h"
#include "dialogs/CursorReadoutWindow.h"
#include "dialogs/RankingWindow.h"
#include "itemviews/ItemListView.h"
#include "support/ChartAccess.h"
#include "support/InputEvents.h"
#include "support/PerfFiles.h"

#include <QClipboard>
#include <QLabel>
#include <QListWidget>

#include <functional>

namespace {

constexpr int kRows = 31;  // 10:00 to 10:30, a sample a minute

class CursorsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window->show();
        // Item 01 is its row number; Item 02 is raised on rows 11 to 21; Item 03 is constant.
        open(dir.write("cursors.csv", perfFile(itemNames(3), kRows, [](int item, int row) {
                           return item == 1 ? row : item == 2 ? (row >= 11 && row <= 21 ? 50 : 10) + row % 3 : 5;
                       })));
        ASSERT_EQ(window->data().Files_Open, 1) << lastMessage().toStdString();
        QCoreApplication::processEvents();
    }

    kavra::ChartView &chart() const { return window->chart(); }
    QCustomPlot *plot() const { return kavra::plotOf(chart()); }
    QWidget *list() const { return child<QWidget>("lvwKavra"); }
    kavra::CursorReadoutWindow *readout() const { return window->cursorCommands().readoutWindow(); }
    kavra::RankingWindow *ranking() const { return window->cursorCommands().rankingWindow(); }
    std::pair<int, int> rows() const { return {window->state().cursors.rowA, window->state().cursors.rowB}; }
    QPoint pixelOf(int row) const
    {
        const double key = kavra::dateValueToKey(window->data().sampleTime(row));
        return {int(std::lround(plot()->xAxis->coordToPixel(key))), plot()->axisRect()->center().y()};
    }
    QPoint cursorPixel(int which) const
    {
        return {int(std::lround(cursorLinePixel(chart(), which))), plot()->axisRect()->center().y()};
    }
    // The readout's line of the first series, as Copy writes it.
    QString readoutLine() const { return readout()->tableText().split(QLatin1Char('\n')).value(1); }
    QString label(const char *name) const { return readout()->findChild<QLabel *>(QString::fromLatin1(name))->text(); }
};

TEST_F(CursorsTest, DragsKeysZoomAndRedrawsMoveThemAsTheReadoutShows)
{
    input::tap(list(), Qt::Key_C, Qt::AltModifier);
    ASSERT_TRUE(window->action(QStringLiteral("mnuCursors"))->isChecked());
    ASSERT_TRUE(readout() && readout()->isVisible());
    const auto key = [&](int code, Qt::KeyboardModifiers held = Qt::NoModifier) { input::tap(list(), code, held); };
    const auto dragCursor = [&](int which, int row) { input::drag(plot(), Qt::LeftButton, cursorPixel(which), pixelOf(row)); };
    const struct {
        const char *what;
        std::function<void()> act;
        std::pair<int, int> rows;
        const char *line;  // Item 01: at A, at B, B - A, minimum, maximum, mean, median
        const char *span;
    } steps[] = {
        {"a third and two thirds along", [] {}, {11, 21}, "11\t21\t10\t11\t21\t16\t16", "00:10:00"},
        {"B dragged", [&] { dragCursor(1, 25); }, {11, 25}, "11\t25\t14\t11\t25\t18\t18", "00:14:00"},
        {"]", [&] { key(Qt::Key_BracketRight); }, {11, 26}, "11\t26\t15\t11\t26\t18.5\t18.5", "00:15:00"},
        {"Shift+] stops at the last row", [&] { key(Qt::Key_BraceRight, Qt::ShiftModifier); }, {11, 31},
         "11\t31\t20\t11\t31\t21\t21", "00:20:00"},
        {"Shift+[", [&] { key(Qt::Key_BraceLeft, Qt::ShiftModifier); }, {11, 21}, "11\t21\t10\t11\t21\t16\t16", "00:10:00"},
        {"A dragged past B: they swap", [&] { dragCursor(0, 25); }, {25, 21}, "21\t25\t4\t21\t25\t23\t23", "00:04:00"},
        {"[ moves A, touched last", [&] { key(Qt::Key_BracketLeft); }, {24, 21}, "21\t24\t3\t21\t24\t22.5\t22.5", "00:03:00"},
        {"A onto B: one row", [&] { dragCursor(0, 21); }, {21, 21}, "21\t21\t0\t21\t21\t21\t21", "00:00:00"},
        {"a zoom leaving both outside the view",
         [&] { chart().showTimeRange(window->data().sampleTime(2), window->data().sampleTime(6)); }, {21, 21},
         "21\t21\t0\t21\t21\t21\t21", "00:00:00"},
        {"a redraw of the rows zoomed into", [&] { window->lvwKavra_Click(); }, {21, 21}, "21\t21\t0\t21\t21\t21\t21",
         "00:00:00"},
        {"] moves A outside the view", [&] { key(Qt::Key_BracketRight); }, {22, 21}, "21\t22\t1\t21\t22\t21.5\t21.5",
         "00:01:00"},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.what);
        const bool zoomed = chart().zoomed();
        step.act();
        EXPECT_EQ(rows(), step.rows);
        if (std::string(step.what).find("dragged") != std::string::npos) {
            EXPECT_EQ(chart().zoomed(), zoomed) << "the drag zoomed";
        }
        EXPECT_EQ(readoutLine(), QStringLiteral("Item 01(# 1)\t") + QString::fromLatin1(step.line));
        EXPECT_EQ(label("lblKavraCursorSpan"), QStringLiteral("B \u2212 A : ") + QString::fromLatin1(step.span));
        EXPECT_DOUBLE_EQ(cursorLineTime(chart(), 0), window->data().sampleTime(step.rows.first));
        EXPECT_DOUBLE_EQ(cursorLineTime(chart(), 1), window->data().sampleTime(step.rows.second));
    }
    EXPECT_LT(pointCount(chart(), 0), kRows) << "the redraw charted the rows zoomed into";

    readout()->findChild<QPushButton *>(QStringLiteral("cmdKavraReadoutCopy"))->click();
    const QStringList copied = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    EXPECT_EQ(copied.value(0), QStringLiteral("Series\tAt A\tAt B\tB \u2212 A\tMinimum\tMaximum\tMean\tMedian"));
    EXPECT_EQ(copied.value(1), readoutLine());

    window->action(QStringLiteral("mnuRankItemsByChange"))->trigger();
    EXPECT_EQ(lastMessage(), QStringLiteral("The cursors stand outside the rows shown"));
    window->cmdZoomReset_Click();
    window->action(QStringLiteral("mnuRankItemsByChange"))->trigger();
    ASSERT_TRUE(ranking() && ranking()->isVisible());
    window->mnuCloseFile_Click();
    EXPECT_FALSE(readout()->isVisible());
    EXPECT_FALSE(ranking()->isVisible());
    EXPECT_FALSE(cursorLinesShown(chart()));
    EXPECT_FALSE(window->action(QStringLiteral("mnuCursors"))->isChecked());
    EXPECT_FALSE(window->action(QStringLiteral("mnuCursors"))->isEnabled());
    EXPECT_FALSE(window->action(QStringLiteral("mnuRankItemsByChange"))->isEnabled());
}

TEST_F(CursorsTest, RankingListsTheChangedItemsAndChartsTheOneDoubleClicked)
{
    EXPECT_FALSE(window->action(QStringLiteral("mnuRankItemsByChange"))->isEnabled()) << "before the cursors are on";
    window->action(QStringLiteral("mnuCursors"))->trigger();
    window->action(QStringLiteral("mnuRankItemsByChange"))->trigger();
    ASSERT_TRUE(ranking() && ranking()->isVisible()) << lastMessage().toStdString();
    const QStringList lines = ranking()->lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QLatin1Char('+')) && lines[0].endsWith(QStringLiteral("  Item 02"))) << lines[0].toStdString();
    EXPECT_EQ(lines[2], QStringLiteral("+0.00  Item 03"));

    auto *list = ranking()->findChild<QListWidget *>(QStringLiteral("lstKavraRanking"));
    emit list->itemDoubleClicked(list->item(0));
    ASSERT_EQ(chart().seriesCount(), 1);
    EXPECT_EQ(chart().seriesStyle(0).name, QStringLiteral("Item 02(# 1)"));
    EXPECT_TRUE(ranking()->isVisible()) << "the chart redrawn keeps the ranking";

    const std::string saved = dir.path() + "/ranking.txt";
    ui.fileAnswers.push_back(QString::fromStdString(saved));
    ranking()->cmdKavraSaveRanking_Click();
    const QStringList text = QString::fromStdString(dir.read("ranking.txt")).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(text.size(), 6);
    EXPECT_EQ(text.mid(3), lines);

    // All rows but one between the cursors: nothing to compare them with.
    window->state().cursors.rowA = 2;
    window->state().cursors.rowB = kRows;
    window->action(QStringLiteral("mnuRankItemsByChange"))->trigger();
    EXPECT_EQ(lastMessage(), QStringLiteral("Not enough rows outside the cursors"));
    EXPECT_EQ(ranking()->lines(), lines) << "the ranking shown stays";
}

TEST_F(CursorsTest, OnAChartOfOneRowBothStandOnIt)
{
    chart().showTimeRange(window->data().sampleTime(kRows) + 0.01, window->data().sampleTime(kRows) + 0.02);
    window->lvwKavra_Click();
    ASSERT_EQ(window->state().rows.Zoom_First_Row, kRows);
    window->action(QStringLiteral("mnuCursors"))->trigger();
    EXPECT_EQ(rows(), std::make_pair(kRows, kRows));
    EXPECT_EQ(readoutLine(), QStringLiteral("Item 01(# 1)\t31\t31\t0\t31\t31\t31\t31"));
    window->action(QStringLiteral("mnuRankItemsByChange"))->trigger();
    EXPECT_EQ(lastMessage(), QStringLiteral("Not enough rows outside the cursors"));
    window->action(QStringLiteral("mnuCursors"))->trigger();
    EXPECT_FALSE(readout()->isVisible());
    EXPECT_FALSE(cursorLinesShown(chart()));
}

// Generate Ratio Charts changes the series without a redraw: the readout lists
// the ratios the chart shows all the same.
TEST_F(CursorsTest, TheReadoutFollowsRatioCharts)
{
    auto &rows = window->items().current().rows;
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].selected = i < 2;
    child<kavra::ItemListView>("lvwKavra")->refresh();
    window->lvwKavra_Click();
    window->action(QStringLiteral("mnuCursors"))->trigger();
    window->action(QStringLiteral("mnuGenerateRatioCharts"))->trigger();
    ASSERT_TRUE(window->state().chart.ratioMode());
    EXPECT_TRUE(readout()->tableText().contains(chart().seriesStyle(0).name)) << readout()->tableText().toStdString();
}

// A moving average is charted from its item: the readout lists it with the
// values drawn, here the mean of the ten rows up to the cursor's.
TEST_F(CursorsTest, TheReadoutListsTheMovingAverageDrawn)
{
    auto &rows = window->items().current().rows;
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].selected = i == 0;
    child<kavra::ItemListView>("lvwKavra")->refresh();
    window->lvwKavra_Click();
    window->action(QStringLiteral("mnuToggleMovingAverage"))->trigger();
    window->action(QStringLiteral("mnuCursors"))->trigger();
    const QStringList lines = readout()->tableText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << readout()->tableText().toStdString();
    const int a = window->state().cursors.rowA;
    EXPECT_EQ(lines[2].section(QLatin1Char('\t'), 1, 1), QString::number(a - 4.5)) << lines[2].toStdString();
}

}  // namespace
