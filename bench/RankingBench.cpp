// What "Rank Items by Change" computes: every item scored by its rows from A to
// B against the other rows shown, for 500 items over 20000 and over 604,800 rows
// (a week of one-second samples), on every core and on one; beside it the
// plainest pass over the same values (one sum per column), the floor that
// reading the memory sets.
//
// Usage: kavra_ranking_bench [Google Benchmark options]

#include "analysis/ChangeRanking.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

// items columns of rows values each, one block, filled cheaply but not constant.
struct Table {
    size_t rows = 0;
    std::vector<double> values;
    std::vector<kavra::analysis::RankingItem> items;

    const double *column(int32_t c) const { return values.data() + size_t(c - 2) * rows; }
};

// Kept for the whole run (2.5 GB for both sizes), so that runs of different
// sizes can be interleaved.
const Table &table(size_t items, size_t rows)
{
    static std::map<std::pair<size_t, size_t>, Table> tables;
    Table &t = tables[{items, rows}];
    if (t.rows == 0) {
        t.rows = rows;
        t.values.resize(items * rows);
        uint64_t state = 88172645463325252ull;
        for (double &v : t.values) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            v = 1e6 + double(state % 100000) / 100.0;
        }
        for (size_t i = 0; i < items; ++i)
            t.items.push_back({"Item " + std::to_string(i), int32_t(i + 2)});
    }
    return t;
}

// Arguments: items, rows, threads (0: every core).
void BM_RankByChange(benchmark::State &state)
{
    const Table &t = table(size_t(state.range(0)), size_t(state.range(1)));
    const size_t a = t.rows * 2 / 5, b = t.rows * 3 / 5;
    for (auto _ : state) {
        const auto ranking = kavra::analysis::rankByChange([&](int32_t c) { return t.column(c); }, t.rows, a, b, t.items,
                                                           kavra::analysis::kRankingLines, int(state.range(2)));
        benchmark::DoNotOptimize(ranking.lines.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(t.values.size()));
}
BENCHMARK(BM_RankByChange)
    ->Args({500, 20000, 0})
    ->Args({500, 20000, 1})
    ->Args({500, 604800, 0})
    ->Args({500, 604800, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_SumEveryColumn(benchmark::State &state)
{
    const Table &t = table(size_t(state.range(0)), size_t(state.range(1)));
    for (auto _ : state) {
        double total = 0;
        for (size_t c = 0; c < t.items.size(); ++c) {
            const double *x = t.column(int32_t(c + 2));
            double s[4] = {};
            for (size_t i = 0; i + 4 <= t.rows; i += 4)
                for (size_t k = 0; k < 4; ++k)
                    s[k] += x[i + k];
            total += (s[0] + s[1]) + (s[2] + s[3]);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(t.values.size()));
}
BENCHMARK(BM_SumEveryColumn)->Args({500, 20000})->Args({500, 604800})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
