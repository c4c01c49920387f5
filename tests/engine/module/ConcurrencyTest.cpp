// Calls from the player's UI thread while the playback thread's exact ReadFrame is still decoding: they must
// return without waiting for that decode, and the read must still deliver the frame then wanted.
#include "tests/engine/module/EngineLoader.h"

#include <atomic>
#include <functional>
#include <thread>

using namespace nrxtest;

namespace {
// Frame 290 lies 290 frames after the clip's only earlier key frame, and every frame is a reference.
constexpr std::int64_t kFar = 290;

struct DuringSeekCase {
    const char* name;
    std::function<void(IVideoDevice*)> calls;
    std::int64_t delivered; // frame the read hands out in the end
};

void PauseAndQuery(IVideoDevice* d) {
    std::int64_t value = 0;
    std::int32_t a = 0, b = 0, c = 0;
    std::uint8_t* bits = nullptr;
    BITMAPINFOHEADER* header = nullptr;
    EXPECT_EQ(d->SetPlayState(0, 1), S_OK);
    EXPECT_EQ(d->GetCurrentFrame(0, &value), S_OK);
    EXPECT_EQ(d->GetCurrentTime(0, &value), S_OK);
    EXPECT_EQ(d->GetDuration(0, &value), S_OK);
    EXPECT_EQ(d->SetVolume(0, 40), S_OK);
    EXPECT_EQ(d->SetRate(0, 1.5f), S_OK);
    EXPECT_EQ(d->SetBalance(0, 20), S_OK);
    EXPECT_EQ(d->SetBrightness(0, 0), S_OK);
    EXPECT_EQ(d->GetFrameSize(0, &a, &b, &c), S_OK);
    EXPECT_EQ(a, 640);
    EXPECT_EQ(d->GetFrameBuffer(0, &bits), S_OK);
    EXPECT_EQ(d->GetFrameFormat(0, &header), S_OK);
    EXPECT_EQ(d->GetFrameStatus(0, &a), S_OK);
    EXPECT_EQ(d->IsOpen(0, &a), S_OK);
}
} // namespace

TEST(EngineConcurrency, CallsDuringAnExactSeekDoNotWaitForIt) {
    const DuringSeekCase cases[] = {
        {"pause and queries", PauseAndQuery, kFar},
        {"play (Space while paused)", [](IVideoDevice* d) { EXPECT_EQ(d->SetPlayState(0, 0), S_OK); }, kFar},
        {"stop redirects the read to the start", [](IVideoDevice* d) { EXPECT_EQ(d->SetPlayState(0, 2), S_OK); }, 0},
        {"a new position redirects the read", [](IVideoDevice* d) { EXPECT_EQ(d->SetPosition(0, 120), S_OK); }, 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Device dev;
        ASSERT_EQ(dev.Open("numbered_longgop_640x360.mp4"), S_OK) << Engine().LastError();
        ASSERT_EQ(dev->SetPlayState(0, 1), S_OK);
        ASSERT_EQ(dev.Read(NRX_READ_POSITION), NRX_FRAME_NEW);
        ASSERT_EQ(dev->SetPosition(0, kFar), S_OK);

        std::atomic<bool> started{false}, returned{false};
        std::int32_t status = -7;
        std::thread reader([&] {
            started = true;
            status = dev.Read(NRX_READ_POSITION);
            returned = true;
        });
        while (!started) std::this_thread::yield();
        // Not a timing check: a moment for the read to get into its decode, so that a call that waits for the
        // decode would be seen waiting. The seek itself decodes for many times longer.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        c.calls(dev.d);
        // A redirected read may finish before the call itself returns, so only a read that still has the far
        // frame to reach can show a waiting call this way; for a redirect, the frame it delivers is the proof.
        if (c.delivered == kFar) {
            EXPECT_FALSE(returned) << "a call waited for the decode";
        }
        reader.join();
        ASSERT_EQ(status, NRX_FRAME_NEW);
        EXPECT_EQ(dev.DrawnNumber(), c.delivered);
        EXPECT_EQ(dev.Frame(), c.delivered);
    }
}
