// The minimum-size rule while dragging each border and corner, and where the docked bars sit.
#include "document/PanelLayout.h"
#include "frame/FrameSizing.h"

#include <gtest/gtest.h>

namespace {
// A 600 x 400 window at (100, 50) dragged down to 300 x 200 from each side.
struct Case {
    SizingEdge edge;
    FrameRect proposed;
    FrameRect expected;
};
} // namespace

TEST(FrameSizing, TheDraggedEdgeGivesWayAtEveryEdgeAndCorner) {
    const Case cases[] = {
        {SizingEdge::Left, {400, 50, 700, 250}, {220, -30, 700, 250}},
        {SizingEdge::Top, {100, 250, 400, 450}, {-80, 170, 400, 450}},
        {SizingEdge::TopLeft, {400, 250, 700, 450}, {220, 170, 700, 450}},
        {SizingEdge::Right, {100, 50, 400, 250}, {100, 50, 580, 330}},
        {SizingEdge::Bottom, {100, 50, 400, 250}, {100, 50, 580, 330}},
        {SizingEdge::BottomRight, {100, 50, 400, 250}, {100, 50, 580, 330}},
        {SizingEdge::TopRight, {100, 250, 400, 450}, {100, 170, 580, 450}},
        {SizingEdge::BottomLeft, {400, 50, 700, 250}, {220, 50, 700, 330}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EnforceMinimumSize(c.edge, c.proposed), c.expected) << "edge " << int(c.edge);
}

TEST(FrameSizing, TopRightCornerDraggedBelowTheMinimumStopsAt280AndKeepsTheBottom) {
    const FrameRect r = EnforceMinimumSize(SizingEdge::TopRight, {0, 160, 600, 420});
    EXPECT_EQ(r, (FrameRect{0, 140, 600, 420}));
}

TEST(FrameSizing, LargeEnoughAndExactlyMinimalRectanglesStayAsTheyAre) {
    for (int e = 0; e <= int(SizingEdge::BottomRight); ++e) {
        const auto edge = SizingEdge(e);
        EXPECT_EQ(EnforceMinimumSize(edge, {10, 10, 490, 290}), (FrameRect{10, 10, 490, 290}));
        EXPECT_EQ(EnforceMinimumSize(edge, {0, 0, 1920, 1080}), (FrameRect{0, 0, 1920, 1080}));
    }
}

TEST(FrameSizing, OnlyTheTooSmallDimensionIsCorrected) {
    EXPECT_EQ(EnforceMinimumSize(SizingEdge::Left, {300, 0, 700, 1000}), (FrameRect{220, 0, 700, 1000}));
    EXPECT_EQ(EnforceMinimumSize(SizingEdge::Bottom, {0, 0, 1000, 10}), (FrameRect{0, 0, 1000, 280}));
}

TEST(FrameSizing, InvertedRectanglesFromFastDragsAreMeasuredByTheirSize) {
    // The edge was dragged past the opposite one: the size is taken absolutely, then rebuilt from the fixed side.
    EXPECT_EQ(EnforceMinimumSize(SizingEdge::Right, {500, 0, 400, 300}), (FrameRect{500, 0, 980, 300}));
}

TEST(PanelDocking, BarsSitInsideTheBorderAndEdge) {
    const QRect frame(100, 200, 800, 500);
    EXPECT_EQ(TitleBarRect(frame, 26, 2, 2), QRect(108, 208, 784, 26));
    EXPECT_EQ(ControlBarRect(frame, 62, 2), QRect(108, 200 + 500 - 62 - 6, 784, 62));
}

TEST(PanelDocking, BarsShowWhenTheMouseIsInOrWhenStoppedMenuOpenOrOpening) {
    EXPECT_TRUE(BarsWanted({true, true, false, false, false}));
    EXPECT_FALSE(BarsWanted({true, false, false, false, false})) << "a hidden cursor hides the bars";
    EXPECT_FALSE(BarsWanted({false, true, false, false, false}));
    EXPECT_TRUE(BarsWanted({false, false, true, false, false}));
    EXPECT_TRUE(BarsWanted({false, false, false, true, false}));
    EXPECT_TRUE(BarsWanted({false, false, false, false, true}));
}
