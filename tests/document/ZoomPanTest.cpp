#include "document/ZoomPan.h"
#include "resources/CommandIds.h"

#include <gtest/gtest.h>

namespace {

ZoomPanState Press(int command, int times, ZoomPanState state = {}) {
    for (int i = 0; i < times; ++i)
        EXPECT_TRUE(ApplyZoomPanCommand(command, state));
    return state;
}

} // namespace

TEST(ZoomPan, ThousandPressesStopExactlyAtTheLimitsAndTheOppositeKeyStepsBackAtOnce) {
    EXPECT_EQ(Press(ID_ZOOM_IN, 1000).zoom, 4.0f);
    EXPECT_EQ(Press(ID_ZOOM_OUT, 1000).zoom, 0.2f);
    EXPECT_EQ(Press(ID_PAN_RIGHT, 1000).panX, 1.0f);
    EXPECT_EQ(Press(ID_PAN_UP, 1000).panY, -1.0f);
    EXPECT_EQ(Press(ID_PAN_DOWN, 1000).panY, 1.0f);
    const ZoomPanState back = Press(ID_PAN_RIGHT, 1, Press(ID_PAN_LEFT, 1000));
    EXPECT_FLOAT_EQ(back.panX, -0.995f);
    EXPECT_EQ(back.panY, 0.0f);
    EXPECT_FLOAT_EQ(Press(ID_ZOOM_IN, 1).zoom, 1.007f);
}

TEST(ZoomPan, OriginalSizeRestoresExactlyAndOtherIdsChangeNothing) {
    ZoomPanState state = Press(ID_PAN_DOWN, 37, Press(ID_ZOOM_OUT, 55, Press(ID_PAN_LEFT, 12)));
    ASSERT_TRUE(ApplyZoomPanCommand(ID_ZOOM_ORIGINAL, state));
    EXPECT_EQ(state.zoom, 1.0f);
    EXPECT_EQ(state.panX, 0.0f);
    EXPECT_EQ(state.panY, 0.0f);
    EXPECT_FALSE(ApplyZoomPanCommand(ID_SIZE_ORIGINAL, state));
    EXPECT_FALSE(ApplyZoomPanCommand(ID_PLAY_PAUSE, state));
    EXPECT_EQ(state.zoom, 1.0f);
}
