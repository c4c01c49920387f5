// The hiding rule alone; the program tests watch the real view hide and show the cursor on the display.
#include "view/CursorAutoHide.h"

#include <QRect>
#include <gtest/gtest.h>

namespace {

const QRect kView(100, 100, 640, 360);
const QPoint kInside(300, 300);

// Ticks with the pointer still at one place; returns the cursor state after the last one.
bool StillTicks(CCursorAutoHide& hide, int count, bool active = true, QPoint at = kInside) {
    bool shown = true;
    for (int i = 0; i < count; ++i)
        shown = hide.Tick(active, kView, at);
    return shown;
}

} // namespace

TEST(CursorAutoHide, HidesOnTheTwentyFifthStillTickAndStopOrMovementShowsIt) {
    CCursorAutoHide hide;
    hide.OnMouseMove();
    // The first tick only learns the position; 25 still ticks after it hide the cursor, for good.
    EXPECT_TRUE(StillTicks(hide, 25));
    EXPECT_FALSE(StillTicks(hide, 1));
    EXPECT_FALSE(StillTicks(hide, 500));
    // Stopped (or the frame being dragged): shown at once and never hidden while it lasts; playing again
    // restarts the count.
    EXPECT_TRUE(StillTicks(hide, 100, false));
    EXPECT_TRUE(StillTicks(hide, 24));
    EXPECT_FALSE(StillTicks(hide, 1));
    // So does movement.
    const QPoint moved = kInside + QPoint(1, 0);
    EXPECT_TRUE(hide.Tick(true, kView, moved));
    EXPECT_TRUE(StillTicks(hide, 24, true, moved));
    EXPECT_FALSE(StillTicks(hide, 1, true, moved));
}

TEST(CursorAutoHide, OnlyOverTheVideoAndItsBorderAndOnlyWhileTracked) {
    CCursorAutoHide hide;
    EXPECT_TRUE(StillTicks(hide, 40)) << "no movement over the view yet";
    hide.OnMouseMove();
    // Within the 6-pixel border around the view the cursor still hides; one pixel further it does not.
    EXPECT_FALSE(StillTicks(hide, 26, true, QPoint(kView.right() + 6, kView.top() - 6)));
    EXPECT_TRUE(StillTicks(hide, 40, true, QPoint(kView.right() + 7, kView.top())));
    // Leaving the view with the button up ends tracking; with the button down (a drag) it goes on.
    hide.OnMouseLeave(false, false);
    EXPECT_TRUE(StillTicks(hide, 40));
    hide.OnMouseMove();
    hide.OnMouseLeave(true, false);
    EXPECT_FALSE(StillTicks(hide, 26));
}
