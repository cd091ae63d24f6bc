#pragma once
// The application kavra-batch draws charts in, with no window system needed or used.

#include <QApplication>

namespace kavra {

class OffscreenApplication {
public:
    explicit OffscreenApplication(const char *program) : argv_{const_cast<char *>(program), nullptr} {}

private:
    // Set before the application starts, which reads it.
    static int offscreenArgc()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return 1;
    }

    int argc_ = offscreenArgc();
    char *argv_[2];
    QApplication app_{argc_, argv_};
};

}  // namespace kavra
