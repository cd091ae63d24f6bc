// kavra_week_gen: writes a large performance data file fast, for the memory and
// load benchmarks (bench/week_bench.sh), in the collector's plain layout with
// CR LF terminators and one sample a second.
//
//   kavra_week_gen [--rows N] [--items N] [--seed S] OUT.csv
//
// Defaults: 604800 rows (a week at 1 s), 500 items, seed 1. The items are a mix
// like a node's collection: about a fifth zero or constant, integer counters
// (per-interval counts, cumulative counts and rare bursts), percentages with one
// decimal (some written with a % suffix), rates with two decimals (some in K)
// and small queue lengths. Each item wanders from sample to sample as busy
// metrics do. The same arguments always give the same file.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Random {  // splitmix64: fast, and the same everywhere
    uint64_t state;
    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }  // [0, 1)
    double symmetric() { return 2 * uniform() - 1; }                          // (-1, 1)
};

enum class Kind { Zero, Constant, Count, Cumulative, Burst, Percent, Rate, Queue };

struct Item {
    Kind kind;
    std::string name;
    int decimals = 0;     // digits after the point
    char suffix = 0;      // '%', 'K' or none
    double level = 0;     // where the value wanders around
    double value = 0;     // the current value, in units of the last digit
    double spread = 0;    // the noise of one sample, same units
    long long total = 0;  // cumulative counters
};

Kind kindOf(double u)
{
    // About a fifth zero or constant; the rest counters, percentages and rates.
    if (u < 0.12)
        return Kind::Zero;
    if (u < 0.20)
        return Kind::Constant;
    if (u < 0.36)
        return Kind::Count;
    if (u < 0.42)
        return Kind::Cumulative;
    if (u < 0.48)
        return Kind::Burst;
    if (u < 0.72)
        return Kind::Percent;
    if (u < 0.92)
        return Kind::Rate;
    return Kind::Queue;
}

std::vector<Item> makeItems(int count, Random &random)
{
    static const char *const kBases[] = {"CPU Busy",   "Disk Reads/s",  "Disk Writes/s", "Process Busy",
                                         "Messages/s", "Net Packets/s", "Memory Pages",  "TMF Trans/s"};
    std::vector<Item> items(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        Item &item = items[static_cast<size_t>(i)];
        item.kind = kindOf(random.uniform());
        char name[64];
        std::snprintf(name, sizeof name, "%s %05d", kBases[i % 8], i + 1);
        item.name = name;
        switch (item.kind) {
        case Kind::Zero: break;
        case Kind::Constant: item.value = std::round(std::pow(2.0, static_cast<double>(random.next() % 20))); break;
        case Kind::Count:
            item.level = std::round(std::pow(10.0, 1 + 4 * random.uniform()));
            item.spread = std::max(1.0, item.level * 0.05);
            break;
        case Kind::Cumulative: item.total = static_cast<long long>(random.next() % 100000000); break;
        case Kind::Burst: item.level = 0; break;
        case Kind::Percent:
            item.decimals = 1;
            item.suffix = random.uniform() < 0.3 ? '%' : 0;
            item.level = 1000 * random.uniform();  // tenths of a percent
            item.spread = 5 + 30 * random.uniform();
            break;
        case Kind::Rate:
            item.decimals = 2;
            item.suffix = random.uniform() < 0.15 ? 'K' : 0;
            item.level = std::round(std::pow(10.0, 2 + 4 * random.uniform()));
            item.spread = std::max(1.0, item.level * 0.03);
            if (item.suffix == 'K') {
                item.decimals = 1;
                item.level = std::round(10 + 500 * random.uniform());
                item.spread = std::max(1.0, item.level * 0.05);
            }
            break;
        case Kind::Queue:
            item.decimals = 2;
            item.level = std::round(200 * random.uniform());
            item.spread = 3 + 10 * random.uniform();
            break;
        }
        item.value = item.kind == Kind::Constant ? item.value : item.level;
    }
    return items;
}

// The next value of an item, in units of its last digit.
long long step(Item &item, Random &random)
{
    switch (item.kind) {
    case Kind::Zero: return 0;
    case Kind::Constant: return static_cast<long long>(item.value);
    case Kind::Cumulative: return item.total += static_cast<long long>(random.next() % 64);
    case Kind::Burst: return random.next() % 997 == 0 ? static_cast<long long>(1 + random.next() % 40) : 0;
    case Kind::Percent: {
        // Wanders slowly round its level, with noise on top, inside 0 to 100 %.
        item.level = std::clamp(item.level + random.symmetric() * 4, 0.0, 1000.0);
        return std::llround(std::clamp(item.level + random.symmetric() * item.spread, 0.0, 1000.0));
    }
    default:
        item.value =
            std::max(0.0, item.value + random.symmetric() * item.spread * 0.2 + (item.level - item.value) * 0.01);
        return std::max(0LL, std::llround(item.value + random.symmetric() * item.spread));
    }
}

class Output {
public:
    explicit Output(std::FILE *file) : file_(file) { buffer_.reserve(kSize + 4096); }
    ~Output() { flush(); }
    void text(std::string_view s) { buffer_.append(s); }
    void put(char c) { buffer_.push_back(c); }
    void integer(long long v)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
        buffer_.append(digits, static_cast<size_t>(end - digits));
    }
    // v units of the last of decimals digits: 1234 with 2 decimals is 12.34.
    void decimal(long long v, int decimals)
    {
        if (decimals == 0)
            return integer(v);
        static constexpr long long kPowers[] = {1, 10, 100, 1000};
        integer(v / kPowers[decimals]);
        const long long fraction = v % kPowers[decimals];
        if (fraction == 0)
            return;  // "12" rather than "12.00", as collectors write
        put('.');
        char digits[8];
        for (int d = decimals - 1; d >= 0; --d) {
            digits[d] = static_cast<char>('0' + fraction / kPowers[decimals - 1 - d] % 10);
        }
        int length = decimals;
        while (length > 1 && digits[length - 1] == '0')
            --length;
        buffer_.append(digits, static_cast<size_t>(length));
    }
    void endRecord()
    {
        buffer_.append("\r\n");
        if (buffer_.size() >= kSize)
            flush();
    }
    bool flush()
    {
        const bool ok = std::fwrite(buffer_.data(), 1, buffer_.size(), file_) == buffer_.size();
        buffer_.clear();
        return ok;
    }

private:
    static constexpr size_t kSize = size_t(4) << 20;
    std::FILE *file_;
    std::string buffer_;
};

const char *const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// DD-MON-YYYY of day n after 6 December 2026 (the run stays within a year or so).
std::string dateText(long long day)
{
    static const int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int year = 2026, month = 11, d = 6 + static_cast<int>(day);
    for (;;) {
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        const int length = kLengths[month] + (month == 1 && leap);
        if (d <= length)
            break;
        d -= length;
        if (++month == 12) {
            month = 0;
            ++year;
        }
    }
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%s-%04d", d, kMonths[month], year);
    return text;
}

int usage()
{
    std::fprintf(stderr, "usage: kavra_week_gen [--rows N] [--items N] [--seed S] OUT.csv\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    long long rows = 604800, items = 500, seed = 1;
    const char *path = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        long long *target = arg == "--rows" ? &rows : arg == "--items" ? &items : arg == "--seed" ? &seed : nullptr;
        if (target && i + 1 < argc)
            *target = std::atoll(argv[++i]);
        else if (!target && !path && !arg.starts_with("--"))
            path = argv[i];
        else
            return usage();
    }
    if (!path || rows < 2 || items < 1 || items > 100000)
        return usage();
    std::FILE *file = std::fopen(path, "wb");
    if (!file) {
        std::perror(path);
        return 1;
    }
    Random random{static_cast<uint64_t>(seed) * 0x2545F4914F6CDD1Dull};
    std::vector<Item> columns = makeItems(static_cast<int>(items), random);
    {
        Output out(file);
        char node[32];
        std::snprintf(node, sizeof node, "NODE%02lld", seed % 100);
        out.text(node);
        out.text(",Vesk collector 4.2,Interval 1s\r\n");
        out.text(dateText(0));
        out.text(",00:00:00,A week of samples\r\nSample Time");
        for (const Item &item : columns) {
            out.put(',');
            out.text(item.name);
        }
        out.endRecord();
        std::string date;
        for (long long r = 0; r < rows; ++r) {
            const long long second = r % 86400;
            if (second == 0 || r == 0)
                date = dateText(r / 86400);
            char time[16];
            std::snprintf(time, sizeof time, " %02lld:%02lld:%02lld", second / 3600, second / 60 % 60, second % 60);
            out.text(date);
            out.text(time);
            for (Item &item : columns) {
                out.put(',');
                out.decimal(step(item, random), item.decimals);
                if (item.suffix && item.kind != Kind::Zero)
                    out.put(item.suffix);
            }
            out.endRecord();
        }
        if (!out.flush()) {
            std::perror(path);
            return 1;
        }
    }
    if (std::fclose(file) != 0) {
        std::perror(path);
        return 1;
    }
    return 0;
}
