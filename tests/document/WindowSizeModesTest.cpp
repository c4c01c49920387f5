#include "document/WindowSizeModes.h"
#include "resources/CommandIds.h"

#include <gtest/gtest.h>

namespace {

const QRect kScreen(0, 0, 1920, 1080);

WindowSizeRequest Request(int command, int w, int h, bool fullScreen = false)
{
    WindowSizeRequest request;
    request.command = command;
    request.frameWidth = w;
    request.frameHeight = h;
    request.screen = kScreen;
    request.available = kScreen;
    request.cxEdge = 2;
    request.cyEdge = 2;
    request.fullScreen = fullScreen;
    return request;
}

} // namespace

TEST(WindowModesSize, SmallVideoIsHeldAtTheMinimumAndCentred)
{
    const WindowSizePlan plan = CWindowSizeModes::Plan(Request(ID_SIZE_HALF, 320, 240));
    ASSERT_TRUE(plan.acts);
    // The message shows the scaled size, not the limited one.
    EXPECT_EQ(plan.message, "Half Size (160:120)");
    EXPECT_EQ(plan.geometry.size(), QSize(480 + 2 + 12, 280 + 2 + 12));
    EXPECT_EQ(plan.geometry.center(), kScreen.center());
    EXPECT_FALSE(plan.fullScreen);
    EXPECT_FALSE(plan.leavingFullScreen);
    EXPECT_FALSE(plan.enteringFullScreen);
}

TEST(WindowModesSize, ScalesTruncateAndLargeSizesStopAtTheScreen)
{
    EXPECT_EQ(CWindowSizeModes::Plan(Request(ID_SIZE_HALF, 321, 241)).message, "Half Size (160:120)");
    EXPECT_EQ(CWindowSizeModes::Plan(Request(ID_SIZE_ONE_AND_HALF, 333, 201)).message,
              "One and Half Size (499:301)");
    const WindowSizePlan original = CWindowSizeModes::Plan(Request(ID_SIZE_ORIGINAL, 853, 480));
    EXPECT_EQ(original.message, "Original Size (853:480)");
    EXPECT_EQ(original.geometry.size(), QSize(853 + 14, 480 + 14));

    const WindowSizePlan doubled = CWindowSizeModes::Plan(Request(ID_SIZE_DOUBLE, 1920, 1080));
    EXPECT_EQ(doubled.message, "Double Size (3840:2160)");
    EXPECT_EQ(doubled.geometry.size(), QSize(1920 + 14, 1080 + 14));
    // Larger than the screen: kept at the top-left so the edges stay reachable.
    EXPECT_EQ(doubled.geometry.topLeft(), kScreen.topLeft());
}

TEST(WindowModesSize, CentresInTheAvailableAreaOfAnOffsetScreen)
{
    WindowSizeRequest request = Request(ID_SIZE_ORIGINAL, 640, 480);
    request.screen = QRect(1920, 0, 1280, 1024);
    request.available = QRect(1920, 40, 1280, 984);
    const WindowSizePlan plan = CWindowSizeModes::Plan(request);
    EXPECT_EQ(plan.geometry.size(), QSize(654, 494));
    EXPECT_EQ(plan.geometry.left(), 1920 + (1280 - 654) / 2);
    EXPECT_EQ(plan.geometry.top(), 40 + (984 - 494) / 2);
}

TEST(WindowModesSize, FullScreenPutsTheBorderJustOffEverySideAndLeavingRestoresOnTop)
{
    WindowSizeRequest request = Request(ID_SIZE_FULLSCREEN, 640, 480);
    request.screen = QRect(1920, 0, 1280, 1024);
    request.available = request.screen;
    const WindowSizePlan enter = CWindowSizeModes::Plan(request);
    ASSERT_TRUE(enter.acts);
    EXPECT_TRUE(enter.enteringFullScreen);
    EXPECT_TRUE(enter.fullScreen);
    EXPECT_EQ(enter.message, "Fullscreen (1280:1024)");
    EXPECT_EQ(enter.geometry, request.screen.adjusted(-6, -6, 6, 6));

    // Full Screen again does nothing at all, not even a message.
    request.fullScreen = true;
    const WindowSizePlan again = CWindowSizeModes::Plan(request);
    EXPECT_FALSE(again.acts);
    EXPECT_TRUE(again.message.isEmpty());

    // Any other size command leaves full screen and asks for the user's on-top mode back.
    request.command = ID_SIZE_ORIGINAL;
    const WindowSizePlan leave = CWindowSizeModes::Plan(request);
    EXPECT_TRUE(leave.acts);
    EXPECT_TRUE(leave.leavingFullScreen);
    EXPECT_FALSE(leave.enteringFullScreen);
    EXPECT_FALSE(leave.fullScreen);
    EXPECT_TRUE(request.screen.contains(leave.geometry));

    EXPECT_FALSE(CWindowSizeModes::Plan(Request(ID_ZOOM_IN, 640, 480)).acts);
}

TEST(WindowModesOnTop, WhilePlayingDropsOnPauseAndStopAndOnlyAlwaysStaysUp)
{
    for (int state : {0, 1, 2}) {
        EXPECT_FALSE(CWindowSizeModes::OnTopWanted(0, state));
        EXPECT_TRUE(CWindowSizeModes::OnTopWanted(2, state));
        EXPECT_EQ(CWindowSizeModes::OnTopWanted(1, state), state == 0);
        // A damaged OnTopStatus value must not pin the window above everything.
        EXPECT_FALSE(CWindowSizeModes::OnTopWanted(7, state));
        EXPECT_FALSE(CWindowSizeModes::OnTopWanted(-1, state));
    }
}
