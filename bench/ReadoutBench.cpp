// A drag of a cursor with 16 charted series of 604,800 rows each (a week of
// one-second samples) between A and B: what the Cursor Readout does for every
// move of the pointer (the values at A and B and the minimum, maximum, mean
// and median of each series over A..B, its table written), and what the chart
// does (the cursors' layer drawn again over the 16 lines).
//
// 1. The figures kept for each series, worked out once (the first readout).
// 2. A move of B by one row, 400 times in a row: median and min-max; limit 16 ms.
// 3. The same moves with the chart's cursor layer drawn each time.
//
// Usage: kavra_readout_bench   (exit status 1 when the limit is missed)

#include "chart/ChartView.h"
#include "dialogs/CursorReadoutWindow.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSeries = 16;
constexpr size_t kRows = 604800;
constexpr int kMoves = 400;
constexpr double kLimitMs = 16;

struct Spread {
    double median, low, high;
};

Spread spreadOf(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back()};
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<std::vector<double>> values(kSeries, std::vector<double>(kRows));
    std::vector<double> times(kRows);
    uint64_t state = 88172645463325252ull;
    for (size_t r = 0; r < kRows; ++r)
        times[r] = 46000 + double(r) / 86400;
    for (auto &column : values)
        for (double &v : column) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            v = 1e6 + double(state % 100000) / 100.0;
        }
    kavra::ReadoutInput input;
    input.rowA = 1;
    for (int s = 0; s < kSeries; ++s)
        input.series.push_back({QStringLiteral("Item %1(# 1)").arg(s), Qt::red, values[size_t(s)].data(), kRows, 1,
                                QStringLiteral("#,##0.###"), s + 2, 1});

    kavra::CursorReadoutWindow readout;
    readout.show();
    QElapsedTimer timer;
    input.rowB = int(kRows) - kMoves;
    input.timeA = times.front();
    input.timeB = times[size_t(input.rowB - 1)];
    timer.start();
    readout.showReadout(input, true);
    std::printf("first readout (figures worked out): %.0f ms\n", double(timer.nsecsElapsed()) / 1e6);

    kavra::ChartView chart;
    chart.resize(1600, 900);
    chart.show();
    chart.setRepaint(false);
    for (int s = 0; s < kSeries; ++s)
        chart.setSeriesPoints(chart.addSeries(kavra::SeriesKind::Line), times.data(), values[size_t(s)].data(), int(kRows));
    chart.setRepaint(true);
    QCoreApplication::processEvents();
    chart.setCursorLines(true, times.front(), times[size_t(input.rowB - 1)]);

    std::vector<double> readoutMs, wholeMs;
    for (int withChart = 0; withChart < 2; ++withChart)
        for (int k = 0; k < kMoves / 2; ++k) {
            input.rowB += withChart ? -1 : 1;
            input.timeB = times[size_t(input.rowB - 1)];
            timer.restart();
            readout.showReadout(input, false);
            if (withChart)
                chart.setCursorLines(true, times.front(), input.timeB);
            (withChart ? wholeMs : readoutMs).push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    const Spread r = spreadOf(readoutMs), w = spreadOf(wholeMs);
    std::printf("readout per move: median %.2f ms (%.2f-%.2f), limit %.0f ms: %s\n", r.median, r.low, r.high, kLimitMs,
                r.median <= kLimitMs ? "PASS" : "FAIL");
    std::printf("readout and cursor layer per move: median %.2f ms (%.2f-%.2f)\n", w.median, w.low, w.high);
    return r.median <= kLimitMs ? 0 : 1;
}
