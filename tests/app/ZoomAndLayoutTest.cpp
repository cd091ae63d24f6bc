// The row range kept in step with the chart's zoom, Undo Zoom/Scroll, the point
// read-out in the status bar, and the proportional window layout.

#include "app/WindowFixture.h"

#include "chart/ChartRedraw.h"
#include "chart/ChartView.h"
#include "data/TimeStrings.h"
#include "itemviews/ItemListView.h"
#include "support/InputEvents.h"
#include "support/PerfFiles.h"
#include "support/ChartAccess.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

using kavra::ChartAxis;

// ---- Narrowing the row range to the view -------------------------------------

TEST(NarrowRows, KeepOneRowAtOrBeforeEachEdgeOfTheView)
{
    const std::vector<double> times = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const auto narrow = [&](double from, double to) {
        int first = -7, last = -7;
        kavra::narrowRowsToView(times, from, to, first, last);
        return std::make_pair(first, last);
    };
    EXPECT_EQ(narrow(3.5, 6.5), std::make_pair(3, 7));
    EXPECT_EQ(narrow(3.0, 7.0), std::make_pair(3, 7)) << "edges on samples";
    EXPECT_EQ(narrow(4.2, 4.8), std::make_pair(4, 5)) << "a view between two samples";
    EXPECT_EQ(narrow(0.0, 11.0), std::make_pair(1, 10));
}

TEST(NarrowRows, AViewBeyondTheDataKeepsTheNearestRow)
{
    const std::vector<double> times = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    int first = 4, last = 6;  // an earlier view's rows
    kavra::narrowRowsToView(times, -5.0, -1.0, first, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 1);

    first = 4;
    last = 6;
    kavra::narrowRowsToView(times, 20.0, 30.0, first, last);
    EXPECT_EQ(first, 10);
    EXPECT_EQ(last, 10);

    const std::vector<double> one = {5};
    first = last = 1;
    kavra::narrowRowsToView(one, 1.0, 2.0, first, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 1);
}

// ---- The main window's zoom handling -----------------------------------------

class ZoomTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        open(dir.write("zoom.csv", perfFile(itemNames(3), kRows, [](int i, int r) { return i * 100.0 + r; })));
        ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
        ASSERT_EQ(window->data().Row_Count, kRows);
        ASSERT_EQ(chart().seriesCount(), 1);
    }

    kavra::ChartView &chart() { return window->chart(); }
    int first() { return window->state().rows.Zoom_First_Row; }
    int last() { return window->state().rows.Zoom_Last_Row; }
    // Sample time of a 1-based row.
    double time(int row) { return window->data().sampleTime(row); }
    // Zooms so that the view's edges lie a quarter of a step after row a and
    // before row b.
    void zoomBetween(int a, int b) { chart().showTimeRange(time(a) + kQuarter, time(b) - kQuarter); }

    static constexpr int kRows = 20;
    static constexpr double kQuarter = 0.25 / 1440;
};

TEST_F(ZoomTest, AZoomOrScrollNarrowsTheRowRangeToTheView)
{
    zoomBetween(6, 11);
    EXPECT_TRUE(chart().zoomed());
    EXPECT_EQ(first(), 6);
    EXPECT_EQ(last(), 11);
    EXPECT_EQ(pointCount(chart(), 0), kRows) << "no redraw follows the narrowing";

    zoomBetween(13, 18);  // the next view is measured against all rows again
    EXPECT_EQ(first(), 13);
    EXPECT_EQ(last(), 18);
}

TEST_F(ZoomTest, DrawingWithoutAZoomLeavesTheRowRange)
{
    window->state().rows.Zoom_First_Row = 3;
    window->state().rows.Zoom_Last_Row = 9;
    chart().draw();
    window->tchKavra_OnAfterDraw();
    EXPECT_EQ(first(), 3);
    EXPECT_EQ(last(), 9);
}

TEST_F(ZoomTest, TheNextRedrawShowsExactlyTheZoomedRows)
{
    zoomBetween(6, 11);
    window->lvwKavra_Click();
    EXPECT_FALSE(chart().zoomed());
    EXPECT_EQ(first(), 6);
    EXPECT_EQ(last(), 11);
    ASSERT_EQ(pointCount(chart(), 0), 6);
    EXPECT_NEAR(pointX(chart(), 0, 0), time(6), 1e-8);
    EXPECT_NEAR(pointX(chart(), 0, 5), time(11), 1e-8);
}

TEST_F(ZoomTest, UndoZoomBringsAllRowsBackWhenBothEndsWereNarrowed)
{
    zoomBetween(6, 11);
    window->lvwKavra_Click();
    ASSERT_EQ(pointCount(chart(), 0), 6);
    zoomBetween(7, 9);
    window->cmdZoomReset_Click();
    EXPECT_FALSE(chart().zoomed());
    EXPECT_EQ(first(), 1);
    EXPECT_EQ(last(), kRows);
    EXPECT_EQ(pointCount(chart(), 0), kRows);
    EXPECT_TRUE(chart().isVisibleTo(window.get()));
}

TEST_F(ZoomTest, UndoZoomBringsAllRowsBackWhenOneEndWasAtTheData)
{
    for (const auto &[a, b] : {std::pair{1, 11}, std::pair{9, kRows}}) {
        SCOPED_TRACE(a);
        zoomBetween(a, b);
        ASSERT_EQ(first(), a);
        ASSERT_EQ(last(), b);
        window->cmdZoomReset_Click();
        EXPECT_FALSE(chart().zoomed());
        EXPECT_EQ(first(), 1);
        EXPECT_EQ(last(), kRows);
        EXPECT_EQ(pointCount(chart(), 0), kRows);
    }
    window->cmdZoomReset_Click();  // a second undo changes nothing
    EXPECT_EQ(first(), 1);
    EXPECT_EQ(last(), kRows);
    EXPECT_EQ(pointCount(chart(), 0), kRows);
}

// The row range lies within the rows, and a redraw charts exactly those rows.
static ::testing::AssertionResult rangeIsCharted(kavra::MainWindow &window)
{
    const int first = window.state().rows.Zoom_First_Row, last = window.state().rows.Zoom_Last_Row;
    const int rows = window.data().Row_Count;
    if (!(1 <= first && first <= last && last <= rows))
        return ::testing::AssertionFailure() << "rows " << first << " to " << last << " of " << rows;
    window.lvwKavra_Click();
    kavra::ChartView &chart = window.chart();
    if (pointCount(chart, 0) != last - first + 1)
        return ::testing::AssertionFailure() << pointCount(chart, 0) << " points for rows " << first << " to " << last;
    if (std::abs(pointX(chart, 0, 0) - window.data().sampleTime(first)) > 1e-8 ||
        std::abs(pointX(chart, 0, last - first) - window.data().sampleTime(last)) > 1e-8)
        return ::testing::AssertionFailure() << "the points are not rows " << first << " to " << last;
    return ::testing::AssertionSuccess();
}

TEST_F(ZoomTest, ZoomingToOneRowKeepsItAndItsNeighbours)
{
    chart().showTimeRange(time(8) - kQuarter, time(8) + kQuarter);
    EXPECT_EQ(first(), 7);
    EXPECT_EQ(last(), 9);
    EXPECT_TRUE(rangeIsCharted(*window));
    for (int row : {1, kRows}) {  // one row at either end of the data
        SCOPED_TRACE(row);
        chart().showTimeRange(time(row) - kQuarter, time(row) + kQuarter);
        EXPECT_TRUE(rangeIsCharted(*window));
        EXPECT_TRUE(first() == row || last() == row);
    }
}

TEST_F(ZoomTest, ScrollingPastEitherEndKeepsTheRowsNearestTheView)
{
    const double minute = 1.0 / 1440;
    zoomBetween(6, 11);  // an earlier view, then scrolled off the data
    chart().showTimeRange(time(kRows) + 5 * minute, time(kRows) + 10 * minute);
    EXPECT_EQ(first(), kRows);
    EXPECT_EQ(last(), kRows);
    EXPECT_TRUE(rangeIsCharted(*window));

    zoomBetween(6, 11);
    chart().showTimeRange(time(1) - 10 * minute, time(1) - 5 * minute);
    EXPECT_EQ(first(), 1);
    EXPECT_EQ(last(), 1);
    EXPECT_TRUE(rangeIsCharted(*window));

    window->cmdZoomReset_Click();
    chart().showTimeRange(time(15) + kQuarter, time(kRows) + 10 * minute);  // partly past the end
    EXPECT_EQ(first(), 15);
    EXPECT_EQ(last(), kRows);
    EXPECT_TRUE(rangeIsCharted(*window));
}

TEST_F(ZoomTest, UndoingTwiceAfterAnyZoomBringsBackEveryRow)
{
    for (const auto &[a, b] : {std::pair{6, 11}, std::pair{1, 4}, std::pair{17, kRows}}) {
        SCOPED_TRACE(a);
        zoomBetween(a, b);
        window->lvwKavra_Click();
        window->cmdZoomReset_Click();
        window->cmdZoomReset_Click();
        EXPECT_FALSE(chart().zoomed());
        EXPECT_EQ(first(), 1);
        EXPECT_EQ(last(), kRows);
        EXPECT_EQ(pointCount(chart(), 0), kRows);
    }
}

TEST_F(ZoomTest, CloseDuringAZoomLeavesNoZoomForTheNextFile)
{
    zoomBetween(6, 11);
    ASSERT_EQ(first(), 6);
    window->mnuCloseFile_Click();
    EXPECT_FALSE(chart().zoomed());
    // The same file again, and a shorter one: all their rows are charted.
    for (int rows : {kRows, 8}) {
        SCOPED_TRACE(rows);
        open(dir.write("again" + std::to_string(rows) + ".csv",
                       perfFile(itemNames(3), rows, [](int i, int r) { return i * 100.0 + r; })));
        ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
        EXPECT_EQ(first(), 1);
        EXPECT_EQ(last(), rows);
        EXPECT_EQ(pointCount(chart(), 0), rows);
        EXPECT_FALSE(chart().zoomed());
        chart().showTimeRange(time(3) + kQuarter, time(5) - kQuarter);
        window->mnuCloseFile_Click();
    }
}

// The point of series 0 for a 1-based row, in pixels of the chart's plot.
static QPoint pointPixel(kavra::ChartView &chart, int row)
{
    QCustomPlot *plot = kavra::plotOf(chart);
    return QPoint(int(plot->xAxis->coordToPixel(kavra::dateValueToKey(pointX(chart, 0, row - 1)))),
                  int(plot->yAxis->coordToPixel(pointY(chart, 0, row - 1))));
}

// A click on a series stops the chart's mouse action: it starts no zoom or scroll.
TEST_F(ZoomTest, APressOnASeriesStartsNoZoomOrScroll)
{
    window->show();
    QCoreApplication::processEvents();
    QCustomPlot *plot = kavra::plotOf(chart());
    const double from = chart().axisRange(ChartAxis::Bottom).minimum, to = chart().axisRange(ChartAxis::Bottom).maximum;
    const QPoint point = pointPixel(chart(), 8);
    ASSERT_TRUE(plot->axisRect()->rect().contains(point));

    input::move(plot, Qt::NoButton, point);
    input::drag(plot, Qt::LeftButton, point, point + QPoint(60, 60));
    EXPECT_FALSE(chart().zoomed());
    input::move(plot, Qt::NoButton, point);
    input::drag(plot, Qt::RightButton, point, point - QPoint(60, 0));
    EXPECT_FALSE(chart().zoomed());
    EXPECT_DOUBLE_EQ(chart().axisRange(ChartAxis::Bottom).minimum, from);
    EXPECT_DOUBLE_EQ(chart().axisRange(ChartAxis::Bottom).maximum, to);
    EXPECT_EQ(first(), 1);
    EXPECT_EQ(last(), kRows);
}

// An item hidden under its moving average gives no read-out and stops no zoom
// where only the item would be.
TEST_F(ZoomTest, AnItemHiddenUnderItsMovingAverageDoesNotAnswerTheMouse)
{
    window->show();
    QCoreApplication::processEvents();
    window->action(QStringLiteral("mnuToggleMovingAverage"))->trigger();
    ASSERT_EQ(chart().seriesCount(), 2);
    ASSERT_FALSE(chart().seriesStyle(0).shown);
    QCustomPlot *plot = kavra::plotOf(chart());
    const QString file = QString::fromStdString(window->data().File_Names[0]);
    // Before the average's first point, and within the values the average spans,
    // which are the ones the value axis shows.
    const QPoint point = pointPixel(chart(), 7);
    ASSERT_TRUE(plot->axisRect()->rect().contains(point));

    input::move(plot, Qt::NoButton, point);
    EXPECT_EQ(window->statusText(), file);
    input::drag(plot, Qt::LeftButton, point, point + QPoint(60, 60));
    EXPECT_TRUE(chart().zoomed());
}

// The navigator's arrows lie on top of the label strip under the chart: a click
// where an arrow is drawn reaches it, pages the zoomed view, and each arrow
// tells what it does.
TEST_F(ZoomTest, ThePageNavigatorsArrowsTakeTheirClicksAndPage)
{
    window->resize(1200, 800);
    window->show();
    QCoreApplication::processEvents();
    zoomBetween(6, 11);
    const double width = chart().axisRange(ChartAxis::Bottom).maximum - chart().axisRange(ChartAxis::Bottom).minimum;
    struct Arrow {
        const char *name, *tip;
        double from;  // where the view starts after the click
    };
    const double start = time(1), end = time(kRows);
    const double middle = time(6) + kQuarter;
    for (const Arrow &arrow : {Arrow{"cpnKavraNext", "Next page", middle + width},
                               Arrow{"cpnKavraPrevious", "Previous page", middle},
                               Arrow{"cpnKavraLast", "Last page", end - width},
                               Arrow{"cpnKavraFirst", "First page", start}}) {
        SCOPED_TRACE(arrow.name);
        auto *button = child<QToolButton>(arrow.name);
        ASSERT_TRUE(button);
        EXPECT_EQ(button->toolTip(), QString::fromLatin1(arrow.tip));
        EXPECT_GE(button->width(), button->minimumSizeHint().width()) << "the arrow is drawn whole";
        // What the pointer finds where the arrow is drawn.
        QWidget *central = window->centralWidget();
        const QPoint centre = button->mapTo(central, button->rect().center());
        QWidget *under = central->childAt(centre);
        ASSERT_EQ(under, button) << (under ? under->objectName().toStdString() : "nothing");
        const QPoint at = under->mapFrom(central, centre);
        input::click(under, at);
        EXPECT_NEAR(chart().axisRange(ChartAxis::Bottom).minimum, arrow.from, 1e-7);
        EXPECT_NEAR(chart().axisRange(ChartAxis::Bottom).maximum - chart().axisRange(ChartAxis::Bottom).minimum, width, 1e-7);
        EXPECT_EQ(input::toolTipAt(under, at), QString::fromLatin1(arrow.tip));
    }
}

// ---- The point read-out --------------------------------------------------------

// A redraw takes the point under the still pointer away: the file name comes back.
TEST_F(ZoomTest, ARedrawUnderTheStillPointerShowsTheFileNameAgain)
{
    window->show();
    QCoreApplication::processEvents();
    input::move(kavra::plotOf(chart()), Qt::NoButton, pointPixel(chart(), 8));
    ASSERT_TRUE(window->statusText().startsWith(QStringLiteral("Item 01(# 1) ... (X-value: ")));
    window->action(QStringLiteral("mnuToggleMovingAverage"))->trigger();
    EXPECT_EQ(window->statusText(), QString::fromStdString(window->data().File_Names[0]));
}

TEST(PointReadout, NamesTheSeriesTheTimeAndTheValue)
{
    const double when = kavra::timestr::dateSerial(2026, 12, 6) + (10 * 3600 + 5 * 60) / 86400.0;
    const QString date = QString::fromStdString(kavra::timestr::generalDateText(when));
    EXPECT_EQ(kavra::pointReadout(QStringLiteral("CPU Busy(# 1)"), when, 1234.5),
              QStringLiteral("CPU Busy(# 1) ... (X-value: ") + date + QStringLiteral("  , Y-value: 1234.500)"));
    EXPECT_TRUE(date.contains(QStringLiteral("10:05:00"))) << date.toStdString();
    EXPECT_TRUE(kavra::pointReadout(QStringLiteral("L"), when, 12345678.25)
                    .endsWith(QStringLiteral("  , Y-value: 12345678.250)")));
    EXPECT_TRUE(kavra::pointReadout(QStringLiteral("L"), when, 0.25).endsWith(QStringLiteral("  , Y-value: 0.250)")));
    EXPECT_TRUE(kavra::pointReadout(QStringLiteral("L"), when, -3).endsWith(QStringLiteral("  , Y-value: -3.000)")));
}

TEST_F(WindowTest, TheStatusBarShowsThePointUnderTheMouseAndThenTheFileAgain)
{
    const std::string path =
        dir.write("readout.csv", perfFile(itemNames(2), 10, [](int, int r) { return r == 6 ? 1234.5 : double(r); }));
    open(path);
    ASSERT_EQ(window->chart().seriesCount(), 1);
    const QString legend = window->chart().seriesStyle(0).name;
    ASSERT_EQ(legend, QStringLiteral("Item 01(# 1)"));

    window->tchKavra_OnMouseEnterSeries(0, 5);
    const QString date = QString::fromStdString(kavra::timestr::generalDateText(window->data().sampleTime(6)));
    EXPECT_EQ(window->statusText(),
              legend + QStringLiteral(" ... (X-value: ") + date + QStringLiteral("  , Y-value: 1234.500)"));
    EXPECT_TRUE(window->statusText().contains(QStringLiteral("10:05:00")));

    window->setStatusText(QStringLiteral("unchanged"));
    window->tchKavra_OnMouseEnterSeries(0, -1);
    EXPECT_EQ(window->statusText(), QStringLiteral("unchanged")) << "no point under the mouse";

    window->tchKavra_OnMouseLeaveSeries();
    EXPECT_EQ(window->statusText(), QString::fromStdString(path));
}

// A derived curve's point under the mouse reads as the chart drew it: a moving
// average's and a smoothed curve's point, a candle's time and close.
TEST_F(WindowTest, TheStatusBarShowsADerivedCurvesPointAsDrawn)
{
    open(dir.write("derived.csv", perfFile(itemNames(2), 45, [](int, int r) { return double((r * 37) % 11); })));
    for (const char *command : {"mnuAddRemoveCandleChart", "mnuToggleMovingAverage", "mnuSmoothUnSmooth"}) {
        window->action(QString::fromLatin1(command))->trigger();
        const kavra::ChartView &chart = window->chart();
        ASSERT_EQ(chart.seriesCount(), 2) << command;
        for (const int p : {0, 1, kavra::pointCount(chart, 1) - 1}) {
            window->tchKavra_OnMouseEnterSeries(1, p);
            EXPECT_EQ(window->statusText(),
                      kavra::pointReadout(chart.seriesStyle(1).name, kavra::pointX(chart, 1, p), kavra::pointY(chart, 1, p)))
                << command << " point " << p;
        }
    }
}

TEST_F(ZoomTest, MovingTheMouseOverTheChartUpdatesTheStatusBar)
{
    window->show();
    QCoreApplication::processEvents();
    QCustomPlot *plot = kavra::plotOf(chart());
    const QPoint point = pointPixel(chart(), 8);
    input::move(plot, Qt::NoButton, point);
    EXPECT_TRUE(window->statusText().startsWith(QStringLiteral("Item 01(# 1) ... (X-value: ")))
        << window->statusText().toStdString();
    EXPECT_TRUE(window->statusText().endsWith(QStringLiteral("  , Y-value: 108.000)")));
    input::move(plot, Qt::NoButton, plot->axisRect()->rect().bottomRight() - QPoint(2, 2));
    EXPECT_EQ(window->statusText(), QString::fromStdString(window->data().File_Names[0]));
}

namespace {

// Sets the program's default locale for as long as it lives.
struct DefaultLocale {
    explicit DefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(saved); }
    QLocale saved;
};

}  // namespace

// The time of the read-out is written in the user's locale (short date, then time).
TEST(PointReadout, WritesTheTimeAsTheProgramWritesDatesWhateverTheLocale)
{
    // Dates are written the one way saved files use, so a read-out can be pasted
    // into any data file and reads back on every machine.
    const DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    const double when = kavra::timestr::dateSerial(2026, 12, 6) + (10 * 3600 + 5 * 60) / 86400.0;
    EXPECT_EQ(kavra::pointReadout(QStringLiteral("L"), when, 1.0),
              QStringLiteral("L ... (X-value: 06-DEC-2026 10:05:00  , Y-value: 1.000)"));
}

// ---- Window layout -------------------------------------------------------------

class LayoutTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        open(dir.write("layout.csv", perfFile(itemNames(3), 10, [](int i, int r) { return double(i * r); })));
        window->show();
        settle();
    }

    void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // The rectangle at these fractions of the reference 17000 x 12000 window, or
    // of base x base of the given size.
    static QRect fraction(QSize of, int left, int top, int width, int height, int baseW = 17000, int baseH = 12000)
    {
        return QRect(of.width() * left / baseW, of.height() * top / baseH, of.width() * width / baseW,
                     of.height() * height / baseH);
    }

    // Compares two rectangles allowing a pixel of rounding on every edge.
    static ::testing::AssertionResult near(const QRect &actual, const QRect &expected)
    {
        const auto close = [](int a, int b) { return std::abs(a - b) <= 1; };
        if (close(actual.x(), expected.x()) && close(actual.y(), expected.y()) &&
            close(actual.width(), expected.width()) && close(actual.height(), expected.height()))
            return ::testing::AssertionSuccess();
        const auto text = [](const QRect &r) {
            return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
                   std::to_string(r.height());
        };
        return ::testing::AssertionFailure() << "is " << text(actual) << ", expected " << text(expected);
    }

    // A captioned control: at its fraction, and grown past it where its text needs the room.
    static ::testing::AssertionResult atOrGrown(const QWidget *control, const QRect &expected)
    {
        QRect r = control->geometry();
        if (r.width() > expected.width() && r.width() <= control->sizeHint().width())
            r.setWidth(expected.width());
        if (r.height() > expected.height() && r.height() <= control->sizeHint().height())
            r.setHeight(expected.height());
        return near(r, expected);
    }

    // The area the controls are laid out in: the whole width, and the height from
    // under the menu bar to the bottom edge.
    QSize area() const
    {
        return QSize(window->centralWidget()->width(), window->height() - window->menuBar()->height());
    }

    void expectLaidOut()
    {
        const QSize a = area();
        SCOPED_TRACE(std::to_string(a.width()) + "x" + std::to_string(a.height()));
        auto *list = child<QWidget>("lvwKavra");
        auto *chart = child<QWidget>("tchKavra");
        // The filter box takes its line off the top of the list's place.
        auto *filter = child<QWidget>("txtKavraFilter");
        EXPECT_TRUE(near(filter->geometry().united(list->geometry()), fraction(a, 0, 0, 3600, 9000)));
        EXPECT_EQ(filter->geometry().bottom() + 1, list->y());
        EXPECT_EQ(filter->width(), list->width());
        EXPECT_EQ(filter->height(), filter->sizeHint().height());
        EXPECT_EQ(chart->x(), list->x() + list->width()) << "the chart starts at the list's right edge";
        EXPECT_EQ(chart->y(), 0);
        EXPECT_EQ(chart->x() + chart->width(), a.width()) << "the chart reaches the right edge";
        EXPECT_LE(std::abs(chart->height() - a.height() * 10500 / 12000), 1);
        EXPECT_TRUE(atOrGrown(child<QWidget>("cpnKavra"), fraction(a, 9000, 10550, 500, 250)));
        EXPECT_TRUE(near(child<QLabel>("lblKavra1")->geometry(), fraction(a, 100, 10550, 12500, 250)));
        EXPECT_TRUE(atOrGrown(child<QPushButton>("cmdCorrelate"), fraction(a, 1800, 9300, 1500, 400)));
        EXPECT_TRUE(atOrGrown(child<QPushButton>("cmdZoomReset"), fraction(a, 1800, 9800, 1500, 600)));
        auto *frame = child<QGroupBox>("fraKavra1");
        // The frame is at least big enough for its option buttons at their fractions.
        const QRect frameAt = fraction(a, 100, 9200, 1320, 1200);
        EXPECT_TRUE(near(QRect(frame->pos(), frameAt.size()), frameAt));
        EXPECT_GE(frame->width(), frameAt.width() - 1);
        EXPECT_GE(frame->height(), frameAt.height() - 1);
        EXPECT_TRUE(
            atOrGrown(child<QRadioButton>("OptStack(0)"), fraction(frame->size(), 120, 240, 975, 375, 1200, 1200)));
        EXPECT_TRUE(
            atOrGrown(child<QRadioButton>("OptStack(1)"), fraction(frame->size(), 120, 720, 975, 375, 1200, 1200)));
        EXPECT_TRUE(near(child<QProgressBar>("pbrKavra921")->geometry(), fraction(a, 2500, 5800, 12000, 400)));
    }
};

TEST_F(LayoutTest, ControlsSitAtFixedFractionsOfTheWindow)
{
    for (QSize size : {QSize(1000, 700), QSize(1280, 960), QSize(1700, 1200)}) {
        size = size.expandedTo(window->minimumSize());  // room for every caption
        window->resize(size);
        settle();
        EXPECT_EQ(window->size(), size);
        expectLaidOut();
    }
}

TEST_F(LayoutTest, TheWindowKeepsItsMinimumSize)
{
    const QSize half = window->screen()->geometry().size() / 2;
    const QSize twips(11200 * window->logicalDpiX() / 1440, 8200 * window->logicalDpiY() / 1440);
    const QSize minimum = window->minimumSize();
    EXPECT_GE(minimum.width(), half.width());
    EXPECT_GE(minimum.height(), half.height());
    EXPECT_GE(minimum.width(), twips.width());
    EXPECT_GE(minimum.height(), twips.height());

    window->resize(200, 150);
    settle();
    EXPECT_GE(window->width(), std::max(half.width(), twips.width()));
    EXPECT_GE(window->height(), std::max(half.height(), twips.height()));
    expectLaidOut();
}

TEST_F(LayoutTest, MaximizingAndRestoringLaysTheControlsOutAgain)
{
    window->resize(1000, 700);
    settle();
    window->showMaximized();
    settle();
    expectLaidOut();
    window->showNormal();
    settle();
    expectLaidOut();
    EXPECT_TRUE(ui.messages.empty());
}
