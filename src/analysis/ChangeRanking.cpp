#include "analysis/ChangeRanking.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <thread>

namespace kavra::analysis {
namespace {

// Values are summed in blocks this long (a few kilobytes, in the first-level
// cache), each block around its own first value, and the blocks merged.
constexpr size_t kBlock = 1024;

// Below this many values a ranking is quicker on one thread than starting others.
constexpr size_t kValuesPerThread = size_t(1) << 18;

// Count, mean and sum of squared deviations from the mean of a run of values.
// The mean is taken relative to a reference value (the column's first), so
// that values far from zero keep the precision of their differences.
struct Moments {
    double count = 0;
    double mean = 0;
    double squares = 0;
};

// Two runs as one (the pairwise update of Chan, Golub and LeVeque). Runs of
// one constant value merge into exactly that value with no spread.
Moments merged(const Moments &a, const Moments &b)
{
    if (a.count == 0)
        return b;
    if (b.count == 0)
        return a;
    const double count = a.count + b.count, delta = b.mean - a.mean;
    return {count, a.mean + delta * (b.count / count), a.squares + b.squares + delta * delta * (a.count * b.count / count)};
}

// One block, its differences from its own first value summed plainly: a
// constant block gives exactly no spread, and four sums side by side keep the
// processor's adders busy.
Moments blockMoments(const double *x, size_t n, double reference, double scale)
{
    const double origin = x[0] * scale;
    double sum[4] = {}, squares[4] = {};
    size_t i = 0;
    for (; i + 4 <= n; i += 4)
        for (size_t k = 0; k < 4; ++k) {
            const double d = x[i + k] * scale - origin;
            sum[k] += d;
            squares[k] += d * d;
        }
    for (; i < n; ++i) {
        const double d = x[i] * scale - origin;
        sum[0] += d;
        squares[0] += d * d;
    }
    const double count = double(n), total = (sum[0] + sum[1]) + (sum[2] + sum[3]);
    const double spread = (squares[0] + squares[1]) + (squares[2] + squares[3]) - total * total / count;
    return {count, (origin - reference) + total / count, std::max(0.0, spread)};
}

Moments runMoments(const double *x, size_t n, double reference, double scale)
{
    Moments moments;
    for (size_t start = 0; start < n; start += kBlock)
        moments = merged(moments, blockMoments(x + start, std::min(kBlock, n - start), reference, scale));
    return moments;
}

// The rows first..last and the others, values multiplied by scale.
struct Groups {
    Moments inside, outside;

    // Whether the sums left the range of doubles: squares or sums too large,
    // or squares so small (values near 1e-300) that they lose their digits.
    bool outOfRange() const
    {
        const double squares = inside.squares + outside.squares;
        return !std::isfinite(inside.mean) || !std::isfinite(outside.mean) ||
               !std::isfinite(inside.mean - outside.mean) || !std::isfinite(squares) ||
               (squares < 0x1p-900 && inside.mean != outside.mean);
    }
};

Groups groupsOf(const double *x, size_t rows, size_t first, size_t last, double scale)
{
    const double reference = x[0] * scale;
    return {runMoments(x + first, last - first + 1, reference, scale),
            merged(runMoments(x, first, reference, scale),
                   runMoments(x + last + 1, rows - last - 1, reference, scale))};
}

// A power of two that brings the largest value near 1, for values whose squares
// or sums leave the range of doubles; multiplying by it loses no digit (but
// the digits of values 1e300 times smaller than the largest, which count for
// nothing beside it).
double scaleDown(const double *x, size_t rows)
{
    double largest = 0;
    for (size_t i = 0; i < rows; ++i)
        largest = std::max(largest, std::fabs(x[i]));
    return std::isfinite(largest) && largest > 0 ? std::ldexp(1.0, -std::ilogb(largest)) : 0;
}

// Runs task(worker, k) for every k below count on up to workers threads (worker
// 0 to workers - 1: the thread's own), joined before it returns.
template <class Task> void forEachInParallel(size_t count, int workers, const Task &task)
{
    if (workers <= 1 || count <= 1) {
        for (size_t k = 0; k < count; ++k)
            task(0, k);
        return;
    }
    std::atomic<size_t> next{0};
    const auto work = [&](int worker) {
        for (size_t k = next++; k < count; k = next++)
            task(worker, k);
    };
    std::vector<std::jthread> pool;
    for (int t = 1; t < std::min<int>(workers, int(count)); ++t)
        pool.emplace_back(work, t);
    work(0);
}

int workersFor(int threads, size_t values)
{
    const int machine = threads > 0 ? threads : int(std::max(1u, std::thread::hardware_concurrency()));
    return int(std::clamp<size_t>(values / kValuesPerThread, 1, size_t(machine)));
}

}  // namespace

double changeScore(const double *x, size_t rows, size_t first, size_t last)
{
    if (first > last || last >= rows || rows - (last - first + 1) < 2)
        return 0;
    Groups groups = groupsOf(x, rows, first, last, 1.0);
    if (groups.outOfRange()) {
        const double scale = scaleDown(x, rows);
        if (scale == 0)
            return 0;
        groups = groupsOf(x, rows, first, last, scale);
        if (!std::isfinite(groups.inside.mean - groups.outside.mean))
            return 0;
    }
    const double difference = groups.inside.mean - groups.outside.mean;
    if (difference == 0)
        return 0;  // constant everywhere, or no change of the mean
    // Each group's spread around its own mean, with the two degrees of freedom
    // the two means take; 0 when each group is constant, which makes the change
    // infinitely large against it.
    const double pooledDeviation = std::sqrt((groups.inside.squares + groups.outside.squares) / double(rows - 2));
    const double score = difference / pooledDeviation;
    return std::isnan(score) ? 0 : score;
}

std::string rankingLineText(double score, const std::string &text)
{
    char number[32];
    std::snprintf(number, sizeof number, "%+.2f", score);
    return std::string(number) + "  " + text;
}

namespace {

// The ranking of the items scored (indexes into items) by score(worker, k), the
// k-th of them, on up to workers threads.
template <class Score>
ChangeRanking ranked(const std::vector<RankingItem> &items, const std::vector<size_t> &scored, size_t top,
                     int workers, const Score &score)
{
    ChangeRanking ranking;
    ranking.enoughRows = true;
    std::vector<double> scores(scored.size());
    forEachInParallel(scored.size(), workers, [&](int worker, size_t k) { scores[k] = score(worker, k); });

    std::vector<size_t> order(scores.size());
    std::iota(order.begin(), order.end(), size_t(0));
    const auto larger = [&](size_t p, size_t q) {
        const double sp = std::fabs(scores[p]), sq = std::fabs(scores[q]);
        return sp > sq || (sp == sq && p < q);
    };
    const size_t kept = std::min(top, order.size());
    std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(kept), order.end(), larger);
    for (size_t k = 0; k < kept; ++k) {
        const RankingItem &item = items[scored[order[k]]];
        ranking.lines.push_back({rankingLineText(scores[order[k]], item.text), scores[order[k]], item.column});
    }
    return ranking;
}

// The rows a..b clamped to the rows shown, and whether enough rows lie outside them.
bool rankedRows(size_t rows, size_t a, size_t b, size_t &first, size_t &last)
{
    if (rows == 0)
        return false;
    first = std::min({a, b, rows - 1});
    last = std::min(std::max(a, b), rows - 1);
    return rows - (last - first + 1) >= 2;
}

std::vector<size_t> scoredItems(const std::vector<RankingItem> &items)
{
    std::vector<size_t> scored;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].column != 1)
            scored.push_back(i);
    return scored;
}

}  // namespace

ChangeRanking rankByChange(const RankingValues &values, size_t rows, size_t a, size_t b,
                           const std::vector<RankingItem> &items, size_t top, int threads)
{
    const auto fill = [&](int32_t column, double *out) { std::copy_n(values(column), rows, out); };
    return rankByChange(RankingFill(fill), rows, a, b, items, top, threads);
}

ChangeRanking rankByChange(const RankingFill &fill, size_t rows, size_t a, size_t b,
                           const std::vector<RankingItem> &items, size_t top, int threads)
{
    size_t first = 0, last = 0;
    if (!rankedRows(rows, a, b, first, last))
        return {};
    const std::vector<size_t> scored = scoredItems(items);
    const int workers = workersFor(threads, rows * scored.size());
    std::vector<std::vector<double>> buffers(size_t(std::max(workers, 1)), std::vector<double>(rows));
    return ranked(items, scored, top, workers, [&](int worker, size_t k) {
        double *buffer = buffers[size_t(worker)].data();
        fill(items[scored[k]].column, buffer);
        return changeScore(buffer, rows, first, last);
    });
}

}  // namespace kavra::analysis
