// The viewer on large files: opens each file through the Open command of a real
// main window (offscreen), charts 16 items, then sorts the list in median order
// (every item's median over all rows) and charts the first 16 again. Prints the
// time of each step and the process's peak resident memory after it.
//
// Usage: kavra_week_view_bench FILE [FILE...]   (exit status 2 when a file does not load)

#include "ScriptedInteraction.h"
#include "app/MainWindow.h"
#include "items/ItemList.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

namespace {

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kavra_week_view_bench FILE [FILE...]\n");
        return 2;
    }
    ScriptedInteraction interaction;
    kavra::MainWindow window(interaction);
    window.Form_Load(QString());
    window.resize(1600, 900);
    window.show();
    QApplication::processEvents();

    const auto step = [&](const char *name, const std::function<void()> &command) {
        QElapsedTimer clock;
        clock.start();
        command();
        QApplication::processEvents();
        std::printf("%-34s %8.3f s   peak RSS %8.1f MiB\n", name, clock.elapsed() / 1000.0, peakMiB());
        std::fflush(stdout);
    };
    const auto chart16 = [&] {
        std::vector<kavra::ItemRow> &list = window.items().current().rows;
        for (size_t i = 0; i < list.size(); ++i)
            list[i].selected = i < 16;
        window.lvwKavra_Click();
    };

    step("open", [&] {
        for (int i = 1; i < argc; ++i) {
            interaction.openPath = QString::fromLocal8Bit(argv[i]);
            window.action(QStringLiteral("mnuOpenFile"))->trigger();
            QApplication::processEvents();
        }
    });
    if (window.items().current().rows.size() < 16) {
        std::fprintf(stderr, "the files did not load (%zu items)\n", window.items().current().rows.size());
        return 2;
    }
    step("chart 16 items", chart16);
    step("sort in median order", [&] { window.action(QStringLiteral("mnuSortInMedianOrder"))->trigger(); });
    step("chart 16 items again", chart16);
    return 0;
}
