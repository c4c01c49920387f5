// Kept apart from the tests: the X headers define macros (None, Bool, KeyPress...) that clash with Qt's.
#include "tests/program/XTestInput.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {
// A connection of its own, like another program's: the events reach the player only through the server.
Display* TheDisplay() {
    static Display* display = [] {
        Display* d = XOpenDisplay(nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        if (d && !XTestQueryExtension(d, &event, &error, &major, &minor)) {
            XCloseDisplay(d);
            d = nullptr;
        }
        return d;
    }();
    return display;
}
} // namespace

namespace XTestInput {
bool Available() { return TheDisplay() != nullptr; }

void TapKey(const char* keysymName, const char* modifierName) {
    Display* d = TheDisplay();
    const KeyCode code = XKeysymToKeycode(d, XStringToKeysym(keysymName));
    const KeyCode modifier = modifierName ? XKeysymToKeycode(d, XStringToKeysym(modifierName)) : 0;
    if (modifier) XTestFakeKeyEvent(d, modifier, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (modifier) XTestFakeKeyEvent(d, modifier, False, CurrentTime);
    XSync(d, False);
}

void MoveTo(QPoint global) {
    Display* d = TheDisplay();
    XTestFakeMotionEvent(d, -1, global.x(), global.y(), CurrentTime);
    XSync(d, False);
}

void Button(int button, bool down) {
    Display* d = TheDisplay();
    XTestFakeButtonEvent(d, static_cast<unsigned>(button), down ? True : False, CurrentTime);
    XSync(d, False);
}
} // namespace XTestInput
