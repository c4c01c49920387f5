// The minimum-size rule while dragging each border and corner, and where the docked bars sit.
#include "document/PanelLayout.h"
#include "frame/FrameSizing.h"

#include <gtest/gtest.h>

TEST(FrameSizing, TheDraggedEdgeGivesWayAndOnlyTheTooSmallDimensionIsCorrected) {
    const struct {
        SizingEdge edge;
        FrameRect proposed, expected;
    } cases[] = {
        // A 600 x 400 window at (100, 50) dragged down to 300 x 200 from each side.
        {SizingEdge::Left, {400, 50, 700, 250}, {220, -30, 700, 250}},
        {SizingEdge::Top, {100, 250, 400, 450}, {-80, 170, 400, 450}},
        {SizingEdge::TopLeft, {400, 250, 700, 450}, {220, 170, 700, 450}},
        {SizingEdge::Right, {100, 50, 400, 250}, {100, 50, 580, 330}},
        {SizingEdge::Bottom, {100, 50, 400, 250}, {100, 50, 580, 330}},
        {SizingEdge::BottomRight, {100, 50, 400, 250}, {100, 50, 580, 330}},
        {SizingEdge::TopRight, {100, 250, 400, 450}, {100, 170, 580, 450}},
        {SizingEdge::BottomLeft, {400, 50, 700, 250}, {220, 50, 700, 330}},
        {SizingEdge::TopRight, {0, 160, 600, 420}, {0, 140, 600, 420}},
        {SizingEdge::Left, {300, 0, 700, 1000}, {220, 0, 700, 1000}},
        {SizingEdge::Bottom, {0, 0, 1000, 10}, {0, 0, 1000, 280}},
        // Dragged past the opposite edge: the size is taken absolutely, then rebuilt from the fixed side.
        {SizingEdge::Right, {500, 0, 400, 300}, {500, 0, 980, 300}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EnforceMinimumSize(c.edge, c.proposed), c.expected) << "edge " << int(c.edge);
    for (int e = 0; e <= int(SizingEdge::BottomRight); ++e)
        EXPECT_EQ(EnforceMinimumSize(SizingEdge(e), {10, 10, 490, 290}), (FrameRect{10, 10, 490, 290}))
            << "exactly the minimum stays as it is";
}

TEST(PanelDocking, BarsSitInsideTheBorderAndEdgeAndAHiddenCursorHidesThem) {
    const QRect frame(100, 200, 800, 500);
    EXPECT_EQ(TitleBarRect(frame, 26, 2, 2), QRect(108, 208, 784, 26));
    EXPECT_EQ(ControlBarRect(frame, 62, 2), QRect(108, 200 + 500 - 62 - 6, 784, 62));
    EXPECT_TRUE(BarsWanted({true, true, false, false, false}));
    EXPECT_FALSE(BarsWanted({true, false, false, false, false}));
}
