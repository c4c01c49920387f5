#include "frame/FrameSizing.h"

#include <cstdlib>

FrameRect EnforceMinimumSize(SizingEdge edge, FrameRect r) {
    // Left, top and top-left drags move the left/top sides; right, bottom and bottom-right the other two;
    // the two remaining corners mix them. The side that gives way is always on the dragged side or, for a
    // plain edge drag, the side that belongs with it, so the window never jumps across the screen.
    bool leftGives = false, topGives = false;
    switch (edge) {
    case SizingEdge::Left:
    case SizingEdge::Top:
    case SizingEdge::TopLeft: leftGives = topGives = true; break;
    case SizingEdge::Right:
    case SizingEdge::Bottom:
    case SizingEdge::BottomRight: break;
    case SizingEdge::TopRight: topGives = true; break;
    case SizingEdge::BottomLeft: leftGives = true; break;
    }
    if (std::abs(r.right - r.left) < MIN_FRAME_WIDTH) {
        if (leftGives)
            r.left = r.right - MIN_FRAME_WIDTH;
        else
            r.right = r.left + MIN_FRAME_WIDTH;
    }
    if (std::abs(r.bottom - r.top) < MIN_FRAME_HEIGHT) {
        if (topGives)
            r.top = r.bottom - MIN_FRAME_HEIGHT;
        else
            r.bottom = r.top + MIN_FRAME_HEIGHT;
    }
    return r;
}
