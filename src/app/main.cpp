#include "app/MainWindow.h"
#include "app/QtInteraction.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

// KAVRA_EXIT_AFTER_PAINT=1, for the start-up benchmark: at the first paint of the
// main window after start-up, print the time since main began and end the program.
class ExitAfterFirstPaint : public QObject {
public:
    explicit ExitAfterFirstPaint(const QElapsedTimer &clock) : clock_(clock) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            // The rest of this paint (the child controls) completes before the timer runs.
            QTimer::singleShot(0, [this] {
                std::printf("kavra: first paint after %.1f ms\n", double(clock_.nsecsElapsed()) / 1e6);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    const QElapsedTimer &clock_;
    bool painted_ = false;
};

}  // namespace

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavra"));
    // The whole command line is one path: arguments are joined with one blank.
    const QStringList arguments = QApplication::arguments().mid(1);
    kavra::QtInteraction interaction;
    kavra::MainWindow window(interaction);
    window.Form_Load(arguments.join(QLatin1Char(' ')));
    window.show();
    ExitAfterFirstPaint exitAfterPaint(clock);
    if (qEnvironmentVariableIntValue("KAVRA_EXIT_AFTER_PAINT") == 1) {
        window.installEventFilter(&exitAfterPaint);
        window.update();
    }
    return QApplication::exec();
}
