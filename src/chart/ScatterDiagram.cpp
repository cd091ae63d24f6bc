#include "chart/ScatterDiagram.h"

#include "chart/ChartView.h"
#include "data/DataSet.h"
#include "data/TimeStrings.h"

namespace kavra {
namespace {

QString dateText(double value)
{
    return QString::fromStdString(timestr::generalDateText(value));
}

}  // namespace

void setUpScatterChart(ChartView &chart, const QString *legendText)
{
    AxisLook numbers = chart.axisLook(ChartAxis::Bottom);
    numbers.dates = false;
    chart.setAxisLook(ChartAxis::Bottom, numbers);
    LegendLook legend = chart.legend();
    legend.place = LegendPlace::Custom;
    legend.position = QPoint(100, 100);
    chart.setLegend(legend);
    chart.legendTextWanted = [&chart, legendText](int s) {
        return s == 0 ? *legendText : s == 1 ? QStringLiteral("Fitted Curve") : chart.seriesStyle(s).name;
    };
}

QSize scatterChartSize(int dpiX, int dpiY)
{
    return QSize(7455 * dpiX / 1440, 6015 * dpiY / 1440);
}

ScatterDrawn drawScatterDiagram(ChartView &chart, const DataSet &data, const QString &line, int32_t column,
                                const QString &referenceText, int32_t referenceColumn, int first, int last)
{
    ScatterDrawn drawn;
    drawn.startDate = dateText(data.Perf_Data(first, 1, 1));
    drawn.endDate =
        timestr::readDate(timestr::generalDateText(data.Perf_Data(last, 1, 1))).value_or(data.Perf_Data(last, 1, 1));
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    drawn.legendText = line.left(blank);

    chart.setRepaint(false);
    chart.undoZoom();
    chart.removeAllSeries();
    TitleLook header = chart.title(TitleLine::Header);
    header.bold = true;
    header.size = 15;
    header.text = QStringLiteral("Scatter Diagram for Data Collection on \nnode ") +
                  QString::fromLocal8Bit(data.Node_Name) + QStringLiteral(" between \n") + drawn.startDate +
                  QStringLiteral(" and ") + dateText(drawn.endDate);
    chart.setTitle(TitleLine::Header, header);
    for (const auto &[axis, title] : {std::pair{ChartAxis::Bottom, line.mid(blank + 1)},
                                      std::pair{ChartAxis::Left, referenceText}}) {
        AxisLook look = chart.axisLook(axis);
        look.title = title;
        chart.setAxisLook(axis, look);
    }

    const int s = chart.addSeries(SeriesKind::Point);
    SeriesStyle style = chart.seriesStyle(s);
    style.axis = ValueAxis::Both;
    style.colour = QColor(255, 0, 0);
    chart.setSeriesStyle(s, style);
    const PerfData::Values x = data.Perf_Data.values(column, 1), y = data.Perf_Data.values(referenceColumn, 1);
    chart.setSeriesPoints(s, x->data() + (first - 1), y->data() + (first - 1), last - first + 1);
    chart.setRepaint(true);
    return drawn;
}

}  // namespace kavra
