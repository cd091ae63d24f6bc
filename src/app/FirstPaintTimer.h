#pragma once
// For the start-up benchmark: at the first paint of the window it watches, prints
// the time since the clock started and ends the program. Header only, so the
// benchmark's bare Qt program uses the very same measurement as the viewer.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>

namespace kavra {

class FirstPaintTimer : public QObject {
public:
    FirstPaintTimer(const QElapsedTimer &clock, const char *program) : clock_(clock), program_(program) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            // The rest of this paint (the child controls) completes before the timer runs.
            QTimer::singleShot(0, [this] {
                std::printf("%s: first paint after %.1f ms\n", program_, double(clock_.nsecsElapsed()) / 1e6);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    const QElapsedTimer &clock_;
    const char *program_;
    bool painted_ = false;
};

}  // namespace kavra
