// Speed of the column codec on a week of one-second samples (604,800 values a
// column): encoding as the loader will encode each block of rows, decoding a
// whole column as a chart or a median reads it, and decoding a zoomed range.
//
//   build/bin/kavra_codec_bench [--benchmark_filter=Decode]

#include "data/CompressedColumn.h"
#include "data/HeapReuse.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kWeek = 604800;

// Values as the reader composes them from their digits: digits / 10^decimals,
// times the suffix's multiplier.
double decimal(long long digits, int decimals, double multiplier = 1)
{
    static const double kPowers[] = {1, 10, 100, 1000};
    const double v = static_cast<double>(digits) / kPowers[decimals];
    return v == 0 ? v : v * multiplier;
}

constexpr long long kMagnitudes[] = {1, 10, 100, 1000, 10000, 100000};

std::vector<double> makeColumn(const std::string &shape)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> noise(-1, 1);
    std::vector<double> v(kWeek);
    double level = 500;
    for (size_t i = 0; i < kWeek; ++i) {
        level = std::clamp(level + 4 * noise(random), 0.0, 1000.0);
        const long long wander = std::llround(std::clamp(level + 20 * noise(random), 0.0, 1000.0));
        if (shape == "percent")  // 45.2 %, written as 45.2%
            v[i] = decimal(wander, 1, 0.01);
        else if (shape == "busy")  // 45.2
            v[i] = decimal(wander, 1);
        else if (shape == "rate")  // 1234.56, wandering
            v[i] = decimal(wander * 137 + static_cast<long long>(random() % 100), 2);
        else if (shape == "counter")
            v[i] = static_cast<double>(1000000 + 17 * i + random() % 50);
        else if (shape == "zeros")
            v[i] = 0;
        else if (shape == "times")  // 6 December 2026 from midnight, one a second
            v[i] = static_cast<double>(46362 + i / 86400) + static_cast<double>(i % 86400) / 86400.0;
        else if (shape == "noise")  // uniform 0 to 100000 with two decimals
            v[i] = decimal(static_cast<long long>(random() % 10000000), 2);
        else if (shape == "spread")  // uniform below 1, 10 ... 100000 in turn at random, two decimals
            v[i] = decimal(static_cast<long long>(random() % (100 * kMagnitudes[random() % 6])), 2);
        else  // full-precision random doubles
            v[i] = std::uniform_real_distribution<double>(0, 1)(random);
    }
    return v;
}

const std::vector<double> &column(const std::string &shape)
{
    static std::map<std::string, std::vector<double>> columns;
    auto &c = columns[shape];
    if (c.empty())
        c = makeColumn(shape);
    return c;
}

// As every Kavra program does: freed blocks stay for the next column.
const bool kHeapKept = (kavra::keepFreedMemoryForReuse(), true);

const char *const kShapes[] = {"busy", "percent", "rate", "counter", "zeros", "times", "noise", "doubles"};

void BM_Encode(benchmark::State &state)
{
    const std::vector<double> &values = column(kShapes[state.range(0)]);
    size_t bytes = 0;
    for (auto _ : state) {
        kavra::CompressedColumn c;
        c.append(values.data(), values.size());
        c.shrinkToFit();
        bytes = c.byteSize();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetLabel(std::string(kShapes[state.range(0)]) + " " + std::to_string(static_cast<double>(bytes) / kWeek) +
                   " B/value");
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kWeek));
}
BENCHMARK(BM_Encode)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// As the loader encodes plain decimals: a block at a time, with the reader's
// count of their fraction digits, into a column with room made for it.
void BM_EncodeCounted(benchmark::State &state)
{
    const char *const shapes[] = {"busy", "rate", "noise", "spread"};
    const char *shape = shapes[state.range(0)];
    const int digits = state.range(0) == 0 ? 1 : 2;
    const std::vector<double> &values = column(shape);
    constexpr size_t kBlock = kavra::CompressedColumn::kBlockRows;
    for (auto _ : state) {
        kavra::CompressedColumn c;
        c.reserve(values.size() * 4, values.size() / kBlock + 1);
        for (size_t at = 0; at < values.size(); at += kBlock)
            c.append(values.data() + at, std::min(kBlock, values.size() - at), digits);
        benchmark::DoNotOptimize(c.byteSize());
    }
    state.SetLabel(shape);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kWeek));
}
BENCHMARK(BM_EncodeCounted)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_Decode(benchmark::State &state)
{
    const std::vector<double> &values = column(kShapes[state.range(0)]);
    kavra::CompressedColumn c;
    c.append(values.data(), values.size());
    std::vector<double> out(kWeek);
    for (auto _ : state) {
        c.decode(out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(kShapes[state.range(0)]);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kWeek));
}
BENCHMARK(BM_Decode)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// A chart zoomed to an hour of a week.
void BM_DecodeRange(benchmark::State &state)
{
    const std::vector<double> &values = column("rate");
    kavra::CompressedColumn c;
    c.append(values.data(), values.size());
    std::vector<double> out(3600);
    for (auto _ : state) {
        c.decode(300000, out.size(), out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(out.size()));
}
BENCHMARK(BM_DecodeRange)->Unit(benchmark::kMicrosecond);

}  // namespace
