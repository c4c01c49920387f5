// Size arithmetic of the window-size commands (half, original, 1.5x, double, full screen).
#pragma once

#include "engine/PlayState.h"

#include <QRect>
#include <QString>

struct WindowSizeRequest {
    int command = 0;           // ID_SIZE_HALF .. ID_SIZE_FULLSCREEN
    int frameWidth = 0;        // the open video's frame size
    int frameHeight = 0;
    QRect screen;              // geometry of the screen to fill (its size limits the other modes too)
    QRect available;           // the part of that screen windows may occupy, for centring
    int cxEdge = 0;            // extra edge the window adds on each axis, as the document keeps it
    int cyEdge = 0;
    bool fullScreen = false;   // the document's full-screen flag before the command
};

struct WindowSizePlan {
    bool acts = false;             // false: do nothing at all, show no message
    bool leavingFullScreen = false; // re-apply the user's on-top mode (ApplyOnTop) first
    bool enteringFullScreen = false; // save the current rectangle for the title bar, make the window topmost
    bool fullScreen = false;       // the document's new full-screen flag
    QRect geometry;                // where the main window goes, border included
    QString message;               // status text, e.g. "Half Size (160:120)"
};

class CWindowSizeModes {
public:
    // Layout constants of the borderless main window.
    static constexpr int kBorder = 6;
    static constexpr int kMinWidth = 480;
    static constexpr int kMinHeight = 280;

    // Plans one window-size command. The caller checks that a file is open and then applies the plan in
    // this order: leavingFullScreen, enteringFullScreen, move to geometry, sync the maximise button,
    // show message. Unknown commands, and Full Screen while already in full screen, do not act.
    //   - Scaled sizes are truncated toward zero; the message shows them before any limit.
    //   - Windowed: content = min(screen, max(minimum, scaled)) per axis, plus cxEdge/cyEdge and the
    //     6-pixel border on both sides; then centred in the available area, kept inside it when larger.
    //   - Full screen: the screen's size plus the border on both sides, placed so that the border lies
    //     just off the screen on every side.
    static WindowSizePlan Plan(const WindowSizeRequest& request);

    // Whether ApplyOnTop keeps the window above all others: mode 2 (always) always, mode 1 (while
    // playing) only in play state 0, mode 0 (never) and unknown modes never.
    static bool OnTopWanted(int onTopMode, PlayState playState);

    // A rectangle of this size centred in area; when it is larger than area it starts at area's
    // top-left so the window's top and left edges stay reachable.
    static QRect CentredIn(QSize size, const QRect& area);
};
