// One QApplication for a widget test process; offscreen when there is no display to use.
#pragma once

#include <QApplication>
#include <cstdlib>

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "frame-tests";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}
