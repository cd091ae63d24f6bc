// kavra_codec_measure: bytes per value and speed of Kavra's column codec beside
// the other codings it was chosen against, on the columns of real files.
//
//   kavra_codec_measure [--random N] LABEL=FILE[,FILE...] ...
//
// Each LABEL's files are loaded one by one with the loader (files that do not
// load are counted and skipped); every item column of every file, and every
// file's sample times, is coded whole by each coding:
//   kavra         CompressedColumn (decimal integers, frame of reference or
//                 delta, patched bit packing, exceptions; blocks of 1024)
//   gorilla       XOR with the previous value, leading/trailing zero windows
//                 (Facebook's Gorilla, VLDB 2015), one stream a column
//   zstd+shuffle  the doubles' bytes shuffled into eight planes, zstd level 1
//                 (what c-blosc does with shuffle and a fast codec)
//   zlib          the raw doubles, zlib level 6
// and each column is decoded again and compared bit for bit. --random N adds a
// row of N full-precision random doubles (uniform in [0, 1)). One thread;
// speeds are values a second over the whole label, best of three passes.
//
//   kavra_codec_measure --load-overhead FILE [RUNS]
//
// loads FILE RUNS times (default 5) as kavra-batch does, on every core, and
// after each load encodes every column of the table on as many threads, one
// block of 1024 rows after another as the loader will: prints each run, the
// medians and what encoding adds to the load.

#include "data/CompressedColumn.h"
#include "data/HeapReuse.h"
#include "data/DataSet.h"
#include "data/Loader.h"

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Column = std::vector<double>;
using Clock = std::chrono::steady_clock;

// --- Gorilla ----------------------------------------------------------------

class BitWriter {
public:
    void put(uint64_t value, unsigned bits)
    {
        for (unsigned i = bits; i-- > 0;) {
            if (used_ % 64 == 0)
                words_.push_back(0);
            words_.back() |= ((value >> i) & 1) << (63 - used_ % 64);
            ++used_;
        }
    }
    size_t bytes() const { return (used_ + 7) / 8; }
    const std::vector<uint64_t> &words() const { return words_; }

private:
    std::vector<uint64_t> words_;
    size_t used_ = 0;
};

class BitReader {
public:
    explicit BitReader(const std::vector<uint64_t> &words) : words_(words) {}
    uint64_t get(unsigned bits)
    {
        uint64_t v = 0;
        for (unsigned i = 0; i < bits; ++i, ++at_)
            v = v << 1 | ((words_[at_ / 64] >> (63 - at_ % 64)) & 1);
        return v;
    }

private:
    const std::vector<uint64_t> &words_;
    size_t at_ = 0;
};

BitWriter gorillaEncode(const Column &column)
{
    BitWriter out;
    uint64_t previous = 0;
    unsigned lead = 65, trail = 0;
    for (size_t i = 0; i < column.size(); ++i) {
        const uint64_t bits = std::bit_cast<uint64_t>(column[i]);
        if (i == 0) {
            out.put(bits, 64);
        } else if (const uint64_t x = bits ^ previous; x == 0) {
            out.put(0, 1);
        } else {
            const unsigned l = std::min(31u, static_cast<unsigned>(std::countl_zero(x)));
            const unsigned t = static_cast<unsigned>(std::countr_zero(x));
            if (lead <= 64 && l >= lead && t >= trail) {
                out.put(0b10, 2);
                out.put(x >> trail, 64 - lead - trail);
            } else {
                lead = l;
                trail = t;
                out.put(0b11, 2);
                out.put(lead, 5);
                out.put(64 - lead - trail - 1, 6);
                out.put(x >> trail, 64 - lead - trail);
            }
        }
        previous = bits;
    }
    return out;
}

Column gorillaDecode(const BitWriter &stream, size_t count)
{
    BitReader in(stream.words());
    Column column(count);
    uint64_t previous = 0;
    unsigned lead = 0, trail = 0;
    for (size_t i = 0; i < count; ++i) {
        if (i == 0) {
            previous = in.get(64);
        } else if (in.get(1) == 1) {
            if (in.get(1) == 1) {
                lead = static_cast<unsigned>(in.get(5));
                trail = 64 - lead - static_cast<unsigned>(in.get(6) + 1);
            }
            previous ^= in.get(64 - lead - trail) << trail;
        }
        column[i] = std::bit_cast<double>(previous);
    }
    return column;
}

// --- zstd with shuffle, zlib -------------------------------------------------

std::vector<uint8_t> shuffled(const Column &column)
{
    std::vector<uint8_t> planes(column.size() * 8);
    const auto *bytes = reinterpret_cast<const uint8_t *>(column.data());
    for (size_t i = 0; i < column.size(); ++i)
        for (size_t b = 0; b < 8; ++b)
            planes[b * column.size() + i] = bytes[i * 8 + b];
    return planes;
}

Column unshuffled(const std::vector<uint8_t> &planes, size_t count)
{
    Column column(count);
    auto *bytes = reinterpret_cast<uint8_t *>(column.data());
    for (size_t i = 0; i < count; ++i)
        for (size_t b = 0; b < 8; ++b)
            bytes[i * 8 + b] = planes[b * count + i];
    return column;
}

struct Coded {
    std::vector<uint8_t> bytes;
    size_t count = 0;
};

Coded zstdEncode(const Column &column)
{
    const std::vector<uint8_t> planes = shuffled(column);
    Coded out{std::vector<uint8_t>(ZSTD_compressBound(planes.size())), column.size()};
    out.bytes.resize(ZSTD_compress(out.bytes.data(), out.bytes.size(), planes.data(), planes.size(), 1));
    return out;
}

Column zstdDecode(const Coded &coded)
{
    std::vector<uint8_t> planes(coded.count * 8);
    ZSTD_decompress(planes.data(), planes.size(), coded.bytes.data(), coded.bytes.size());
    return unshuffled(planes, coded.count);
}

Coded zlibEncode(const Column &column)
{
    uLongf size = compressBound(column.size() * 8);
    Coded out{std::vector<uint8_t>(size), column.size()};
    compress2(out.bytes.data(), &size, reinterpret_cast<const Bytef *>(column.data()), column.size() * 8, 6);
    out.bytes.resize(size);
    return out;
}

Column zlibDecode(const Coded &coded)
{
    Column column(coded.count);
    uLongf size = coded.count * 8;
    uncompress(reinterpret_cast<Bytef *>(column.data()), &size, coded.bytes.data(), coded.bytes.size());
    return column;
}

// --- measuring ---------------------------------------------------------------

bool same(const Column &a, const Column &b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * 8) == 0;
}

struct Result {
    double bytes = 0;
    double encodeSeconds = 1e300, decodeSeconds = 1e300;
    bool exact = true;
};

template <class Encode, class Decode, class Size>
Result measure(const std::vector<Column> &columns, Encode encode, Decode decode, Size size)
{
    Result result;
    for (int pass = 0; pass < 3; ++pass) {
        double bytes = 0, encodeSeconds = 0, decodeSeconds = 0;
        for (const Column &column : columns) {
            const auto t0 = Clock::now();
            const auto coded = encode(column);
            const auto t1 = Clock::now();
            const Column back = decode(coded, column.size());
            const auto t2 = Clock::now();
            encodeSeconds += std::chrono::duration<double>(t1 - t0).count();
            decodeSeconds += std::chrono::duration<double>(t2 - t1).count();
            bytes += static_cast<double>(size(coded));
            result.exact = result.exact && same(back, column);
        }
        result.bytes = bytes;
        result.encodeSeconds = std::min(result.encodeSeconds, encodeSeconds);
        result.decodeSeconds = std::min(result.decodeSeconds, decodeSeconds);
    }
    return result;
}

void report(const std::string &label, const std::vector<Column> &columns)
{
    double values = 0;
    for (const Column &c : columns)
        values += static_cast<double>(c.size());
    if (values == 0)
        return;
    const Result results[] = {
        measure(
            columns,
            [](const Column &c) {
                kavra::CompressedColumn k;
                k.append(c.data(), c.size());
                k.shrinkToFit();
                return k;
            },
            [](const kavra::CompressedColumn &k, size_t) { return k.values(); },
            [](const kavra::CompressedColumn &k) { return k.byteSize(); }),
        measure(columns, gorillaEncode, gorillaDecode, [](const BitWriter &w) { return w.bytes(); }),
        measure(
            columns, zstdEncode, [](const Coded &c, size_t) { return zstdDecode(c); },
            [](const Coded &c) { return c.bytes.size(); }),
        measure(
            columns, zlibEncode, [](const Coded &c, size_t) { return zlibDecode(c); },
            [](const Coded &c) { return c.bytes.size(); }),
    };
    std::printf("%-28s %12.0f", label.c_str(), values);
    for (const Result &r : results)
        std::printf(" | %6.3f %7.0f %7.0f%s", r.bytes / values, values / r.encodeSeconds / 1e6,
                    values / r.decodeSeconds / 1e6, r.exact ? "" : " NOT EXACT");
    std::printf("\n");
    std::fflush(stdout);
}

struct Quiet : kavra::LoadObserver {};

// Every item column of every file, and each file's sample times apart.
void loadColumns(const std::string &list, std::vector<Column> &items, std::vector<Column> &times, int &failed)
{
    for (size_t from = 0; from <= list.size();) {
        const size_t comma = std::min(list.find(',', from), list.size());
        const std::string path = list.substr(from, comma - from);
        from = comma + 1;
        kavra::DataSet data;
        Quiet quiet;
        kavra::Loader loader(data, quiet);
        if (path.empty() || !loader.load(path).loaded) {
            failed += !path.empty();
            continue;
        }
        const auto rows = static_cast<size_t>(data.Row_Count);
        times.emplace_back(data.Xaxis_Values.begin(), data.Xaxis_Values.end());
        for (int c = 1; c <= data.Last_Used_Column; ++c)
            if (data.isItemColumn(c)) {
                const double *v = data.Perf_Data.column(c, 1);
                items.emplace_back(v, v + rows);
            }
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int loadOverhead(const std::string &path, int runs)
{
    const int threads = kavra::defaultLoadThreads();
    std::vector<double> loads, encodes;
    double bytes = 0, values = 0;
    for (int run = 0; run < runs; ++run) {
        kavra::DataSet data;
        Quiet quiet;
        kavra::Loader loader(data, quiet);
        const auto t0 = Clock::now();
        if (!loader.load(path).loaded) {
            std::fprintf(stderr, "%s does not load\n", path.c_str());
            return 1;
        }
        const auto t1 = Clock::now();
        const int columns = data.Last_Used_Column;
        const auto rows = static_cast<size_t>(data.Row_Count);
        std::vector<kavra::CompressedColumn> table(static_cast<size_t>(columns));
        std::atomic<int> next{1};
        {
            std::vector<std::jthread> pool;
            for (int t = 0; t < threads; ++t)
                pool.emplace_back([&] {
                    for (int c = next++; c <= columns; c = next++) {
                        kavra::CompressedColumn &column = table[static_cast<size_t>(c - 1)];
                        const double *v = data.Perf_Data.column(c, 1);
                        for (size_t r = 0; r < rows; r += kavra::CompressedColumn::kBlockRows)
                            column.append(v + r, std::min(kavra::CompressedColumn::kBlockRows, rows - r));
                        column.shrinkToFit();
                    }
                });
        }
        const auto t2 = Clock::now();
        loads.push_back(std::chrono::duration<double>(t1 - t0).count());
        encodes.push_back(std::chrono::duration<double>(t2 - t1).count());
        bytes = 0;
        for (const kavra::CompressedColumn &c : table)
            bytes += static_cast<double>(c.byteSize());
        values = static_cast<double>(rows) * columns;
        std::printf("run %d: load %.3f s, encode %.3f s\n", run + 1, loads.back(), encodes.back());
    }
    const double load = median(loads), encode = median(encodes);
    std::printf("%s: %d threads; median load %.3f s, encode %.3f s (+%.1f %%); %.3f bytes a value "
                "(%.0f values, sample times included)\n",
                path.c_str(), threads, load, encode, 100 * encode / load, bytes / values, values);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    kavra::keepFreedMemoryForReuse();  // as every Kavra program does
    if (argc >= 3 && std::string(argv[1]) == "--load-overhead")
        return loadOverhead(argv[2], argc >= 4 ? std::max(1, std::atoi(argv[3])) : 5);
    std::printf("%-28s %12s | %-22s | %-22s | %-22s | %-22s\n", "columns", "values", "kavra B/v enc dec",
                "gorilla B/v enc dec", "zstd+shuffle B/v enc dec", "zlib B/v enc dec");
    std::printf("%-28s %12s | (bytes a value; encode and decode in million values a second, one thread)\n", "", "");
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--random" && i + 1 < argc) {
            std::mt19937_64 random(42);
            Column c(std::stoul(argv[++i]));
            for (double &v : c)
                v = std::uniform_real_distribution<double>(0, 1)(random);
            report("random doubles", {c});
            continue;
        }
        const size_t eq = arg.find('=');
        if (eq == std::string::npos) {
            std::fprintf(stderr, "usage: kavra_codec_measure [--random N] LABEL=FILE[,FILE...] ...\n");
            return 2;
        }
        std::vector<Column> items, times;
        int failed = 0;
        loadColumns(arg.substr(eq + 1), items, times, failed);
        const std::string label = arg.substr(0, eq);
        report(label + " items", items);
        report(label + " sample times", times);
        if (failed > 0)
            std::printf("  (%s: %d files did not load)\n", label.c_str(), failed);
    }
    return 0;
}
