#include "panels/ControlBarLayout.h"

#include <cmath>

namespace {
// x + 0.5 cut toward zero: how the bar's sizes were always rounded.
int Round(double x) { return static_cast<int>(std::trunc(x + 0.5)); }

// A vertical line 5 pixels right of a button, as long as the button is high.
QLine SeparatorRightOf(const QRect& button) {
    const int x = button.x() + button.width() + 5;
    return QLine(x, button.y(), x, button.y() + button.height());
}
} // namespace

ControlBarLayout ComputeControlBarLayout(int w, int h) {
    ControlBarLayout layout;
    layout.currentTime = QRect(1, 1, 44, 17);
    layout.duration = QRect(w - 46, 1, 45, 17);
    layout.seek = QRect(50, 1, w - 101, 16);

    const int lowerRow = static_cast<int>(std::trunc(0.6 * h));
    layout.volume = QRect(w - 70, lowerRow, 65, 20);
    layout.mute = QRect(w - 92, lowerRow, 20, 20);

    // Play is the largest button; the others are sized from it.
    const int playSide = h - 17;
    const int half = playSide / 2;
    layout.play = QRect(w / 2 - half, h - 1 - 2 * half, playSide, playSide);

    const int side = Round(0.6 * playSide);
    const int top = h - 1 - half - side / 2;
    const int previousX = w / 2 - 2 * half - 6;
    const int slowX = previousX - side - 2;
    const int stopX = slowX - side - 10;
    const int nextX = w / 2 + half + 1;
    const int fastX = nextX + side + 1;
    layout.previous = QRect(previousX, top, side, side);
    layout.slow = QRect(slowX, top, side, side);
    layout.stop = QRect(stopX, top, side, side);
    layout.next = QRect(nextX, top, side, side);
    layout.fast = QRect(fastX, top, side, side);

    const int small = static_cast<int>(std::trunc(0.8 * side));
    const int smallTop = h - small - 5;
    layout.info = QRect(5, smallTop, small, small);
    layout.tools = QRect(small + 15, smallTop, small, small);
    layout.list = QRect(2 * small + 20, smallTop, small, small);

    layout.stopSeparator = SeparatorRightOf(layout.stop);
    layout.infoSeparator = SeparatorRightOf(layout.info);
    return layout;
}
