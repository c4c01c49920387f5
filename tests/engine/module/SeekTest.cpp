// Frame-accurate positioning: jumps forward and backward across keyframes, single steps, skips, time.
#include "tests/engine/module/EngineLoader.h"

#include <random>
#include <tuple>

using namespace nrxtest;

namespace {
void ExpectAt(const Device& dev, std::int64_t frame) {
    ASSERT_EQ(dev->SetPosition(0, frame), S_OK);
    ASSERT_EQ(dev.Read(NRX_READ_POSITION), NRX_FRAME_NEW) << "frame " << frame;
    EXPECT_EQ(dev.DrawnNumber(), frame);
    EXPECT_EQ(dev.Frame(), frame);
}
} // namespace

TEST(EngineSeek, JumpsLandOnTheExactFrame) {
    Device dev;
    ASSERT_EQ(dev.Open("numbered_320x240_25.mp4"), S_OK);
    // Keyframes sit every 50 frames: hit them, the frames just before and after, and random ones both ways.
    for (std::int64_t f : {0, 49, 50, 51, 249, 100, 99, 1, 173, 12})
        ExpectAt(dev, f);
    std::mt19937 random(11);
    for (int i = 0; i < 12; ++i) ExpectAt(dev, std::uniform_int_distribution<int>(0, 249)(random));
    ExpectAt(dev, 130);
    EXPECT_EQ(dev.Get(&IVideoDevice::GetCurrentTime), 5);
}

TEST(EngineSeek, StepsForwardAndBackwardOneFrameAtATime) {
    Device dev;
    ASSERT_EQ(dev.Open("numbered_320x240_25_noaudio.mp4"), S_OK);
    ExpectAt(dev, 45);
    for (std::int64_t f = 46; f <= 56; ++f) ExpectAt(dev, f); // across the keyframe at 50
    for (std::int64_t f = 55; f >= 40; --f) ExpectAt(dev, f); // and back over it
}

TEST(EngineSeek, PositionsAndSkipsAreClampedToTheFile) {
    Device dev;
    ASSERT_EQ(dev.Open("numbered_320x240_25_noaudio.mp4"), S_OK);
    using Move = HRESULT (IVideoDevice::*)(std::int32_t, std::int64_t);
    const std::tuple<Move, std::int64_t, std::int64_t> moves[] = {
        {&IVideoDevice::SetPosition, 100000, 249}, {&IVideoDevice::SetPosition, -5, 0},
        {&IVideoDevice::SkipForward, 125, 125},    {&IVideoDevice::SkipForward, 125, 249},
        {&IVideoDevice::SkipBackward, 1000, 0}};
    for (const auto& [move, by, lands] : moves) {
        ASSERT_EQ((dev.d->*move)(0, by), S_OK);
        ASSERT_EQ(dev.Read(NRX_READ_POSITION), NRX_FRAME_NEW);
        EXPECT_EQ(dev.DrawnNumber(), lands) << "moved by " << by;
    }
}

TEST(EngineSeek, JumpWhilePlayingContinuesFromThere) {
    Device dev;
    ASSERT_EQ(dev.Open("numbered_320x240_25.mp4"), S_OK);
    ASSERT_EQ(dev->SetPlayState(0, 0), S_OK);
    ASSERT_EQ(dev->SetPosition(0, 150), S_OK);
    int status = NRX_FRAME_NONE;
    for (int i = 0; i < 200 && status != NRX_FRAME_NEW; ++i) status = dev.Read(NRX_READ_NEXT);
    ASSERT_EQ(status, NRX_FRAME_NEW);
    EXPECT_GE(dev.DrawnNumber(), 150);
    EXPECT_LE(dev.DrawnNumber(), 152);
}

TEST(EngineSeek, LateStartTimeCountsFromTheStreamStart) {
    Device dev;
    ASSERT_EQ(dev.Open("start_10s.ts"), S_OK) << Engine().LastError();
    ASSERT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NEW);
    EXPECT_EQ(dev.Get(&IVideoDevice::GetCurrentTime), 0);
    EXPECT_EQ(dev.Get(&IVideoDevice::GetDuration), 4);
    ExpectAt(dev, 60);
    EXPECT_EQ(dev.Get(&IVideoDevice::GetCurrentTime), 2);
}
