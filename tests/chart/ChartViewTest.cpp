// The chart adapter on its own: series list, stacking, titles, axis labels,
// zoom and scroll by mouse, and the page navigator.

#include "chart/AxisTickers.h"
#include "chart/ChartGraph.h"
#include "chart/ChartView.h"
#include "chart/NumberFormat.h"
#include "chart/PageNavigator.h"
#include "data/TimeStrings.h"
#include "support/InputEvents.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QToolButton>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <functional>

using kavra::ChartAxis;
using kavra::ChartView;
using kavra::SeriesKind;
using kavra::TitleLine;

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

    QCustomPlot *plot() const { return view.plot(); }
    QRect plotArea() const { return plot()->axisRect()->rect(); }
    double timeAtPixel(int x) const { return kavra::keyToDateValue(plot()->xAxis->pixelToCoord(x)); }
    double bottomMin() const { return view.axisMinimum(ChartAxis::Bottom); }
    double bottomMax() const { return view.axisMaximum(ChartAxis::Bottom); }
    double bottomWidth() const { return bottomMax() - bottomMin(); }

    ChartView view;
};

// ---- Series list -----------------------------------------------------------

TEST_F(ChartViewTest, SeriesAreAddedCountedExchangedAndRemoved)
{
    const int a = addLine([](int) { return 1.0; });
    const int b = addLine([](int) { return 2.0; });
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    view.setSeriesColour(a, Qt::red);
    view.setSeriesColour(b, Qt::blue);
    ASSERT_EQ(view.seriesCount(), 2);
    EXPECT_EQ(plot()->legend->itemCount(), 2);

    view.exchangeSeries(0, 1);
    EXPECT_DOUBLE_EQ(view.pointY(0, 0), 2.0);
    EXPECT_DOUBLE_EQ(view.pointY(1, 0), 1.0);
    EXPECT_EQ(view.seriesColour(0), QColor(Qt::blue));
    // The legend follows the new order.
    auto *first = qobject_cast<kavra::CheckLegendItem *>(plot()->legend->item(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->series()->pen().color(), QColor(Qt::blue));

    view.removeSeries(0);
    ASSERT_EQ(view.seriesCount(), 1);
    EXPECT_DOUBLE_EQ(view.pointY(0, 0), 1.0);
    EXPECT_EQ(plot()->legend->itemCount(), 1);
    EXPECT_EQ(plot()->plottableCount(), 1);

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
    view.setSeriesShown(0, false);
    EXPECT_FALSE(view.seriesShown(0));
    EXPECT_TRUE(view.seriesShown(1));
    EXPECT_EQ(view.seriesCount(), 2);
    EXPECT_EQ(plot()->legend->itemCount(), 2);
    view.setSeriesShown(0, true);
    EXPECT_TRUE(view.seriesShown(0));
}

TEST_F(ChartViewTest, StackedSeriesStandOnTheStackedSeriesBeforeThem)
{
    addLine([](int) { return 5.0; });
    addLine([](int) { return 10.0; });
    for (int s : {0, 1})
        view.setSeriesStackMode(s, kavra::Stacked);
    view.draw();
    EXPECT_GE(view.axisMaximum(ChartAxis::Left), 15.0);
    EXPECT_DOUBLE_EQ(view.pointY(1, 0), 10.0) << "a stacked point keeps its own value";
    EXPECT_EQ(view.seriesStackMode(1), kavra::Stacked);

    // Overlapping series are drawn at their own values.
    for (int s : {0, 1})
        view.setSeriesStackMode(s, kavra::StackOverlap);
    view.draw();
    EXPECT_LT(view.axisMaximum(ChartAxis::Left), 15.0);
    EXPECT_GE(view.axisMaximum(ChartAxis::Left), 10.0);
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

TEST_F(ChartViewTest, TitleLinesTakeALayoutRowOnlyWhenShownAndNotEmpty)
{
    QCPLayoutGrid *grid = plot()->plotLayout();
    view.setTitleText(TitleLine::Header, QStringLiteral("Head"));
    ASSERT_TRUE(view.titleShown(TitleLine::Header));
    const int base = grid->rowCount();

    view.setTitleShown(TitleLine::SubHeader, false);
    view.setTitleText(TitleLine::SubHeader, QStringLiteral("Sub"));
    EXPECT_EQ(view.titleText(TitleLine::SubHeader), QStringLiteral("Sub"));
    EXPECT_EQ(grid->rowCount(), base) << "a hidden line takes no row";
    view.setTitleShown(TitleLine::SubHeader, true);
    EXPECT_TRUE(view.titleShown(TitleLine::SubHeader));
    EXPECT_EQ(grid->rowCount(), base + 1);

    view.setTitleText(TitleLine::Footer, QStringLiteral("Foot"));
    view.setTitleShown(TitleLine::Footer, true);
    EXPECT_EQ(grid->rowCount(), base + 2);
    EXPECT_LT(titleRow(plot(), QStringLiteral("Head")), titleRow(plot(), QStringLiteral("Sub")));
    EXPECT_LT(titleRow(plot(), QStringLiteral("Sub")), axisRectRow(plot()));
    EXPECT_GT(titleRow(plot(), QStringLiteral("Foot")), axisRectRow(plot()));

    view.setTitleText(TitleLine::SubHeader, QString());
    EXPECT_EQ(grid->rowCount(), base + 1) << "an empty line takes no row";
    view.setTitleShown(TitleLine::Header, false);
    EXPECT_FALSE(view.titleShown(TitleLine::Header));
    EXPECT_EQ(view.titleText(TitleLine::Header), QStringLiteral("Head"));
    EXPECT_EQ(grid->rowCount(), base);
    EXPECT_EQ(titleRow(plot(), QStringLiteral("Head")), -1);
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
        view.setAxisNumberFormat(ChartAxis::Left, format);
        EXPECT_EQ(view.axisNumberFormat(ChartAxis::Left), format);
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
    view.setAxisDateTimeFormat(QStringLiteral("hh:mm:ss (d-mmm-yyyy)"));
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
    const double low = view.axisMinimum(ChartAxis::Left), high = view.axisMaximum(ChartAxis::Left);
    const QPoint centre = plotArea().center();
    input::drag(plot(), Qt::RightButton, centre, centre + QPoint(0, 80));
    EXPECT_NEAR(view.axisMaximum(ChartAxis::Left) - view.axisMinimum(ChartAxis::Left), high - low,
                (high - low) * 1e-9);
    EXPECT_GT(view.axisMinimum(ChartAxis::Left), low + (high - low) * 0.05)
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
    const double valueMin = view.axisMinimum(ChartAxis::Left), valueMax = view.axisMaximum(ChartAxis::Left);
    const QRect area = plotArea();
    input::drag(plot(), Qt::LeftButton, area.topLeft() + QPoint(50, 50), area.center());
    ASSERT_TRUE(view.zoomed());
    view.undoZoom();
    EXPECT_FALSE(view.zoomed());
    EXPECT_DOUBLE_EQ(bottomMin(), fullMin);
    EXPECT_DOUBLE_EQ(bottomMax(), fullMax);
    EXPECT_DOUBLE_EQ(view.axisMinimum(ChartAxis::Left), valueMin);
    EXPECT_DOUBLE_EQ(view.axisMaximum(ChartAxis::Left), valueMax);

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
