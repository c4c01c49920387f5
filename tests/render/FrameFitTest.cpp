#include "render/FrameFit.h"

#include <gtest/gtest.h>

namespace {
struct FitCase {
    const char* name;
    int fw, fh, cw, ch;
    float x, y, w, h;
};

const FitCase kFits[] = {
    {"landscape in a wide client: pillarbox", 640, 480, 1000, 500, 166.667f, 0, 666.667f, 500},
    {"wider landscape in a wide client: letterbox", 1920, 800, 1000, 500, 0, 41.667f, 1000, 416.667f},
    {"landscape in a tall client: letterbox", 640, 480, 400, 600, 0, 150, 400, 300},
    {"landscape in a square client", 640, 480, 500, 500, 0, 62.5f, 500, 375},
    {"portrait taller than a tall client: shrunk, pillarbox", 300, 1000, 400, 600, 110, 0, 180, 600},
    {"portrait in a wide client: pillarbox", 360, 640, 1000, 500, 359.375f, 0, 281.25f, 500},
    {"exact fit", 360, 640, 360, 640, 0, 0, 360, 640},
    {"portrait at Original Size in a window held to the minimum width", 360, 640, 480, 640, 60, 0, 360, 640},
    {"landscape at Original Size in a taller client", 640, 360, 640, 400, 0, 20, 640, 360},
    {"short landscape at Original Size in a window held to the minimum height", 480, 126, 480, 280, 0, 77, 480, 126},
};
} // namespace

TEST(RenderFit, WholePictureCentredInEveryClientShape) {
    for (const FitCase& c : kFits) {
        SCOPED_TRACE(c.name);
        const DestRect d = FitFrame(c.fw, c.fh, c.cw, c.ch);
        EXPECT_NEAR(d.X, c.x, 0.01f);
        EXPECT_NEAR(d.Y, c.y, 0.01f);
        EXPECT_NEAR(d.W, c.w, 0.01f);
        EXPECT_NEAR(d.H, c.h, 0.01f);
        EXPECT_LE(d.X + d.W, static_cast<float>(c.cw) + 0.001f) << "never cut at the right";
        EXPECT_LE(d.Y + d.H, static_cast<float>(c.ch) + 0.001f) << "never cut at the bottom";
        // The renderers' one-to-one paths compare the rectangle with the frame size by ==.
        if (c.w == static_cast<float>(c.fw) && c.h == static_cast<float>(c.fh)) {
            EXPECT_EQ(d.W, c.w);
            EXPECT_EQ(d.H, c.h);
            EXPECT_EQ(d.X, c.x);
            EXPECT_EQ(d.Y, c.y);
        }
    }
}

TEST(RenderFit, RowOrderDoesNotMatterAndNoFrameOrClientGivesZeros) {
    const DestRect up = FitFrame(640, 480, 1000, 500);
    const DestRect down = FitFrame(640, -480, 1000, 500);
    EXPECT_FLOAT_EQ(up.W, down.W);
    EXPECT_FLOAT_EQ(up.X, down.X);
    for (const DestRect& d : {FitFrame(0, 480, 1000, 500), FitFrame(640, 0, 1000, 500), FitFrame(-4, 4, 10, 5),
                              FitFrame(640, 480, 0, 500), FitFrame(640, 480, 1000, 0)}) {
        EXPECT_EQ(d.X, 0.0f);
        EXPECT_EQ(d.Y, 0.0f);
        EXPECT_EQ(d.W, 0.0f);
        EXPECT_EQ(d.H, 0.0f);
    }
}
