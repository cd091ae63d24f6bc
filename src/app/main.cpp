#include "app/FirstPaintTimer.h"
#include "app/MainWindow.h"
#include "data/HeapReuse.h"
#include "ui/QtInteraction.h"

#include <QApplication>
#include <QElapsedTimer>

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    kavra::keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavra"));
    // The whole command line is one path: arguments are joined with one blank.
    const QStringList arguments = QApplication::arguments().mid(1);
    kavra::QtInteraction interaction;
    kavra::MainWindow window(interaction);
    window.Form_Load(arguments.join(QLatin1Char(' ')));
    window.show();
    // KAVRA_EXIT_AFTER_PAINT=1, for the start-up benchmark.
    kavra::FirstPaintTimer exitAfterPaint(clock, "kavra");
    if (qEnvironmentVariableIntValue("KAVRA_EXIT_AFTER_PAINT") == 1) {
        window.installEventFilter(&exitAfterPaint);
        window.update();
    }
    return QApplication::exec();
}
