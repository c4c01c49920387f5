// Playback through the module: geometry and orientation of delivered frames, pacing, play states, audio-only.
#include "tests/engine/module/EngineLoader.h"

using namespace nrxtest;
using std::chrono::milliseconds;

namespace {
bool Near(std::array<int, 3> bgr, int b, int g, int r) {
    return std::abs(bgr[0] - b) < 40 && std::abs(bgr[1] - g) < 40 && std::abs(bgr[2] - r) < 40;
}
std::array<int, 3> SizeOf(const Device& dev) {
    std::array<int, 3> size{};
    dev->GetFrameSize(0, &size[0], &size[1], &size[2]);
    return size;
}
} // namespace

TEST(EnginePlayback, FramesAreUprightSquarePixelsInTheChosenLayout) {
    ASSERT_TRUE(Engine().Loaded());
    {
        Device dev;
        ASSERT_EQ(dev->EnableOption(0, 0), S_OK);
        ASSERT_EQ(dev.Open("orientation_red_top.mp4"), S_OK);
        ASSERT_EQ(dev.Read(NRX_READ_POSITION), NRX_FRAME_NEW);
        BITMAPINFOHEADER* h = nullptr;
        dev->GetFrameFormat(0, &h);
        EXPECT_EQ(h->biBitCount, 24);
        EXPECT_EQ(h->biHeight, -240) << "rows are delivered top-down";
        EXPECT_TRUE(Near(dev.Pixel(160, 20), 0, 0, 255));
        EXPECT_TRUE(Near(dev.Pixel(160, 220), 255, 0, 0));

        // Flipped: rows come bottom-up and the header says so, so a reader of the header still sees red on top.
        dev->SetFlip(0, 1);
        ASSERT_EQ(dev.Read(NRX_READ_REFRESH), NRX_FRAME_NEW);
        EXPECT_EQ(h->biHeight, 240);
        EXPECT_TRUE(Near(dev.Pixel(160, 20), 0, 0, 255));
        std::uint8_t* bits = nullptr;
        dev->GetFrameBuffer(0, &bits);
        EXPECT_GT(bits[0], 200) << "first row in memory is now the bottom (blue) row";
    }
    {
        Device dev;
        dev->EnableOption(0, 1);
        ASSERT_EQ(dev.Open("rotated_90.mp4"), S_OK);
        ASSERT_EQ(dev.Read(NRX_READ_POSITION), NRX_FRAME_NEW);
        EXPECT_EQ(SizeOf(dev), (std::array<int, 3>{240, 320, 32}));
        // Shown as the ffmpeg tool shows this file: the red top half ends up on the left.
        EXPECT_TRUE(Near(dev.Pixel(40, 160), 0, 0, 255));
        EXPECT_TRUE(Near(dev.Pixel(200, 160), 255, 0, 0));
    }
    Device dev;
    ASSERT_EQ(dev.Open("anamorphic_720x480_169.mp4"), S_OK);
    EXPECT_NEAR(static_cast<double>(SizeOf(dev)[0]) / SizeOf(dev)[1], 16.0 / 9.0, 0.01);
}

TEST(EnginePlayback, OpensEveryGeneratedKindAtItsRate) {
    // A rate of 0: not what the clip is there for.
    const std::pair<const char*, float> clips[] = {
        {"h264_aac_640x360_25.mp4", 0}, {"mpeg4_mp3_320x240_2997.avi", 0}, {"h264_1280x720_60_noaudio.mp4", 0},
        {"h264_10bit.mkv", 0},          {"vfr.mkv", 0},                     {"rate_23976.mp4", 23.976f},
        {"rate_2997.mp4", 29.97f},      {"rate_50.mp4", 50.0f},             {"rate_5994.mp4", 59.94f}};
    for (const auto& [name, rate] : clips) {
        SCOPED_TRACE(name);
        Device dev;
        ASSERT_EQ(dev.Open(name), S_OK) << Engine().LastError();
        EXPECT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NEW);
        EXPECT_GT(dev.Get(&IVideoDevice::GetFrameCount), 10);
        float got = 0;
        dev->GetFrameRate(0, 0, &got);
        if (rate > 0) {
            EXPECT_NEAR(got, rate, 0.01);
        }
    }
}

TEST(EnginePlayback, AudioOnlyShowsCoverOrBlack) {
    {
        Device dev;
        ASSERT_EQ(dev.Open("audio_cover.mp3"), S_OK) << Engine().LastError();
        ASSERT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NEW);
        EXPECT_EQ(SizeOf(dev), (std::array<int, 3>{200, 200, 24}));
        EXPECT_TRUE(Near(dev.Pixel(100, 100), 0, 128, 0));
        EXPECT_EQ(dev.Get(&IVideoDevice::GetDuration), 3);
    }
    Device dev;
    ASSERT_EQ(dev.Open("audio_only.mp3"), S_OK);
    ASSERT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NEW);
    EXPECT_EQ(SizeOf(dev), (std::array<int, 3>{640, 360, 24}));
    EXPECT_EQ(dev.Pixel(320, 180), (std::array<int, 3>{0, 0, 0}));
    // The picture stays while the sound plays, then the file ends.
    ASSERT_EQ(dev->SetPlayState(0, 0), S_OK);
    ASSERT_EQ(dev->SetRate(0, 4.0f), S_OK);
    EXPECT_EQ(dev.ReadNew(1200), NRX_FRAME_END);
}

TEST(EnginePlayback, PacedPlaybackFollowsTheClockAndStates) {
    Device dev;
    ASSERT_EQ(dev.Open("numbered_320x240_25.mp4"), S_OK);
    ASSERT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NEW);
    EXPECT_EQ(dev.DrawnNumber(), 0);
    // Paused (not yet playing): no new frame however often it is asked.
    EXPECT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NONE);
    EXPECT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NONE);

    ASSERT_EQ(dev->SetPlayState(0, 0), S_OK);
    const auto start = std::chrono::steady_clock::now();
    int shown = 0;
    while (std::chrono::steady_clock::now() - start < milliseconds(600)) {
        const int status = dev.Read(NRX_READ_NEXT);
        ASSERT_NE(status, NRX_FRAME_END);
        if (status == NRX_FRAME_NEW) {
            ++shown;
            EXPECT_EQ(dev.DrawnNumber(), dev.Frame()) << "the buffer holds the frame the engine reports";
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    // 0.6 s at 25 fps: the picture advanced with time, not as fast as it could be decoded.
    EXPECT_GE(dev.Frame(), 5);
    EXPECT_LE(dev.Frame(), 40);
    EXPECT_GE(shown, 5);

    ASSERT_EQ(dev->SetPlayState(0, 1), S_OK);
    const std::int64_t pausedAt = dev.Frame();
    std::this_thread::sleep_for(milliseconds(150));
    EXPECT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NONE);
    EXPECT_EQ(dev.Frame(), pausedAt);

    ASSERT_EQ(dev->SetPlayState(0, 2), S_OK);
    EXPECT_EQ(dev.Frame(), 0);
    ASSERT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NEW);
    EXPECT_EQ(dev.DrawnNumber(), 0) << "stop goes back to the first frame";
}

// A slow start (the first picture decoded late, the caller busy) must not put the clock ahead of the
// pictures: the clock and the sound start with the first picture, so the ones after it are not dropped.
TEST(EnginePlayback, ClockStartsWithTheFirstPictureAfterOpenAndJump) {
    Device dev;
    ASSERT_EQ(dev.Open("numbered_320x240_25.mp4"), S_OK);
    for (const std::int64_t jump : {std::int64_t{-1}, std::int64_t{100}}) {
        SCOPED_TRACE(jump);
        ASSERT_EQ(dev->SetPlayState(0, 0), S_OK);
        if (jump >= 0) {
            ASSERT_EQ(dev->SetPosition(0, jump), S_OK);
        }
        const std::int64_t first = jump >= 0 ? jump : 0;
        std::this_thread::sleep_for(milliseconds(600));
        ASSERT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NEW);
        EXPECT_EQ(dev.DrawnNumber(), first);
        for (int i = 0; i < 3; ++i) ASSERT_EQ(dev.ReadNew(), NRX_FRAME_NEW);
        // A clock started before the wait runs 15 frames ahead; one dropped frame is slack for a busy machine.
        EXPECT_LE(dev.DrawnNumber(), first + 4);
    }
}

// Untimed reading while playing, as a converter or benchmark does: the sound track must neither pace the
// pictures nor make ReadFrame(0) report "no new frame" while it plays out at its own speed.
TEST(EnginePlayback, UntimedModeDeliversEveryFrameInOrderToTheEnd) {
    for (const char* clip : {"numbered_320x240_25_noaudio.mp4", "numbered_320x240_25.mp4"}) {
        SCOPED_TRACE(clip);
        Device dev;
        ASSERT_EQ(dev.Open(clip, true), S_OK);
        ASSERT_EQ(dev->SetPlayState(0, 0), S_OK);
        EXPECT_EQ(dev.Get(&IVideoDevice::GetFrameCount), 250);
        int expected = 0;
        for (int status; (status = dev.Read(NRX_READ_NEXT)) != NRX_FRAME_END; ++expected) {
            ASSERT_EQ(status, NRX_FRAME_NEW) << "after frame " << expected - 1;
            ASSERT_EQ(dev.DrawnNumber(), expected);
        }
        EXPECT_EQ(expected, 250);
        EXPECT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_END) << "the end is sticky";
    }
}

TEST(EnginePlayback, PictureAdjustmentsReachTheirExtremes) {
    Device dev;
    ASSERT_EQ(dev.Open("orientation_red_top.mp4"), S_OK);
    ASSERT_EQ(dev.Read(NRX_READ_POSITION), NRX_FRAME_NEW);
    const auto red = dev.Pixel(10, 10);
    // One adjustment at a time, the picture redrawn after each.
    const auto adjust = [&](HRESULT (IVideoDevice::*set)(std::int32_t, std::int32_t), std::int32_t value) {
        (dev.d->*set)(0, value);
        dev.Read(NRX_READ_REFRESH);
    };
    adjust(&IVideoDevice::SetBrightness, 255);
    EXPECT_EQ(dev.Pixel(10, 10), (std::array<int, 3>{255, 255, 255}));
    adjust(&IVideoDevice::SetBrightness, -255);
    EXPECT_EQ(dev.Pixel(10, 10), (std::array<int, 3>{0, 0, 0}));
    adjust(&IVideoDevice::SetBrightness, 0);
    adjust(&IVideoDevice::SetContrast, -100);
    EXPECT_EQ(dev.Pixel(10, 10), dev.Pixel(10, 200)) << "no contrast left: one flat grey";
    adjust(&IVideoDevice::SetContrast, 0);
    adjust(&IVideoDevice::SetSaturation, -255);
    const auto grey = dev.Pixel(10, 10);
    EXPECT_TRUE(grey[0] == grey[1] && grey[1] == grey[2]) << grey[0] << " " << grey[1] << " " << grey[2];
    adjust(&IVideoDevice::SetSaturation, 0);
    EXPECT_EQ(dev.Pixel(10, 10), red) << "all adjustments at 0 give back the untouched picture";
}

// Widths that are no multiple of the converter's pixel blocks once overran the frame buffer and corrupted the
// heap within a second: the 426x240 clip is played paced to its end, the tiny ones read as fast as they decode.
TEST(EnginePlayback, SmallPicturesPlayToTheEnd) {
    {
        Device dev;
        ASSERT_EQ(dev.Open("small_426x240.mp4"), S_OK) << Engine().LastError();
        ASSERT_EQ(dev->SetPlayState(0, 0), S_OK);
        EXPECT_GE(dev.FramesToTheEnd(3000), 25);
    }
    for (const char* clip : {"small_120x90.mp4", "small_30x30.mp4", "small_14x14.mp4", "small_2x2.mp4"})
        for (const std::uint8_t bgra : {0, 1}) {
            SCOPED_TRACE(std::string(clip) + (bgra ? " 32-bit" : " 24-bit"));
            Device dev;
            dev->EnableOption(0, bgra);
            ASSERT_EQ(dev.Open(clip, true), S_OK) << Engine().LastError();
            ASSERT_EQ(dev->SetPlayState(0, 0), S_OK);
            EXPECT_EQ(dev.FramesToTheEnd(), 25);
        }
}

// A caller that stands still (what a stopped process or a suspended machine looks like to the module)
// continues from the frame it stopped at instead of racing through the missed time.
TEST(EnginePlayback, PlaybackContinuesWhereItStoodStill) {
    Device dev;
    ASSERT_EQ(dev.Open("numbered_320x240_25_noaudio.mp4"), S_OK);
    ASSERT_EQ(dev->SetPlayState(0, 0), S_OK);
    for (int i = 0; i < 8; ++i) ASSERT_EQ(dev.ReadNew(), NRX_FRAME_NEW);
    const int stoppedAt = dev.DrawnNumber();
    std::this_thread::sleep_for(milliseconds(1500)); // 37 frame periods
    // The next ten pictures follow on. Racing through the gap would drop most of its 37 frames on the way.
    for (int i = 0; i < 10; ++i) ASSERT_EQ(dev.ReadNew(), NRX_FRAME_NEW);
    EXPECT_LE(dev.DrawnNumber(), stoppedAt + 13) << "a busy machine may drop two or three";
    EXPECT_GE(dev.DrawnNumber(), stoppedAt + 10);
}

// The last picture of a slow clip (a frame every 2 s, played at four times the speed) stays for its whole
// duration before the end is reported.
TEST(EnginePlayback, LastPictureStaysForItsDuration) {
    Device dev;
    ASSERT_EQ(dev.Open("slow_05fps.mp4"), S_OK) << Engine().LastError();
    ASSERT_EQ(dev->SetRate(0, 4.0f), S_OK);
    ASSERT_EQ(dev->SetPlayState(0, 0), S_OK);
    for (int shown = 0; shown < 5; ++shown) ASSERT_EQ(dev.ReadNew(1000), NRX_FRAME_NEW) << "after " << shown;
    ASSERT_EQ(dev.Get(&IVideoDevice::GetCurrentTime), 8);
    const auto lastShown = std::chrono::steady_clock::now();
    EXPECT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NONE) << "the end came with the last picture";
    EXPECT_EQ(dev.ReadNew(800), NRX_FRAME_END);
    // A lower bound only: however slow the machine, the clock cannot have run the 2 s (0.5 s at this
    // speed) any sooner.
    EXPECT_GE(std::chrono::steady_clock::now() - lastShown, milliseconds(450));
}
