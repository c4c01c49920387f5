// Where every control of the control bar goes for a bar of a given size: a pure function, so the numbers
// can be checked without a window.
#pragma once

#include <QLine>
#include <QRect>

struct ControlBarLayout {
    QRect currentTime, duration;          // the two clocks at the ends of the seek bar
    QRect seek, volume;
    QRect play, stop, previous, next, slow, fast, mute;
    QRect info, tools, list;              // the small window buttons at the bottom left
    QLine stopSeparator, infoSeparator;   // grey lines 5 pixels right of Stop and of Info
};

// The bar's layout for a client area of width w and height h (logical pixels). The seek bar runs along the
// top between the clocks, Play sits centred at the bottom with the transport buttons on its middle line,
// Mute and the volume slider keep to the right edge and the window buttons to the left edge.
ControlBarLayout ComputeControlBarLayout(int w, int h);
