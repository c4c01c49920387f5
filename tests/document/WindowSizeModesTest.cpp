#include "document/WindowSizeModes.h"
#include "resources/CommandIds.h"

#include <gtest/gtest.h>

// The size plans on screens the test display cannot offer; the document tests drive them on the real frame.
namespace {

const QRect kScreen(0, 0, 1920, 1080);

WindowSizeRequest Request(int command, int w, int h, QRect screen = kScreen, QRect available = kScreen) {
    return {command, w, h, screen, available, 2, 2, false};
}

} // namespace

TEST(WindowSizeModes, ScalesTruncateTheMinimumHoldsAndTheScreenLimits) {
    const struct {
        int command, w, h;
        const char* message; // shows the scaled size, not the limited one
        QSize size;          // with the 2-pixel edges and the 6-pixel border on each side
    } cases[] = {
        {ID_SIZE_HALF, 321, 241, "Half Size (160:120)", {480 + 14, 280 + 14}},
        {ID_SIZE_ONE_AND_HALF, 333, 201, "One and Half Size (499:301)", {499 + 14, 301 + 14}},
        {ID_SIZE_ORIGINAL, 853, 480, "Original Size (853:480)", {853 + 14, 480 + 14}},
        {ID_SIZE_DOUBLE, 1920, 1080, "Double Size (3840:2160)", {1920 + 14, 1080 + 14}},
    };
    for (const auto& c : cases) {
        const WindowSizePlan plan = CWindowSizeModes::Plan(Request(c.command, c.w, c.h));
        EXPECT_EQ(plan.message, c.message);
        EXPECT_EQ(plan.geometry.size(), c.size) << c.message;
    }
    // Larger than the screen: kept at the top-left so the edges stay reachable.
    EXPECT_EQ(CWindowSizeModes::Plan(Request(ID_SIZE_DOUBLE, 1920, 1080)).geometry.topLeft(), kScreen.topLeft());
    EXPECT_FALSE(CWindowSizeModes::Plan(Request(ID_ZOOM_IN, 640, 480)).acts);
}

TEST(WindowSizeModes, AnOffsetScreenCentresInItsAvailableAreaAndFullScreenCoversIt) {
    const QRect screen(1920, 0, 1280, 1024);
    const WindowSizePlan plan = CWindowSizeModes::Plan(Request(ID_SIZE_ORIGINAL, 640, 480, screen,
                                                                QRect(1920, 40, 1280, 984)));
    EXPECT_EQ(plan.geometry, QRect(1920 + (1280 - 654) / 2, 40 + (984 - 494) / 2, 654, 494));
    const WindowSizePlan full = CWindowSizeModes::Plan(Request(ID_SIZE_FULLSCREEN, 640, 480, screen, screen));
    EXPECT_EQ(full.message, "Fullscreen (1280:1024)");
    EXPECT_EQ(full.geometry, screen.adjusted(-6, -6, 6, 6)) << "the border lies just off every side";
}
