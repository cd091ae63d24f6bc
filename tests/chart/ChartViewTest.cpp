// The chart adapter on its own: series list, stacking, titles, axis labels,
// zoom and scroll by mouse, and the page navigator.

#include "chart/AxisTickers.h"
#include "chart/ChartGraph.h"
#include "chart/CheckLegendItem.h"
#include "chart/ChartView.h"
#include "chart/NumberFormat.h"
#include "chart/PageNavigator.h"
#include "data/TimeStrings.h"
#include "support/InputEvents.h"
#include "support/ChartAccess.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

using kavra::ChartAxis;
using kavra::ChartView;
using kavra::SeriesKind;
using kavra::TitleLine;
using kavra::AxisLook;
using kavra::LegendLook;
using kavra::LegendPlace;

namespace {

constexpr double kMinute = 1.0 / 1440;

// 10:00 on 6 December 2026 plus this many minutes.
double at(double minutes) { return kavra::timestr::dateSerial(2026, 12, 6) + 10.0 / 24 + minutes * kMinute; }

}  // namespace

class ChartViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(800, 600);
        view.show();
        QCoreApplication::processEvents();
    }

    // A line series of one point a minute from 10:00, values from y(i).
    int addLine(const std::function<double(int)> &y, int points = 100)
    {
        std::vector<double> xs, ys;
        for (int i = 0; i < points; ++i) {
            xs.push_back(at(i));
            ys.push_back(y(i));
        }
        const int s = view.addSeries(SeriesKind::Line);
        view.setSeriesPoints(s, xs.data(), ys.data(), points);
        return s;
    }

    QCustomPlot *plot() const { return kavra::plotOf(view); }
    QRect plotArea() const { return plot()->axisRect()->rect(); }
    double timeAtPixel(int x) const { return kavra::keyToDateValue(plot()->xAxis->pixelToCoord(x)); }
    double bottomMin() const { return view.axisRange(ChartAxis::Bottom).minimum; }
    double bottomMax() const { return view.axisRange(ChartAxis::Bottom).maximum; }
    double bottomWidth() const { return bottomMax() - bottomMin(); }

    ChartView view;
};

// ---- Series list -----------------------------------------------------------

TEST_F(ChartViewTest, SeriesAreAddedCountedAndRemoved)
{
    const int a = addLine([](int) { return 1.0; });
    const int b = addLine([](int) { return 2.0; });
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    changeSeries(view, b, [&](auto &style) { style.colour = Qt::blue; });
    ASSERT_EQ(view.seriesCount(), 2);
    EXPECT_EQ(plot()->legend->itemCount(), 2);
    auto *second = qobject_cast<kavra::CheckLegendItem *>(plot()->legend->item(1));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->series()->pen().color(), QColor(Qt::blue));

    addLine([](int) { return 3.0; });
    view.removeAllSeries();
    EXPECT_EQ(view.seriesCount(), 0);
    EXPECT_EQ(plot()->legend->itemCount(), 0);
    EXPECT_EQ(plot()->plottableCount(), 0);
}

TEST_F(ChartViewTest, AHiddenSeriesKeepsItsLegendEntry)
{
    addLine([](int) { return 1.0; });
    addLine([](int) { return 2.0; });
    changeSeries(view, 0, [&](auto &style) { style.shown = false; });
    EXPECT_FALSE(view.seriesStyle(0).shown);
    EXPECT_TRUE(view.seriesStyle(1).shown);
    EXPECT_EQ(view.seriesCount(), 2);
    EXPECT_EQ(plot()->legend->itemCount(), 2);
    changeSeries(view, 0, [&](auto &style) { style.shown = true; });
    EXPECT_TRUE(view.seriesStyle(0).shown);
}

TEST_F(ChartViewTest, StackedSeriesStandOnTheStackedSeriesBeforeThem)
{
    addLine([](int) { return 5.0; });
    addLine([](int) { return 10.0; });
    for (int s : {0, 1})
        changeSeries(view, s, [&](auto &style) { style.stackMode = kavra::Stacked; });
    view.draw();
    EXPECT_GE(view.axisRange(ChartAxis::Left).maximum, 15.0);
    EXPECT_DOUBLE_EQ(pointY(view, 1, 0), 10.0) << "a stacked point keeps its own value";
    EXPECT_EQ(view.seriesStyle(1).stackMode, kavra::Stacked);

    // Overlapping series are drawn at their own values.
    for (int s : {0, 1})
        changeSeries(view, s, [&](auto &style) { style.stackMode = kavra::StackOverlap; });
    view.draw();
    EXPECT_LT(view.axisRange(ChartAxis::Left).maximum, 15.0);
    EXPECT_GE(view.axisRange(ChartAxis::Left).maximum, 10.0);
}

TEST_F(ChartViewTest, StacksOfSeriesOfDifferentLengthsAddWhatEachPointStandsOn)
{
    const std::vector<std::vector<double>> values = {{1, 2, 3}, {10, 20, 30, 40}, {0.5, -1}, {100, 100, 100, 100, 100}};
    for (const std::vector<double> &v : values) {
        const int s = addLine([&v](int i) { return v[size_t(i)]; }, int(v.size()));
        changeSeries(view, s, [&](auto &style) { style.stackMode = kavra::Stacked; });
    }
    view.draw();
    const auto drawn = [this](int s) {
        const auto *line = qobject_cast<kavra::ChartGraph *>(plot()->plottable(s));
        return line->stackedValues(0, line->dataCount());
    };
    EXPECT_EQ(drawn(0), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(drawn(1), (std::vector<double>{11, 22, 33, 40}));
    // A shorter series in the stack: the series above it stand on those below it.
    EXPECT_EQ(drawn(2), (std::vector<double>{11.5, 21}));
    EXPECT_EQ(drawn(3), (std::vector<double>{111.5, 121, 133, 140, 100}));
    EXPECT_DOUBLE_EQ(pointY(view, 2, 1), -1) << "a stacked point keeps its own value";
    EXPECT_GE(view.axisRange(ChartAxis::Left).maximum, 140.0);

    // Taking a series out of the stack lets those above it down.
    changeSeries(view, 1, [&](auto &style) { style.stackMode = kavra::StackOverlap; });
    view.draw();
    EXPECT_EQ(drawn(2), (std::vector<double>{1.5, 1}));
    EXPECT_EQ(drawn(3), (std::vector<double>{101.5, 101, 103, 100, 100}));
}

// ---- Looks -----------------------------------------------------------------

// A series style, a title look, an axis look and the legend come back as set, each drawn
// once while the chart repaints and not at all while it does not.
TEST_F(ChartViewTest, LooksComeBackAsSetAndAreDrawnOnceOrNotAtAll)
{
    using kavra::ValueAxis;
    const int s = addLine([](int i) { return i; });
    int draws = 0;
    QObject::connect(&view, &ChartView::afterDraw, [&draws] { ++draws; });
    const kavra::SeriesStyle styles[] = {
        {QStringLiteral("Busy"), Qt::red, 3, Qt::DashLine, ValueAxis::Right, kavra::Stacked, 2, false},
        {QStringLiteral("Idle"), Qt::blue, 1, Qt::DotLine, ValueAxis::Left, kavra::StackNone, 0, true}};
    const kavra::TitleLook titles[] = {{QStringLiteral("Head"), true, 25, Qt::darkGreen, true},
                                       {QString(), false, 12, Qt::black, false}};
    const kavra::AxisLook axes[] = {
        {kavra::GridStyle::Dash, Qt::green, Qt::darkRed, QStringLiteral("0.0"), QStringLiteral("Busy"), true, 10, 60,
         true, 5, 50},
        {kavra::GridStyle::None, Qt::black, Qt::black, QStringLiteral("#,##0"), QString(), true, 0, 100, false, 0, 0}};
    // The time axis: its number format is the time labels', and it may count plain numbers.
    const kavra::AxisLook times[] = {
        {kavra::GridStyle::Dot, Qt::blue, Qt::darkBlue, QStringLiteral("hh:mm"), QStringLiteral("Time"), false},
        {kavra::GridStyle::Solid, Qt::black, Qt::black, QStringLiteral("hh:mm:ss (d-mmm-yyyy)"), QString(), true}};
    LegendLook legends[2];
    legends[0] = {false, true, LegendPlace::Custom, QPoint(30, 40)};
    for (const bool repaint : {true, false}) {
        view.setRepaint(repaint);
        for (int i = 0; i < 2; ++i) {
            draws = 0;
            view.setSeriesStyle(s, styles[i]);
            view.setTitle(TitleLine::Footer, titles[i]);
            view.setAxisLook(ChartAxis::Left, axes[i]);
            view.setAxisLook(ChartAxis::Bottom, times[i]);
            view.setLegend(legends[i]);
            EXPECT_EQ(draws, repaint ? 5 : 0) << i;
            EXPECT_TRUE(view.seriesStyle(s) == styles[i]) << i;
            EXPECT_TRUE(view.title(TitleLine::Footer) == titles[i]) << i;
            EXPECT_TRUE(view.axisLook(ChartAxis::Left) == axes[i]) << i;
            EXPECT_TRUE(view.axisLook(ChartAxis::Bottom) == times[i]) << i;
            EXPECT_TRUE(view.legend() == legends[i]) << i;
        }
    }
}

// ---- Titles ----------------------------------------------------------------

namespace {

// The layout row of the title element showing this text, -1 if none.
int titleRow(QCustomPlot *plot, const QString &text)
{
    QCPLayoutGrid *grid = plot->plotLayout();
    for (int r = 0; r < grid->rowCount(); ++r)
        if (auto *title = qobject_cast<QCPTextElement *>(grid->element(r, 0)); title && title->text() == text)
            return r;
    return -1;
}

int axisRectRow(QCustomPlot *plot)
{
    QCPLayoutGrid *grid = plot->plotLayout();
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->element(r, 0) == plot->axisRect())
            return r;
    return -1;
}

}  // namespace

TEST_F(ChartViewTest, TitleLinesTakeALayoutRowOnlyWhenShown)
{
    QCPLayoutGrid *grid = plot()->plotLayout();
    changeTitle(view, TitleLine::Header, [&](auto &look) { look.text = QStringLiteral("Head"); });
    ASSERT_TRUE(view.title(TitleLine::Header).shown);
    const int base = grid->rowCount();

    changeTitle(view, TitleLine::SubHeader, [&](auto &look) { look.shown = false; });
    changeTitle(view, TitleLine::SubHeader, [&](auto &look) { look.text = QStringLiteral("Sub"); });
    EXPECT_EQ(view.title(TitleLine::SubHeader).text, QStringLiteral("Sub"));
    EXPECT_EQ(grid->rowCount(), base) << "a hidden line takes no row";
    changeTitle(view, TitleLine::SubHeader, [&](auto &look) { look.shown = true; });
    EXPECT_TRUE(view.title(TitleLine::SubHeader).shown);
    EXPECT_EQ(grid->rowCount(), base + 1);

    changeTitle(view, TitleLine::Footer, [&](auto &look) { look.text = QStringLiteral("Foot"); });
    changeTitle(view, TitleLine::Footer, [&](auto &look) { look.shown = true; });
    EXPECT_EQ(grid->rowCount(), base + 2);
    EXPECT_LT(titleRow(plot(), QStringLiteral("Head")), titleRow(plot(), QStringLiteral("Sub")));
    EXPECT_LT(titleRow(plot(), QStringLiteral("Sub")), axisRectRow(plot()));
    EXPECT_GT(titleRow(plot(), QStringLiteral("Foot")), axisRectRow(plot()));

    changeTitle(view, TitleLine::SubHeader, [&](auto &look) { look.shown = false; });
    EXPECT_EQ(grid->rowCount(), base + 1);
    changeTitle(view, TitleLine::Header, [&](auto &look) { look.shown = false; });
    EXPECT_FALSE(view.title(TitleLine::Header).shown);
    EXPECT_EQ(view.title(TitleLine::Header).text, QStringLiteral("Head"));
    EXPECT_EQ(grid->rowCount(), base);
    EXPECT_EQ(titleRow(plot(), QStringLiteral("Head")), -1);
}

// A line switched on keeps its height when its text is cleared: the plot stays put.
TEST_F(ChartViewTest, AnEmptyTitleLineThatIsSwitchedOnKeepsItsRoom)
{
    addLine([](int i) { return double(i); });
    for (TitleLine line : {TitleLine::Header, TitleLine::SubHeader, TitleLine::Footer, TitleLine::SubFooter}) {
        changeTitle(view, line, [&](auto &look) { look.text = QStringLiteral("A line of text"); });
        changeTitle(view, line, [&](auto &look) { look.shown = true; });
    }
    changeTitle(view, TitleLine::Header, [&](auto &look) { look.size = 25; });
    view.draw();
    const QRect withText = plotArea();
    for (TitleLine line : {TitleLine::Header, TitleLine::SubHeader, TitleLine::Footer, TitleLine::SubFooter})
        changeTitle(view, line, [&](auto &look) { look.text = QString(); });
    view.draw();
    EXPECT_EQ(plotArea(), withText);

    changeTitle(view, TitleLine::Header, [&](auto &look) { look.shown = false; });
    changeTitle(view, TitleLine::Footer, [&](auto &look) { look.shown = false; });
    view.draw();
    EXPECT_LT(plotArea().top(), withText.top()) << "a hidden line gives its room to the plot";
    EXPECT_GT(plotArea().bottom(), withText.bottom());
}

// ---- Axis labels -----------------------------------------------------------

TEST(NumberFormat, WritesNumbersAsTheChartsFormatsSay)
{
    const QString grouped = QStringLiteral("#,##0.###");
    EXPECT_EQ(kavra::formatNumber(1234567.891, grouped), QStringLiteral("1,234,567.891"));
    EXPECT_EQ(kavra::formatNumber(0.5, grouped), QStringLiteral("0.5"));
    EXPECT_EQ(kavra::formatNumber(-1234.5, grouped), QStringLiteral("-1,234.5"));
    EXPECT_EQ(kavra::formatNumber(999.9996, grouped), QStringLiteral("1,000"));
    EXPECT_EQ(kavra::formatNumber(12, grouped), QStringLiteral("12"));

    const QString fixed = QStringLiteral("##########0.000");
    EXPECT_EQ(kavra::formatNumber(1234.5, fixed), QStringLiteral("1234.500"));
    EXPECT_EQ(kavra::formatNumber(0, fixed), QStringLiteral("0.000"));
    EXPECT_EQ(kavra::formatNumber(0.25, fixed), QStringLiteral("0.250"));
    EXPECT_EQ(kavra::formatNumber(12345678.9, fixed), QStringLiteral("12345678.900"));
}

TEST(DateTimeFormat, TranslatesTheChartsFormatIntoQts)
{
    EXPECT_EQ(kavra::qtDateTimeFormat(QStringLiteral("hh:mm:ss (d-mmm-yyyy)")), QStringLiteral("HH:mm:ss (d-MMM-yyyy)"));
    // mm means minutes right after hours and months elsewhere.
    EXPECT_EQ(kavra::qtDateTimeFormat(QStringLiteral("dd-mm-yyyy hh:mm")), QStringLiteral("dd-MM-yyyy HH:mm"));
}

TEST_F(ChartViewTest, ValueAxisLabelsUseTheAxisNumberFormat)
{
    addLine([](int i) { return 1000.0 + i * 80.0; });
    for (const QString &format : {QStringLiteral("#,##0.###"), QStringLiteral("##########0.000")}) {
        SCOPED_TRACE(format.toStdString());
        changeAxis(view, ChartAxis::Left, [&](auto &look) { look.numberFormat = format; });
        EXPECT_EQ(view.axisLook(ChartAxis::Left).numberFormat, format);
        view.draw();
        const QVector<double> ticks = plot()->yAxis->tickVector();
        const QVector<QString> labels = plot()->yAxis->tickVectorLabels();
        ASSERT_FALSE(ticks.isEmpty());
        ASSERT_EQ(ticks.size(), labels.size());
        for (int i = 0; i < ticks.size(); ++i)
            EXPECT_EQ(labels[i], kavra::formatNumber(ticks[i], format));
    }
    EXPECT_TRUE(plot()->yAxis->tickVectorLabels().front().endsWith(QStringLiteral(".000")));
}

TEST_F(ChartViewTest, TimeAxisLabelsReadAsTimeAndDayInEnglish)
{
    addLine([](int i) { return double(i); });
    changeAxis(view, ChartAxis::Bottom, [](AxisLook &look) { look.numberFormat = QStringLiteral("hh:mm:ss (d-mmm-yyyy)"); });
    view.showTimeRange(at(15), at(16));  // every tick step of a minute's view divides 30 seconds
    const QVector<QString> labels = plot()->xAxis->tickVectorLabels();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_TRUE(labels.contains(QStringLiteral("10:15:30 (6-Dec-2026)"))) << labels.join(" | ").toStdString();
    const QRegularExpression shape(QStringLiteral("^10:1[56]:\\d\\d \\(6-Dec-2026\\)$"));
    for (const QString &label : labels)
        EXPECT_TRUE(shape.match(label).hasMatch()) << label.toStdString();
}

// ---- Zoom and scroll by mouse ------------------------------------------------

TEST_F(ChartViewTest, DraggingDownRightZoomsAndUpLeftUndoes)
{
    addLine([](int i) { return double(i % 7); });
    view.draw();
    const double fullMin = bottomMin(), fullMax = bottomMax();
    const QRect area = plotArea();
    const QPoint from = area.topLeft() + QPoint(area.width() / 4, area.height() / 4);
    const QPoint to = area.topLeft() + QPoint(area.width() * 3 / 4, area.height() * 3 / 4);
    const double expectFrom = timeAtPixel(from.x()), expectTo = timeAtPixel(to.x());
    const double pixel = (fullMax - fullMin) / area.width();

    input::drag(plot(), Qt::LeftButton, from, to);
    EXPECT_TRUE(view.zoomed());
    EXPECT_NEAR(bottomMin(), expectFrom, 2 * pixel);
    EXPECT_NEAR(bottomMax(), expectTo, 2 * pixel);
    EXPECT_LT(bottomWidth(), (fullMax - fullMin) * 0.6);

    input::drag(plot(), Qt::LeftButton, to, from);
    EXPECT_FALSE(view.zoomed());
    EXPECT_DOUBLE_EQ(bottomMin(), fullMin);
    EXPECT_DOUBLE_EQ(bottomMax(), fullMax);
}

TEST_F(ChartViewTest, AClickWithoutADragDoesNotZoom)
{
    addLine([](int i) { return double(i); });
    view.draw();
    const double fullMin = bottomMin(), fullMax = bottomMax();
    input::click(plot(), plotArea().center());
    input::drag(plot(), Qt::LeftButton, plotArea().center(), plotArea().center() + QPoint(2, 2));
    EXPECT_FALSE(view.zoomed());
    EXPECT_DOUBLE_EQ(bottomMin(), fullMin);
    EXPECT_DOUBLE_EQ(bottomMax(), fullMax);
}

TEST_F(ChartViewTest, DraggingWithTheRightButtonScrollsTheTimeAxis)
{
    addLine([](int i) { return double(i); });
    view.draw();
    const double width = bottomWidth(), start = bottomMin();
    const QPoint centre = plotArea().center();
    const double shift = timeAtPixel(centre.x()) - timeAtPixel(centre.x() - 100);

    input::drag(plot(), Qt::RightButton, centre, centre - QPoint(100, 0));
    EXPECT_TRUE(view.zoomed());
    EXPECT_NEAR(bottomWidth(), width, width * 1e-9);
    EXPECT_NEAR(bottomMin(), start + shift, width * 1e-6) << "dragging to the left brings later times into view";
}

// Scrolling by mouse is allowed in both directions.
TEST_F(ChartViewTest, DraggingWithTheRightButtonScrollsTheValueAxesToo)
{
    addLine([](int i) { return double(i); });
    view.draw();
    const double low = view.axisRange(ChartAxis::Left).minimum, high = view.axisRange(ChartAxis::Left).maximum;
    const QPoint centre = plotArea().center();
    input::drag(plot(), Qt::RightButton, centre, centre + QPoint(0, 80));
    EXPECT_NEAR(view.axisRange(ChartAxis::Left).maximum - view.axisRange(ChartAxis::Left).minimum, high - low,
                (high - low) * 1e-9);
    EXPECT_GT(view.axisRange(ChartAxis::Left).minimum, low + (high - low) * 0.05)
        << "dragging down brings higher values into view";
}

TEST_F(ChartViewTest, TheWheelZoomsTheTimeAxisAroundThePointer)
{
    addLine([](int i) { return double(i); });
    view.draw();
    const double width = bottomWidth();
    const QPoint pointer = plotArea().topLeft() + QPoint(plotArea().width() / 3, plotArea().height() / 2);
    const double underPointer = timeAtPixel(pointer.x());

    input::wheel(plot(), pointer, 120);
    EXPECT_TRUE(view.zoomed());
    EXPECT_LT(bottomWidth(), width);
    EXPECT_NEAR(timeAtPixel(pointer.x()), underPointer, width * 1e-3);
}

TEST_F(ChartViewTest, UndoZoomRestoresTheWholeRange)
{
    addLine([](int i) { return double(i * i); });
    view.draw();
    const double fullMin = bottomMin(), fullMax = bottomMax();
    const double valueMin = view.axisRange(ChartAxis::Left).minimum, valueMax = view.axisRange(ChartAxis::Left).maximum;
    const QRect area = plotArea();
    input::drag(plot(), Qt::LeftButton, area.topLeft() + QPoint(50, 50), area.center());
    ASSERT_TRUE(view.zoomed());
    view.undoZoom();
    EXPECT_FALSE(view.zoomed());
    EXPECT_DOUBLE_EQ(bottomMin(), fullMin);
    EXPECT_DOUBLE_EQ(bottomMax(), fullMax);
    EXPECT_DOUBLE_EQ(view.axisRange(ChartAxis::Left).minimum, valueMin);
    EXPECT_DOUBLE_EQ(view.axisRange(ChartAxis::Left).maximum, valueMax);

    view.showTimeRange(at(20), at(30));
    ASSERT_TRUE(view.zoomed());
    view.undoZoom();
    EXPECT_DOUBLE_EQ(bottomMin(), fullMin);
    EXPECT_DOUBLE_EQ(bottomMax(), fullMax);
}

TEST_F(ChartViewTest, DrawingReportsAfterDraw)
{
    addLine([](int i) { return double(i); });
    int reports = 0;
    QObject::connect(&view, &ChartView::afterDraw, [&reports] { ++reports; });
    view.draw();
    EXPECT_GE(reports, 1);
    const int before = reports;
    view.showTimeRange(at(5), at(10));
    EXPECT_GT(reports, before);
}

TEST_F(ChartViewTest, MovingOverAPointReportsItAndMovingAwayReportsTheLeave)
{
    addLine([](int i) { return i % 2 ? 10.0 : 0.0; }, 20);
    view.draw();
    std::vector<std::pair<int, int>> entered;
    int left = 0;
    QObject::connect(&view, &ChartView::mouseEnteredSeries, [&](int s, int p) { entered.emplace_back(s, p); });
    QObject::connect(&view, &ChartView::mouseLeftSeries, [&left] { ++left; });

    const QPoint point(int(plot()->xAxis->coordToPixel(kavra::dateValueToKey(at(7)))),
                       int(plot()->yAxis->coordToPixel(10.0)));
    input::move(plot(), Qt::NoButton, point);
    ASSERT_EQ(entered.size(), 1u);
    EXPECT_EQ(entered[0], std::make_pair(0, 7));

    input::move(plot(), Qt::NoButton, plotArea().topLeft() + QPoint(2, 2));
    EXPECT_EQ(left, 1);
}

// ---- What the mouse finds: only what is drawn, where it is drawn ---------------

namespace {

struct MouseReports {
    explicit MouseReports(ChartView &view)
    {
        QObject::connect(&view, &ChartView::mouseEnteredSeries, [this](int s, int p) { entered.emplace_back(s, p); });
        QObject::connect(&view, &ChartView::seriesClicked, [this](int s) { clicked.push_back(s); });
        QObject::connect(&view, &ChartView::mouseLeftSeries, [this] { ++left; });
    }
    std::vector<std::pair<int, int>> entered;
    std::vector<int> clicked;
    int left = 0;
};

}  // namespace

class ChartMouseTest : public ChartViewTest {
protected:
    QPoint pixel(double minutes, double value) const
    {
        return QPoint(int(plot()->xAxis->coordToPixel(kavra::dateValueToKey(at(minutes)))),
                      int(plot()->yAxis->coordToPixel(value)));
    }
    // Moves off the plot, away from every series, and then onto this point.
    void moveTo(const QPoint &point)
    {
        input::move(plot(), Qt::NoButton, QPoint(1, 1));
        input::move(plot(), Qt::NoButton, point);
    }
    QPoint legendEntryCentre(int s) const { return plot()->legend->item(s)->outerRect().center(); }
};

TEST_F(ChartMouseTest, HiddenSeriesGiveNoReadOutAndStopNoZoom)
{
    addLine([](int) { return 10.0; });
    addLine([](int) { return 30.0; });
    // The value axis spans the series shown: this one keeps 10 and 30 in view.
    addLine([](int i) { return i < 60 ? 50.0 : 0.0; });
    view.draw();
    MouseReports reports(view);
    // As the main window does: a press on a series starts no zoom.
    QObject::connect(&view, &ChartView::seriesClicked, &view, &ChartView::stopMouseAction);
    moveTo(pixel(40, 10));
    ASSERT_EQ(reports.entered.size(), 1u);
    EXPECT_EQ(reports.entered.back(), std::make_pair(0, 40));

    changeSeries(view, 0, [&](auto &style) { style.shown = false; });  // as under a moving average, a smoothed curve or candles
    input::click(plot(), legendEntryCentre(1));  // unticked in the legend
    ASSERT_FALSE(view.seriesStyle(1).shown);
    view.draw();
    reports.entered.clear();
    moveTo(pixel(40, 10));
    moveTo(pixel(40, 30));
    EXPECT_TRUE(reports.entered.empty());

    input::drag(plot(), Qt::LeftButton, pixel(40, 10), pixel(40, 10) + QPoint(60, 60));
    EXPECT_TRUE(reports.clicked.empty());
    EXPECT_TRUE(view.zoomed()) << "a press where only a hidden series lies starts a zoom";

    view.undoZoom();
    moveTo(pixel(40, 50));
    ASSERT_EQ(reports.entered.size(), 1u);
    EXPECT_EQ(reports.entered.back(), std::make_pair(2, 40)) << "the series still shown answers";
}

TEST_F(ChartMouseTest, StackedSeriesAnswerAtTheirStackedValues)
{
    addLine([](int) { return 5.0; });
    addLine([](int i) { return i < 50 ? 10.0 : 20.0; });
    for (int s : {0, 1})
        changeSeries(view, s, [&](auto &style) { style.stackMode = kavra::Stacked; });
    view.draw();
    MouseReports reports(view);
    ASSERT_GT(std::abs(pixel(30, 10).y() - pixel(30, 15).y()), 3 * plot()->selectionTolerance());

    moveTo(pixel(30, 10));  // series 1's own value, where nothing is drawn
    EXPECT_TRUE(reports.entered.empty());
    moveTo(pixel(30, 15));
    ASSERT_EQ(reports.entered.size(), 1u);
    EXPECT_EQ(reports.entered.back(), std::make_pair(1, 30));
    moveTo(pixel(70, 25));
    EXPECT_EQ(reports.entered.back(), std::make_pair(1, 70));
    moveTo(pixel(70, 5));
    EXPECT_EQ(reports.entered.back(), std::make_pair(0, 70));

    input::click(plot(), pixel(30, 15));
    EXPECT_EQ(reports.clicked, std::vector<int>{1});
    input::click(plot(), pixel(30, 10));
    EXPECT_EQ(reports.clicked, std::vector<int>{1}) << "a press where nothing is drawn is no click on a series";
}

// The program shows the point under the pointer until it is told the pointer
// left: also when the series goes away under a pointer that stays still.
TEST_F(ChartMouseTest, TakingAwayTheSeriesUnderThePointerReportsTheLeave)
{
    addLine([](int) { return 10.0; });
    addLine([](int) { return 30.0; });
    // The value axis spans the series shown: this one keeps 10 and 30 in view.
    addLine([](int i) { return i < 60 ? 50.0 : 0.0; });
    view.draw();
    MouseReports reports(view);
    moveTo(pixel(40, 30));
    ASSERT_EQ(reports.entered.back(), std::make_pair(1, 40));
    const int leftBefore = reports.left;

    view.removeAllSeries();
    EXPECT_EQ(reports.left, leftBefore + 1);

    addLine([](int) { return 30.0; });
    view.draw();
    moveTo(pixel(40, 30));
    view.removeAllSeries();
    EXPECT_EQ(reports.left, leftBefore + 2);
    view.removeAllSeries();
    EXPECT_EQ(reports.left, leftBefore + 2) << "left once only";
}

// A press starts a zoom unless it lies on a line as drawn: within 3 pixels of
// it, up or down, at the press's own x. A dense line covers the whole extent of
// its points in that column.
TEST_F(ChartMouseTest, APressStartsAZoomUnlessItIsOnTheLineItself)
{
    addLine([](int) { return 50.0; });
    addLine([](int i) { return i < 50 ? 0.0 : 100.0; }, 100);  // keeps the axis from 0 to 100
    changeSeries(view, 1, [&](auto &style) { style.shown = false; });
    view.draw();
    MouseReports reports(view);
    QObject::connect(&view, &ChartView::seriesClicked, &view, &ChartView::stopMouseAction);
    const QPoint onLine = pixel(30.5, 50);  // between two points
    struct Case {
        int offset;
        bool onTheLine;
    };
    for (const Case c : {Case{0, true}, Case{-2, true}, Case{3, true}, Case{-3, true}, Case{5, false},
                         Case{-6, false}, Case{8, false}}) {
        SCOPED_TRACE(c.offset);
        view.undoZoom();
        reports.clicked.clear();
        const QPoint press = onLine + QPoint(0, c.offset);
        input::drag(plot(), Qt::LeftButton, press, press + QPoint(60, 60));
        EXPECT_EQ(!reports.clicked.empty(), c.onTheLine);
        EXPECT_EQ(view.zoomed(), !c.onTheLine);
    }

    // A line of many points a pixel: its extent in the column is the line.
    view.undoZoom();
    view.removeAllSeries();
    addLine([](int i) { return i % 2 ? 80.0 : 20.0; }, 5000);
    view.draw();
    reports.clicked.clear();
    const int x = plotArea().center().x();
    for (double value : {30.0, 50.0, 70.0}) {
        const QPoint press(x, int(plot()->yAxis->coordToPixel(value)));
        input::drag(plot(), Qt::LeftButton, press, press + QPoint(60, 60));
        EXPECT_FALSE(view.zoomed()) << value;
    }
    EXPECT_EQ(reports.clicked.size(), 3u);
}

// ---- Legend ------------------------------------------------------------------

namespace {

// Two of these fit side by side in the test's chart, four do not.
const QString kLongName = QStringLiteral("Process Working Set Private Bytes %1(# %2)");

}  // namespace

class ChartLegendTest : public ChartViewTest {
protected:
    // Series whose legend texts are long item names, of several files.
    void addNamedSeries(int count, const QString &pattern = kLongName)
    {
        for (int s = 0; s < count; ++s) {
            addLine([s](int i) { return double(s + i); });
            texts.push_back(pattern.arg(s % 4 + 1).arg(s / 4 + 1));
        }
        view.legendTextWanted = [this](int s) { return texts[size_t(s)]; };
        view.draw();
    }
    kavra::CheckLegendItem *entry(int s) const
    {
        return qobject_cast<kavra::CheckLegendItem *>(plot()->legend->item(s));
    }
    QString toolTipAt(const QPoint &at) { return input::toolTipAt(plot(), at); }

    std::vector<QString> texts;
};

TEST_F(ChartLegendTest, EveryEntryShowsItsWholeTextSideBySideWithoutOverlap)
{
    addNamedSeries(8);
    const QRect chartArea = plot()->rect();
    for (int s = 0; s < 8; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(entry(s)->shownText(), texts[size_t(s)]);
        EXPECT_TRUE(chartArea.contains(entry(s)->outerRect()));
        for (int t = 0; t < s; ++t)
            EXPECT_FALSE(entry(s)->outerRect().intersects(entry(t)->outerRect()));
    }
    EXPECT_GT(entry(1)->outerRect().left(), entry(0)->outerRect().right()) << "still side by side where they fit";

    // Short texts: four entries a row, as before.
    texts.assign(8, QStringLiteral("CPU(# 1)"));
    view.draw();
    EXPECT_EQ(entry(3)->outerRect().top(), entry(0)->outerRect().top());
    EXPECT_GT(entry(4)->outerRect().top(), entry(0)->outerRect().top());
}

// Sixteen long entries one a row would squeeze the plot to nothing.
TEST_F(ChartLegendTest, ManyLongEntriesLeaveThePlotItsRoomAndKeepTheirFileNumbers)
{
    addNamedSeries(16, QStringLiteral("Process Working Set Private Bytes of the Collector Process %1(# %2)"));
    EXPECT_GT(plotArea().height(), plot()->height() / 2);
    for (int s = 0; s < 16; ++s) {
        SCOPED_TRACE(s);
        const QString shown = entry(s)->shownText();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("Process Working"))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(QStringLiteral("(# %1)").arg(s / 4 + 1))) << shown.toStdString();
        EXPECT_TRUE(plot()->rect().contains(entry(s)->outerRect()));
        for (int t = 0; t < s; ++t)
            EXPECT_FALSE(entry(s)->outerRect().intersects(entry(t)->outerRect()));
        EXPECT_EQ(toolTipAt(entry(s)->outerRect().center()), texts[size_t(s)]);
    }
}

TEST_F(ChartLegendTest, ATextTooLongForARowKeepsItsFileNumberAndTheTooltipGivesItWhole)
{
    addNamedSeries(2, QStringLiteral("Process Working Set Private Bytes %1 ") + QString(300, QLatin1Char('x')) +
                          QStringLiteral("(# %2)"));
    for (int s = 0; s < 2; ++s) {
        const QString shown = entry(s)->shownText();
        EXPECT_LT(shown.size(), texts[size_t(s)].size());
        EXPECT_TRUE(shown.startsWith(QStringLiteral("Process Working Set"))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(QStringLiteral("(# 1)"))) << shown.toStdString();
        EXPECT_TRUE(plot()->rect().contains(entry(s)->outerRect()));
        EXPECT_EQ(toolTipAt(entry(s)->outerRect().center()), texts[size_t(s)]);
    }

    // The program's own lines follow the text.
    view.legendToolTipWanted = [](int s) { return s == 1 ? QStringLiteral("More\nand more") : QString(); };
    EXPECT_EQ(toolTipAt(entry(1)->outerRect().center()), texts[1] + QStringLiteral("\nMore\nand more"));
    EXPECT_EQ(toolTipAt(entry(0)->outerRect().center()), texts[0]);
    EXPECT_EQ(toolTipAt(plotArea().center()), QString()) << "no tooltip away from the legend";
}

TEST_F(ChartLegendTest, ALegendAtTheRightKeepsEveryFileNumberInView)
{
    addNamedSeries(4);
    changeLegend(view, [](LegendLook &look) { look.place = LegendPlace::Right; });
    view.draw();
    for (int s = 0; s < 4; ++s) {
        EXPECT_TRUE(entry(s)->shownText().endsWith(QStringLiteral("(# 1)")));
        EXPECT_LT(entry(s)->outerRect().width(), plot()->width() / 2);
        EXPECT_EQ(entry(s)->outerRect().left(), entry(0)->outerRect().left()) << "one entry a row";
    }
}

// A legend placed at a point of the chart stays there, over the plot, whatever
// the chart's size, and shows its entries whole.
TEST_F(ChartLegendTest, ALegendAtAPointOfTheChartStaysThere)
{
    addNamedSeries(2);
    changeLegend(view, [](LegendLook &look) {
        look.place = LegendPlace::Custom;
        look.position = QPoint(100, 100);
    });
    view.draw();
    const auto legendRect = [this] { return plot()->legend->outerRect(); };  // as its frame is drawn
    EXPECT_EQ(legendRect().topLeft(), QPoint(100, 100));
    EXPECT_TRUE(plotArea().contains(legendRect()));
    EXPECT_EQ(entry(0)->shownText(), texts[0]);
    EXPECT_GT(entry(1)->outerRect().top(), entry(0)->outerRect().top()) << "one entry a row";

    view.resize(500, 400);
    QCoreApplication::processEvents();
    view.draw();
    EXPECT_EQ(legendRect().topLeft(), QPoint(100, 100));
    EXPECT_TRUE(plotArea().contains(legendRect().topLeft()));

    // The legend's frame is drawn there in a picture of another size too.
    const QImage image = view.picture(700, 500);
    const QColor corner = image.pixelColor(100, 100);
    EXPECT_EQ(corner, QColor(Qt::gray)) << corner.name().toStdString();
}

// A series ticked back on in the legend is brought into view: its peaks are not
// cut off at the scale the series left shown had.
TEST_F(ChartLegendTest, TickingAHiddenSeriesBackOnBringsItIntoView)
{
    for (const bool zoomed : {false, true}) {
        SCOPED_TRACE(zoomed);
        view.removeAllSeries();
        view.undoZoom();
        addLine([](int i) { return i == 40 ? 1000.0 : 10.0 + i % 3; });  // an item with a peak
        addLine([](int) { return 11.0; });                                // its average
        changeLegend(view, [](LegendLook &look) { look.place = LegendPlace::Bottom; });
        changeSeries(view, 0, [&](auto &style) { style.shown = false; });
        view.draw();
        if (zoomed)
            view.showTimeRange(at(30), at(60));
        ASSERT_LT(view.axisRange(ChartAxis::Left).maximum, 100);
        input::click(plot(), plot()->legend->item(0)->outerRect().center());
        ASSERT_TRUE(view.seriesStyle(0).shown);
        EXPECT_GE(view.axisRange(ChartAxis::Left).maximum, 1000);
        EXPECT_GE(view.axisRange(ChartAxis::Right).maximum, 1000);
        EXPECT_EQ(view.zoomed(), zoomed);
        if (zoomed) {
            EXPECT_NEAR(bottomMin(), at(30), 1e-6);
            EXPECT_NEAR(bottomMax(), at(60), 1e-6);
        }
    }
}

// Where the legend stands over the plot (at the right, or at a point, as the
// scatter diagram has it) a click on an entry ticks it, and no zoom begins there.
TEST_F(ChartLegendTest, EntriesOverThePlotTickTheirSeriesInsteadOfZooming)
{
    addNamedSeries(2);
    for (const bool atAPoint : {false, true}) {
        SCOPED_TRACE(atAPoint);
        if (atAPoint)
            changeLegend(view, [](LegendLook &look) {
                look.place = LegendPlace::Custom;
                look.position = QPoint(120, 80);
            });
        else
            changeLegend(view, [](LegendLook &look) { look.place = LegendPlace::Right; });
        view.draw();
        const QPoint centre = entry(1)->outerRect().center();
        ASSERT_TRUE(plotArea().contains(centre));
        const bool before = view.seriesStyle(1).shown;
        input::click(plot(), centre);
        EXPECT_EQ(view.seriesStyle(1).shown, !before);
        input::drag(plot(), Qt::LeftButton, centre, centre + QPoint(60, 60));
        EXPECT_FALSE(view.zoomed()) << "a drag from the legend draws no zoom rectangle";
        EXPECT_EQ(view.seriesStyle(1).shown, !before) << "nor is it a second click";
    }
}

// ---- Time-axis labels ---------------------------------------------------------

namespace {

// The time axis' labels as laid out last: where each is centred and how wide it is.
struct TimeLabel {
    double centre;
    int width;
    QString text;
};

std::vector<TimeLabel> timeLabels(QCustomPlot *plot)
{
    std::vector<TimeLabel> labels;
    const QFontMetrics metrics(plot->xAxis->tickLabelFont());
    const QVector<double> ticks = plot->xAxis->tickVector();
    const QVector<QString> texts = plot->xAxis->tickVectorLabels();
    for (int i = 0; i < ticks.size(); ++i)
        if (plot->xAxis->range().contains(ticks[i]))
            labels.push_back({plot->xAxis->coordToPixel(ticks[i]), metrics.horizontalAdvance(texts[i]), texts[i]});
    return labels;
}

::testing::AssertionResult labelsApart(const std::vector<TimeLabel> &labels)
{
    for (size_t i = 1; i < labels.size(); ++i) {
        const double room = labels[i].centre - labels[i - 1].centre;
        if (room < (labels[i].width + labels[i - 1].width) / 2.0 + 4)
            return ::testing::AssertionFailure() << labels[i - 1].text.toStdString() << " and "
                                                 << labels[i].text.toStdString() << " lie " << room << " px apart";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

// The date-time labels never run into each other, at any width of the chart, at
// any zoom, on screen and in pictures of other sizes.
TEST_F(ChartViewTest, TimeLabelsNeverRunIntoEachOther)
{
    addLine([](int i) { return double(i % 17); }, 1440);  // a day of minutes
    for (const int width : {400, 800, 850, 900, 1600}) {
        for (const int rows : {30, 45, 60, 90, 1440}) {
            SCOPED_TRACE(std::to_string(width) + " px, " + std::to_string(rows) + " rows");
            view.resize(width, 500);
            QCoreApplication::processEvents();
            if (rows < 1440)
                view.showTimeRange(at(600), at(600 + rows - 1));
            else
                view.undoZoom();
            view.draw();
            EXPECT_TRUE(labelsApart(timeLabels(plot()))) << "on screen";
            EXPECT_GE(timeLabels(plot()).size(), width >= 800 ? 3u : 2u) << "and enough of them to read the times";
            view.picture(width * 3 / 4, 400);
            EXPECT_TRUE(labelsApart(timeLabels(plot()))) << "in a picture of three quarters the width";
            QImage page(width + 300, 600, QImage::Format_ARGB32);
            view.paintOnto(page, width + 300, 600);
            EXPECT_TRUE(labelsApart(timeLabels(plot()))) << "painted wider";
        }
    }
}

// ---- Page navigator --------------------------------------------------------

TEST_F(ChartViewTest, PageNavigatorPagesByTheViewWidth)
{
    kavra::PageNavigator navigator(view);
    const auto button = [&](const char *name) { return navigator.findChild<QToolButton *>(QString::fromLatin1(name)); };
    QToolButton *first = button("cpnKavraFirst"), *previous = button("cpnKavraPrevious"),
                *next = button("cpnKavraNext"), *last = button("cpnKavraLast");
    ASSERT_TRUE(first && previous && next && last);
    const auto states = [&] {
        return std::vector<bool>{first->isEnabled(), previous->isEnabled(), next->isEnabled(), last->isEnabled()};
    };

    addLine([](int i) { return double(i); });  // 10:00 to 11:39
    view.draw();
    EXPECT_EQ(states(), std::vector<bool>(4, false)) << "nothing to page while the whole range is shown";

    const double tolerance = 1e-3 * kMinute;
    view.showTimeRange(at(10), at(30));
    EXPECT_EQ(states(), std::vector<bool>(4, true));
    next->click();
    EXPECT_NEAR(bottomMin(), at(30), tolerance);
    EXPECT_NEAR(bottomMax(), at(50), tolerance);
    last->click();
    EXPECT_NEAR(bottomMax(), at(99), tolerance);
    EXPECT_NEAR(bottomMin(), at(79), tolerance);
    EXPECT_EQ(states(), (std::vector<bool>{true, true, false, false}));
    previous->click();
    EXPECT_NEAR(bottomMin(), at(59), tolerance);
    EXPECT_NEAR(bottomMax(), at(79), tolerance);
    first->click();
    EXPECT_NEAR(bottomMin(), at(0), tolerance);
    EXPECT_NEAR(bottomMax(), at(20), tolerance);
    EXPECT_EQ(states(), (std::vector<bool>{false, false, true, true}));

    view.undoZoom();
    EXPECT_EQ(states(), std::vector<bool>(4, false));
}
