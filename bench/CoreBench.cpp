// Micro-benchmarks of the hot paths of loading (reading value fields), of the
// derived curves (moving average, smoothing) and of the statistics a legend
// entry's tooltip shows.

#include "analysis/Curves.h"
#include "analysis/SeriesStatistics.h"
#include "data/FieldReader.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

void BM_ReadValue(benchmark::State &state)
{
    const std::vector<std::string> fields = {"1234.56", "12.5K", "45.2%", "1.25E-3", ".25", "0", "987654.321"};
    std::string scratch;
    double sum = 0;
    for (auto _ : state) {
        for (const std::string &field : fields)
            sum += kavra::readValue(kavra::prepareField(field, scratch)).value;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fields.size()));
}
BENCHMARK(BM_ReadValue);

// A day and more of one-second samples that wander like a busy counter.
struct Series {
    std::vector<double> x, y;
};

Series benchSeries(size_t n)
{
    Series s{std::vector<double>(n), std::vector<double>(n)};
    for (size_t i = 0; i < n; ++i) {
        s.x[i] = 46000 + static_cast<double>(i) / 86400.0;
        s.y[i] = 1e6 + 1000 * std::sin(static_cast<double>(i) * 0.01) + static_cast<double>(i % 17);
    }
    return s;
}

void BM_MovingAverage(benchmark::State &state)
{
    const Series s = benchSeries(100000);
    for (auto _ : state) {
        kavra::analysis::Curve curve = kavra::analysis::movingAverage(s.x.data(), s.y.data(), s.x.size(), 60);
        benchmark::DoNotOptimize(curve.y.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(s.x.size()));
}
BENCHMARK(BM_MovingAverage);

void BM_SmoothedCurve(benchmark::State &state)
{
    const Series s = benchSeries(100000);
    size_t points = 0;
    for (auto _ : state) {
        kavra::analysis::Curve curve = kavra::analysis::smoothedCurve(s.x.data(), s.y.data(), s.x.size(), 50);
        points = curve.y.size();
        benchmark::DoNotOptimize(curve.y.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points));
}
BENCHMARK(BM_SmoothedCurve);

// What resting the pointer on a legend entry computes: the statistics of the
// series over the rows shown, and their text.
void BM_SeriesStatistics(benchmark::State &state)
{
    const Series s = benchSeries(200000);
    for (auto _ : state) {
        const std::string text =
            kavra::analysis::statisticsText(kavra::analysis::seriesStatistics(s.x.data(), s.y.data(), s.x.size()));
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(s.x.size()));
}
BENCHMARK(BM_SeriesStatistics)->Unit(benchmark::kMillisecond);

}  // namespace
