// The skinned controls' rules as numbers: the skin piece behind a control, the slider's track, value part,
// the value under the mouse and the time tip's text.
#include "controls/SkinGeometry.h"

#include <gtest/gtest.h>

TEST(ControlGeometry, ButtonShowsThePieceOfTheStretchedSkinBehindIt) {
    // Parent window 300 x 200 on screen at (1000, 500), its skin image 600 x 400; button 30 x 20 at (60, 40).
    EXPECT_EQ(ParentSourceRect({1000, 500, 300, 200}, {600, 400}, {1060, 540, 30, 20}), QRectF(120, 80, 60, 40));
    EXPECT_TRUE(ParentSourceRect({0, 0, 300, 200}, {}, {10, 10, 5, 5}).isEmpty()) << "no image, nothing drawn";
}

TEST(ControlGeometry, TrackIsACentredCapsuleOfTheGivenThickness) {
    EXPECT_EQ(SliderTrackThickness(50.0f, 20), 10);
    EXPECT_EQ(SliderTrackThickness(100.0f, 21), 21);
    const QRect track = SliderTrackRect({0, 0, 200, 20}, 10);
    EXPECT_EQ(track, QRect(5, 5, 190, 10));
}

TEST(ControlGeometry, ValuePartFollowsThePosition) {
    // Inner track 200 pixels wide (track 202): a quarter of the range ends the value part 50 pixels in.
    const QRect track(10, 0, 202, 12);
    const SliderValueSpan quarter = SliderValueSpanFor(track, 0, 100, 25);
    EXPECT_DOUBLE_EQ(quarter.start, 11);
    EXPECT_DOUBLE_EQ(quarter.end, 11 + 50);
    // Ranges below zero run between the centre and the position end, always left to right.
    const double centre = (10 + 10 + 202) / 2;
    const SliderValueSpan left = SliderValueSpanFor(track, -100, 100, -50);
    EXPECT_DOUBLE_EQ(left.end, centre);
    EXPECT_DOUBLE_EQ(left.start, 11 + 50);
    EXPECT_DOUBLE_EQ(left.knobX, 11 + 50);
    const SliderValueSpan right = SliderValueSpanFor(track, -100, 100, 100);
    EXPECT_DOUBLE_EQ(right.start, centre);
    EXPECT_DOUBLE_EQ(right.end, 11 + 200);
    const SliderValueSpan beyond = SliderValueSpanFor(track, 0, 100, 250);
    EXPECT_DOUBLE_EQ(beyond.end, 11 + 200) << "positions beyond the range are drawn at its end";
}

TEST(ControlGeometry, MouseXGivesTheValueClampedToTheRange) {
    const QRect track(5, 0, 200, 10);
    const struct {
        int x;
        std::int64_t minimum, maximum, expected;
    } cases[] = {
        {5, -100, 100, -100},            // click at the left end of a range below zero
        {105, -100, 100, 0},             // the centre
        {205, -100, 100, 100},           // the right end
        {55, 0, 100, 25},                // a quarter
        {900, 0, 100, 100},              // dragged past the right end: clamped to the maximum
        {-40, 0, 100, 0},                // and past the left end
        {105, 0, 7'200'000'000LL, 3'600'000'000LL}, // 64-bit ranges
    };
    for (const auto& c : cases)
        EXPECT_EQ(SliderPositionFromX(c.x, track, c.minimum, c.maximum), c.expected) << "x=" << c.x;
}

TEST(ControlGeometry, TimeTipShowsTheClockOfTheValue) {
    EXPECT_EQ(SliderTimeTipText(90000, 25.0f), "01:00:00");
    EXPECT_EQ(SliderTimeTipText(2999, 25.0f), "00:01:59") << "whole seconds, truncated";
}
