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

// The options as the viewer's commands would have left them, through the same intents.
void applyOptions(ChartOptions &chart, const RenderOptions &options)
{
    if (options.movingAveragePeriod > 0) {
        chart.show(DerivedCurve::MovingAverage);
        chart.setMovingAveragePeriod(int16_t(options.movingAveragePeriod));
    }
    if (options.smoothingFactor > 0) {
        chart.show(DerivedCurve::Smoothed);
        chart.setSmoothingFactor(options.smoothingFactor);
    }
    if (options.candle)
        chart.show(DerivedCurve::Candle);
    if (options.stack)
        chart.stack();
    chart.useDualLayout(DualLayout(options.dualCharts));
    const std::pair<TitleLine, const std::optional<std::string> *> titles[] = {
        {TitleLine::Header, &options.title}, {TitleLine::SubHeader, &options.subTitle}, {TitleLine::Footer, &options.footer}};
    for (const auto &[line, given] : titles)
        if (*given) {
            chart.setTitle(line, text(**given).toStdString());
            if (line != TitleLine::Header)
                chart.showTitle(line, true);
        }
    if (options.primaryWidth > 0)
        chart.setPrimaryWidth(options.primaryWidth);
    if (options.secondaryWidth > 0)
        chart.setSecondaryWidth(options.secondaryWidth);
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
    applyLoadedView(state, data, true);
    applyOptions(state.chart, options);
    if (options.rowsFirst > 0) {  // as the after-draw event of a zoom to them leaves the rows
        state.rows.Zoom_First_Row = options.rowsFirst;
        state.rows.Zoom_Last_Row = options.rowsLast;
    }
    SeriesSources sources;
    const RedrawContext context{state.chart, state.rows, data, sources};
    const RedrawResult drawn = redrawChart(chart, context, list);
    keepForcedChoices(state.chart, drawn);
    if (const QString leftOut = leftOutItemsText(drawn, data.Files_Open); !leftOut.isEmpty())
        std::cerr << leftOut.toLocal8Bit().constData() << '\n';
    if (options.ratio) {
        if (!drawn.ratioCharts) {
            std::cerr << "Ratio charts need exactly two charted items on one value axis\n";
            return 2;
        }
        const std::vector<ItemOfFile> items = chartedItems(drawn.plan);
        state.chart.showRatios(items[0], items[1]);
        RedrawContext withRatios = context;
        withRatios.keepsRatios = true;
        keepForcedChoices(state.chart, redrawChart(chart, withRatios, list));
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
