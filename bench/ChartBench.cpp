// Chart speed: the full redraw of 16 series against a plain QCustomPlot drawing
// the same data, the repaint while the user scrolls, and Copy Chart (picture and
// SVG drawing onto the clipboard). Offscreen, 1600x900, pen width 3, antialiased.
//
// Usage: kavra_chart_bench [POINTS]   (default 20000; exit status 1 when a limit is missed)

#include "analysis/Curves.h"
#include "app/AppState.h"
#include "chart/ChartRedraw.h"
#include "chart/ChartView.h"
#include "chart/SeriesSources.h"
#include "data/DataSet.h"
#include "data/HeapReuse.h"
#include "data/TimeStrings.h"
#include "items/ItemList.h"
#include "output/ChartClipboard.h"
#include "support/ChartAccess.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr int kSeries = 16;
constexpr int kWidth = 1600, kHeight = 900;

// A data set of one file whose items wander like busy counters do.
void makeData(kavra::DataSet &data, kavra::ItemRevision &items, int points)
{
    data.Files_Open = 1;
    data.Row_Count = points;
    data.Perf_Data.reset(points, kSeries + 1 + kavra::kSpareColumns);
    const double start = kavra::timestr::dateSerial(2026, 12, 6);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 4);
    for (int r = 1; r <= points; ++r)
        data.Perf_Data(r, 1, 1) = start + (r - 1) / 86400.0;
    for (int c = 2; c <= kSeries + 1; ++c) {
        double level = 30 + c;
        for (int r = 1; r <= points; ++r) {
            level = std::clamp(level + noise(random) * 0.3, 0.0, 100.0);
            data.Perf_Data(r, c, 1) = std::max(0.0, level + noise(random) + 10 * std::sin(r * 0.001 * c));
        }
        kavra::ItemRow row = kavra::makeLoadedItemRow("Item " + std::to_string(c), c);
        row.selected = true;
        items.rows.push_back(row);
    }
    data.Xaxis_Values.assign(data.Perf_Data.column(1, 1), data.Perf_Data.column(1, 1) + points);
}

double plainSeconds(const kavra::DataSet &data, int points)
{
    QCustomPlot plot;
    plot.resize(kWidth, kHeight);
    plot.show();
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    for (int c = 2; c <= kSeries + 1; ++c) {
        QCPGraph *graph = plot.addGraph();
        QVector<double> x(points), y(points);
        for (int r = 0; r < points; ++r) {
            x[r] = kavra::dateValueToKey(data.Xaxis_Values[size_t(r)]);
            y[r] = data.Perf_Data(r + 1, c, 1);
        }
        graph->setData(x, y, true);
        graph->setPen(QPen(Qt::red, 3));
        graph->setAntialiased(true);
    }
    plot.rescaleAxes();
    plot.replot();
    return clock.elapsed() / 1000.0;
}

double kavraSeconds(kavra::ChartView &chart, kavra::AppState &state, const kavra::DataSet &data,
                    const kavra::ItemRevision &items)
{
    QElapsedTimer clock;
    clock.start();
    kavra::SeriesSources sources;
    kavra::redrawChart(chart, {state.chart, state.rows, data, sources}, items);
    return clock.elapsed() / 1000.0;
}

// The slowest of twenty scroll steps with the right button held.
double scrollStepSeconds(kavra::ChartView &chart)
{
    QWidget *plot = kavra::plotOf(chart);
    const QPointF centre(kWidth / 2.0, kHeight / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, centre, plot->mapToGlobal(centre), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &press);
    double slowest = 0;
    for (int step = 1; step <= 20; ++step) {
        const QPointF at = centre - QPointF(step * 10, 0);
        QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::RightButton, Qt::NoModifier);
        QElapsedTimer clock;
        clock.start();
        QApplication::sendEvent(plot, &move);
        kavra::plotOf(chart)->replot();
        slowest = std::max(slowest, clock.elapsed() / 1000.0);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, centre, plot->mapToGlobal(centre), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &release);
    return slowest;
}

// The fastest of three copies of the chart to the clipboard; negative when one failed.
double copySeconds(kavra::ChartView &chart)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer clock;
        clock.start();
        const QString error = kavra::copyChartToClipboard(chart, QApplication::clipboard());
        if (!error.isEmpty()) {
            std::fprintf(stderr, "Copy Chart failed: %s\n", qPrintable(error));
            return -1;
        }
        best = std::min(best, clock.elapsed() / 1000.0);
    }
    return best;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    kavra::keepFreedMemoryForReuse();  // as the programs do
    QApplication app(argc, argv);
    const int points = argc > 1 ? std::atoi(argv[1]) : 20000;

    kavra::DataSet data;
    kavra::ItemRevision items;
    makeData(data, items, points);
    kavra::ChartView chart;
    chart.resize(kWidth, kHeight);
    chart.show();  // as in the viewer: the chart is on screen when it is drawn
    QApplication::processEvents();
    kavra::AppState state;
    state.rows.Zoom_First_Row = 1;
    state.rows.Zoom_Last_Row = points;

    kavraSeconds(chart, state, data, items);  // warm up fonts and caches for both
    const double plain = plainSeconds(data, points);
    double kavra = 1e9;
    for (int run = 0; run < 3; ++run)
        kavra = std::min(kavra, kavraSeconds(chart, state, data, items));
    const double scroll = scrollStepSeconds(chart);
    kavraSeconds(chart, state, data, items);  // back to the whole range
    const double copy = copySeconds(chart);

    // One long item with the derived curves switched on in turn.
    kavra::DataSet single;
    kavra::ItemRevision oneItem;
    makeData(single, oneItem, 100000);
    for (size_t i = 1; i < oneItem.rows.size(); ++i)
        oneItem.rows[i].selected = false;
    kavra::AppState singleState = state;
    singleState.rows.Zoom_Last_Row = 100000;
    const auto redrawSeconds = [&](bool movingAverage, bool smoothing, int factor) {
        singleState.chart.show(movingAverage ? kavra::DerivedCurve::MovingAverage
                               : smoothing   ? kavra::DerivedCurve::Smoothed
                                             : kavra::DerivedCurve::None);
        singleState.chart.setSmoothingFactor(factor);
        double best = 1e9;
        for (int run = 0; run < 3; ++run)
            best = std::min(best, kavraSeconds(chart, singleState, single, oneItem));
        return best;
    };
    const double single100k = redrawSeconds(false, false, 50);
    const double withAverage = redrawSeconds(true, false, 50);
    const double withSmoothing = redrawSeconds(false, true, 50);
    const double hugeFactor = redrawSeconds(false, true, 10000);
    // How much the smoothed curve goes up and down, at its samples, by factor:
    // it must fall as the factor rises.
    std::string variations;
    {
        const double *times = single.Perf_Data.column(1, 1), *values = single.Perf_Data.column(2, 1);
        const auto variation = [](const std::vector<double> &y) {
            double sum = 0;
            for (size_t i = 1; i < y.size(); ++i)
                sum += std::fabs(y[i] - y[i - 1]);
            return sum;
        };
        variations = "raw " + std::to_string(llround(variation(std::vector<double>(values, values + 100000))));
        for (int factor : {1, 10, 50, 100, 1000, 10000})
            variations += ", " + std::to_string(factor) + ": " +
                          std::to_string(llround(variation(
                              kavra::analysis::smoothedCurve(times, values, 100000, factor, 100000).y)));
    }

    // A long day on 16 nodes: the redraw of 16 series of 200000 points, and the
    // same chart stacked, each redrawn and then repainted as the screen does.
    kavra::DataSet big;
    kavra::ItemRevision bigItems;
    makeData(big, bigItems, 200000);
    kavra::AppState bigState = state;
    bigState.rows.Zoom_Last_Row = 200000;
    const auto bigSeconds = [&](int stackMode, double &repaint) {
        if (stackMode == kavra::Stacked)
            bigState.chart.stack();
        else
            bigState.chart.unStack();
        double best = 1e9;
        repaint = 1e9;
        for (int run = 0; run < 3; ++run) {
            best = std::min(best, kavraSeconds(chart, bigState, big, bigItems));
            QElapsedTimer clock;
            clock.start();
            kavra::plotOf(chart)->replot();
            repaint = std::min(repaint, clock.elapsed() / 1000.0);
        }
        return best;
    };
    double overlapRepaint = 0, stackedRepaint = 0;
    const double overlap200k = bigSeconds(1, overlapRepaint);
    const double stacked200k = bigSeconds(2, stackedRepaint);

    const double ratio = kavra / plain;
    std::printf("%d series x %d points, %dx%d, pen width 3, antialiased, offscreen\n", kSeries, points, kWidth,
                kHeight);
    std::printf("plain QCustomPlot replot:   %8.3f s\n", plain);
    std::printf("Kavra redraw:               %8.3f s   (ratio %.3f, limit 0.050)\n", kavra, ratio);
    std::printf("slowest scroll repaint:     %8.3f s   (limit 0.016)\n", scroll);
    std::printf("Copy Chart:                 %8.3f s   (limit 0.200)\n", copy);
    std::printf("1 series x 100000 points: redraw %.3f s, with moving average %.3f s (x%.1f, limit 3), "
                "smoothed (factor 50) %.3f s (x%.1f, limit 3), smoothed (factor 10000) %.3f s (limit 1 s)\n",
                single100k, withAverage, withAverage / single100k, withSmoothing, withSmoothing / single100k,
                hugeFactor);
    std::printf("1 series x 100000 points: total variation of the smoothed curve by factor: %s\n",
                variations.c_str());
    std::printf("16 series x 200000 points: redraw %.3f s (limit 0.300), stacked %.3f s (x%.2f, limit 1.15); "
                "repaint %.3f s, stacked %.3f s (x%.2f)\n",
                overlap200k, stacked200k, stacked200k / overlap200k, overlapRepaint, stackedRepaint,
                stackedRepaint / overlapRepaint);
    const bool pass = ratio <= 0.05 && scroll <= 0.016 && overlap200k <= 0.3 && stacked200k <= 1.15 * overlap200k &&
                      copy >= 0 && copy <= 0.2 && withAverage <= 3 * single100k && withSmoothing <= 3 * single100k &&
                      hugeFactor <= 1.0;
    std::printf("%s\n", pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
