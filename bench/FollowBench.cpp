// Follow Growing Files under load: 16 files in a real main window (offscreen),
// each gaining 10 records a second, one follow tick every interval. Each tick
// is timed from the timer event to the chart drawn again (reading, adding the
// rows, derived items, the redraw); the read part alone is timed too. Ticks are
// run back to back with the records of one interval appended before each, so
// the run takes seconds, not the hours it covers.
//
// Usage: kavra_follow_bench [ROWS [ITEMS [TICKS [INTERVAL [PICTURE.png]]]]]
//        (defaults 3600 rows, 100 items, 200 ticks, 5 s); with a picture named,
//        the window as the last tick left it is written there.

#include "ScriptedInteraction.h"
#include "app/FollowCommands.h"
#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <time.h>
#include <vector>

namespace {

constexpr int kFiles = 16;
constexpr int kRecordsPerSecond = 10;

std::string timeText(long long second)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%lld", second / 36000 % 24, second / 600 % 60,
                  second / 10 % 60, second % 10);
    return text;
}

// Records from..to (exclusive), a tenth of a second apart.
std::string records(int file, long long from, long long to, int items)
{
    std::ostringstream out;
    for (long long r = from; r < to; ++r) {
        out << "09-DEC-2026 " << timeText(r);
        for (int i = 1; i <= items; ++i)
            out << ',' << (r * 7 + i * 13 + file) % 1000 << '.' << (r + i) % 100;
        out << "\r\n";
    }
    return out.str();
}

std::string header(int file, int items)
{
    std::ostringstream out;
    out << "NODE" << file << ",bench\r\n09-DEC-2026,00:00:00\r\nSample Time";
    for (int i = 1; i <= items; ++i)
        out << ",Item " << i;
    out << "\r\n";
    return out.str();
}

struct Figures {
    double median = 0, p95 = 0, max = 0;
};

Figures figures(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    if (ms.empty())
        return {};
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 95 / 100)], ms.back()};
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 3600;
    const int items = argc > 2 ? std::atoi(argv[2]) : 100;
    const int ticks = argc > 3 ? std::atoi(argv[3]) : 200;
    const int interval = argc > 4 ? std::atoi(argv[4]) : 5;
    const long long perTick = static_cast<long long>(interval) * kRecordsPerSecond;

    QTemporaryDir dir;
    std::vector<std::string> paths;
    for (int f = 1; f <= kFiles; ++f) {
        paths.push_back(QDir(dir.path()).filePath(QStringLiteral("live%1.csv").arg(f)).toStdString());
        std::ofstream(paths.back(), std::ios::binary) << header(f, items) << records(f, 0, rows, items);
    }

    ScriptedInteraction ui;
    kavra::MainWindow window(ui);
    window.Form_Load(QString());
    window.resize(1600, 1000);
    window.show();
    for (const std::string &path : paths) {
        ui.openPath = QString::fromStdString(path);
        window.mnuOpenFile_Click();
    }
    QApplication::processEvents();
    std::printf("%d files of %d rows x %d items, %lld records a file each %d s tick, %d ticks\n", window.data().Files_Open,
                rows, items, perTick, interval, ticks);

    kavra::FollowCommands &follow = *window.followCommands();
    window.action(QStringLiteral("mnuFollowGrowingFiles"))->trigger();
    std::vector<double> eventMs, cpuMs, paintMs;
    // The thread's own processor time: what the tick costs on an idle machine.
    const auto cpuNow = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    };
    long long written = rows;
    using Clock = std::chrono::steady_clock;
    const auto since = [](Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); };
    for (int t = 0; t < ticks; ++t) {
        for (int f = 1; f <= kFiles; ++f)
            std::ofstream(paths[size_t(f - 1)], std::ios::binary | std::ios::app)
                << records(f, written, written + perTick, items);
        written += perTick;
        auto start = Clock::now();
        double cpu = cpuNow();
        follow.tick();
        eventMs.push_back(since(start));
        cpuMs.push_back(cpuNow() - cpu);
        // A tick that ran out of time goes on at the next event, and the chart is
        // drawn again in an event of its own.
        while (window.data().Row_Count < written || follow.pending()) {
            start = Clock::now();
            cpu = cpuNow();
            QApplication::processEvents();
            eventMs.push_back(since(start));
            cpuMs.push_back(cpuNow() - cpu);
        }
        start = Clock::now();
        QApplication::processEvents();  // the paint that follows, as the event loop would run it
        paintMs.push_back(since(start));
    }
    if (argc > 5)
        window.grab().save(QString::fromLocal8Bit(argv[5]));
    const Figures tick = figures(eventMs), cpu = figures(cpuMs), paint = figures(paintMs);
    std::printf("rows now %d (expected %lld), messages %d\n", window.data().Row_Count, written, ui.messages);
    std::printf("timer events (read, rows and derived items, or redraw): median %.2f ms, p95 %.2f ms, max %.2f ms over %zu\n",
                tick.median, tick.p95, tick.max, eventMs.size());
    std::printf("  their processor time: median %.2f ms, p95 %.2f ms, max %.2f ms\n", cpu.median, cpu.p95, cpu.max);
    std::printf("paint after a tick: median %.2f ms, p95 %.2f ms, max %.2f ms\n", paint.median, paint.p95, paint.max);
    return window.data().Row_Count == written && tick.max < 50 ? 0 : 1;
}
