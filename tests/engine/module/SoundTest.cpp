// Sound and timing through the module: balance and volume reach the driver, rates keep pace, the trace.
#include "tests/engine/module/EngineLoader.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

using namespace nrxtest;

namespace {

// Plays `ms` of wall time, asking for frames like the player's loop does.
void PlayFor(const Device& dev, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (dev.Read(NRX_READ_NEXT) == NRX_FRAME_END) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Peak of each channel of 400 ms played, from what SDL's disk driver wrote (interleaved float stereo; the
// clip's tone peaks near 0.1).
std::pair<float, float> PeaksPlayed(int volume, int balance) {
    const auto raw = std::filesystem::temp_directory_path() / ("nrx-sound-" + std::to_string(::getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    {
        Device dev;
        dev->SetVolume(0, volume);
        dev->SetBalance(0, balance);
        if (dev.Open("h264_aac_640x360_25.mp4") == S_OK) {
            dev->SetPlayState(0, 0);
            PlayFor(dev, 400);
        }
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::ifstream in(raw, std::ios::binary);
    std::pair<float, float> peaks{0, 0};
    for (float pair[2]; in.read(reinterpret_cast<char*>(pair), sizeof pair);) {
        peaks.first = std::max(peaks.first, std::abs(pair[0]));
        peaks.second = std::max(peaks.second, std::abs(pair[1]));
    }
    std::filesystem::remove(raw);
    return peaks;
}

} // namespace

TEST(EngineSound, BalanceAndVolumeShapeTheOutput) {
    const auto both = PeaksPlayed(100, 0);
    EXPECT_GT(both.first, 0.05f);
    EXPECT_NEAR(both.first, both.second, 0.05f);
    const auto leftOnly = PeaksPlayed(100, -100);
    EXPECT_GT(leftOnly.first, 0.05f);
    EXPECT_EQ(leftOnly.second, 0.0f) << "-100 silences the right channel";
    const auto rightOnly = PeaksPlayed(100, 100);
    EXPECT_EQ(rightOnly.first, 0.0f);
    EXPECT_GT(rightOnly.second, 0.05f);
    const auto half = PeaksPlayed(50, 0);
    EXPECT_GT(half.first, 0.0f);
    EXPECT_LT(half.first, both.first * 0.5f) << "volume steps are even in loudness, not in amplitude";
    EXPECT_EQ(PeaksPlayed(0, 0), (std::pair<float, float>{0.0f, 0.0f}));
}

TEST(EngineSound, PlayRatesSpeedThePictureWithTheSound) {
    std::int64_t reached[2] = {0, 0};
    const float rates[2] = {0.5f, 2.0f};
    for (int i = 0; i < 2; ++i) {
        Device dev;
        ASSERT_EQ(dev.Open("numbered_320x240_25.mp4"), S_OK);
        dev->SetRate(0, rates[i]);
        dev->SetPlayState(0, 0);
        PlayFor(dev, 800);
        reached[i] = dev.Frame();
        EXPECT_EQ(dev.DrawnNumber(), reached[i]);
    }
    // Same wall time, four times the rate: clearly further, whatever the machine's load.
    EXPECT_GT(reached[1], reached[0] * 2);
    EXPECT_GT(reached[0], 2);
}

TEST(EngineSound, TraceHasOneLinePerRead) {
    const auto path = std::filesystem::temp_directory_path() / ("nrx-trace-" + std::to_string(::getpid()) + ".csv");
    std::filesystem::remove(path);
    setenv("NRX_TRACE", path.c_str(), 1);
    {
        Device dev;
        ASSERT_EQ(dev.Open("numbered_320x240_25_noaudio.mp4", true), S_OK);
        for (int i = 0; i < 5; ++i) dev.Read(NRX_READ_NEXT);
        dev->SetPosition(0, 100);
        dev.Read(NRX_READ_POSITION);
    }
    unsetenv("NRX_TRACE");
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::filesystem::remove(path);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "wall_ms,mode,status,frame,pts_ms,clock_ms,decode_ms,dropped_total");
    // The jump's line: mode 1, a new frame, frame 100 at 4000 ms.
    std::stringstream last(lines.back());
    std::vector<std::string> cells;
    for (std::string cell; std::getline(last, cell, ',');) cells.push_back(cell);
    ASSERT_EQ(cells.size(), 8u);
    EXPECT_EQ(cells[1] + "," + cells[2] + "," + cells[3], "1,1,100");
    EXPECT_NEAR(std::stod(cells[4]), 4000.0, 0.5);
}

TEST(EngineSound, WithoutAnAudioDevicePictureKeepsTime) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    Device dev;
    const HRESULT opened = dev.Open("numbered_320x240_25.mp4");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(opened, S_OK) << "a file with sound still opens when no sound can be played";
    dev->SetPlayState(0, 0);
    PlayFor(dev, 500);
    EXPECT_GE(dev.Frame(), 5) << "the monotonic clock drives the picture";
    EXPECT_EQ(dev.DrawnNumber(), dev.Frame());
    dev->SetPosition(0, 245);
    PlayFor(dev, 1500);
    EXPECT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_END);
}
