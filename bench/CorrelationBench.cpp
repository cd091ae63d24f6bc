// Correlation speed: one item against 2000 items of 20000 rows.
//
// 1. The computation: analysis::correlationList, as the correlation window calls
//    it, against a plain two-pass loop over the same columns in the same run
//    (best of 5 each); limit: at most 2 times the plain loop.
// 2. The whole Correlate command in a real main window (offscreen, 1600x900):
//    cmdCorrelate_Click and the events it leaves, until the correlation window is
//    shown with its list filled and the scatter diagram of the last line drawn;
//    limit: 0.5 s.
//
// Usage: kavra_correlation_bench   (exit status 1 when a limit is missed, 2 when
// the benchmark cannot run)
//
// The data file build/bench-data/correlate_20000x2000.csv is written once and
// reused: a reference item that wanders, every 20th item following it with noise
// (100 strong correlations), the others independent.

#include "ScriptedInteraction.h"
#include "analysis/Correlation.h"
#include "app/MainWindow.h"
#include "chart/ChartView.h"
#include "support/ChartAccess.h"
#include "data/DataSet.h"
#include "dialogs/CorrelationWindow.h"
#include "items/ItemList.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>

namespace {

constexpr int kRows = 20000;
constexpr int kItems = 2000;
constexpr double kComputationLimit = 2.0;  // times the plain loop
constexpr double kCommandLimitSeconds = 0.5;
const char *const kReference = "Reference";

bool writeDataFile(const QString &path)
{
    if (QFileInfo::exists(path))
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::printf("writing %s ...\n", qPrintable(path));
    std::ofstream out(path.toStdString() + ".tmp", std::ios::binary);
    out << "NODE1,Correlation benchmark\r\n06-DEC-2026,00:00:00\r\nSample Time," << kReference;
    for (int i = 1; i <= kItems; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, ",Item %04d", i);
        out << name;
    }
    out << "\r\n";
    std::mt19937 random(16);
    std::uniform_int_distribution<int> step(-5, 5), noise(0, 999);
    int reference = 5000;
    std::string line;
    for (int r = 0; r < kRows; ++r) {
        reference = std::clamp(reference + step(random), 0, 10000);
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", r / 3600, r / 60 % 60, r % 60);
        line = time;
        line += "," + std::to_string(reference);
        for (int i = 1; i <= kItems; ++i)
            line += "," + std::to_string(i % 20 == 0 ? reference * 2 + noise(random) / 10 : noise(random));
        out << line << "\r\n";
    }
    out.close();
    return out && QFile::rename(path + ".tmp", path);
}

// The plain reference: means first, then the sums of products, per candidate.
double plainLoop(const kavra::DataSet &data, int32_t reference,
                 const std::vector<kavra::analysis::CorrelationItem> &items, int &strong)
{
    const double *x = data.Perf_Data.column(reference, 1);
    const size_t n = size_t(data.Row_Count);
    double total = 0;
    strong = 0;
    for (const auto &item : items) {
        if (item.column == reference || item.column == 1)
            continue;
        const double *y = data.Perf_Data.column(item.column, 1);
        double mx = 0, my = 0;
        for (size_t i = 0; i < n; ++i) {
            mx += x[i];
            my += y[i];
        }
        mx /= double(n);
        my /= double(n);
        double sxx = 0, syy = 0, sxy = 0;
        for (size_t i = 0; i < n; ++i) {
            sxx += (x[i] - mx) * (x[i] - mx);
            syy += (y[i] - my) * (y[i] - my);
            sxy += (x[i] - mx) * (y[i] - my);
        }
        const double r = sxy / std::sqrt(sxx * syy);
        strong += std::fabs(r) > 0.8;
        total += r;
    }
    return total;
}

template <class F> double bestOf(int runs, F run)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        run();
        best = std::min(best, clock.nsecsElapsed() / 1e9);
    }
    return best;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString dataPath =
        QDir::cleanPath(QCoreApplication::applicationDirPath() +
                        QStringLiteral("/../bench-data/correlate_%1x%2.csv").arg(kRows).arg(kItems));
    if (!writeDataFile(dataPath)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(dataPath));
        return 2;
    }

    ScriptedInteraction interaction;
    interaction.openPath = dataPath;
    kavra::MainWindow window(interaction);
    window.Form_Load(QString());
    window.resize(1600, 900);
    window.show();
    QApplication::processEvents();
    window.action(QStringLiteral("mnuOpenFile"))->trigger();
    QApplication::processEvents();
    std::vector<kavra::ItemRow> &rows = window.items().current().rows;
    if (rows.size() != size_t(kItems + 1)) {
        std::fprintf(stderr, "the file did not load: %zu items\n", rows.size());
        return 2;
    }
    int32_t reference = 0;
    std::vector<kavra::analysis::CorrelationItem> items;
    for (kavra::ItemRow &row : rows) {
        row.selected = row.text == kReference;
        if (row.selected)
            reference = row.tag;
        items.push_back({row.text, row.tag});
    }
    window.lvwKavra_Click();
    QApplication::processEvents();
    const kavra::DataSet &data = window.data();

    // ---- The computation ----
    size_t kavraLines = 0;
    const double kavraSeconds = bestOf(5, [&] {
        kavraLines = kavra::analysis::correlationList([&](int32_t column) { return data.Perf_Data.column(column, 1); },
                                                      size_t(data.Row_Count), reference, items)
                         .size();
    });
    int plainStrong = 0;
    volatile double sink = 0;
    const double plainSeconds = bestOf(5, [&] { sink = sink + plainLoop(data, reference, items, plainStrong); });
    const double ratio = kavraSeconds / plainSeconds;

    // ---- The whole command ----
    interaction.messages = 0;
    QElapsedTimer clock;
    clock.start();
    window.cmdCorrelate_Click();
    QApplication::processEvents();
    const double commandSeconds = clock.nsecsElapsed() / 1e9;
    const kavra::CorrelationWindow *correlation = window.correlationWindow();
    const bool shown = correlation && correlation->isVisible();
    const qsizetype listed = correlation ? correlation->lines().size() : 0;
    const int scatterPoints =
        correlation && correlation->scatter().seriesCount() > 0 ? pointCount(correlation->scatter(), 0) : 0;

    std::printf("1 item against %d items of %d rows\n", kItems, kRows);
    std::printf("correlationList:          %8.4f s  (%zu lines)\n", kavraSeconds, kavraLines);
    std::printf("plain two-pass loop:      %8.4f s  (%d strong)\n", plainSeconds, plainStrong);
    std::printf("ratio:                    %8.2f   (limit %.1f)  %s\n", ratio, kComputationLimit,
                ratio <= kComputationLimit ? "PASS" : "FAIL");
    std::printf("Correlate command:        %8.4f s  (limit %.1f s; window %s, %lld lines, scatter of %d points)  %s\n",
                commandSeconds, kCommandLimitSeconds, shown ? "shown" : "NOT SHOWN", static_cast<long long>(listed),
                scatterPoints, commandSeconds <= kCommandLimitSeconds ? "PASS" : "FAIL");
    if (!shown || listed != qsizetype(kavraLines) || scatterPoints != kRows || kavraLines != size_t(plainStrong)) {
        std::fprintf(stderr, "the command did not show what it should\n");
        return 2;
    }
    const bool pass = ratio <= kComputationLimit && commandSeconds <= kCommandLimitSeconds;
    std::printf("%s\n", pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
