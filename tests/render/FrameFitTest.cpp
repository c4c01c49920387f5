#include "render/FrameFit.h"

#include <gtest/gtest.h>

TEST(RenderFit, LandscapeClientShowsWholePicture) {
    // Height-bound: pillarbox bars left and right.
    DestRect d = FitFrame(640, 480, 1000, 500);
    EXPECT_NEAR(d.W, 666.67f, 0.01f);
    EXPECT_FLOAT_EQ(d.H, 500.0f);
    EXPECT_NEAR(d.X, 166.67f, 0.01f);
    EXPECT_FLOAT_EQ(d.Y, 0.0f);
    // Width-bound: letterbox bars top and bottom.
    d = FitFrame(1920, 800, 1000, 500);
    EXPECT_FLOAT_EQ(d.W, 1000.0f);
    EXPECT_NEAR(d.H, 416.67f, 0.01f);
    EXPECT_FLOAT_EQ(d.X, 0.0f);
    EXPECT_NEAR(d.Y, 41.67f, 0.01f);
}

TEST(RenderFit, PortraitClientFillsWidthAndMayCut) {
    DestRect d = FitFrame(640, 480, 400, 600);
    EXPECT_FLOAT_EQ(d.W, 400.0f);
    EXPECT_FLOAT_EQ(d.H, 300.0f);
    EXPECT_FLOAT_EQ(d.X, 0.0f);
    EXPECT_FLOAT_EQ(d.Y, 150.0f);
    // A picture taller than the client is not shrunk to fit; its offset is the distance between the centres.
    d = FitFrame(300, 1000, 400, 600);
    EXPECT_FLOAT_EQ(d.W, 400.0f);
    EXPECT_NEAR(d.H, 1333.33f, 0.01f);
    EXPECT_NEAR(d.Y, 366.67f, 0.01f);
    // A square client counts as portrait.
    d = FitFrame(640, 480, 500, 500);
    EXPECT_FLOAT_EQ(d.W, 500.0f);
    EXPECT_FLOAT_EQ(d.H, 375.0f);
}

TEST(RenderFit, RowOrderDoesNotMatterAndNoFrameGivesZeros) {
    const DestRect up = FitFrame(640, 480, 1000, 500);
    const DestRect down = FitFrame(640, -480, 1000, 500);
    EXPECT_FLOAT_EQ(up.W, down.W);
    EXPECT_FLOAT_EQ(up.X, down.X);
    for (const DestRect& d : {FitFrame(0, 480, 1000, 500), FitFrame(640, 0, 1000, 500), FitFrame(-4, 4, 10, 5)}) {
        EXPECT_EQ(d.X, 0.0f);
        EXPECT_EQ(d.Y, 0.0f);
        EXPECT_EQ(d.W, 0.0f);
        EXPECT_EQ(d.H, 0.0f);
    }
    // A client of width 0 gives an empty picture, not a division fault.
    const DestRect thin = FitFrame(640, 480, 0, 500);
    EXPECT_EQ(thin.W, 0.0f);
    EXPECT_EQ(thin.H, 0.0f);
}
