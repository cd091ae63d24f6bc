#include "app/BatchRender.h"

#include "app/AppState.h"
#include "app/OffscreenApplication.h"
#include "chart/ChartRedraw.h"
#include "chart/ChartView.h"
#include "chart/ScatterDiagram.h"
#include "chart/SeriesSources.h"
#include "data/DataSet.h"
#include "items/ItemList.h"
#include "output/ChartExport.h"

#include <iostream>

namespace kavra {
namespace {

// Selects the named items instead of the default one; false names one unknown.
bool selectItems(ItemRevision &list, const std::vector<std::string> &names)
{
    for (ItemRow &row : list.rows)
        row.selected = false;
    for (const std::string &name : names) {
        bool found = false;
        for (ItemRow &row : list.rows)
            if (row.text == name)
                row.selected = found = true;
        if (!found) {
            std::cerr << "No item named \"" << name << "\" in the item list\n";
            return false;
        }
    }
    return true;
}

QString text(const std::string &bytes)
{
    return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size()));
}

// Writes the chart in the format of the path's extension (known to be one);
// returns the exit status.
int writePicture(ChartView &chart, const std::string &path, int width = 0, int height = 0)
{
    const QString out = text(path);
    const QString error = exportChart(chart, out, *formatForPath(out), width, height);
    if (error.isEmpty())
        return 0;
    std::cerr << error.toLocal8Bit().constData() << '\n';
    return 1;
}

// The options as the viewer's commands would have left them.
void applyOptions(AppState &state, ChartView &chart, const RenderOptions &options)
{
    if (options.movingAveragePeriod > 0) {
        state.chart.Derived_Curve = DerivedCurve::MovingAverage;
        state.chart.MovAvg_Period = int16_t(options.movingAveragePeriod);
    }
    if (options.smoothingFactor > 0) {
        state.chart.Derived_Curve = DerivedCurve::Smoothed;
        state.chart.Smoothing_Factor = options.smoothingFactor;
    }
    if (options.candle)
        state.chart.Derived_Curve = DerivedCurve::Candle;
    if (options.stack) {
        state.chart.Stack_Mode = Stacked;
        state.chart.Chart_Sub_Footer = QStringLiteral("Values are STACKED");
        chart.setTitleShown(TitleLine::SubFooter, true);
    }
    state.chart.Dual_Charts = DualLayout(options.dualCharts);
    if (options.title)
        state.chart.Chart_Title = text(*options.title);
    if (options.subTitle) {
        state.chart.Chart_Sub_Title = text(*options.subTitle);
        chart.setTitleShown(TitleLine::SubHeader, true);
    }
    if (options.footer) {
        state.chart.Chart_Footer = text(*options.footer);
        chart.setTitleShown(TitleLine::Footer, true);
    }
    if (options.primaryWidth > 0)
        state.chart.Primary_Line_Width = options.primaryWidth;
    if (options.secondaryWidth > 0)
        state.chart.Secondary_Line_Width = options.secondaryWidth;
}

// False, with a message, when the rows are not in the files or span no time.
bool rowsFit(const DataSet &data, const char *option, int first, int last)
{
    if (first <= 0)
        return true;
    if (last > data.Row_Count) {
        std::cerr << option << ' ' << first << ':' << last << ": the files have rows 1 to " << data.Row_Count << '\n';
        return false;
    }
    if (!(data.sampleTime(last) > data.sampleTime(first))) {
        std::cerr << option << ' ' << first << ':' << last
                  << ": the rows span no time; a zoom needs rows with different sample times\n";
        return false;
    }
    return true;
}

bool zoomFits(const DataSet &data, const RenderOptions &options)
{
    return rowsFit(data, "--zoom", options.zoomFirst, options.zoomLast) &&
           rowsFit(data, "--rows", options.rowsFirst, options.rowsLast);
}

// What a zoom with the mouse does in the viewer: the chart shows the rows' time
// range, and its after-draw event narrows the row range to what is in view.
void zoomToRows(ChartView &chart, DisplayedRows &rows, const DataSet &data, int first, int last)
{
    QObject::connect(&chart, &ChartView::afterDraw, &chart,
                     [&chart, &rows, &data] { narrowZoomRowsToChart(chart, rows, data); });
    chart.showTimeRange(data.sampleTime(first), data.sampleTime(last));
}

}  // namespace

int renderChartImage(const char *program, const DataSet &data, ItemList &items, const RenderOptions &options)
{
    if (!knownPictureFormat(options.output) || !zoomFits(data, options))
        return 2;
    OffscreenApplication app(program);

    ItemRevision &list = items.current();
    list.selectDefaultItem();
    if (options.items && !selectItems(list, *options.items))
        return 2;

    ChartView chart;
    chart.resize(options.width, options.height);
    AppState state;
    state.chart.Axis_Format_String_Left = chart.axisNumberFormat(ChartAxis::Left);
    state.chart.Axis_Format_String_Right = chart.axisNumberFormat(ChartAxis::Right);
    applyLoadedView(state, data, true);
    applyOptions(state, chart, options);
    if (options.rowsFirst > 0) {  // as the after-draw event of a zoom to them leaves the rows
        state.rows.Zoom_First_Row = options.rowsFirst;
        state.rows.Zoom_Last_Row = options.rowsLast;
    }
    SeriesSources sources;
    const RedrawContext context{state.chart, state.rows, data, sources};
    const RedrawResult drawn = redrawChart(chart, context, list);
    if (const QString leftOut = leftOutItemsText(drawn, data.Files_Open); !leftOut.isEmpty())
        std::cerr << leftOut.toLocal8Bit().constData() << '\n';
    if (options.ratio) {
        if (!drawn.ratioCharts) {
            std::cerr << "Ratio charts need exactly two charted items on one value axis\n";
            return 2;
        }
        addRatioCharts(chart, context);
    }
    if (options.zoomFirst > 0)
        zoomToRows(chart, state.rows, data, options.zoomFirst, options.zoomLast);
    return writePicture(chart, options.output, options.width, options.height);
}

bool knownPictureFormat(const std::string &path)
{
    if (formatForPath(text(path)))
        return true;
    std::cerr << "Unknown picture format of " << path << ": use .bmp .jpg .wmf .emf .gif .png .pcx .eps .pdf .svg\n";
    return false;
}

int renderScatterImage(const char *program, const DataSet &data, const std::string &line, int32_t column,
                       const std::string &referenceText, int32_t referenceColumn, int first, int last,
                       const std::string &path)
{
    if (!knownPictureFormat(path))
        return 2;
    OffscreenApplication app(program);
    ChartView chart;
    chart.resize(scatterChartSize(chart.logicalDpiX(), chart.logicalDpiY()));
    QString legendText;
    setUpScatterChart(chart, &legendText);
    legendText = drawScatterDiagram(chart, data, text(line), column, text(referenceText), referenceColumn, first, last)
                     .legendText;
    chart.draw();
    return writePicture(chart, path);
}

}  // namespace kavra
