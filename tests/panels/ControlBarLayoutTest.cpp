// The control bar's arithmetic without a window: where each control goes, and the clock's wrap at a day.
#include "panels/ControlBarLayout.h"
#include "panels/FormatClock.h"

#include <gtest/gtest.h>

TEST(ControlBarLayout, PlacesEveryControlForTheDesignWidthAndAWideScreen) {
    struct Case {
        int w;
        int center; // w / 2
    };
    for (const Case c : {Case{597, 298}, Case{1920, 960}}) {
        SCOPED_TRACE(c.w);
        const ControlBarLayout l = ComputeControlBarLayout(c.w, 62);
        EXPECT_EQ(l.currentTime, QRect(1, 1, 44, 17));
        EXPECT_EQ(l.duration, QRect(c.w - 46, 1, 45, 17));
        EXPECT_EQ(l.seek, QRect(50, 1, c.w - 101, 16));
        EXPECT_EQ(l.volume, QRect(c.w - 70, 37, 65, 20));
        EXPECT_EQ(l.mute, QRect(c.w - 92, 37, 20, 20));
        // Play 45 square, centred, touching the bottom row; the others 27 square on its middle line.
        EXPECT_EQ(l.play, QRect(c.center - 22, 17, 45, 45));
        EXPECT_EQ(l.previous, QRect(c.center - 50, 26, 27, 27));
        EXPECT_EQ(l.slow, QRect(c.center - 79, 26, 27, 27));
        EXPECT_EQ(l.stop, QRect(c.center - 116, 26, 27, 27));
        EXPECT_EQ(l.next, QRect(c.center + 23, 26, 27, 27));
        EXPECT_EQ(l.fast, QRect(c.center + 51, 26, 27, 27));
        // The window buttons do not move with the width.
        EXPECT_EQ(l.info, QRect(5, 36, 21, 21));
        EXPECT_EQ(l.tools, QRect(36, 36, 21, 21));
        EXPECT_EQ(l.list, QRect(62, 36, 21, 21));
        EXPECT_EQ(l.stopSeparator, QLine(c.center - 116 + 32, 26, c.center - 116 + 32, 53));
        EXPECT_EQ(l.infoSeparator, QLine(31, 36, 31, 57));
    }
}

TEST(ControlBarLayout, ClockWrapsAroundAtADay) {
    const struct {
        long long seconds;
        const char* shown;
    } cases[] = {{0, "00:00:00"}, {3599, "00:59:59"}, {86399, "23:59:59"}, {90000, "01:00:00"}, {-5, "00:00:00"}};
    for (const auto& c : cases) EXPECT_EQ(FormatClock(c.seconds).toStdString(), c.shown) << c.seconds;
}
