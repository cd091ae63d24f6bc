#include "app/ChartCommands.h"

#include "app/AppState.h"
#include "chart/ChartEditor.h"
#include "chart/ChartRedraw.h"
#include "chart/ChartView.h"
#include "chart/SeriesSources.h"
#include "data/NumberText.h"
#include "items/ItemList.h"
#include "ui/Edition.h"
#include "ui/Interaction.h"
#include "ui/Prompts.h"

#include <QGroupBox>
#include <QRadioButton>

#include <cmath>

namespace kavra {
namespace {

QString numberText(double value) { return QString::fromStdString(signedNumberText(value)); }

}  // namespace

ChartCommands::ChartCommands(ChartCommandContext context, QObject *parent) : QObject(parent), c_(std::move(context))
{
}

ChartCommands::~ChartCommands() = default;

QString ChartCommands::askText(const QString &prompt, const QString &title, const QString &current)
{
    return c_.ui.input(c_.window, prompt, title, current).value_or(QString());
}

void ChartCommands::setTitle(TitleLine line, const QString &prompt, const QString &title)
{
    c_.state.chart.setTitle(
        line, askText(prompt, title, QString::fromStdString(c_.state.chart.title(line))).toStdString());
}

long long ChartCommands::askBounded(const QString &prompt, const QString &title, long long current, long long low,
                                    long long high)
{
    return kavra::askBounded(c_.ui, c_.window, prompt, title, current, low, high, true);
}

RedrawContext ChartCommands::redrawContext() const
{
    return {c_.state.chart, c_.state.rows, c_.data, c_.sources};
}

// ---- Moving average and smoothing ---------------------------------------------

void ChartCommands::mnuToggleMovingAverage_Click()
{
    c_.state.chart.toggle(DerivedCurve::MovingAverage);
    if (c_.state.chart.ratioMode())
        redrawWithRatios();
    else
        c_.redraw();
}

// The chart again with the ratio charts the options name (the list's redraw
// drops them). Its rows are the ones the items were drawn with, as a zoom narrows
// the displayed rows without a redraw, and a zoomed view stays in view.
void ChartCommands::redrawWithRatios()
{
    DisplayedRows drawnRows = c_.state.rows;
    for (const PlannedSeries &item : c_.state.drawn.series)
        if (item.role == SeriesRole::Item) {
            drawnRows = {item.firstRow, item.firstRow + item.rowCount - 1};
            break;
        }
    const bool zoomed = c_.chart.zoomed();
    const double from = c_.chart.axisRange(ChartAxis::Bottom).minimum, to = c_.chart.axisRange(ChartAxis::Bottom).maximum;
    RedrawContext context{c_.state.chart, drawnRows, c_.data, c_.sources};
    context.keepsRatios = true;
    RedrawResult drawn = redrawChart(c_.chart, context, c_.items.current());
    keepForcedChoices(c_.state.chart, drawn);
    setDrawn(c_.state, std::move(drawn.plan));
    if (zoomed)
        c_.chart.showTimeRange(from, to);
}

void ChartCommands::mnuSetMovingAveragePeriodValue_Click()
{
    const QString title = QStringLiteral("Moving Average Period Value");
    const auto answer = numericAnswer(c_.ui.input(c_.window, QStringLiteral("Please enter PERIOD value to be used :"),
                                                  title, numberText(c_.state.chart.movingAveragePeriod())));
    if (!answer)
        return;
    const double period = std::nearbyint(*answer);
    if (period < 1 || period > 32767) {
        c_.ui.message(c_.window,
                      QStringLiteral("The period must be a whole number from 1 to 32767 - it stays") +
                          numberText(c_.state.chart.movingAveragePeriod()),
                      title);
        return;
    }
    c_.state.chart.setMovingAveragePeriod(static_cast<int16_t>(period));
    if (c_.state.chart.shows(DerivedCurve::MovingAverage))
        c_.redraw();
}

void ChartCommands::mnuSmoothUnSmooth_Click()
{
    c_.state.chart.toggle(DerivedCurve::Smoothed);
    c_.redraw();
}

void ChartCommands::mnuSetSmoothingFactor_Click()
{
    const int32_t highest = kClassicEdition ? 100 : 10000;
    c_.state.chart.setSmoothingFactor(
        int32_t(askBounded(QStringLiteral("Please enter Smoothing Factor (1-%1) :").arg(highest),
                           QStringLiteral("Set Smoothing Factor"), c_.state.chart.smoothingFactor(), 1, highest)));
    c_.redraw();
}

void ChartCommands::mnuAddRemoveCandleChart_Click()
{
    c_.state.chart.toggle(DerivedCurve::Candle);
    c_.redraw();
}

// ---- Several items ----------------------------------------------------------------

void ChartCommands::stack() { c_.state.chart.stack(); }

void ChartCommands::unstack() { c_.state.chart.unStack(); }

void ChartCommands::OptStack_Click(int index)
{
    if (index == 0)
        stack();
    else
        unstack();
    c_.redraw();
}

void ChartCommands::mnuCycleDualCharts_Click()
{
    c_.stackFrame->setEnabled(true);
    c_.state.chart.cycleDual();
    if (c_.state.chart.dualLayout() != SingleAxis) {
        // Stacking is not offered while two axes are in use.
        c_.stack->setChecked(false);
        c_.unStack->setChecked(true);
        c_.stackFrame->setEnabled(false);
    }
    c_.redraw();
}

void ChartCommands::mnuChartMultipleItems_Click()
{
    AppState &state = c_.state;
    state.list.Search_String = askText(QStringLiteral("Please enter search string"),
                                       QStringLiteral("Chart Multiple Items"), state.list.Search_String);
    if (state.list.Search_String.isEmpty())
        return;
    ItemRevision &list = c_.items.current();
    int count = 0;
    int lastSelected = -1;
    for (size_t i = 0; i < list.rows.size() && count < 16; ++i) {
        ItemRow &row = list.rows[i];
        if (row.selected) {
            lastSelected = int(i);
            row.selected = false;
        }
        if (QString::fromLocal8Bit(row.text).contains(state.list.Search_String, Qt::CaseInsensitive)) {
            row.selected = true;
            ++count;
        }
    }
    if (count == 0) {
        c_.ui.message(c_.window, QStringLiteral("No relevant items found ... "), QString());
        if (lastSelected >= 0)
            list.rows[size_t(lastSelected)].selected = true;
    }
    c_.itemsChanged();
    c_.redraw();
}

// ---- Titles and line widths ----------------------------------------------------

void ChartCommands::mnuSetChartTitle_Click()
{
    setTitle(TitleLine::Header, QStringLiteral("Please enter the Chart Title"), QStringLiteral("Set Chart Title"));
    c_.redraw();
}

void ChartCommands::mnuSetChartSubTitle_Click()
{
    setTitle(TitleLine::SubHeader, QStringLiteral("Please enter the Chart Sub-Title"),
             QStringLiteral("Set Chart Sub-Title"));
    c_.state.chart.showTitle(TitleLine::SubHeader, true);
    c_.redraw();
}

void ChartCommands::mnuSetChartFooter_Click()
{
    setTitle(TitleLine::Footer, QStringLiteral("Please enter the Chart Footer Text"), QStringLiteral("Set Chart Footer"));
    c_.state.chart.showTitle(TitleLine::Footer, true);
    c_.redraw();
}

void ChartCommands::mnuSetPrimaryChartLineWidth_Click()
{
    c_.state.chart.setPrimaryWidth(
        int32_t(askBounded(QStringLiteral("Please enter Primary Chart Line Width (1-5) :"),
                           QStringLiteral("Set Primary Chart Line Width"), c_.state.chart.primaryWidth(), 1, 5)));
    c_.redraw();
}

void ChartCommands::mnuSetSecondaryChartLineWidth_Click()
{
    c_.state.chart.setSecondaryWidth(int32_t(
        askBounded(QStringLiteral("Please enter Secondary Chart Line Width (1-5) :"),
                   QStringLiteral("Set Secondary Chart Line Width"), c_.state.chart.secondaryWidth(), 1, 5)));
    c_.redraw();
}

void ChartCommands::mnuEditChartProperties_Click()
{
    if (!editor_)
        editor_ = new ChartEditor(c_.chart, c_.ui, c_.window, &c_.state.chart);
    editor_->show();
    editor_->raise();
    c_.chart.show();
}

// ---- Ratio charts --------------------------------------------------------------

void ChartCommands::mnuGenerateRatioCharts_Click()
{
    if (c_.state.chart.ratioMode() || c_.chart.seriesCount() < 2)
        return;
    if (c_.state.chart.shows(DerivedCurve::MovingAverage))
        mnuToggleMovingAverage_Click();
    // Switching the average off redraws from the list as it is now, which may no
    // longer chart two items.
    const std::vector<ItemOfFile> items = chartedItems(c_.state.drawn);
    if (items.size() < 2)
        return;
    c_.state.chart.showRatios(items[0], items[1]);
    redrawWithRatios();
}

}  // namespace kavra
