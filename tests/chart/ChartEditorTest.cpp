// The chart editor: each control changes the chart at once, and the editor
// shows what the chart holds.

#include "chart/ChartEditor.h"
#include "chart/ChartView.h"
#include "data/TimeStrings.h"
#include "support/FakeInteraction.h"
#include "support/InputEvents.h"
#include "support/ChartAccess.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

static void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

using kavra::ChartAxis;
using kavra::ChartView;
using kavra::GridStyle;
using kavra::TitleLine;

namespace {

constexpr double kStart = 46362.0;  // date value of the first point
constexpr double kMinute = 1.0 / 1440;

}  // namespace

class ChartEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart.resize(800, 600);
        addLine(QStringLiteral("cpu"), 10);
        addLine(QStringLiteral("disk"), 100);
        chart.show();
        QCoreApplication::processEvents();
        editor.show();
        editor.raise();
        QCoreApplication::processEvents();
    }

    // Ten points a minute apart, values base + i * i.
    int addLine(const QString &name, double base)
    {
        std::vector<double> xs, ys;
        for (int i = 0; i < 10; ++i) {
            xs.push_back(kStart + i * kMinute);
            ys.push_back(base + i * i);
        }
        const int s = chart.addSeries(kavra::SeriesKind::Line);
        changeSeries(chart, s, [&](auto &style) { style.name = name; });
        chart.setSeriesPoints(s, xs.data(), ys.data(), int(xs.size()));
        return s;
    }

    template <typename T>
    T *child(const QString &name) const
    {
        T *widget = editor.findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    template <typename T>
    T *child(const char *name, int i) const
    {
        return child<T>(QLatin1String(name) + QString::number(i));
    }

    ChartView chart;
    FakeInteraction ui;  // colours are asked of the script, never of a dialog
    kavra::ChartEditor editor{chart, ui};
};

TEST_F(ChartEditorTest, IsANonModalWindowWithItsOwnName)
{
    EXPECT_EQ(editor.objectName(), QStringLiteral("frmChartEditor"));
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Edit Chart Properties"));
    EXPECT_FALSE(editor.isModal());
    EXPECT_TRUE(editor.isVisible());
    child<QPushButton>(QStringLiteral("cmdClose"))->click();
    EXPECT_FALSE(editor.isVisible());
}

TEST_F(ChartEditorTest, TitleControlsChangeEachLine)
{
    const TitleLine lines[] = {TitleLine::Header, TitleLine::SubHeader, TitleLine::Footer, TitleLine::SubFooter};
    for (int i = 0; i < 4; ++i) {
        const TitleLine line = lines[i];
        SCOPED_TRACE(i);
        const QString text = QStringLiteral("Line %1").arg(i);
        child<QLineEdit>("txtTitleText", i)->setText(text);
        EXPECT_EQ(chart.title(line).text, text);

        QCheckBox *shown = child<QCheckBox>("chkTitleShown", i);
        const bool wasShown = chart.title(line).shown;
        EXPECT_EQ(shown->isChecked(), wasShown);
        shown->click();
        EXPECT_EQ(chart.title(line).shown, !wasShown);

        const int size = i == 0 ? 24 : 9 + 3 * i;
        child<QSpinBox>("spnTitleSize", i)->setValue(size);
        EXPECT_EQ(chart.title(line).size, size);

        QCheckBox *bold = child<QCheckBox>("chkTitleBold", i);
        const bool wasBold = chart.title(line).bold;
        bold->click();
        EXPECT_EQ(chart.title(line).bold, !wasBold);

        const QColor before = chart.title(line).colour;
        ui.colourAnswers = {QColor(10 * i, 100, 200)};
        child<QPushButton>("cmdTitleColour", i)->click();
        EXPECT_EQ(ui.coloursAsked.back(), before);
        EXPECT_EQ(chart.title(line).colour, QColor(10 * i, 100, 200));
    }
    // The other lines kept their own text.
    EXPECT_EQ(chart.title(TitleLine::Header).text, QStringLiteral("Line 0"));
    EXPECT_EQ(chart.title(TitleLine::SubFooter).text, QStringLiteral("Line 3"));
}

TEST_F(ChartEditorTest, CancelledColourChangesNothing)
{
    changeTitle(chart, TitleLine::Footer, [&](auto &look) { look.colour = Qt::darkGreen; });
    ui.colourAnswers = {QColor()};
    child<QPushButton>("cmdTitleColour", 2)->click();
    EXPECT_EQ(ui.coloursAsked.size(), 1u);
    EXPECT_EQ(chart.title(TitleLine::Footer).colour, QColor(Qt::darkGreen));
}

TEST_F(ChartEditorTest, SeriesControlsChangeTheChosenSeriesOnly)
{
    auto *list = child<QListWidget>(QStringLiteral("lstSeries"));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("cpu"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("disk"));
    changeSeries(chart, 0, [&](auto &style) { style.colour = Qt::red; });
    changeSeries(chart, 0, [&](auto &style) { style.penWidth = 1; });
    changeSeries(chart, 0, [&](auto &style) { style.lineStyle = Qt::SolidLine; });
    list->setCurrentRow(1);

    child<QCheckBox>(QStringLiteral("chkSeriesShown"))->click();
    EXPECT_FALSE(chart.seriesStyle(1).shown);
    EXPECT_TRUE(chart.seriesStyle(0).shown);

    ui.colourAnswers = {QColor(0, 128, 255)};
    child<QPushButton>(QStringLiteral("cmdSeriesColour"))->click();
    EXPECT_EQ(chart.seriesStyle(1).colour, QColor(0, 128, 255));
    EXPECT_EQ(chart.seriesStyle(0).colour, QColor(Qt::red));

    child<QSpinBox>(QStringLiteral("spnSeriesWidth"))->setValue(4);
    EXPECT_EQ(chart.seriesStyle(1).penWidth, 4);
    EXPECT_EQ(chart.seriesStyle(0).penWidth, 1);

    auto *style = child<QComboBox>(QStringLiteral("cboSeriesStyle"));
    const std::pair<const char *, Qt::PenStyle> styles[] = {
        {"Dash", Qt::DashLine}, {"Dot", Qt::DotLine}, {"Dash-dot", Qt::DashDotLine}, {"None", Qt::NoPen},
        {"Solid", Qt::SolidLine}};
    for (const auto &[text, pen] : styles) {
        style->setCurrentIndex(style->findText(QLatin1String(text)));
        EXPECT_EQ(chart.seriesStyle(1).lineStyle, pen) << text;
    }
    EXPECT_EQ(chart.seriesStyle(0).lineStyle, Qt::SolidLine);

    // Back to the first series: the controls show its values.
    list->setCurrentRow(0);
    EXPECT_TRUE(child<QCheckBox>(QStringLiteral("chkSeriesShown"))->isChecked());
    EXPECT_EQ(child<QSpinBox>(QStringLiteral("spnSeriesWidth"))->value(), 1);
    EXPECT_EQ(child<QPushButton>(QStringLiteral("cmdSeriesColour"))->property("colour").value<QColor>(),
              QColor(Qt::red));
}

TEST_F(ChartEditorTest, ValueAxisTakesAFixedRangeAndGoesBackToAutomatic)
{
    const double fittedMin = chart.axisRange(ChartAxis::Left).minimum;
    const double fittedMax = chart.axisRange(ChartAxis::Left).maximum;
    ASSERT_GT(fittedMax, 150.0);  // the second series reaches 181
    auto *automatic = child<QCheckBox>("chkAxisAuto", 0);
    auto *minimum = child<QDoubleSpinBox>("spnAxisMin", 0);
    auto *maximum = child<QDoubleSpinBox>("spnAxisMax", 0);
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_FALSE(minimum->isEnabled());
    EXPECT_DOUBLE_EQ(maximum->value(), std::round(fittedMax * 1000) / 1000);

    automatic->click();
    EXPECT_TRUE(chart.axisLook(ChartAxis::Left).fixed);
    EXPECT_TRUE(minimum->isEnabled());
    minimum->setValue(-5);
    maximum->setValue(50);
    EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Left).minimum, -5.0);
    EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Left).maximum, 50.0);
    chart.draw();  // a redraw keeps the fixed range
    EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Left).maximum, 50.0);
    EXPECT_DOUBLE_EQ(maximum->value(), 50.0);

    automatic->click();
    EXPECT_FALSE(chart.axisLook(ChartAxis::Left).fixed);
    EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Left).minimum, fittedMin);
    EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Left).maximum, fittedMax);
    EXPECT_FALSE(minimum->isEnabled());
}

// A time typed as the program writes dates, finished with Return.
static void typeTime(QLineEdit *field, const QString &text)
{
    field->setText(text);
    input::key(field, QEvent::KeyPress, Qt::Key_Return);
}

static QString dateText(double date)
{
    return QString::fromStdString(kavra::timestr::generalDateText(date));
}

TEST_F(ChartEditorTest, TimeAxisLimitsAreDateTextsAndAChosenRangeGoesBackToAll)
{
    auto *automatic = child<QCheckBox>("chkAxisAuto", 2);
    auto *from = child<QLineEdit>("txtAxisMin", 2);
    auto *to = child<QLineEdit>("txtAxisMax", 2);
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_FALSE(from->isEnabled());
    EXPECT_EQ(from->text(), dateText(kStart));
    EXPECT_EQ(to->text(), dateText(kStart + 9 * kMinute));
    EXPECT_EQ(to->text(), QStringLiteral("06-DEC-2026 00:09:00"));

    automatic->click();
    EXPECT_TRUE(chart.zoomed());
    EXPECT_TRUE(from->isEnabled());
    typeTime(from, QStringLiteral("06-DEC-2026 00:02:00"));
    typeTime(to, QStringLiteral("6-dec-2026 00:05"));
    EXPECT_NEAR(chart.axisRange(ChartAxis::Bottom).minimum, kStart + 2 * kMinute, 1e-6);
    EXPECT_NEAR(chart.axisRange(ChartAxis::Bottom).maximum, kStart + 5 * kMinute, 1e-6);
    EXPECT_EQ(to->text(), QStringLiteral("06-DEC-2026 00:05:00")) << "written back as the program writes dates";

    automatic->click();
    EXPECT_FALSE(chart.zoomed());
    EXPECT_NEAR(chart.axisRange(ChartAxis::Bottom).minimum, kStart, 1e-6);
    EXPECT_NEAR(chart.axisRange(ChartAxis::Bottom).maximum, kStart + 9 * kMinute, 1e-6);
    EXPECT_EQ(to->text(), dateText(kStart + 9 * kMinute));
}

TEST_F(ChartEditorTest, ATimeThatIsNoDateSaysSoAndChangesNothing)
{
    child<QCheckBox>("chkAxisAuto", 2)->click();
    auto *from = child<QLineEdit>("txtAxisMin", 2);
    auto *to = child<QLineEdit>("txtAxisMax", 2);
    auto *message = child<QLabel>(QStringLiteral("lblAxisMessage"));
    const double low = chart.axisRange(ChartAxis::Bottom).minimum, high = chart.axisRange(ChartAxis::Bottom).maximum;
    EXPECT_TRUE(message->text().isEmpty());

    for (const QString &bad : {QStringLiteral("46362.999306"), QStringLiteral("yesterday"), QStringLiteral("")}) {
        SCOPED_TRACE(bad.toStdString());
        typeTime(from, bad);
        EXPECT_TRUE(message->text().startsWith(QLatin1Char('"') + bad + QStringLiteral("\" is not a date and time")))
            << message->text().toStdString();
        EXPECT_TRUE(message->text().contains(dateText(low))) << "an example in the program's date text";
        EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Bottom).minimum, low);
        EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Bottom).maximum, high);
    }
    typeTime(from, QStringLiteral("06-DEC-2026 00:08:00"));
    typeTime(to, QStringLiteral("06-DEC-2026 00:03:00"));
    EXPECT_EQ(message->text(), QStringLiteral("The end of the time axis must come after its start."));
    EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Bottom).maximum, high);

    typeTime(to, QStringLiteral("06-DEC-2026 00:09:00"));
    EXPECT_TRUE(message->text().isEmpty());
    EXPECT_NEAR(chart.axisRange(ChartAxis::Bottom).minimum, kStart + 8 * kMinute, 1e-6);
}

TEST_F(ChartEditorTest, ZoomFromElsewhereShowsInTheTimeAxisRow)
{
    chart.showTimeRange(kStart + kMinute, kStart + 3 * kMinute);
    EXPECT_FALSE(child<QCheckBox>("chkAxisAuto", 2)->isChecked());
    EXPECT_EQ(child<QLineEdit>("txtAxisMin", 2)->text(), QStringLiteral("06-DEC-2026 00:01:00"));
    EXPECT_EQ(child<QLineEdit>("txtAxisMax", 2)->text(), QStringLiteral("06-DEC-2026 00:03:00"));
    chart.undoZoom();
    EXPECT_TRUE(child<QCheckBox>("chkAxisAuto", 2)->isChecked());
    EXPECT_EQ(child<QLineEdit>("txtAxisMax", 2)->text(), dateText(kStart + 9 * kMinute));
}

// The same ticks on both sides: one scale and one set of grid lines.
static bool sameScale(QCPAxis *left, QCPAxis *right)
{
    return left->range() == right->range() && left->tickVector() == right->tickVector();
}

TEST_F(ChartEditorTest, FixingAMirroredValueAxisFixesTheOtherSideToo)
{
    QCustomPlot *plot = kavra::plotOf(chart);
    ASSERT_TRUE(sameScale(plot->yAxis, plot->yAxis2));
    for (int side : {0, 1}) {
        SCOPED_TRACE(side);
        const int other = 1 - side;
        child<QCheckBox>("chkAxisAuto", side)->click();
        child<QDoubleSpinBox>("spnAxisMin", side)->setValue(-5);
        child<QDoubleSpinBox>("spnAxisMax", side)->setValue(50);
        for (ChartAxis axis : {ChartAxis::Left, ChartAxis::Right}) {
            EXPECT_TRUE(chart.axisLook(axis).fixed);
            EXPECT_DOUBLE_EQ(chart.axisRange(axis).minimum, -5.0);
            EXPECT_DOUBLE_EQ(chart.axisRange(axis).maximum, 50.0);
        }
        EXPECT_FALSE(child<QCheckBox>("chkAxisAuto", other)->isChecked());
        EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>("spnAxisMax", other)->value(), 50.0);
        chart.draw();
        EXPECT_TRUE(sameScale(plot->yAxis, plot->yAxis2));

        child<QCheckBox>("chkAxisAuto", side)->click();
        EXPECT_FALSE(chart.axisLook(ChartAxis::Left).fixed);
        EXPECT_FALSE(chart.axisLook(ChartAxis::Right).fixed);
        EXPECT_TRUE(child<QCheckBox>("chkAxisAuto", other)->isChecked());
        EXPECT_TRUE(sameScale(plot->yAxis, plot->yAxis2));
    }

    // A right axis with a series of its own keeps its own scale.
    changeSeries(chart, 0, [&](auto &style) { style.axis = kavra::ValueAxis::Left; });
    changeSeries(chart, 1, [&](auto &style) { style.axis = kavra::ValueAxis::Right; });
    const double rightMax = chart.axisRange(ChartAxis::Right).maximum;
    child<QCheckBox>("chkAxisAuto", 0)->click();
    child<QDoubleSpinBox>("spnAxisMax", 0)->setValue(20);
    EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Left).maximum, 20.0);
    EXPECT_FALSE(chart.axisLook(ChartAxis::Right).fixed);
    EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Right).maximum, rightMax);
    EXPECT_TRUE(child<QCheckBox>("chkAxisAuto", 1)->isChecked());
}

TEST_F(ChartEditorTest, GridStyleAndNumberFormatPerAxis)
{
    const std::pair<const char *, GridStyle> grids[] = {{"Solid", GridStyle::Solid},
                                                        {"Dash", GridStyle::Dash},
                                                        {"None", GridStyle::None},
                                                        {"Fine dots", GridStyle::FineDots},
                                                        {"Dot", GridStyle::Dot}};
    const ChartAxis axes[] = {ChartAxis::Left, ChartAxis::Right, ChartAxis::Bottom};
    for (int a = 0; a < 3; ++a) {
        auto *combo = child<QComboBox>("cboAxisGrid", a);
        for (const auto &[text, style] : grids) {
            combo->setCurrentIndex(combo->findText(QLatin1String(text)));
            EXPECT_EQ(chart.axisLook(axes[a]).grid, style) << a << text;
        }
    }
    child<QComboBox>("cboAxisGrid", 1)->setCurrentIndex(child<QComboBox>("cboAxisGrid", 1)->findText("None"));
    EXPECT_EQ(chart.axisLook(ChartAxis::Right).grid, GridStyle::None);
    EXPECT_EQ(chart.axisLook(ChartAxis::Left).grid, GridStyle::Dot);

    child<QLineEdit>("txtAxisFormat", 0)->setText(QStringLiteral("0.00"));
    EXPECT_EQ(chart.axisLook(ChartAxis::Left).numberFormat, QStringLiteral("0.00"));
    EXPECT_EQ(chart.axisLook(ChartAxis::Right).numberFormat, QStringLiteral("#,##0.###"));
    child<QLineEdit>("txtAxisFormat", 1)->setText(QStringLiteral("#,##0"));
    EXPECT_EQ(chart.axisLook(ChartAxis::Right).numberFormat, QStringLiteral("#,##0"));
    EXPECT_EQ(editor.findChild<QLineEdit *>(QStringLiteral("txtAxisFormat2")), nullptr);
}

TEST_F(ChartEditorTest, LegendShownAndPlace)
{
    auto *shown = child<QCheckBox>(QStringLiteral("chkLegendShown"));
    EXPECT_TRUE(shown->isChecked());
    shown->click();
    EXPECT_FALSE(chart.legend().shown);
    shown->click();
    EXPECT_TRUE(chart.legend().shown);

    auto *place = child<QComboBox>(QStringLiteral("cboLegendPlace"));
    place->setCurrentIndex(place->findText(QStringLiteral("Top")));
    EXPECT_EQ(chart.legend().place, kavra::LegendPlace::Top);
    place->setCurrentIndex(place->findText(QStringLiteral("Right")));
    EXPECT_EQ(chart.legend().place, kavra::LegendPlace::Right);
    place->setCurrentIndex(place->findText(QStringLiteral("Bottom")));
    EXPECT_EQ(chart.legend().place, kavra::LegendPlace::Bottom);
}

TEST_F(ChartEditorTest, PanelColour)
{
    ui.colourAnswers = {QColor(240, 230, 200)};
    child<QPushButton>(QStringLiteral("cmdPanelColour"))->click();
    EXPECT_EQ(ui.coloursAsked.back(), QColor(Qt::white));
    EXPECT_EQ(chart.panelColour(), QColor(240, 230, 200));
}

TEST_F(ChartEditorTest, ReloadShowsWhatTheChartHoldsWithoutChangingIt)
{
    changeTitle(chart, TitleLine::SubHeader, [&](auto &look) { look.text = QStringLiteral("Server 7"); });
    changeTitle(chart, TitleLine::SubHeader, [&](auto &look) { look.shown = true; });
    changeTitle(chart, TitleLine::SubHeader, [&](auto &look) { look.size = 30; });
    changeTitle(chart, TitleLine::SubHeader, [&](auto &look) { look.bold = true; });
    changeTitle(chart, TitleLine::SubHeader, [&](auto &look) { look.colour = Qt::blue; });
    changeSeries(chart, 1, [&](auto &style) { style.penWidth = 7; });
    changeSeries(chart, 1, [&](auto &style) { style.lineStyle = Qt::DotLine; });
    changeSeries(chart, 1, [&](auto &style) { style.colour = Qt::magenta; });
    changeSeries(chart, 1, [&](auto &style) { style.axis = kavra::ValueAxis::Right; });  // a right axis of its own
    changeAxis(chart, ChartAxis::Right, [&](auto &look) { look.fixed = true; look.minimum = 10; look.maximum = 20; });
    changeAxis(chart, ChartAxis::Bottom, [&](auto &look) { look.grid = GridStyle::FineDots; });
    changeAxis(chart, ChartAxis::Left, [&](auto &look) { look.numberFormat = QStringLiteral("0.0"); });
    changeLegend(chart, [](kavra::LegendLook &look) {
        look.place = kavra::LegendPlace::Right;
        look.shown = false;
    });
    chart.setPanelColour(Qt::yellow);

    editor.reload();
    child<QListWidget>(QStringLiteral("lstSeries"))->setCurrentRow(1);

    EXPECT_EQ(child<QLineEdit>("txtTitleText", 1)->text(), QStringLiteral("Server 7"));
    EXPECT_TRUE(child<QCheckBox>("chkTitleShown", 1)->isChecked());
    EXPECT_EQ(child<QSpinBox>("spnTitleSize", 1)->value(), 30);
    EXPECT_TRUE(child<QCheckBox>("chkTitleBold", 1)->isChecked());
    EXPECT_EQ(child<QPushButton>("cmdTitleColour", 1)->property("colour").value<QColor>(), QColor(Qt::blue));
    EXPECT_EQ(child<QSpinBox>(QStringLiteral("spnSeriesWidth"))->value(), 7);
    EXPECT_EQ(child<QComboBox>(QStringLiteral("cboSeriesStyle"))->currentText(), QStringLiteral("Dot"));
    EXPECT_EQ(child<QPushButton>(QStringLiteral("cmdSeriesColour"))->property("colour").value<QColor>(),
              QColor(Qt::magenta));
    EXPECT_FALSE(child<QCheckBox>("chkAxisAuto", 1)->isChecked());
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>("spnAxisMin", 1)->value(), 10.0);
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>("spnAxisMax", 1)->value(), 20.0);
    EXPECT_TRUE(child<QCheckBox>("chkAxisAuto", 0)->isChecked());
    EXPECT_EQ(child<QComboBox>("cboAxisGrid", 2)->currentText(), QStringLiteral("Fine dots"));
    EXPECT_EQ(child<QLineEdit>("txtAxisFormat", 0)->text(), QStringLiteral("0.0"));
    EXPECT_FALSE(child<QCheckBox>(QStringLiteral("chkLegendShown"))->isChecked());
    EXPECT_EQ(child<QComboBox>(QStringLiteral("cboLegendPlace"))->currentText(), QStringLiteral("Right"));
    EXPECT_EQ(child<QPushButton>(QStringLiteral("cmdPanelColour"))->property("colour").value<QColor>(),
              QColor(Qt::yellow));

    // Filling in the controls wrote nothing back.
    EXPECT_EQ(chart.title(TitleLine::SubHeader).size, 30);
    EXPECT_TRUE(chart.axisLook(ChartAxis::Right).fixed);
    EXPECT_DOUBLE_EQ(chart.axisRange(ChartAxis::Right).maximum, 20.0);
    EXPECT_EQ(chart.seriesStyle(1).penWidth, 7);
    EXPECT_FALSE(chart.legend().shown);
}

TEST_F(ChartEditorTest, ShowingAgainReloads)
{
    editor.close();
    changeTitle(chart, TitleLine::Header, [&](auto &look) { look.text = QStringLiteral("Later"); });
    changeTitle(chart, TitleLine::Header, [&](auto &look) { look.bold = !chart.title(TitleLine::Header).bold; });
    const bool bold = chart.title(TitleLine::Header).bold;
    editor.show();
    EXPECT_EQ(child<QLineEdit>("txtTitleText", 0)->text(), QStringLiteral("Later"));
    EXPECT_EQ(child<QCheckBox>("chkTitleBold", 0)->isChecked(), bold);
}

TEST_F(ChartEditorTest, SeriesListFollowsTheChart)
{
    auto *list = child<QListWidget>(QStringLiteral("lstSeries"));
    addLine(QStringLiteral("memory"), 5);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("memory"));

    chart.legendTextWanted = [](int s) { return QStringLiteral("legend %1").arg(s); };
    chart.removeAllSeries();
    addLine(QStringLiteral("cpu"), 5);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("legend 0"));

    chart.removeAllSeries();
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(child<QSpinBox>(QStringLiteral("spnSeriesWidth"))->isEnabled());
    ui.colourAnswers = {Qt::red};
    child<QPushButton>(QStringLiteral("cmdSeriesColour"))->click();  // nothing to colour
    EXPECT_TRUE(ui.coloursAsked.empty());
}

TEST_F(ChartEditorTest, SeriesHiddenElsewhereShowsUnticked)
{
    child<QListWidget>(QStringLiteral("lstSeries"))->setCurrentRow(0);
    changeSeries(chart, 0, [&](auto &style) { style.shown = false; });
    EXPECT_FALSE(child<QCheckBox>(QStringLiteral("chkSeriesShown"))->isChecked());
    changeSeries(chart, 0, [&](auto &style) { style.shown = true; });
    EXPECT_TRUE(child<QCheckBox>(QStringLiteral("chkSeriesShown"))->isChecked());
}
