// The yardstick of the start-up benchmark: a bare Qt program that shows one
// QCustomPlot with one line, sized as Kavra sizes its main window, and ends at its
// first paint, printing the time since main began (bench/StartupBench.sh).

#include "app/FirstPaintTimer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <qcustomplot.h>

#include <cmath>
#include <cstdio>

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QCustomPlot plot;
    QVector<double> x(1440), y(1440);
    for (int i = 0; i < x.size(); ++i) {
        x[i] = i;
        y[i] = 50 + 40 * std::sin(i / 60.0);
    }
    plot.addGraph()->setData(x, y);
    plot.rescaleAxes();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    plot.setGeometry(int(0.05 * screen.width()), int(0.1 * screen.height()), int(0.9 * screen.width()),
                     int(0.8 * screen.height()));
    plot.show();
    kavra::FirstPaintTimer exitAfterPaint(clock, "bare QCustomPlot");
    plot.installEventFilter(&exitAfterPaint);
    return QApplication::exec();
}
