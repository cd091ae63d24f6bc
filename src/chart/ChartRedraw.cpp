#include "chart/ChartRedraw.h"

#include "app/AppState.h"
#include "chart/ChartView.h"
#include "chart/NumberFormat.h"
#include "data/DataSet.h"
#include "data/NumberText.h"
#include "data/TimeStrings.h"
#include "items/ItemList.h"

namespace kavra {
namespace {

constexpr int kLegendTexts = 50;

QColor paletteColour(int i)
{
    const PaletteColour &c = kSeriesPalette[size_t(i % int(kSeriesPalette.size()))];
    return QColor(c.red, c.green, c.blue);
}

void prepareChart(ChartView &chart, const AppState &state)
{
    chart.setPanelColour(QColor(236, 233, 216));
    chart.undoZoom();
    chart.removeAllSeries();
    chart.setTitleSize(TitleLine::SubHeader, 18);
    chart.setTitleBold(TitleLine::SubHeader, false);
    chart.setTitleText(TitleLine::SubHeader, state.Chart_Sub_Title);
    chart.setTitleColour(TitleLine::Footer, QColor(0, 0, 255));
    chart.setTitleText(TitleLine::Footer, state.Chart_Footer);
    chart.setTitleText(TitleLine::SubFooter, state.Chart_Sub_Footer);
    chart.setTitleBold(TitleLine::Header, true);
    chart.setTitleSize(TitleLine::Header, 25);
    chart.setTitleText(TitleLine::Header, state.Chart_Title);
    chart.setAxisDateTimeFormat(QStringLiteral("hh:mm:ss (d-mmm-yyyy)"));
}

// One line series per selected item and file: at most 16, fewer per file when
// several files are open.
int addItemSeries(ChartView &chart, AppState &state, const DataSet &data, const ItemRevision &items)
{
    const int first = qBound(1, int(state.Zoom_First_Row), qMax(1, int(data.Row_Count)));
    const int last = qBound(first, int(state.Zoom_Last_Row), qMax(1, int(data.Row_Count)));
    const int count = data.Row_Count > 0 ? last - first + 1 : 0;
    state.Scount = 0;
    for (state.FCount = 1; state.FCount <= data.Files_Open; ++state.FCount) {
        int selected = 0;
        for (const ItemRow &row : items.rows) {
            if (!row.selected)
                continue;
            if (++selected > kLegendTexts)
                break;
            const int s = chart.addSeries(SeriesKind::Line);
            chart.setSeriesStackMode(s, state.Stack_Mode);
            chart.setSeriesValueAxis(s, ValueAxis::Both);
            chart.setSeriesPenWidth(s, state.Primary_Line_Width);
            state.Legend_Text[size_t(s)] =
                legendText(QString::fromLocal8Bit(row.text), state.FCount);
            chart.setSeriesName(s, state.Legend_Text[size_t(s)]);
            if (count > 0)
                chart.setSeriesPoints(s, data.Xaxis_Values.data() + (first - 1),
                                      data.Perf_Data.column(row.tag, state.FCount) + (first - 1), count);
            chart.setSeriesColour(s, paletteColour(s));
            ++state.Scount;
            if (double(state.Scount) > 15.0 / double(data.Files_Open))
                break;
        }
    }
    state.FCount = qMin(state.FCount, int(data.Files_Open));
    return state.Scount;
}

void resetAxes(ChartView &chart, const AppState &state)
{
    for (ChartAxis axis : {ChartAxis::Left, ChartAxis::Right}) {
        chart.setAxisGrid(axis, GridStyle::FineDots);
        chart.setAxisLineColour(axis, Qt::black);
        chart.setAxisLabelColour(axis, Qt::black);
        chart.setAxisSpan(axis, 0, 100);
    }
    chart.setAxisGrid(ChartAxis::Bottom, GridStyle::Dot);
    chart.setAxisNumberFormat(ChartAxis::Left, state.Axis_Format_String_Left);
    chart.setAxisNumberFormat(ChartAxis::Right, state.Axis_Format_String_Right);
}

}  // namespace

QString legendText(const QString &itemText, int file)
{
    return itemText.left(120) + QStringLiteral("(#") + QString::fromStdString(signedNumberText(file)) +
           QLatin1Char(')');
}

RedrawResult redrawChart(ChartView &chart, AppState &state, const DataSet &data, const ItemRevision &items)
{
    state.Ratio_Mode = false;
    chart.setRepaint(false);
    prepareChart(chart, state);
    const int series = addItemSeries(chart, state, data, items);
    resetAxes(chart, state);
    if (series == 1)
        state.Dual_Charts = 0;
    chart.setRepaint(true);

    RedrawResult result;
    result.seriesCount = series;
    const bool severalItems = items.rows.size() > 1;
    result.correlate = result.smoothUnSmooth = result.candleChart = data.Files_Open == 1 && series == 1 && severalItems;
    result.movingAverage = series <= 4 && severalItems;
    result.cycleDualCharts = series == 2;
    result.ratioCharts = series == 2 && state.Dual_Charts == 0;
    return result;
}

void narrowRowsToView(const std::vector<double> &sampleTimes, double xMin, double xMax, int &firstRow, int &lastRow)
{
    const int rows = int(sampleTimes.size());
    for (int i = 2; i <= rows; ++i)
        if (sampleTimes[size_t(i - 1)] > xMin) {
            firstRow = i - 1;
            break;
        }
    for (int c = rows - 1; c >= 1; --c)
        if (sampleTimes[size_t(c - 1)] < xMax) {
            lastRow = c + 1;
            break;
        }
}

QString pointReadout(const QString &legendText, double x, double y)
{
    return legendText + QStringLiteral(" ... (X-value: ") + QString::fromStdString(timestr::generalDateText(x)) +
           QStringLiteral("  , Y-value: ") + formatNumber(y, QStringLiteral("##########0.000")) + QLatin1Char(')');
}

}  // namespace kavra
