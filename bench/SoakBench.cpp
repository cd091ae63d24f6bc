// Soak: many large files loaded together in a real main window (offscreen), then
// the everyday commands over and over for a given time: the redraw of one item in
// every file, a zoom with its after-draw narrowing, the zoomed redraw and Undo
// Zoom/Scroll, the sorts (alphabetical, original order), the removals and their
// reverts, Save as ... and the chart exported as PNG and PDF. The window offers the
// moving average only up to 4 series, and the median sort and Correlate only with
// one file open, so a second window holding the first file alone runs those: the
// moving average on and off, Sort in Median order and its revert, Correlate and
// the redraw that closes it. Each command's time is recorded (min, median, max),
// and after each loop the resident memory and its change since the loop before.
//
// Checks: the peak resident memory (getrusage) at most 1.3 x the value table of the
// many-file window (the one-file window's table, 1/16 of it, counts against it), and
// no growth from loop to loop: the resident memory after the last loop at most
// kGrowthNoise above the one after the second loop (the first loop fills caches).
//
// Usage: kavra_soak_bench [--minutes M] [--loops N] FILE...
//   (bench/soak.sh writes the 16 files and runs it; exit 1 on FAIL, 2 when it
//   cannot run)

#include "ScriptedInteraction.h"
#include "app/MainWindow.h"
#include "chart/ChartView.h"
#include "data/DataSet.h"
#include "items/ItemList.h"
#include "itemviews/ItemListView.h"
#include "output/ChartExport.h"
#include "ui/Interaction.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr double kMemoryFactor = 1.3;
constexpr double kGrowthNoise = 64.0 * 1024 * 1024;  // bytes
constexpr double kMiB = 1024.0 * 1024.0;


// Resident memory now, in bytes.
double residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

// The highest resident memory so far, in bytes.
double peakBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024.0;
}

struct Stats {
    std::vector<double> seconds;
    void add(double s) { seconds.push_back(s); }
    double min() const { return *std::min_element(seconds.begin(), seconds.end()); }
    double max() const { return *std::max_element(seconds.begin(), seconds.end()); }
    double median() const
    {
        std::vector<double> s = seconds;
        std::sort(s.begin(), s.end());
        const size_t n = s.size();
        return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
    }
};

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    double minutes = 10;
    int maxLoops = 0;
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--minutes") && i + 1 < argc)
            minutes = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--loops") && i + 1 < argc)
            maxLoops = std::atoi(argv[++i]);
        else
            files << QString::fromLocal8Bit(argv[i]);
    }
    if (files.isEmpty() || files.size() > kavra::kFileLimit) {
        std::fprintf(stderr, "usage: kavra_soak_bench [--minutes M] [--loops N] FILE...   (1 to 16 files)\n");
        return 2;
    }
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 2;
    }

    ScriptedInteraction ui;
    kavra::MainWindow window(ui);
    window.Form_Load(QString());
    window.resize(1600, 900);
    window.show();
    QApplication::processEvents();
    auto *listView = window.findChild<kavra::ItemListView *>(QStringLiteral("lvwKavra"));

    // ---- Load every file, as repeated Open commands ----
    QElapsedTimer clock;
    clock.start();
    for (const QString &file : files) {
        ui.openPath = file;
        window.action(QStringLiteral("mnuOpenFile"))->trigger();
        QApplication::processEvents();
    }
    ui.openPath.clear();
    const double loadSeconds = clock.elapsed() / 1000.0;
    const kavra::DataSet &data = window.data();
    if (data.Files_Open != files.size()) {
        std::fprintf(stderr, "only %d of %lld files loaded\n", data.Files_Open, static_cast<long long>(files.size()));
        return 2;
    }
    const double table = double(data.Perf_Data.files()) * data.Perf_Data.rows() * data.Perf_Data.columns() * 8.0;
    const size_t itemCount = window.items().current().rows.size();
    std::printf("%d files, %d rows, %zu items; value table %d x %d x %d x 8 bytes = %.1f MiB\n", data.Files_Open,
                data.Row_Count, itemCount, data.Perf_Data.files(), data.Perf_Data.rows(), data.Perf_Data.columns(),
                table / kMiB);
    std::printf("load of all files: %.1f s; resident %.1f MiB, peak %.1f MiB\n", loadSeconds, residentBytes() / kMiB,
                peakBytes() / kMiB);

    ScriptedInteraction singleUi;
    kavra::MainWindow single(singleUi);
    single.Form_Load(QString());
    single.resize(1600, 900);
    single.show();
    singleUi.openPath = files.front();
    single.action(QStringLiteral("mnuOpenFile"))->trigger();
    QApplication::processEvents();
    singleUi.openPath.clear();
    if (single.data().Files_Open != 1) {
        std::fprintf(stderr, "the one-file window did not load %s\n", qPrintable(files.front()));
        return 2;
    }
    auto *singleListView = single.findChild<kavra::ItemListView *>(QStringLiteral("lvwKavra"));
    std::printf("one-file window loaded; resident %.1f MiB, peak %.1f MiB\n", residentBytes() / kMiB,
                peakBytes() / kMiB);
    std::fflush(stdout);
    if (itemCount < 20) {
        std::fprintf(stderr, "too few items to soak: %zu\n", itemCount);
        return 2;
    }

    std::vector<std::string> order;
    std::map<std::string, Stats> stats;
    const auto time = [&](const std::string &name, const std::function<void()> &command) {
        QElapsedTimer c;
        c.start();
        command();
        QApplication::processEvents();
        const double seconds = c.elapsed() / 1000.0;
        if (!stats.count(name))
            order.push_back(name);
        stats[name].add(seconds);
    };
    // A menu entry of a window; an entry the window has disabled is reported, not run.
    const auto menuOf = [&](kavra::MainWindow &w, ScriptedInteraction &u, const std::string &name, const char *action,
                            std::initializer_list<QString> answers) {
        QAction *entry = w.action(QString::fromLatin1(action));
        if (!entry->isEnabled()) {
            std::printf("  (%s is disabled)\n", action);
            return;
        }
        time(name, [&] {
            u.answers.assign(answers.begin(), answers.end());
            entry->trigger();
        });
    };
    const auto menu = [&](const std::string &name, const char *action, std::initializer_list<QString> answers = {}) {
        menuOf(window, ui, name, action, answers);
    };
    const auto singleMenu = [&](const std::string &name, const char *action,
                                std::initializer_list<QString> answers = {}) {
        menuOf(single, singleUi, "[one file] " + name, action, answers);
    };
    const auto selectIn = [&](kavra::MainWindow &w, kavra::ItemListView *view, std::initializer_list<size_t> rows) {
        std::vector<kavra::ItemRow> &list = w.items().current().rows;
        for (kavra::ItemRow &row : list)
            row.selected = false;
        for (size_t i : rows)
            if (i < list.size())
                list[i].selected = true;
        if (view)
            view->refresh();
    };
    const auto select = [&](std::initializer_list<size_t> rows) { selectIn(window, listView, rows); };
    const auto revert = [&] { menu("Revert to Previous Item List", "mnuRevertToPreviousItemList"); };

    const QString savePath = scratch.filePath(QStringLiteral("saved.csv"));
    const QString pngPath = scratch.filePath(QStringLiteral("chart.png"));
    const QString pdfPath = scratch.filePath(QStringLiteral("chart.pdf"));
    const int rows = data.Row_Count;
    const auto sampleTime = [&](int row) { return data.sampleTime(row); };

    std::vector<double> loopResident;
    QElapsedTimer soak;
    soak.start();
    int seriesSeen = 0;
    const int baseIndex = window.items().index(), singleBaseIndex = single.items().index();
    for (int loop = 1;; ++loop) {
        select({0});
        time("Redraw (1 item in every file)", [&] { window.lvwKavra_Click(); });
        seriesSeen = window.chart().seriesCount();

        time("Zoom (showTimeRange + after-draw narrowing)", [&] {
            window.chart().showTimeRange(sampleTime(rows / 4) + 1e-6, sampleTime(3 * rows / 4) - 1e-6);
        });
        const int zoomFirst = window.state().rows.Zoom_First_Row, zoomLast = window.state().rows.Zoom_Last_Row;
        time("Redraw (zoomed rows)", [&] { window.lvwKavra_Click(); });
        time("Zoom again", [&] {
            window.chart().showTimeRange(sampleTime(rows / 3) + 1e-6, sampleTime(rows / 2) - 1e-6);
        });
        time("Undo Zoom/Scroll", [&] { window.cmdZoomReset_Click(); });
        if (window.state().rows.Zoom_First_Row != 1 || window.state().rows.Zoom_Last_Row != rows)
            std::printf("  (after Undo Zoom/Scroll the rows are %d to %d)\n", window.state().rows.Zoom_First_Row,
                        window.state().rows.Zoom_Last_Row);

        menu("Sort Items in Alphabetical Order (3)", "mnuSortItemsinAlphabeticalOrder", {QStringLiteral("3")});
        menu("List Items in Original Order", "mnuListItemsinOriginalOrder");
        menu("Remove Items with Zero Values", "mnuRemoveZeroItems");
        revert();
        select({1, 7, 100, 333});
        menu("Remove Selected Item(s)", "mnuRemoveSelectedItems");
        revert();
        menu("Remove Item(s) containing string (Busy 001)", "mnuRemoveItemsContainingString",
             {QStringLiteral("Busy 001")});
        revert();

        // The one-file window: moving average, median sort, Correlate.
        selectIn(single, singleListView, {0});
        time("[one file] Redraw (1 item)", [&] { single.lvwKavra_Click(); });
        singleMenu("Toggle Moving Average (on)", "mnuToggleMovingAverage");
        singleMenu("Toggle Moving Average (off)", "mnuToggleMovingAverage");
        singleMenu("Sort in Median order", "mnuSortInMedianOrder");
        singleMenu("Revert to Previous Item List", "mnuRevertToPreviousItemList");
        selectIn(single, singleListView, {0});
        single.lvwKavra_Click();
        QApplication::processEvents();
        time("[one file] Correlate (one item selected)", [&] { single.cmdCorrelate_Click(); });
        time("[one file] Redraw (closes the correlation)", [&] { single.lvwKavra_Click(); });

        ui.savePath = savePath;
        menu("Save as ... (all rows, file 1)", "mnuSaveDataAs");
        ui.savePath.clear();
        QFile::remove(savePath);
        QString error;
        time("Export PNG", [&] { error = kavra::exportChart(window.chart(), pngPath, kavra::ImageFormat::Png); });
        if (!error.isEmpty())
            std::printf("  (PNG export: %s)\n", qPrintable(error));
        time("Export PDF", [&] { error = kavra::exportChart(window.chart(), pdfPath, kavra::ImageFormat::Pdf); });
        if (!error.isEmpty())
            std::printf("  (PDF export: %s)\n", qPrintable(error));
        QFile::remove(pngPath);
        QFile::remove(pdfPath);

        const double resident = residentBytes();
        const double growth = loopResident.empty() ? 0 : resident - loopResident.back();
        loopResident.push_back(resident);
        std::printf("loop %3d  %7.1f s  resident %8.1f MiB  (%+7.1f MiB)  peak %8.1f MiB  series %d  zoom %d-%d  "
                    "revision %d  messages %d\n",
                    loop, soak.elapsed() / 1000.0, resident / kMiB, growth / kMiB, peakBytes() / kMiB, seriesSeen,
                    zoomFirst, zoomLast, window.items().index(), ui.messages + singleUi.messages);
        std::fflush(stdout);
        if (window.items().index() != baseIndex || single.items().index() != singleBaseIndex)
            std::printf("  (the item lists are at revisions %d and %d, not %d and %d)\n", window.items().index(),
                        single.items().index(), baseIndex, singleBaseIndex);
        if (maxLoops > 0 ? loop >= maxLoops : soak.elapsed() >= minutes * 60000.0)
            break;
    }

    std::printf("\n%-46s %6s %9s %9s %9s\n", "command", "runs", "min s", "median s", "max s");
    for (const std::string &name : order) {
        const Stats &s = stats[name];
        std::printf("%-46s %6zu %9.3f %9.3f %9.3f\n", name.c_str(), s.seconds.size(), s.min(), s.median(), s.max());
    }
    const double peak = peakBytes();
    const double limit = kMemoryFactor * table;
    const bool memoryOk = peak <= limit;
    const double drift = loopResident.size() >= 3 ? loopResident.back() - loopResident[1] : 0;
    const bool growthOk = drift <= kGrowthNoise;
    std::printf("\nsoak: %zu loops in %.1f min; %d message(s)\n", loopResident.size(), soak.elapsed() / 60000.0,
                ui.messages + singleUi.messages);
    std::printf("peak resident %.1f MiB, limit %.1f MiB (%.1f x the value table %.1f MiB): %s\n", peak / kMiB,
                limit / kMiB, kMemoryFactor, table / kMiB, memoryOk ? "PASS" : "FAIL");
    if (loopResident.size() >= 3)
        std::printf("resident after loop 2 %.1f MiB, after loop %zu %.1f MiB: growth %+.1f MiB, limit %.1f MiB: %s\n",
                    loopResident[1] / kMiB, loopResident.size(), loopResident.back() / kMiB, drift / kMiB,
                    kGrowthNoise / kMiB, growthOk ? "PASS" : "FAIL");
    else
        std::printf("growth: fewer than 3 loops, not judged\n");
    const bool pass = memoryOk && growthOk;
    std::printf("%s\n", pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
