#include "view/CursorAutoHide.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const QRect kView(100, 100, 640, 360);
const QPoint kInside(300, 300);

// Ticks with the pointer still at one place; returns the cursor state after the last one.
bool StillTicks(CCursorAutoHide& hide, int count, bool active = true, QPoint at = kInside)
{
    bool shown = true;
    for (int i = 0; i < count; ++i)
        shown = hide.Tick(active, kView, at);
    return shown;
}

} // namespace

TEST(InputCursorAutoHide, HidesOnTheTwentyFifthStillTickAndShowsOnMovement)
{
    CCursorAutoHide hide;
    hide.OnMouseMove();
    // The first tick only learns the position; 25 still ticks after it hide the cursor.
    EXPECT_TRUE(StillTicks(hide, 25));
    EXPECT_FALSE(StillTicks(hide, 1));
    // It stays hidden however long the pointer rests.
    EXPECT_FALSE(StillTicks(hide, 500));
    EXPECT_TRUE(hide.Tick(true, kView, kInside + QPoint(1, 0)));
    EXPECT_TRUE(StillTicks(hide, 24, true, kInside + QPoint(1, 0)));
    EXPECT_FALSE(StillTicks(hide, 1, true, kInside + QPoint(1, 0)));
}

TEST(InputCursorAutoHide, StoppedOrFrameMovingAlwaysShowsAndRestartsTheCount)
{
    CCursorAutoHide hide;
    hide.OnMouseMove();
    EXPECT_FALSE(StillTicks(hide, 30));
    // Stopped (or the frame being dragged): shown at once, and never hidden while it lasts.
    EXPECT_TRUE(StillTicks(hide, 100, false));
    // Playing again: the still pointer gets its full 2.5 s before it hides again.
    EXPECT_TRUE(StillTicks(hide, 24));
    EXPECT_FALSE(StillTicks(hide, 1));
}

TEST(InputCursorAutoHide, OnlyOverTheVideoAndItsBorderAndOnlyWhileTracked)
{
    CCursorAutoHide hide;
    // No movement over the view yet: nothing is hidden.
    EXPECT_TRUE(StillTicks(hide, 40));

    hide.OnMouseMove();
    // Within the 6-pixel border around the view the cursor still hides ...
    const QPoint onBorder(kView.right() + 6, kView.top() - 6);
    EXPECT_FALSE(StillTicks(hide, 26, true, onBorder));
    // ... one pixel further it is outside and stays visible.
    const QPoint outside(kView.right() + 7, kView.top());
    EXPECT_TRUE(StillTicks(hide, 40, true, outside));

    // Leaving the view with the button up ends tracking; with the button down (a drag) it goes on.
    hide.OnMouseLeave(false, false);
    EXPECT_TRUE(StillTicks(hide, 40));
    hide.OnMouseMove();
    hide.OnMouseLeave(true, false);
    EXPECT_FALSE(StillTicks(hide, 26));
}

TEST(InputCursorAutoHide, ViewGetsABlankCursorAfterTwoAndAHalfSecondsPausedAndItsOwnBack)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        GTEST_SKIP() << "needs a display that moves the pointer (run under xvfb-run)";
    QWidget view;
    view.setCursor(Qt::CrossCursor);
    view.setGeometry(200, 200, 400, 300);
    CViewCursorHider hider(&view);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    const QPoint centre = view.mapToGlobal(QPoint(200, 150));
    QCursor::setPos(view.screen(), centre);
    QTest::mouseMove(&view, QPoint(200, 150));
    QTRY_COMPARE(QCursor::pos(view.screen()), centre);
    ASSERT_TRUE(hider.State().Tracking());

    // Paused counts as active: 26 ticks of 100 ms, the last one hiding the cursor.
    for (int i = 0; i < 25; ++i)
        hider.Tick(true);
    EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor);
    hider.Tick(true);
    EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);

    // Moving brings the view's own cursor back at once, before the next tick.
    QCursor::setPos(view.screen(), centre + QPoint(5, 5));
    QTest::mouseMove(&view, QPoint(205, 155));
    EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor);

    // Stopping shows it even without movement.
    for (int i = 0; i < 30; ++i)
        hider.Tick(true);
    EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);
    hider.Tick(false);
    EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor);
}
