// The redraw: what the chart shows for the selected items of the current list,
// and which commands it leaves enabled.

#include "app/WindowFixture.h"

#include "app/AppState.h"
#include "chart/ChartView.h"
#include "itemviews/ItemListView.h"
#include "output/OutputTestSupport.h"
#include "support/InputEvents.h"
#include "support/PerfFiles.h"

#include "data/TimeStrings.h"
#include "ui/Palette.h"
#include "support/ChartAccess.h"

#include <QPushButton>

#include <cmath>
#include <limits>

using kavra::ChartAxis;
using kavra::TitleLine;

namespace {

QColor palette(int i)
{
    const kavra::PaletteColour &c = kavra::kSeriesPalette[size_t(i)];
    return QColor(c.red, c.green, c.blue);
}

}  // namespace

class RedrawTest : public WindowTest {
protected:
    kavra::ChartView &chart() { return window->chart(); }
    kavra::ItemListView *list() const { return child<kavra::ItemListView>("lvwKavra"); }
    kavra::AppState &state() { return window->state(); }
    QString legend(int s) { return chart().seriesStyle(s).name; }
    bool correlateEnabled() const { return child<QPushButton>("cmdCorrelate")->isEnabled(); }

    // Opens a file of this many items and rows, values from value(item, row).
    void openItems(int items, int rows, const std::function<double(int, int)> &value = [](int i, int r) {
        return i * 10.0 + r;
    })
    {
        open(dir.write("items" + std::to_string(++files_) + ".csv", perfFile(itemNames(items), rows, value)));
        ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    }

    // Selects exactly these rows of the current list (0-based) and redraws.
    void chartRows(const std::vector<int> &rows)
    {
        for (auto &row : window->items().current().rows)
            row.selected = false;
        for (int row : rows)
            window->items().current().rows[size_t(row)].selected = true;
        list()->refresh();
        window->lvwKavra_Click();
    }

    void chartFirstRows(int count)
    {
        std::vector<int> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back(i);
        chartRows(rows);
    }

    // Opens this many files of the same items, file f holding f * 1000 + item * 10 + row.
    void openNodes(int files, int items)
    {
        for (int f = 1; f <= files; ++f)
            open(dir.write("node" + std::to_string(f) + ".csv",
                           perfFile(
                               itemNames(items), 4, [f](int i, int r) { return f * 1000.0 + i * 10.0 + r; },
                               "06-DEC-2026", "NODE" + std::to_string(f))));
        ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    }

    int files_ = 0;
};

TEST_F(RedrawTest, NothingSelectedLeavesOnlyTheTitleLines)
{
    openItems(3, 5);
    state().chart.setTitle(kavra::TitleLine::SubHeader, QString(QStringLiteral("Sub title")).toStdString());
    state().chart.setTitle(kavra::TitleLine::Footer, QString(QStringLiteral("Footer text")).toStdString());
    chartRows({});
    EXPECT_EQ(chart().seriesCount(), 0);
    EXPECT_EQ(chart().seriesCount(), 0);
    EXPECT_EQ(chart().title(TitleLine::Header).text, QStringLiteral("Node(s) : NODE1"));
    EXPECT_TRUE(chart().title(TitleLine::Header).shown);
    EXPECT_EQ(chart().title(TitleLine::SubHeader).text, QStringLiteral("Sub title"));
    EXPECT_EQ(chart().title(TitleLine::Footer).text, QStringLiteral("Footer text"));
    EXPECT_FALSE(correlateEnabled());
    for (const char *entry : {"mnuSmoothUnSmooth", "mnuAddRemoveCandleChart", "mnuCycleDualCharts",
                              "mnuGenerateRatioCharts"})
        EXPECT_FALSE(enabled(entry)) << entry;
}

TEST_F(RedrawTest, OneFileChartsAtMostSixteenItemsInThePaletteColours)
{
    openItems(20, 6);
    state().chart.setPrimaryWidth(2);
    chartFirstRows(20);
    ASSERT_EQ(chart().seriesCount(), 16);
    EXPECT_EQ(chart().seriesCount(), 16);
    const std::vector<std::string> names = itemNames(20);
    for (int s = 0; s < 16; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(seriesKind(chart(), s), kavra::SeriesKind::Line);
        EXPECT_EQ(chart().seriesStyle(s).colour, palette(s));
        EXPECT_EQ(chart().seriesStyle(s).penWidth, 2);
        EXPECT_EQ(legend(s), QString::fromStdString(names[size_t(s)]) + QStringLiteral("(# 1)"));
        EXPECT_EQ(chart().seriesStyle(s).name, legend(s));
    }
}

TEST_F(RedrawTest, EachFileChartsTheSelectedItemsInTurn)
{
    const auto value = [](int i, int r) { return double(i + r); };
    for (const char *day : {"06-DEC-2026", "07-DEC-2026", "08-DEC-2026"})
        open(dir.write(std::string(day) + ".csv", perfFile(itemNames(3), 4, value, day)));
    ASSERT_EQ(window->data().Files_Open, 3);
    chartRows({0, 2});
    ASSERT_EQ(chart().seriesCount(), 6);
    const QStringList expected = {"Item 01(# 1)", "Item 03(# 1)", "Item 01(# 2)",
                                  "Item 03(# 2)", "Item 01(# 3)", "Item 03(# 3)"};
    for (int s = 0; s < 6; ++s) {
        EXPECT_EQ(legend(s), expected[s]);
        EXPECT_EQ(chart().seriesStyle(s).colour, palette(s));
    }
}

TEST_F(RedrawTest, EveryFileGetsTheSameItems)
{
    openNodes(2, 10);
    chartFirstRows(5);
    ASSERT_EQ(chart().seriesCount(), 10);
    for (int s = 0; s < 10; ++s) {
        SCOPED_TRACE(s);
        const int file = s / 5 + 1, item = s % 5 + 1;
        EXPECT_EQ(legend(s), QStringLiteral("Item %1(# %2)").arg(item, 2, 10, QLatin1Char('0')).arg(file));
        EXPECT_EQ(chart().seriesStyle(s).colour, palette(s));
        EXPECT_DOUBLE_EQ(pointY(chart(), s, 0), file * 1000.0 + item * 10.0 + 1);
    }
    EXPECT_EQ(window->statusText(), QString::fromStdString(window->data().File_Names[0])) << "nothing left out";
}

TEST_F(RedrawTest, FilesShareTheSixteenColoursEvenlyAndTheStatusBarSaysWhatIsLeftOut)
{
    openNodes(2, 10);
    chartFirstRows(10);
    ASSERT_EQ(chart().seriesCount(), 16);
    for (int s = 0; s < 16; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(legend(s), QStringLiteral("Item %1(# %2)").arg(s % 8 + 1, 2, 10, QLatin1Char('0')).arg(s / 8 + 1));
        EXPECT_EQ(chart().seriesStyle(s).colour, palette(s));
    }
    EXPECT_EQ(window->statusText(), QStringLiteral("Charting 8 of 10 selected items for each of 2 files"));

    chartFirstRows(3);  // all of them fit again
    EXPECT_EQ(chart().seriesCount(), 6);
    EXPECT_EQ(window->statusText(), QString::fromStdString(window->data().File_Names[0]));
}

TEST_F(RedrawTest, OneFileLeavesOutWhatIsBeyondSixteenItems)
{
    openItems(20, 4);
    chartFirstRows(20);
    EXPECT_EQ(chart().seriesCount(), 16);
    EXPECT_EQ(window->statusText(), QStringLiteral("Charting 16 of 20 selected items"));
}

TEST_F(RedrawTest, SixteenFilesGetOneItemEach)
{
    openNodes(16, 20);
    ASSERT_EQ(window->data().Files_Open, 16);
    for (int selected : {1, 20}) {
        SCOPED_TRACE(selected);
        chartFirstRows(selected);
        ASSERT_EQ(chart().seriesCount(), 16);
        for (int s = 0; s < 16; ++s) {
            EXPECT_EQ(legend(s), QStringLiteral("Item 01(# %1)").arg(s + 1));
            EXPECT_EQ(chart().seriesStyle(s).colour, palette(s));
            EXPECT_DOUBLE_EQ(pointY(chart(), s, 0), (s + 1) * 1000.0 + 10.0 + 1);
        }
    }
    EXPECT_EQ(window->statusText(), QStringLiteral("Charting 1 of 20 selected items for each of 16 files"));
    chartFirstRows(1);
    EXPECT_EQ(window->statusText(), QString::fromStdString(window->data().File_Names[0]));
}

TEST_F(RedrawTest, AChartWithNothingSelectedKeepsItsSizeAndTheFilesTimes)
{
    openItems(4, 30);
    window->resize(1200, 800);
    window->show();
    QCoreApplication::processEvents();
    ASSERT_EQ(chart().seriesCount(), 1);
    const QImage charted = chart().grab().toImage();
    const QRect full = outputtest::plotArea(charted);
    ASSERT_GT(full.width(), charted.width() / 2);

    const auto expectFull = [&](const char *after) {
        SCOPED_TRACE(after);
        ASSERT_EQ(chart().seriesCount(), 0);
        QCoreApplication::processEvents();
        const QImage image = chart().grab().toImage();
        EXPECT_EQ(image.size(), charted.size());
        const QRect plot = outputtest::plotArea(image);
        EXPECT_GT(plot.width(), full.width() * 95 / 100);
        EXPECT_GT(plot.height(), full.height() * 95 / 100);
        // The time axis spans the file's rows, not some other day.
        EXPECT_NEAR(chart().axisRange(ChartAxis::Bottom).minimum, window->data().sampleTime(1), 1e-6);
        EXPECT_NEAR(chart().axisRange(ChartAxis::Bottom).maximum, window->data().sampleTime(30), 1e-6);
    };
    window->action(QStringLiteral("mnuSortInMedianOrder"))->trigger();  // the sort clears the selection
    expectFull("a median sort");
    chartRows({1});
    chartRows({});
    expectFull("nothing selected");
}

TEST_F(RedrawTest, EveryFileIsChartedAgainstTheFirstFilesSampleTimesWithItsOwnValues)
{
    const int rows = 12;
    const std::vector<std::string> days = {"06-DEC-2026", "07-DEC-2026", "09-DEC-2026"};
    for (int f = 1; f <= 3; ++f)
        open(dir.write("f" + std::to_string(f) + ".csv",
                       perfFile(itemNames(2), rows, [f](int i, int r) { return f * 1000.0 + i * 100.0 + r * 0.5; },
                                days[size_t(f - 1)])));
    ASSERT_EQ(window->data().Files_Open, 3);
    chartRows({0, 1});
    ASSERT_EQ(chart().seriesCount(), 6);
    const std::vector<double> &times = window->data().Xaxis_Values;
    ASSERT_EQ(int(times.size()), rows);
    for (int s = 0; s < 6; ++s) {
        SCOPED_TRACE(s);
        const int file = s / 2 + 1, item = s % 2 + 1;
        ASSERT_EQ(pointCount(chart(), s), rows);
        for (int p = 0; p < rows; ++p) {
            EXPECT_NEAR(pointX(chart(), s, p), times[size_t(p)], 1e-8);
            EXPECT_DOUBLE_EQ(pointY(chart(), s, p), file * 1000.0 + item * 100.0 + (p + 1) * 0.5);
        }
    }
}

TEST_F(RedrawTest, OnlyTheZoomedRowsAreCharted)
{
    openItems(2, 20);
    state().rows.Zoom_First_Row = 5;
    state().rows.Zoom_Last_Row = 12;
    chartRows({1});
    ASSERT_EQ(pointCount(chart(), 0), 8);
    const std::vector<double> &times = window->data().Xaxis_Values;
    EXPECT_NEAR(pointX(chart(), 0, 0), times[4], 1e-8);
    EXPECT_NEAR(pointX(chart(), 0, 7), times[11], 1e-8);
    EXPECT_DOUBLE_EQ(pointY(chart(), 0, 0), 2 * 10.0 + 5);
    EXPECT_DOUBLE_EQ(pointY(chart(), 0, 7), 2 * 10.0 + 12);
}

TEST_F(RedrawTest, CorrelateSmoothAndCandleNeedOneFileOneChartedItemAndSeveralItems)
{
    const auto singleItemCommands = [&] {
        return std::vector<bool>{correlateEnabled(), enabled("mnuSmoothUnSmooth"), enabled("mnuAddRemoveCandleChart")};
    };
    const std::vector<bool> on(3, true), off(3, false);
    openItems(3, 5);
    chartRows({1});
    EXPECT_EQ(singleItemCommands(), on);
    chartRows({0, 1});
    EXPECT_EQ(singleItemCommands(), off);
    chartRows({2});
    EXPECT_EQ(singleItemCommands(), on);
    chartRows({});
    EXPECT_EQ(singleItemCommands(), off);

    open(dir.write("second.csv", perfFile(itemNames(3), 5, [](int i, int r) { return double(i - r); })));
    chartRows({1});
    EXPECT_EQ(chart().seriesCount(), 2);
    EXPECT_EQ(singleItemCommands(), off);
}

TEST_F(RedrawTest, CorrelateNeedsMoreThanOneItemInTheList)
{
    openItems(1, 5);
    chartRows({0});
    ASSERT_EQ(chart().seriesCount(), 1);
    EXPECT_FALSE(correlateEnabled());
    EXPECT_FALSE(enabled("mnuSmoothUnSmooth"));
    EXPECT_FALSE(enabled("mnuAddRemoveCandleChart"));
    EXPECT_FALSE(enabled("mnuToggleMovingAverage"));
}

TEST_F(RedrawTest, DualAndRatioChartsNeedExactlyTwoSeries)
{
    openItems(4, 5);
    chartFirstRows(1);
    EXPECT_FALSE(enabled("mnuCycleDualCharts"));
    EXPECT_FALSE(enabled("mnuGenerateRatioCharts"));
    chartFirstRows(2);
    EXPECT_TRUE(enabled("mnuCycleDualCharts"));
    EXPECT_TRUE(enabled("mnuGenerateRatioCharts"));
    chartFirstRows(3);
    EXPECT_FALSE(enabled("mnuCycleDualCharts"));
    EXPECT_FALSE(enabled("mnuGenerateRatioCharts"));

    // With two axes in use the ratio charts are not offered.
    state().chart.useDualLayout(kavra::DualAxes);
    chartFirstRows(2);
    EXPECT_EQ(state().chart.dualLayout(), 1);
    EXPECT_TRUE(enabled("mnuCycleDualCharts"));
    EXPECT_FALSE(enabled("mnuGenerateRatioCharts"));
}

TEST_F(RedrawTest, DualChartsFallBackToZeroOnlyWhenOneItemIsCharted)
{
    openItems(4, 5);
    state().chart.useDualLayout(kavra::DualCharts);
    chartFirstRows(2);
    EXPECT_EQ(state().chart.dualLayout(), 2);
    chartFirstRows(3);
    EXPECT_EQ(state().chart.dualLayout(), 2);
    chartFirstRows(1);
    EXPECT_EQ(state().chart.dualLayout(), 0);
}

TEST_F(RedrawTest, ARedrawLeavesRatioMode)
{
    openItems(3, 5);
    state().chart.showRatios({}, {});
    chartFirstRows(2);
    EXPECT_FALSE(state().chart.ratioMode());
}

TEST_F(RedrawTest, FlatSeriesStillGetAValueRange)
{
    open(dir.write("flat.csv", perfFile({"Constant", "Zero"}, 10, [](int i, int) { return i == 1 ? 5.0 : 0.0; })));
    for (int row : {0, 1}) {
        SCOPED_TRACE(row);
        const double level = row == 0 ? 5.0 : 0.0;
        chartRows({row});
        const double low = chart().axisRange(ChartAxis::Left).minimum, high = chart().axisRange(ChartAxis::Left).maximum;
        EXPECT_TRUE(std::isfinite(low) && std::isfinite(high));
        EXPECT_LT(low, high);
        EXPECT_LE(low, level);
        EXPECT_GE(high, level);
    }
}

TEST(ChartValues, ValuesThatAreNotFiniteNeitherCrashNorSpoilTheValueRange)
{
    kavra::ChartView chart;
    chart.resize(600, 400);
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const double x[] = {46000.0, 46000.1, 46000.2, 46000.3, 46000.4, 46000.5};
    const double y[] = {1.0, nan, 3.0, inf, -inf, 2.0};
    const int s = chart.addSeries(kavra::SeriesKind::Line);
    chart.setSeriesPoints(s, x, y, 6);
    chart.draw();
    double low = chart.axisRange(ChartAxis::Left).minimum, high = chart.axisRange(ChartAxis::Left).maximum;
    ASSERT_TRUE(std::isfinite(low) && std::isfinite(high));
    EXPECT_LE(low, 1.0);
    EXPECT_GE(high, 3.0);
    EXPECT_LT(high - low, 10.0);
    EXPECT_FALSE(chart.picture(300, 200).isNull());

    const double none[] = {nan, inf, -inf, nan, nan, nan};
    chart.setSeriesPoints(s, x, none, 6);
    chart.draw();
    low = chart.axisRange(ChartAxis::Left).minimum;
    high = chart.axisRange(ChartAxis::Left).maximum;
    ASSERT_TRUE(std::isfinite(low) && std::isfinite(high));
    EXPECT_LT(low, high);
    EXPECT_FALSE(chart.picture(300, 200).isNull());
}

TEST_F(RedrawTest, ClickingARowChartsIt)
{
    openItems(4, 5);
    window->show();
    QCoreApplication::processEvents();
    ASSERT_EQ(legend(0), QStringLiteral("Item 01(# 1)"));
    kavra::ItemListView *view = list();
    const QRect row = view->visualRect(view->model()->index(2, 0));
    ASSERT_TRUE(row.isValid());
    input::click(view->viewport(), QPoint(row.left() + 10, row.center().y()));  // the column is wider than the view
    EXPECT_EQ(chart().seriesCount(), 1);
    EXPECT_EQ(legend(0), QStringLiteral("Item 03(# 1)"));
    EXPECT_EQ(chart().seriesStyle(0).name, QStringLiteral("Item 03(# 1)"));
}

TEST_F(RedrawTest, ReleasingUpOrDownChartsTheNewRow)
{
    openItems(4, 5);
    window->show();
    QCoreApplication::processEvents();
    kavra::ItemListView *view = list();
    ASSERT_EQ(legend(0), QStringLiteral("Item 01(# 1)"));

    input::key(view, QEvent::KeyPress, Qt::Key_Down);
    EXPECT_EQ(legend(0), QStringLiteral("Item 01(# 1)")) << "the press alone does not redraw";
    input::key(view, QEvent::KeyRelease, Qt::Key_Down);
    EXPECT_EQ(legend(0), QStringLiteral("Item 02(# 1)"));
    EXPECT_EQ(chart().seriesCount(), 1);

    input::key(view, QEvent::KeyPress, Qt::Key_Up);
    input::key(view, QEvent::KeyRelease, Qt::Key_Up);
    EXPECT_EQ(legend(0), QStringLiteral("Item 01(# 1)"));
}

// ---- The chart follows every change of the selection the user makes ------------

class SelectionRedrawTest : public RedrawTest {
protected:
    void SetUp() override
    {
        RedrawTest::SetUp();
        openItems(6, 5);
        window->show();
        QCoreApplication::processEvents();
        ASSERT_EQ(charted(), QStringList{QStringLiteral("Item 01(# 1)")});
    }

    // The legend texts of the charted series.
    QStringList charted()
    {
        QStringList texts;
        for (int s = 0; s < chart().seriesCount(); ++s)
            texts << chart().seriesStyle(s).name;
        return texts;
    }
    QPoint rowPoint(int row)
    {
        const QRect rect = list()->visualRect(list()->model()->index(row, 0));
        return QPoint(rect.left() + 10, rect.center().y());
    }
    QWidget *viewport() { return list()->viewport(); }
    static QStringList items(std::initializer_list<int> numbers)
    {
        QStringList texts;
        for (int n : numbers)
            texts << QStringLiteral("Item %1(# 1)").arg(n, 2, 10, QLatin1Char('0'));
        return texts;
    }
};

TEST_F(SelectionRedrawTest, ADragAcrossRowsChartsThemWhenTheButtonIsReleased)
{
    input::press(viewport(), Qt::LeftButton, rowPoint(1));
    input::move(viewport(), Qt::LeftButton, rowPoint(2));
    input::move(viewport(), Qt::LeftButton, rowPoint(3));
    EXPECT_EQ(charted(), items({1})) << "no redraw while the drag goes on";
    input::release(viewport(), Qt::LeftButton, rowPoint(3));
    EXPECT_EQ(charted(), items({2, 3, 4}));
}

TEST_F(SelectionRedrawTest, KeysThatChangeTheSelectionChartItWhenLetGo)
{
    input::key(list(), QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    input::key(list(), QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(charted(), items({1, 2, 3, 4, 5, 6}));

    input::tap(list(), Qt::Key_End);
    EXPECT_EQ(charted(), items({6}));
    input::tap(list(), Qt::Key_PageUp);
    EXPECT_EQ(charted(), items({1}));
    input::tap(list(), Qt::Key_PageDown);
    EXPECT_EQ(charted(), items({6}));

    // Shift+Up held: the selection grows with each repeat, the chart follows at the end.
    input::key(list(), QEvent::KeyPress, Qt::Key_Up, Qt::ShiftModifier);
    input::key(list(), QEvent::KeyRelease, Qt::Key_Up, Qt::ShiftModifier, true);
    input::key(list(), QEvent::KeyPress, Qt::Key_Up, Qt::ShiftModifier, true);
    EXPECT_EQ(charted(), items({6})) << "no redraw on a repeated key";
    input::key(list(), QEvent::KeyRelease, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(charted(), items({4, 5, 6}));
}

TEST_F(SelectionRedrawTest, AClickOnEmptySpaceClearsTheChart)
{
    const QRect last = list()->visualRect(list()->model()->index(5, 0));
    const QPoint below(last.left() + 10, last.bottom() + 3 * last.height());
    ASSERT_TRUE(viewport()->rect().contains(below));
    input::click(viewport(), below);
    EXPECT_EQ(window->items().current().selectedCount(), 0);
    EXPECT_TRUE(charted().isEmpty());
}

// A redraw undoes a zoom, so a zoom that survives shows that nothing was redrawn.
TEST_F(SelectionRedrawTest, ReleasesThatLeaveTheChartedSelectionDoNotRedraw)
{
    const auto zoom = [this] {
        double from = 0, to = 0;
        ASSERT_TRUE(chart().dataTimeRange(from, to));
        chart().showTimeRange(from, (from + to) / 2);
        ASSERT_TRUE(chart().zoomed());
    };
    zoom();
    input::tap(list(), Qt::Key_Shift);
    input::tap(list(), Qt::Key_Right);
    EXPECT_TRUE(chart().zoomed());

    // A selection the program makes is charted by the command that makes it.
    ui.inputAnswers.push_back(QStringLiteral("Item 0"));
    window->action(QStringLiteral("mnuChartMultipleItems"))->trigger();
    ASSERT_EQ(charted(), items({1, 2, 3, 4, 5, 6}));
    zoom();
    input::tap(list(), Qt::Key_Control);
    input::press(viewport(), Qt::LeftButton, rowPoint(2));
    input::move(viewport(), Qt::LeftButton, rowPoint(4));
    EXPECT_TRUE(chart().zoomed());

    // The arrow keys and a click on a row redraw as they always did.
    input::release(viewport(), Qt::LeftButton, rowPoint(4));
    EXPECT_EQ(charted(), items({3, 4, 5}));
    zoom();
    input::tap(list(), Qt::Key_Down);
    EXPECT_FALSE(chart().zoomed());
    zoom();
    input::click(viewport(), rowPoint(5));
    EXPECT_FALSE(chart().zoomed());
}

// ---- The legend: emphasised text, statistics at a glance ------------------------

namespace {

QString date(double value) { return QString::fromStdString(kavra::timestr::generalDateText(value)); }

}  // namespace

class LegendTest : public RedrawTest {
protected:
    void SetUp() override
    {
        RedrawTest::SetUp();
        // Item 01: 3 9 1 7 5; Item 02: the row number.
        openItems(2, 5, [](int item, int row) { return item == 1 ? kValues[row - 1] : double(row); });
        window->show();
        QCoreApplication::processEvents();
    }
    QString toolTipOf(int s)
    {
        return input::toolTipAt(kavra::plotOf(chart()), kavra::plotOf(chart())->legend->item(s)->outerRect().center());
    }
    double time(int row) { return window->data().sampleTime(row); }

    static constexpr double kValues[5] = {3, 9, 1, 7, 5};
};

TEST_F(LegendTest, TheLegendTextIsBold)
{
    chartRows({0, 1});
    ASSERT_EQ(kavra::plotOf(chart())->legend->itemCount(), 2);
    for (int s = 0; s < 2; ++s)
        EXPECT_TRUE(kavra::plotOf(chart())->legend->item(s)->font().bold());
}

TEST_F(LegendTest, AnEntrysTooltipSumsUpItsSeriesOverTheRowsShown)
{
    EXPECT_EQ(toolTipOf(0), QStringLiteral("Item 01(# 1)\nMinimum : 1 at ") + date(time(3)) +
                                QStringLiteral("\nMaximum : 9 at ") + date(time(2)) +
                                QStringLiteral("\nMean : 5\nMedian : 5\nLast value : 5"));

    // Zoomed to rows 2 to 4: 9 1 7.
    chart().showTimeRange(time(2) - 0.1 / 1440, time(4) + 0.1 / 1440);
    EXPECT_EQ(toolTipOf(0), QStringLiteral("Item 01(# 1)\nMinimum : 1 at ") + date(time(3)) +
                                QStringLiteral("\nMaximum : 9 at ") + date(time(2)) +
                                QStringLiteral("\nMean : 5.66666666666667\nMedian : 7\nLast value : 7"));

    // One row shown.
    chart().showTimeRange(time(4) - 0.1 / 1440, time(4) + 0.1 / 1440);
    EXPECT_EQ(toolTipOf(0), QStringLiteral("Item 01(# 1)\nMinimum : 7 at ") + date(time(4)) +
                                QStringLiteral("\nMaximum : 7 at ") + date(time(4)) +
                                QStringLiteral("\nMean : 7\nMedian : 7\nLast value : 7"));

    // No row shown.
    chart().showTimeRange(time(4) + 0.2 / 1440, time(4) + 0.4 / 1440);
    EXPECT_EQ(toolTipOf(0), QStringLiteral("Item 01(# 1)"));
}

TEST_F(LegendTest, AHiddenSeriesTellsOnlyItsName)
{
    state().chart.setMovingAveragePeriod(3);  // one the five rows fill: the item is hidden under its average
    window->action(QStringLiteral("mnuToggleMovingAverage"))->trigger();
    ASSERT_EQ(chart().seriesCount(), 2);
    ASSERT_FALSE(chart().seriesStyle(0).shown);
    EXPECT_EQ(toolTipOf(0), QStringLiteral("Item 01(# 1)"));
    EXPECT_TRUE(toolTipOf(1).startsWith(QStringLiteral("Item 01(# 1)(MovAvgPer= 3)")));

    window->action(QStringLiteral("mnuToggleMovingAverage"))->trigger();
    ASSERT_TRUE(chart().seriesStyle(0).shown);
    input::click(kavra::plotOf(chart()), kavra::plotOf(chart())->legend->item(0)->outerRect().center());  // unticked
    ASSERT_FALSE(chart().seriesStyle(0).shown);
    EXPECT_EQ(toolTipOf(0), QStringLiteral("Item 01(# 1)"));
}

// A title cleared, or a sub-title or footer switched on without text, keeps its
// line: the plot does not move.
TEST_F(LegendTest, ClearedTitleLinesKeepTheirRoom)
{
    const auto plotArea = [this] { return kavra::plotOf(chart())->axisRect()->outerRect(); };
    ui.inputAnswers = {QStringLiteral("Sub"), QStringLiteral("Foot")};
    window->action(QStringLiteral("mnuSetChartSubTitle"))->trigger();
    window->action(QStringLiteral("mnuSetChartFooter"))->trigger();
    const QRect withTexts = plotArea();
    ui.inputAnswers = {QString(), QString(), QString()};
    window->action(QStringLiteral("mnuSetChartTitle"))->trigger();
    window->action(QStringLiteral("mnuSetChartSubTitle"))->trigger();
    window->action(QStringLiteral("mnuSetChartFooter"))->trigger();
    ASSERT_TRUE(state().chart.title(kavra::TitleLine::Header).empty());
    EXPECT_EQ(plotArea(), withTexts);
}
