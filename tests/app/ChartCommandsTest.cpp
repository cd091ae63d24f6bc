// The chart option commands of the Options and Chart Settings menus and the
// Stack / UnStack buttons, driven through the main window as a user would.

#include "app/PromptedWindowTest.h"

#include "analysis/SeriesStatistics.h"
#include "app/AppState.h"
#include "app/ChartCommands.h"
#include "chart/ChartGraph.h"
#include "chart/ChartView.h"
#include "itemviews/ItemListView.h"
#include "support/ChartAccess.h"
#include "support/PerfFiles.h"
#include "ui/Palette.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <vector>

static void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

using kavra::ChartAxis;
using kavra::GridStyle;
using kavra::SeriesKind;
using kavra::TitleLine;
using kavra::ValueAxis;

namespace {

QColor palette(int i)
{
    const kavra::PaletteColour &c = kavra::kSeriesPalette[size_t(i)];
    return QColor(c.red, c.green, c.blue);
}



}  // namespace

class ChartCommandsTest : public PromptedWindowTest {
protected:
    kavra::ChartView &chart() { return window->chart(); }
    kavra::ChartCommands &commands() { return window->chartCommands(); }
    kavra::AppState &state() { return window->state(); }
    QString legend(int s) { return chart().seriesStyle(s).name; }
    void trigger(const char *entry) { window->action(QString::fromLatin1(entry))->trigger(); }
    // The chart editor's window, once Edit Chart Properties has opened it.
    QWidget *chartEditor() const
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QStringLiteral("frmChartEditor"))
                return top;
        return nullptr;
    }
    void answer(const QString &text) { ui.inputAnswers.push_back(text); }
    void cancel() { ui.inputAnswers.push_back(QString()); }
    QStringList defaults() const
    {
        QStringList texts;
        for (const Question &q : asker.questions)
            texts << q.defaultAnswer;
        return texts;
    }
    QGroupBox *stackFrame() const { return child<QGroupBox>("fraKavra1"); }
    QRadioButton *stackButton() const { return child<QRadioButton>("OptStack(0)"); }
    QRadioButton *unStackButton() const { return child<QRadioButton>("OptStack(1)"); }

    // Opens a file of this many items and rows, values from value(item, row).
    void openItems(int items, int rows, const std::function<double(int, int)> &value = [](int i, int r) {
        return i * 10.0 + r;
    })
    {
        openNamed(itemNames(items), rows, value);
    }

    void openNamed(const std::vector<std::string> &names, int rows, const std::function<double(int, int)> &value)
    {
        open(dir.write("items" + std::to_string(++files_) + ".csv", perfFile(names, rows, value)));
        ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    }

    // Selects exactly these rows of the current list (0-based) and redraws.
    void chartRows(const std::vector<int> &rows)
    {
        for (auto &row : window->items().current().rows)
            row.selected = false;
        for (int row : rows)
            window->items().current().rows[size_t(row)].selected = true;
        child<kavra::ItemListView>("lvwKavra")->refresh();
        window->lvwKavra_Click();
    }

    void chartFirstRows(int count)
    {
        std::vector<int> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back(i);
        chartRows(rows);
    }

    std::vector<int> selectedRows()
    {
        std::vector<int> rows;
        const auto &all = window->items().current().rows;
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].selected)
                rows.push_back(int(i));
        return rows;
    }

    int files_ = 0;
};

// ---- Moving average ---------------------------------------------------------------

TEST_F(ChartCommandsTest, MovingAverageAddsOneCurvePerItemForUpToFourItems)
{
    openItems(6, 30);
    state().chart.setPrimaryWidth(2);
    state().chart.setSecondaryWidth(4);
    chartFirstRows(2);
    trigger("mnuToggleMovingAverage");
    ASSERT_TRUE(state().chart.shows(kavra::DerivedCurve::MovingAverage));

    for (int items : {2, 1, 3, 4}) {
        SCOPED_TRACE(items);
        chartFirstRows(items);
        ASSERT_EQ(chart().seriesCount(), 2 * items);
        for (int k = 0; k < items; ++k) {
            SCOPED_TRACE(k);
            const int curve = items + k;
            EXPECT_FALSE(chart().seriesStyle(k).shown);
            EXPECT_EQ(chart().seriesStyle(k).penWidth, 2);
            EXPECT_TRUE(chart().seriesStyle(curve).shown);
            EXPECT_EQ(seriesKind(chart(), curve), SeriesKind::Line);
            EXPECT_EQ(chart().seriesStyle(curve).colour, palette(curve));
            EXPECT_EQ(chart().seriesStyle(curve).penWidth, 4);
            EXPECT_EQ(chart().seriesStyle(curve).axis, ValueAxis::Both);
            EXPECT_EQ(legend(curve), legend(k) + QStringLiteral("(MovAvgPer= 10)"));
            EXPECT_EQ(pointCount(chart(), curve), 30 - 10 + 1);
        }
    }
    // Two items: the curves are series 2 (green) and 3 (navy).
    chartFirstRows(2);
    EXPECT_EQ(legend(2), QStringLiteral("Item 01(# 1)(MovAvgPer= 10)"));
    EXPECT_EQ(legend(3), QStringLiteral("Item 02(# 1)(MovAvgPer= 10)"));
    EXPECT_EQ(chart().seriesStyle(2).colour, QColor(0, 128, 0));
    EXPECT_EQ(chart().seriesStyle(3).colour, QColor(0, 0, 128));

    // Five items: the option stays on but nothing is averaged.
    chartFirstRows(5);
    EXPECT_TRUE(state().chart.shows(kavra::DerivedCurve::MovingAverage));
    ASSERT_EQ(chart().seriesCount(), 5);
    for (int s = 0; s < 5; ++s)
        EXPECT_TRUE(chart().seriesStyle(s).shown) << s;
}

TEST_F(ChartCommandsTest, MovingAverageIsTheTrailingMeanStartingAtThePeriodthPoint)
{
    openItems(2, 30, [](int i, int r) { return i * 10.0 + r * r; });
    chartRows({0});
    trigger("mnuToggleMovingAverage");
    ASSERT_EQ(chart().seriesCount(), 2);
    ASSERT_EQ(pointCount(chart(), 1), 21);
    const std::vector<double> &times = window->data().Xaxis_Values;
    EXPECT_NEAR(pointX(chart(), 1, 0), times[9], 1e-8);
    // Point 3 stands at row 13 and averages rows 4 to 13: (10 * 10 + 16 + 25 + ... + 169) / 10.
    EXPECT_NEAR(pointX(chart(), 1, 3), times[12], 1e-8);
    EXPECT_NEAR(pointY(chart(), 1, 3), 90.5, 1e-9);
    EXPECT_NEAR(pointX(chart(), 1, 20), times[29], 1e-8);

    // Toggling again leaves the item alone.
    trigger("mnuToggleMovingAverage");
    EXPECT_FALSE(state().chart.shows(kavra::DerivedCurve::MovingAverage));
    ASSERT_EQ(chart().seriesCount(), 1);
    EXPECT_TRUE(chart().seriesStyle(0).shown);
}

// ---- Moving average period ------------------------------------------------------

TEST_F(ChartCommandsTest, PeriodPromptTakesRoundedNumbersAndKeepsThePeriodOtherwise)
{
    openItems(2, 30);
    trigger("mnuSetMovingAveragePeriodValue");  // out of answers: Cancel
    ASSERT_EQ(asker.questions.size(), 1u);
    EXPECT_EQ(asker.questions[0].prompt, QStringLiteral("Please enter PERIOD value to be used :"));
    EXPECT_EQ(asker.questions[0].title, QStringLiteral("Moving Average Period Value"));
    EXPECT_EQ(asker.questions[0].defaultAnswer, QStringLiteral(" 10"));
    EXPECT_EQ(state().chart.movingAveragePeriod(), 10);

    const struct {
        const char *answer;
        int period;
    } cases[] = {{"2.5", 2}, {"3.5", 4}, {" 12 ", 12}, {"abc", 12}, {"", 12}, {"1", 1}, {"32767.4", 32767}, {"7", 7}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.answer);
        answer(QString::fromLatin1(c.answer));
        commands().mnuSetMovingAveragePeriodValue_Click();
        EXPECT_EQ(state().chart.movingAveragePeriod(), c.period);
    }
    EXPECT_EQ(asker.questions.back().defaultAnswer, QStringLiteral(" 32767"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ChartCommandsTest, PeriodOutsideOneTo32767IsRefusedWithAMessage)
{
    openItems(2, 30);
    for (const char *refused : {"0", "-5", "40000", "0.4", "32767.6", "1e12"}) {
        SCOPED_TRACE(refused);
        ui.messages.clear();
        answer(QString::fromLatin1(refused));
        commands().mnuSetMovingAveragePeriodValue_Click();
        EXPECT_EQ(state().chart.movingAveragePeriod(), 10);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, QStringLiteral("Moving Average Period Value"));
    }
}

TEST_F(ChartCommandsTest, NewPeriodRedrawsOnlyWhileTheMovingAverageIsOn)
{
    openItems(2, 30);
    armRedrawProbe();
    answer(QStringLiteral("4"));
    trigger("mnuSetMovingAveragePeriodValue");
    EXPECT_EQ(state().chart.movingAveragePeriod(), 4);
    EXPECT_FALSE(redrawnSinceProbe());
    ASSERT_EQ(chart().seriesCount(), 1);

    trigger("mnuToggleMovingAverage");
    ASSERT_EQ(chart().seriesCount(), 2);
    EXPECT_EQ(legend(1), legend(0) + QStringLiteral("(MovAvgPer= 4)"));
    EXPECT_EQ(pointCount(chart(), 1), 27);

    armRedrawProbe();
    answer(QStringLiteral("6"));
    trigger("mnuSetMovingAveragePeriodValue");
    EXPECT_TRUE(redrawnSinceProbe());
    EXPECT_EQ(legend(1), legend(0) + QStringLiteral("(MovAvgPer= 6)"));
    EXPECT_EQ(pointCount(chart(), 1), 25);
}

// ---- Exclusive options: moving average, smoothing, candles ---------------------

TEST_F(ChartCommandsTest, EachOptionSwitchedOnSwitchesTheOtherTwoOff)
{
    openItems(2, 45);
    ASSERT_EQ(chart().seriesCount(), 1);
    const auto options = [&] {
        return std::vector<bool>{state().chart.shows(kavra::DerivedCurve::MovingAverage),
                                 state().chart.shows(kavra::DerivedCurve::Smoothed),
                                 state().chart.shows(kavra::DerivedCurve::Candle)};
    };

    chart().hide();
    trigger("mnuAddRemoveCandleChart");
    EXPECT_FALSE(chart().isHidden());
    EXPECT_EQ(options(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(seriesKind(chart(), 1), SeriesKind::Candle);

    trigger("mnuToggleMovingAverage");
    EXPECT_EQ(options(), (std::vector<bool>{true, false, false}));
    ASSERT_EQ(chart().seriesCount(), 2);
    EXPECT_TRUE(legend(1).endsWith(QStringLiteral("(MovAvgPer= 10)")));

    trigger("mnuSmoothUnSmooth");
    EXPECT_EQ(options(), (std::vector<bool>{false, true, false}));
    ASSERT_EQ(chart().seriesCount(), 2);
    EXPECT_EQ(legend(1), QStringLiteral("Smoothed curve"));

    trigger("mnuToggleMovingAverage");
    EXPECT_EQ(options(), (std::vector<bool>{true, false, false}));

    trigger("mnuAddRemoveCandleChart");
    EXPECT_EQ(options(), (std::vector<bool>{false, false, true}));

    trigger("mnuSmoothUnSmooth");
    EXPECT_EQ(options(), (std::vector<bool>{false, true, false}));

    trigger("mnuAddRemoveCandleChart");
    EXPECT_EQ(options(), (std::vector<bool>{false, false, true}));

    // Switching an option off switches nothing on.
    trigger("mnuAddRemoveCandleChart");
    EXPECT_EQ(options(), (std::vector<bool>{false, false, false}));
    ASSERT_EQ(chart().seriesCount(), 1);
    EXPECT_TRUE(chart().seriesStyle(0).shown);
}

TEST_F(ChartCommandsTest, SmoothingDrawsABlueCurveOverTheHiddenItem)
{
    openItems(2, 10);
    state().chart.setSecondaryWidth(5);
    trigger("mnuSmoothUnSmooth");
    ASSERT_TRUE(state().chart.shows(kavra::DerivedCurve::Smoothed));
    ASSERT_EQ(chart().seriesCount(), 2);
    EXPECT_FALSE(chart().seriesStyle(0).shown);
    EXPECT_TRUE(chart().seriesStyle(1).shown);
    EXPECT_EQ(seriesKind(chart(), 1), SeriesKind::Line);
    EXPECT_EQ(legend(1), QStringLiteral("Smoothed curve"));
    EXPECT_EQ(chart().seriesStyle(1).colour, palette(1));
    EXPECT_EQ(chart().seriesStyle(1).penWidth, 5);
    EXPECT_GT(pointCount(chart(), 1), 1);

    trigger("mnuSmoothUnSmooth");
    EXPECT_FALSE(state().chart.shows(kavra::DerivedCurve::Smoothed));
    ASSERT_EQ(chart().seriesCount(), 1);
    EXPECT_TRUE(chart().seriesStyle(0).shown);
}

TEST_F(ChartCommandsTest, CandlesSummariseOneItemInTwentyCandles)
{
    openItems(2, 100);
    trigger("mnuAddRemoveCandleChart");
    ASSERT_TRUE(state().chart.shows(kavra::DerivedCurve::Candle));
    ASSERT_EQ(chart().seriesCount(), 2);
    EXPECT_EQ(seriesKind(chart(), 1), SeriesKind::Candle);
    EXPECT_EQ(pointCount(chart(), 1), 20);
    EXPECT_EQ(legend(1), QStringLiteral("Candle (DownClose : Blue, UpClose : Green)"));
    EXPECT_FALSE(chart().seriesStyle(0).shown);
    EXPECT_TRUE(chart().seriesStyle(1).shown);
    // Candle 0 covers rows 1 to 5: it closes at row 5's value, midway between their times.
    const std::vector<double> &times = window->data().Xaxis_Values;
    EXPECT_DOUBLE_EQ(pointY(chart(), 1, 0), 15.0);
    EXPECT_NEAR(pointX(chart(), 1, 0), (times[0] + times[4]) / 2, 1e-8);
}

// Read back from the candle series as drawn: each candle's wicks reach the real
// highest and lowest value of its five rows, not whole numbers around them, so
// an item between 0 and 0.61 keeps an axis that ends below 1.
TEST_F(ChartCommandsTest, CandleWicksReachTheGroupsRealHighestAndLowestValues)
{
    const auto value = [](int item, int row) { return item == 1 ? 0.61 * ((row * 37) % 100) / 100.0 : 1.0 * row; };
    openItems(2, 100, value);
    trigger("mnuAddRemoveCandleChart");
    ASSERT_EQ(chart().seriesCount(), 2);
    const auto *candles = qobject_cast<QCPFinancial *>(kavra::plotOf(chart())->plottable(1));
    ASSERT_TRUE(candles);
    ASSERT_EQ(candles->data()->size(), 20);
    for (int c = 0; c < 20; ++c) {
        SCOPED_TRACE(c);
        double high = -1, low = 2;
        for (int row = 5 * c + 1; row <= 5 * c + 5; ++row) {
            high = std::max(high, value(1, row));
            low = std::min(low, value(1, row));
        }
        const QCPFinancialData &candle = *(candles->data()->constBegin() + c);
        EXPECT_DOUBLE_EQ(candle.high, high);
        EXPECT_DOUBLE_EQ(candle.low, low);
        EXPECT_DOUBLE_EQ(candle.close, value(1, 5 * c + 5));
    }
    EXPECT_LT(chart().axisRange(ChartAxis::Left).maximum, 1.0);
}

// Every row belongs to a candle, the last one shorter where the rows do not
// divide evenly, and the time axis leaves room for half a candle beyond the
// first and the last: none is cut off at an edge. Read back from the candle
// series as drawn.
TEST_F(ChartCommandsTest, CandlesCoverEveryRowAndStandWholeInsideTheTimeAxis)
{
    struct Case {
        int rows, candles, lastSize;
    };
    for (const Case c : {Case{100, 20, 5}, Case{119, 20, 5}, Case{103, 18, 1}, Case{39, 20, 1}, Case{15, 8, 1},
                         Case{2, 1, 2}}) {
        SCOPED_TRACE(c.rows);
        // The highest value is in the last row, where a remainder used to be left out.
        const auto value = [rows = c.rows](int item, int row) { return item == 1 && row == rows ? 500.0 : row % 7; };
        openItems(2, c.rows, value);
        if (!state().chart.shows(kavra::DerivedCurve::Candle))
            trigger("mnuAddRemoveCandleChart");
        ASSERT_EQ(chart().seriesCount(), 2);
        EXPECT_FALSE(chart().seriesStyle(0).shown);
        const auto *candles = qobject_cast<QCPFinancial *>(kavra::plotOf(chart())->plottable(1));
        ASSERT_TRUE(candles);
        ASSERT_EQ(candles->data()->size(), c.candles);
        const QCPFinancialData &last = *(candles->data()->constEnd() - 1);
        EXPECT_EQ(last.high, 500.0);
        EXPECT_EQ(last.close, 500.0);
        const std::vector<double> &times = window->data().Xaxis_Values;
        EXPECT_NEAR(kavra::keyToDateValue(last.key), (times[size_t(c.rows - c.lastSize)] + times.back()) / 2, 1e-9);
        const QCPRange shown = kavra::plotOf(chart())->xAxis->range();
        const double half = candles->width() / 2;
        EXPECT_GT(half, 0);
        EXPECT_LE(shown.lower, candles->data()->constBegin()->key - half) << "the first candle whole";
        EXPECT_GE(shown.upper, last.key + half) << "the last candle whole";
        EXPECT_GE(chart().axisRange(ChartAxis::Left).maximum, 500.0);
        trigger("mnuCloseFile");
    }
}

// ---- A moving average longer than the rows shown ------------------------------

// The items stay in view and status panel 1 says why no average is drawn; a
// period that fits hides the items under their averages again.
TEST_F(ChartCommandsTest, AnAverageLongerThanTheRowsShownLeavesTheItemsInViewAndSaysSo)
{
    openItems(4, 40);
    const QString file = QString::fromStdString(window->data().File_Names[0]);
    for (int items : {1, 2, 3}) {
        SCOPED_TRACE(items);
        chartFirstRows(items);
        state().chart.setMovingAveragePeriod(60);
        if (!state().chart.shows(kavra::DerivedCurve::MovingAverage))
            trigger("mnuToggleMovingAverage");
        else
            window->lvwKavra_Click();
        ASSERT_EQ(chart().seriesCount(), 2 * items);
        for (int k = 0; k < items; ++k) {
            EXPECT_TRUE(chart().seriesStyle(k).shown) << k;
            EXPECT_EQ(pointCount(chart(), items + k), 0) << k;
        }
        EXPECT_EQ(window->statusText(),
                  QStringLiteral("The moving average period (60) is longer than the 40 rows shown: no average is drawn"));

        state().chart.setMovingAveragePeriod(40);
        window->lvwKavra_Click();
        for (int k = 0; k < items; ++k) {
            EXPECT_FALSE(chart().seriesStyle(k).shown) << k;
            EXPECT_EQ(pointCount(chart(), items + k), 1) << k;
        }
        EXPECT_EQ(window->statusText(), file);
    }
}

// Stacked items draw stacked averages: each average is the average of its item's
// stacked values, standing on the average below it, as the sub-footer says.
TEST_F(ChartCommandsTest, StackedItemsDrawTheAveragesOfTheStackedValues)
{
    openItems(3, 30, [](int item, int row) { return (item + 1) * 10.0 + (row * (item + 3)) % 11; });
    chartFirstRows(3);
    stackButton()->click();
    trigger("mnuToggleMovingAverage");
    ASSERT_EQ(chart().seriesCount(), 6);
    EXPECT_EQ(chart().title(TitleLine::SubFooter).text, QStringLiteral("Values are STACKED"));
    QCustomPlot *plot = kavra::plotOf(chart());
    const int period = state().chart.movingAveragePeriod();
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const auto *item = qobject_cast<kavra::ChartGraph *>(plot->plottable(k));
        const auto *average = qobject_cast<kavra::ChartGraph *>(plot->plottable(3 + k));
        ASSERT_TRUE(item && average);
        const std::vector<double> stacked = item->stackedValues(0, 30);
        const std::vector<double> drawn = average->stackedValues(0, 30 - period + 1);
        for (int i = 0; i + period <= 30; ++i) {
            double sum = 0;
            for (int j = i; j < i + period; ++j)
                sum += stacked[size_t(j)];
            EXPECT_NEAR(drawn[size_t(i)], sum / period, 1e-9) << i;
        }
    }
}

// A cancelled Open, or a later file that fails, ends the dual mode: the next
// chart has one value axis, and the Stack / UnStack frame is offered with it.
TEST_F(ChartCommandsTest, TheStackFrameFollowsTheChartAfterAnOpenThatLoadsNothing)
{
    openItems(3, 10);
    for (const bool cancelled : {true, false}) {
        SCOPED_TRACE(cancelled);
        chartFirstRows(2);
        trigger("mnuCycleDualCharts");
        ASSERT_FALSE(stackFrame()->isEnabled());
        if (cancelled)
            window->mnuOpenFile_Click();  // no answer: the dialog is cancelled
        else
            open(dir.file("no such file.csv"));
        ASSERT_EQ(window->data().Files_Open, 1);
        EXPECT_EQ(chart().seriesStyle(0).axis, ValueAxis::Both);  // drawn again on one axis at once
        EXPECT_TRUE(stackFrame()->isEnabled());
        chartFirstRows(2);
        EXPECT_EQ(state().chart.dualLayout(), 0);
        EXPECT_EQ(chart().seriesStyle(0).axis, ValueAxis::Both);
        EXPECT_TRUE(stackFrame()->isEnabled());
        stackButton()->click();
        EXPECT_EQ(state().chart.stackMode(), 2);
        unStackButton()->click();
    }
    // One item charted ends a dual mode as well.
    trigger("mnuCycleDualCharts");
    ASSERT_FALSE(stackFrame()->isEnabled());
    chartRows({0});
    EXPECT_TRUE(stackFrame()->isEnabled());
}

// ---- Smoothing factor ------------------------------------------------------------

TEST_F(ChartCommandsTest, SmoothingFactorIsAskedUntilItLiesFromOneTo10000)
{
    openItems(2, 10);
    trigger("mnuSmoothUnSmooth");
    const int pointsAt50 = pointCount(chart(), 1);

    answer(QStringLiteral("20000"));
    cancel();
    answer(QStringLiteral("abc"));
    answer(QStringLiteral("0"));
    answer(QStringLiteral("1e12"));
    answer(QStringLiteral("2.5"));
    asker.questions.clear();
    trigger("mnuSetSmoothingFactor");
    EXPECT_EQ(state().chart.smoothingFactor(), 2);
    ASSERT_EQ(asker.questions.size(), 6u);
    EXPECT_EQ(asker.questions[0].prompt, QStringLiteral("Please enter Smoothing Factor (1-10000) :"));
    EXPECT_EQ(asker.questions[0].title, QStringLiteral("Set Smoothing Factor"));
    EXPECT_EQ(defaults().mid(0, 5), (QStringList{" 50", " 20000", " 20000", " 20000", " 0"}));
    // The redraw used the new factor.
    EXPECT_NE(pointCount(chart(), 1), pointsAt50);

    for (const auto &[text, factor] : {std::pair{"3.5", 4}, std::pair{"10000", 10000}, std::pair{"1", 1}}) {
        SCOPED_TRACE(text);
        answer(QString::fromLatin1(text));
        trigger("mnuSetSmoothingFactor");
        EXPECT_EQ(state().chart.smoothingFactor(), factor);
    }
}

TEST_F(ChartCommandsTest, CancelOnAValidSmoothingFactorKeepsItAndRedraws)
{
    openItems(2, 10);
    armRedrawProbe();
    trigger("mnuSetSmoothingFactor");  // Cancel
    EXPECT_EQ(asker.questions.size(), 1u);
    EXPECT_EQ(state().chart.smoothingFactor(), 50);
    EXPECT_FALSE(state().chart.shows(kavra::DerivedCurve::Smoothed));
    EXPECT_TRUE(redrawnSinceProbe());
}

// ---- Line widths ----------------------------------------------------------------

TEST_F(ChartCommandsTest, LineWidthsAreAskedUntilTheyLieFromOneToFive)
{
    openItems(2, 10);
    answer(QStringLiteral("7"));
    cancel();
    answer(QStringLiteral("abc"));
    answer(QStringLiteral("1e12"));
    answer(QStringLiteral("40000"));
    answer(QStringLiteral("0"));
    answer(QStringLiteral("2.5"));
    trigger("mnuSetPrimaryChartLineWidth");
    EXPECT_EQ(state().chart.primaryWidth(), 2);
    ASSERT_EQ(asker.questions.size(), 7u);
    EXPECT_EQ(asker.questions[0].prompt, QStringLiteral("Please enter Primary Chart Line Width (1-5) :"));
    EXPECT_EQ(asker.questions[0].title, QStringLiteral("Set Primary Chart Line Width"));
    EXPECT_EQ(defaults().mid(0, 3), (QStringList{" 3", " 7", " 7"}));
    EXPECT_EQ(asker.questions[6].defaultAnswer, QStringLiteral(" 0"));
    EXPECT_EQ(chart().seriesStyle(0).penWidth, 2);

    asker.questions.clear();
    answer(QStringLiteral("3.5"));
    trigger("mnuSetPrimaryChartLineWidth");
    EXPECT_EQ(state().chart.primaryWidth(), 4);
    EXPECT_EQ(asker.questions.size(), 1u);
    EXPECT_EQ(asker.questions[0].defaultAnswer, QStringLiteral(" 2"));

    asker.questions.clear();
    answer(QStringLiteral("9"));
    answer(QStringLiteral("5"));
    trigger("mnuSetSecondaryChartLineWidth");
    EXPECT_EQ(state().chart.secondaryWidth(), 5);
    EXPECT_EQ(state().chart.primaryWidth(), 4);
    ASSERT_EQ(asker.questions.size(), 2u);
    EXPECT_EQ(asker.questions[0].prompt, QStringLiteral("Please enter Secondary Chart Line Width (1-5) :"));
    EXPECT_EQ(asker.questions[0].title, QStringLiteral("Set Secondary Chart Line Width"));
    EXPECT_EQ(defaults(), (QStringList{" 3", " 9"}));
}

TEST_F(ChartCommandsTest, SecondaryWidthReachesTheDerivedCurvesOnly)
{
    openItems(2, 20);
    trigger("mnuToggleMovingAverage");
    ASSERT_EQ(chart().seriesCount(), 2);
    answer(QStringLiteral("5"));
    trigger("mnuSetSecondaryChartLineWidth");
    EXPECT_EQ(chart().seriesStyle(1).penWidth, 5);
    EXPECT_EQ(chart().seriesStyle(0).penWidth, 3);

    answer(QStringLiteral("1"));
    trigger("mnuSetPrimaryChartLineWidth");
    EXPECT_EQ(chart().seriesStyle(0).penWidth, 1);
    EXPECT_EQ(chart().seriesStyle(1).penWidth, 5);
}

// ---- Titles ------------------------------------------------------------------------

TEST_F(ChartCommandsTest, TitleCommandsStoreTheAnswerAndCancelStoresNothing)
{
    openItems(2, 10);
    ASSERT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::Header)), QStringLiteral("Node(s) : NODE1"));
    answer(QStringLiteral("My title"));
    trigger("mnuSetChartTitle");
    ASSERT_EQ(asker.questions.size(), 1u);
    EXPECT_EQ(asker.questions[0].prompt, QStringLiteral("Please enter the Chart Title"));
    EXPECT_EQ(asker.questions[0].title, QStringLiteral("Set Chart Title"));
    EXPECT_EQ(asker.questions[0].defaultAnswer, QStringLiteral("Node(s) : NODE1"));
    EXPECT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::Header)), QStringLiteral("My title"));
    EXPECT_EQ(chart().title(TitleLine::Header).text, QStringLiteral("My title"));
    // The title command switches no title line on.
    EXPECT_FALSE(chart().title(TitleLine::SubHeader).shown);
    EXPECT_FALSE(chart().title(TitleLine::Footer).shown);

    trigger("mnuSetChartTitle");  // Cancel
    EXPECT_EQ(asker.questions.back().defaultAnswer, QStringLiteral("My title"));
    EXPECT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::Header)), QString());
    EXPECT_EQ(chart().title(TitleLine::Header).text, QString());
    EXPECT_TRUE(chart().title(TitleLine::Header).shown);

    asker.questions.clear();
    answer(QStringLiteral("Sub"));
    trigger("mnuSetChartSubTitle");
    answer(QStringLiteral("Foot"));
    trigger("mnuSetChartFooter");
    ASSERT_EQ(asker.questions.size(), 2u);
    EXPECT_EQ(asker.questions[0].prompt, QStringLiteral("Please enter the Chart Sub-Title"));
    EXPECT_EQ(asker.questions[0].title, QStringLiteral("Set Chart Sub-Title"));
    EXPECT_EQ(asker.questions[1].prompt, QStringLiteral("Please enter the Chart Footer Text"));
    EXPECT_EQ(asker.questions[1].title, QStringLiteral("Set Chart Footer"));
    EXPECT_EQ(defaults(), (QStringList{"", ""}));
    EXPECT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::SubHeader)), QStringLiteral("Sub"));
    EXPECT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::Footer)), QStringLiteral("Foot"));
    EXPECT_TRUE(chart().title(TitleLine::SubHeader).shown);
    EXPECT_TRUE(chart().title(TitleLine::Footer).shown);
    EXPECT_EQ(chart().title(TitleLine::SubHeader).text, QStringLiteral("Sub"));
    EXPECT_EQ(chart().title(TitleLine::Footer).text, QStringLiteral("Foot"));

    trigger("mnuSetChartSubTitle");  // Cancel
    trigger("mnuSetChartFooter");    // Cancel
    EXPECT_EQ(asker.questions[2].defaultAnswer, QStringLiteral("Sub"));
    EXPECT_EQ(asker.questions[3].defaultAnswer, QStringLiteral("Foot"));
    EXPECT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::SubHeader)), QString());
    EXPECT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::Footer)), QString());
    EXPECT_EQ(chart().title(TitleLine::SubHeader).text, QString());
    EXPECT_EQ(chart().title(TitleLine::Footer).text, QString());
}

// ---- Stack / UnStack ----------------------------------------------------------

TEST_F(ChartCommandsTest, StackAndUnStackButtonsStackEveryItemAndSayItInTheSubFooter)
{
    openItems(4, 10);
    ASSERT_TRUE(unStackButton()->isChecked());
    chartFirstRows(3);

    stackButton()->click();
    EXPECT_EQ(state().chart.stackMode(), 2);
    EXPECT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::SubFooter)), QStringLiteral("Values are STACKED"));
    EXPECT_TRUE(chart().title(TitleLine::SubFooter).shown);
    EXPECT_EQ(chart().title(TitleLine::SubFooter).text, QStringLiteral("Values are STACKED"));
    ASSERT_EQ(chart().seriesCount(), 3);
    for (int s = 0; s < 3; ++s)
        EXPECT_EQ(chart().seriesStyle(s).stackMode, 2) << s;

    // Stacking stays for the next selection.
    chartFirstRows(2);
    EXPECT_EQ(chart().seriesStyle(1).stackMode, 2);

    unStackButton()->click();
    EXPECT_EQ(state().chart.stackMode(), 1);
    EXPECT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::SubFooter)), QString());
    EXPECT_FALSE(chart().title(TitleLine::SubFooter).shown);
    EXPECT_EQ(chart().title(TitleLine::SubFooter).text, QString());
    for (int s = 0; s < 2; ++s)
        EXPECT_EQ(chart().seriesStyle(s).stackMode, 1) << s;

    commands().OptStack_Click(0);
    EXPECT_EQ(state().chart.stackMode(), 2);
    EXPECT_EQ(chart().seriesStyle(0).stackMode, 2);
    commands().OptStack_Click(1);
    EXPECT_EQ(state().chart.stackMode(), 1);
}

// ---- Dual charts ----------------------------------------------------------------

TEST_F(ChartCommandsTest, CycleDualChartsRunsZeroOneTwoZero)
{
    openItems(3, 10);
    ASSERT_EQ(QString::fromStdString(state().chart.axisFormat(false)), QStringLiteral("#,##0.###"));
    chartFirstRows(2);
    stackButton()->click();
    ASSERT_EQ(state().chart.stackMode(), 2);
    ASSERT_TRUE(enabled("mnuGenerateRatioCharts"));

    // 1: dual Y axes, stacking off and not offered.
    trigger("mnuCycleDualCharts");
    EXPECT_EQ(state().chart.dualLayout(), 1);
    EXPECT_EQ(chart().seriesStyle(0).axis, ValueAxis::Left);
    EXPECT_EQ(chart().seriesStyle(1).axis, ValueAxis::Right);
    EXPECT_FALSE(stackFrame()->isEnabled());
    EXPECT_TRUE(unStackButton()->isChecked());
    EXPECT_FALSE(stackButton()->isChecked());
    EXPECT_EQ(state().chart.stackMode(), 1);
    EXPECT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::SubFooter)), QString());
    EXPECT_FALSE(chart().title(TitleLine::SubFooter).shown);
    EXPECT_EQ(chart().title(TitleLine::SubFooter).text, QString());
    EXPECT_EQ(chart().seriesStyle(0).stackMode, 1);
    EXPECT_EQ(chart().seriesStyle(1).stackMode, 1);
    for (ChartAxis axis : {ChartAxis::Left, ChartAxis::Right, ChartAxis::Bottom})
        EXPECT_EQ(chart().axisLook(axis).grid, GridStyle::None) << int(axis);
    EXPECT_FALSE(enabled("mnuGenerateRatioCharts"));
    EXPECT_TRUE(enabled("mnuCycleDualCharts"));
    stackButton()->click();  // the frame is disabled
    EXPECT_EQ(state().chart.stackMode(), 1);

    // 2: dual charts, axis labels without thousands separators.
    trigger("mnuCycleDualCharts");
    EXPECT_EQ(state().chart.dualLayout(), 2);
    EXPECT_EQ(chart().seriesStyle(0).axis, ValueAxis::Left);
    EXPECT_EQ(chart().seriesStyle(1).axis, ValueAxis::Right);
    EXPECT_EQ(chart().axisLook(ChartAxis::Left).numberFormat, QStringLiteral("###0.###"));
    EXPECT_EQ(chart().axisLook(ChartAxis::Right).numberFormat, QStringLiteral("###0.###"));
    EXPECT_TRUE(axisCopies(chart()));
    EXPECT_EQ(chart().axisLook(ChartAxis::Left).grid, GridStyle::FineDots);
    EXPECT_EQ(chart().axisLook(ChartAxis::Bottom).grid, GridStyle::Dot);
    EXPECT_FALSE(stackFrame()->isEnabled());
    EXPECT_FALSE(enabled("mnuGenerateRatioCharts"));

    // 0: one value axis again.
    trigger("mnuCycleDualCharts");
    EXPECT_EQ(state().chart.dualLayout(), 0);
    EXPECT_TRUE(stackFrame()->isEnabled());
    EXPECT_EQ(chart().seriesStyle(0).axis, ValueAxis::Both);
    EXPECT_EQ(chart().seriesStyle(1).axis, ValueAxis::Both);
    EXPECT_EQ(chart().axisLook(ChartAxis::Left).numberFormat, QStringLiteral("#,##0.###"));
    EXPECT_EQ(chart().axisLook(ChartAxis::Right).numberFormat, QStringLiteral("#,##0.###"));
    EXPECT_FALSE(axisCopies(chart()));
    EXPECT_EQ(chart().axisLook(ChartAxis::Left).grid, GridStyle::FineDots);
    EXPECT_TRUE(enabled("mnuGenerateRatioCharts"));
}

// What the Stack / UnStack frame and the modes look like.
struct StackingView {
    bool frameEnabled, stackChecked, unStackChecked, subFooterShown;
    int stackMode, dualCharts;
    QString subFooter;
    bool operator==(const StackingView &) const = default;
};

static void PrintTo(const StackingView &v, std::ostream *out)
{
    *out << "frame " << (v.frameEnabled ? "enabled" : "disabled") << ", Stack " << v.stackChecked << ", UnStack "
         << v.unStackChecked << ", Stack_Mode " << v.stackMode << ", Dual_Charts " << v.dualCharts << ", sub-footer \""
         << v.subFooter.toStdString() << "\" shown " << v.subFooterShown;
}

TEST_F(ChartCommandsTest, CloseAndOpenAfterADualModeStartAfresh)
{
    const auto stacking = [this] {
        return StackingView{stackFrame()->isEnabled(),     stackButton()->isChecked(),
                            unStackButton()->isChecked(),  chart().title(TitleLine::SubFooter).shown,
                            state().chart.stackMode(),      state().chart.dualLayout(),
                            QString::fromStdString(state().chart.title(kavra::TitleLine::SubFooter))};
    };
    const StackingView atStartUp = stacking();
    openItems(3, 10);
    const StackingView afterFirstOpen = stacking();
    ASSERT_TRUE(afterFirstOpen.frameEnabled);

    for (int dual : {1, 2}) {
        SCOPED_TRACE(dual);
        chartFirstRows(2);
        for (int i = 0; i < dual; ++i)
            trigger("mnuCycleDualCharts");
        ASSERT_EQ(state().chart.dualLayout(), dual);
        ASSERT_FALSE(stackFrame()->isEnabled());
        trigger("mnuCloseFile");
        EXPECT_EQ(stacking(), atStartUp);
        openItems(3, 10);
        EXPECT_EQ(stacking(), afterFirstOpen);
        stackButton()->click();  // offered again
        EXPECT_EQ(state().chart.stackMode(), 2);
        EXPECT_EQ(QString::fromStdString(state().chart.title(kavra::TitleLine::SubFooter)), QStringLiteral("Values are STACKED"));
        unStackButton()->click();
    }

    // Stacked, then closed: the next file starts unstacked.
    chartFirstRows(3);
    stackButton()->click();
    trigger("mnuCloseFile");
    EXPECT_EQ(stacking(), atStartUp);
    openItems(3, 10);
    EXPECT_EQ(stacking(), afterFirstOpen);

    // A second file ends a dual mode, and so offers stacking again.
    chartFirstRows(2);
    trigger("mnuCycleDualCharts");
    openItems(3, 10);
    EXPECT_EQ(stacking(), afterFirstOpen);
}

TEST_F(ChartCommandsTest, DualChartsKeepEachAverageWithItsItemAndOneItemEndsThem)
{
    openItems(3, 20);
    chartFirstRows(2);
    trigger("mnuToggleMovingAverage");
    trigger("mnuCycleDualCharts");
    trigger("mnuCycleDualCharts");
    ASSERT_EQ(state().chart.dualLayout(), 2);
    ASSERT_EQ(chart().seriesCount(), 4);
    EXPECT_EQ(chart().seriesStyle(0).axis, ValueAxis::Left);
    EXPECT_EQ(chart().seriesStyle(2).axis, ValueAxis::Left);
    EXPECT_EQ(chart().seriesStyle(1).axis, ValueAxis::Right);
    EXPECT_EQ(chart().seriesStyle(3).axis, ValueAxis::Right);

    chartRows({0});
    EXPECT_EQ(state().chart.dualLayout(), 0);
    EXPECT_FALSE(axisCopies(chart()));
}

// ---- Chart multiple items ------------------------------------------------------

TEST_F(ChartCommandsTest, SearchSelectsTheFirstSixteenMatchesInListOrder)
{
    // Items 1 to 30; every one whose number is not a multiple of 3 carries MPSYNC.
    std::vector<std::string> names;
    std::vector<int> matches;
    for (int i = 1; i <= 30; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, i % 3 ? "Item %02d MPSYNC" : "Item %02d Disk", i);
        names.push_back(name);
        if (i % 3)
            matches.push_back(i - 1);
    }
    ASSERT_EQ(matches.size(), 20u);
    openNamed(names, 5, [](int i, int r) { return double(i * r); });
    chartRows({2, 29});  // a non-match before the sixteenth match, one after it

    answer(QStringLiteral("mpsync"));
    trigger("mnuChartMultipleItems");
    ASSERT_EQ(asker.questions.size(), 1u);
    EXPECT_EQ(asker.questions[0].prompt, QStringLiteral("Please enter search string"));
    EXPECT_EQ(asker.questions[0].title, QStringLiteral("Chart Multiple Items"));
    EXPECT_EQ(asker.questions[0].defaultAnswer, QStringLiteral("MpSync"));
    EXPECT_EQ(state().list.Search_String, QStringLiteral("mpsync"));

    std::vector<int> expected(matches.begin(), matches.begin() + 16);
    expected.push_back(29);  // beyond the stop: keeps its selection
    EXPECT_EQ(selectedRows(), expected);
    ASSERT_EQ(chart().seriesCount(), 16);
    for (int s = 0; s < 16; ++s)
        EXPECT_EQ(legend(s), QString::fromStdString(names[size_t(matches[size_t(s)])]) + QStringLiteral("(# 1)"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ChartCommandsTest, SearchWithoutMatchesSaysSoAndKeepsTheLastSelectedItem)
{
    openItems(10, 5);
    chartRows({3, 7});
    answer(QStringLiteral("zzz"));
    trigger("mnuChartMultipleItems");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("No relevant items found ... "));
    EXPECT_EQ(selectedRows(), std::vector<int>{7});
    ASSERT_EQ(chart().seriesCount(), 1);
    EXPECT_EQ(legend(0), QStringLiteral("Item 08(# 1)"));
}

TEST_F(ChartCommandsTest, CancelledSearchClearsTheSearchStringAndChangesNothing)
{
    openItems(10, 5);
    chartRows({3});
    armRedrawProbe();
    trigger("mnuChartMultipleItems");  // Cancel
    EXPECT_EQ(state().list.Search_String, QString());
    EXPECT_EQ(selectedRows(), std::vector<int>{3});
    EXPECT_FALSE(redrawnSinceProbe());

    answer(QStringLiteral(""));
    trigger("mnuChartMultipleItems");
    ASSERT_EQ(asker.questions.size(), 2u);
    EXPECT_EQ(asker.questions[1].defaultAnswer, QString());
    EXPECT_EQ(selectedRows(), std::vector<int>{3});
    EXPECT_TRUE(ui.messages.empty());
}

// ---- Ratio charts ----------------------------------------------------------------

namespace {

// A and B with a zero in each, at different rows.
double ratioValue(int item, int row)
{
    if (item == 1)
        return row == 4 ? 0.0 : 3.0 * row;
    return row == 2 ? 0.0 : row + 1.0;
}

}  // namespace

class ChartCommandsRatioTest : public ChartCommandsTest {
protected:
    void SetUp() override
    {
        ChartCommandsTest::SetUp();
        openItems(2, kRows, ratioValue);
        chartRows({0, 1});
        t0 = legend(0);
        t1 = legend(1);
    }

    void expectRatios()
    {
        ASSERT_EQ(chart().seriesCount(), 4);
        EXPECT_EQ(legend(0), QStringLiteral("Ratio : Item 01(# 1) / Item 02(# 1)"));
        EXPECT_EQ(legend(1), QStringLiteral("Ratio : Item 02(# 1) / Item 01(# 1)"));
        EXPECT_EQ(legend(2), t0);
        EXPECT_EQ(legend(3), t1);
        EXPECT_TRUE(chart().seriesStyle(0).shown);
        EXPECT_TRUE(chart().seriesStyle(1).shown);
        EXPECT_FALSE(chart().seriesStyle(2).shown);
        EXPECT_FALSE(chart().seriesStyle(3).shown);
        EXPECT_TRUE(state().chart.ratioMode());
        const std::vector<double> &times = window->data().Xaxis_Values;
        for (int s = 0; s < 4; ++s)
            ASSERT_EQ(pointCount(chart(), s), kRows) << s;
        for (int p = 0; p < kRows; ++p) {
            SCOPED_TRACE(p);
            const double a = ratioValue(1, p + 1), b = ratioValue(2, p + 1);
            EXPECT_NEAR(pointX(chart(), 0, p), times[size_t(p)], 1e-8);
            EXPECT_DOUBLE_EQ(pointY(chart(), 0, p), b == 0 ? 0.0 : a / b);
            EXPECT_DOUBLE_EQ(pointY(chart(), 1, p), a == 0 ? 0.0 : b / a);
            EXPECT_DOUBLE_EQ(pointY(chart(), 2, p), a);
            EXPECT_DOUBLE_EQ(pointY(chart(), 3, p), b);
        }
    }

    static constexpr int kRows = 12;
    QString t0, t1;
};

TEST_F(ChartCommandsRatioTest, TwoItemsBecomeTheirTwoRatiosOnce)
{
    ASSERT_TRUE(enabled("mnuGenerateRatioCharts"));
    state().chart.setSecondaryWidth(5);
    trigger("mnuGenerateRatioCharts");
    expectRatios();
    EXPECT_EQ(pointY(chart(), 0, 1), 0.0);  // B is 0 at row 2
    EXPECT_EQ(pointY(chart(), 1, 3), 0.0);  // A is 0 at row 4
    EXPECT_EQ(chart().seriesStyle(0).colour, palette(2));
    EXPECT_EQ(chart().seriesStyle(1).colour, palette(3));
    EXPECT_EQ(chart().seriesStyle(0).penWidth, 5);
    EXPECT_EQ(chart().seriesStyle(0).axis, ValueAxis::Both);
    EXPECT_EQ(chart().seriesStyle(1).axis, ValueAxis::Both);

    trigger("mnuGenerateRatioCharts");
    expectRatios();

    // The next redraw drops the ratios.
    chartRows({0, 1});
    EXPECT_FALSE(state().chart.ratioMode());
    EXPECT_EQ(chart().seriesCount(), 2);
}

// The items stay in the chart, hidden: the value axes span the ratios the user
// sees, not the items' values (here twelve times as large), which would flatten
// the ratio curves onto the bottom of the plot.
TEST_F(ChartCommandsRatioTest, TheValueAxesSpanTheRatiosShown)
{
    trigger("mnuGenerateRatioCharts");
    ASSERT_TRUE(state().chart.ratioMode());
    double highest = 0;
    for (int s = 0; s < 2; ++s)
        for (int p = 0; p < kRows; ++p)
            highest = std::max(highest, pointY(chart(), s, p));
    for (const ChartAxis side : {ChartAxis::Left, ChartAxis::Right}) {
        EXPECT_LE(chart().axisRange(side).minimum, 0.0);
        EXPECT_GE(chart().axisRange(side).maximum, highest);
        EXPECT_LT(chart().axisRange(side).maximum, 2 * highest);
    }

    // Ticking an item back on in the legend brings its values back into view.
    changeSeries(chart(), 2, [&](auto &style) { style.shown = true; });
    EXPECT_GE(chart().axisRange(ChartAxis::Left).maximum, 3.0 * kRows);
}

// Switching the moving average off redraws from the list as it is now; when it
// no longer selects two items there is nothing to take ratios of.
TEST_F(ChartCommandsRatioTest, RatiosAfterTheAverageIsSwitchedOffNeedTwoItemsStill)
{
    trigger("mnuToggleMovingAverage");
    ASSERT_EQ(chart().seriesCount(), 4);
    window->items().current().rows[1].selected = false;  // a selection the chart has not followed yet
    trigger("mnuGenerateRatioCharts");
    EXPECT_FALSE(state().chart.shows(kavra::DerivedCurve::MovingAverage));
    EXPECT_FALSE(state().chart.ratioMode());
    ASSERT_EQ(chart().seriesCount(), 1);
    EXPECT_EQ(chart().seriesStyle(0).name, t0);
}

TEST_F(ChartCommandsRatioTest, MovingAverageIsSwitchedOffFirstAndThenTogglesInPlace)
{
    trigger("mnuToggleMovingAverage");
    ASSERT_EQ(chart().seriesCount(), 4);
    trigger("mnuGenerateRatioCharts");
    EXPECT_FALSE(state().chart.shows(kavra::DerivedCurve::MovingAverage));
    expectRatios();
    const QString ratioLegend = legend(0);

    trigger("mnuToggleMovingAverage");
    EXPECT_TRUE(state().chart.shows(kavra::DerivedCurve::MovingAverage));
    EXPECT_TRUE(state().chart.ratioMode());
    ASSERT_EQ(chart().seriesCount(), 8);
    for (int s = 0; s < 4; ++s)
        EXPECT_FALSE(chart().seriesStyle(s).shown) << s;
    for (int s = 4; s < 8; ++s) {
        SCOPED_TRACE(s);
        EXPECT_TRUE(chart().seriesStyle(s).shown);
        EXPECT_EQ(chart().seriesStyle(s).colour, palette(s));
        EXPECT_EQ(chart().seriesStyle(s).axis, ValueAxis::Both);
        EXPECT_EQ(legend(s), legend(s - 4) + QStringLiteral("(MovAvgPer= 10)"));
        EXPECT_EQ(pointCount(chart(), s), kRows - 10 + 1);
    }
    // Curve 4 averages the first ratio: its first point is the mean of ratio points 0 to 9.
    double sum = 0;
    for (int p = 0; p < 10; ++p)
        sum += pointY(chart(), 0, p);
    EXPECT_NEAR(pointY(chart(), 4, 0), sum / 10, 1e-12);
    EXPECT_EQ(legend(0), ratioLegend);

    trigger("mnuToggleMovingAverage");
    EXPECT_FALSE(state().chart.shows(kavra::DerivedCurve::MovingAverage));
    expectRatios();
}

// A zoom narrows the displayed rows without a redraw; ratios and their moving
// averages taken then still belong to the rows the items chart.
TEST_F(ChartCommandsRatioTest, RatiosAndTheirAveragesAfterAZoomStayOnTheItemsTimes)
{
    const std::vector<double> &times = window->data().Xaxis_Values;
    chart().showTimeRange(times[3], times[8]);
    ASSERT_GT(state().rows.Zoom_First_Row, 1);
    trigger("mnuGenerateRatioCharts");
    expectRatios();
    trigger("mnuToggleMovingAverage");
    ASSERT_EQ(chart().seriesCount(), 8);
    ASSERT_EQ(pointCount(chart(), 4), kRows - 10 + 1);
    for (int p = 0; p < pointCount(chart(), 4); ++p)
        EXPECT_NEAR(pointX(chart(), 4, p), times[size_t(p + 9)], 1e-8) << p;
}

// The legend's statistics of a series sum up the values it draws within the
// view: a ratio's quotients, its average's means; nothing for a hidden series.
TEST_F(ChartCommandsRatioTest, LegendStatisticsSumUpTheValuesDrawnInView)
{
    const std::vector<double> &times = window->data().Xaxis_Values;
    const auto ratio = [](int row) { return ratioValue(2, row) == 0 ? 0.0 : ratioValue(1, row) / ratioValue(2, row); };
    const auto average = [&](int row) {
        double sum = 0;
        for (int r = row - 9; r <= row; ++r)
            sum += ratio(r);
        return sum / 10;
    };
    const auto expected = [&](int from, int to, const std::function<double(int)> &value) {
        std::vector<double> y;
        for (int row = from; row <= to; ++row)
            y.push_back(value(row));
        return QString::fromStdString(kavra::analysis::statisticsText(
            kavra::analysis::seriesStatistics(times.data() + from - 1, y.data(), y.size())));
    };
    trigger("mnuGenerateRatioCharts");
    chart().showTimeRange(times[3], times[10]);  // rows 4 to 11
    EXPECT_EQ(chart().legendToolTipWanted(0), expected(4, 11, ratio));
    EXPECT_EQ(chart().legendToolTipWanted(2), QString());
    trigger("mnuToggleMovingAverage");
    ASSERT_EQ(chart().seriesCount(), 8);
    EXPECT_EQ(chart().legendToolTipWanted(4), expected(10, 11, average));
}

// ---- Chart editor ----------------------------------------------------------------

TEST_F(ChartCommandsTest, EditChartPropertiesOpensTheEditorWithoutWaitingAndWithoutRedraw)
{
    openItems(2, 10);
    chart().hide();
    armRedrawProbe();
    trigger("mnuEditChartProperties");
    QWidget *editor = chartEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->isWindow());
    EXPECT_EQ(editor->windowModality(), Qt::NonModal);
    if (auto *dialog = qobject_cast<QDialog *>(editor)) {
        EXPECT_FALSE(dialog->isModal());
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(chart().isHidden());
    EXPECT_FALSE(redrawnSinceProbe());
    editor->close();
}

// Which title lines show is chart state: the next redraw keeps what the editor chose.
TEST_F(ChartCommandsTest, TitleLinesShownOrHiddenInTheEditorStaySoAfterARedraw)
{
    openItems(2, 10);
    trigger("mnuEditChartProperties");
    QWidget *editor = chartEditor();
    ASSERT_NE(editor, nullptr);
    for (const TitleLine line : {TitleLine::Header, TitleLine::SubHeader, TitleLine::Footer, TitleLine::SubFooter}) {
        auto *box = editor->findChild<QCheckBox *>(QStringLiteral("chkTitleShown%1").arg(int(line)));
        ASSERT_NE(box, nullptr);
        const bool wanted = !chart().title(line).shown;
        box->setChecked(wanted);
        window->lvwKavra_Click();
        EXPECT_EQ(chart().title(line).shown, wanted) << int(line);
    }
    editor->close();
}

// A title line's text and a value axis' number format typed in the editor are the
// look of the chart drawn: the next redraw (here a moving average toggled) draws
// the application's title texts and the start-up formats again.
TEST_F(ChartCommandsTest, TitleTextsAndNumberFormatsEditedInTheEditorLastUntilTheNextRedraw)
{
    openItems(2, 30);
    trigger("mnuEditChartProperties");
    QWidget *editor = chartEditor();
    ASSERT_NE(editor, nullptr);
    const auto field = [editor](const char *name, int n) {
        return editor->findChild<QLineEdit *>(QStringLiteral("%1%2").arg(QLatin1String(name)).arg(n));
    };
    for (const TitleLine line : {TitleLine::Header, TitleLine::SubHeader, TitleLine::Footer}) {
        const QString before = chart().title(line).text;
        ASSERT_NE(field("txtTitleText", int(line)), nullptr);
        field("txtTitleText", int(line))->setText(QStringLiteral("Edited"));
        EXPECT_EQ(chart().title(line).text, QStringLiteral("Edited")) << int(line);
        trigger("mnuToggleMovingAverage");
        EXPECT_EQ(chart().title(line).text, before) << int(line);
        EXPECT_EQ(chart().title(line).text.toStdString(), window->state().chart.title(line)) << int(line);
    }
    for (const ChartAxis axis : {ChartAxis::Left, ChartAxis::Right}) {
        QLineEdit *format = field("txtAxisFormat", axis == ChartAxis::Left ? 0 : 1);
        ASSERT_NE(format, nullptr);
        format->setText(QStringLiteral("0.00"));
        EXPECT_EQ(chart().axisLook(axis).numberFormat, QStringLiteral("0.00"));
        trigger("mnuToggleMovingAverage");
        EXPECT_EQ(chart().axisLook(axis).numberFormat, QStringLiteral("#,##0.###"));
        EXPECT_EQ(format->text(), QStringLiteral("#,##0.###"));
    }
    editor->close();
}

TEST_F(ChartCommandsTest, TheEditorsColoursAreAskedThroughTheScriptAndCancelChangesNothing)
{
    openItems(2, 10);
    trigger("mnuEditChartProperties");
    QWidget *editor = chartEditor();
    ASSERT_NE(editor, nullptr);
    // Should a colour dialog of its own still open, it is closed unanswered, so
    // the test fails instead of waiting.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(0);
    const auto press = [editor](const char *name) {
        auto *button = editor->findChild<QPushButton *>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    };
    const QColor series = chart().seriesStyle(0).colour, header = chart().title(TitleLine::Header).colour;

    ui.colourAnswers = {QColor(), QColor(12, 34, 56)};  // Cancel, then a colour
    press("cmdSeriesColour");
    EXPECT_EQ(chart().seriesStyle(0).colour, series);
    press("cmdSeriesColour");
    EXPECT_EQ(chart().seriesStyle(0).colour, QColor(12, 34, 56));
    EXPECT_EQ(ui.coloursAsked, (std::vector<QColor>{series, series}));

    press("cmdTitleColour0");  // the script has run out: cancelled
    EXPECT_EQ(chart().title(TitleLine::Header).colour, header);
    ui.colourAnswers = {QColor(200, 0, 100), QColor(250, 250, 240)};
    press("cmdTitleColour0");
    press("cmdPanelColour");
    EXPECT_EQ(chart().title(TitleLine::Header).colour, QColor(200, 0, 100));
    EXPECT_EQ(chart().panelColour(), QColor(250, 250, 240));
    EXPECT_EQ(ui.coloursAsked.size(), 5u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    editor->close();
}
