// Bad files and hostile call patterns: clear failures or clean ends, never a crash, hang or leak.
#include "tests/engine/module/EngineLoader.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace nrxtest;

namespace {
std::filesystem::path TempDir() {
    auto dir = std::filesystem::temp_directory_path() / ("nrx-engine-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

// Plays a file untimed to its end; returns how many frames came out. Fails on a stuck decode.
int PlayOut(Device& dev) {
    int frames = 0;
    for (int i = 0; i < 2000; ++i) {
        const int status = dev.Read(NRX_READ_NEXT);
        if (status == NRX_FRAME_END) return frames;
        if (status == NRX_FRAME_NEW) ++frames;
    }
    ADD_FAILURE() << "no end after 2000 reads";
    return frames;
}
} // namespace

TEST(EngineBadInput, UnplayableFilesFailWithAReason) {
    const auto dir = TempDir();
    // A y4m header claiming a 20000-pixel-wide picture, followed by a scrap of data.
    const auto huge = dir / "huge.y4m";
    std::ofstream(huge) << "YUV4MPEG2 W20000 H100 F25:1 Ip A1:1 C420jpeg\nFRAME\nxxxxxxxx";
    const std::pair<std::string, std::string> cases[] = {
        {Clip("zero_bytes.avi"), ""},
        {Clip("random_bytes.mp4"), ""},
        {(dir / "missing.mp4").string(), "missing.mp4"},
        {huge.string(), "16384"},
    };
    for (const auto& [path, mention] : cases) {
        SCOPED_TRACE(path);
        Device dev;
        EXPECT_TRUE(FAILED(dev->Open(0, path.c_str())));
        const std::string why = Engine().LastError();
        EXPECT_FALSE(why.empty());
        EXPECT_NE(why.find(mention), std::string::npos) << why;
        std::int32_t open = -1;
        dev->IsOpen(0, &open);
        EXPECT_EQ(open, 0);
        EXPECT_TRUE(FAILED(dev->ReadFrame(0, NRX_READ_NEXT)));
    }
    Device dev;
    EXPECT_EQ(dev->Open(0, nullptr), E_INVALIDARG);
    std::filesystem::remove_all(dir);
}

TEST(EngineBadInput, DamagedFilesPlayToACleanEnd) {
    setenv("NRX_UNTIMED", "1", 1);
    for (const char* name : {"truncated.mp4", "broken_middle.ts"}) {
        SCOPED_TRACE(name);
        Device dev;
        ASSERT_EQ(dev->Open(0, Clip(name).c_str()), S_OK) << Engine().LastError();
        EXPECT_GT(PlayOut(dev), 20);
        // Going back after the end still finds a picture, damage or not.
        dev->SetPosition(0, 40);
        EXPECT_EQ(dev.Read(NRX_READ_POSITION), NRX_FRAME_NEW);
        EXPECT_LE(std::abs(dev.Frame() - 40), 1);
    }
    unsetenv("NRX_UNTIMED");
}

TEST(EngineBadInput, FileDeletedWhilePlayingEnds) {
    const auto dir = TempDir();
    const auto copy = dir / "soon_gone.mp4";
    std::filesystem::copy_file(Clip("numbered_320x240_25_noaudio.mp4"), copy);
    setenv("NRX_UNTIMED", "1", 1);
    Device dev;
    ASSERT_EQ(dev->Open(0, copy.string().c_str()), S_OK);
    unsetenv("NRX_UNTIMED");
    ASSERT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NEW);
    std::filesystem::remove(copy);
    PlayOut(dev);
    std::filesystem::remove_all(dir);
}

TEST(EngineBadInput, CloseDuringDecodeAndRapidReopen) {
    Device dev;
    ASSERT_EQ(dev->Open(0, Clip("h264_1280x720_60_noaudio.mp4").c_str()), S_OK);
    dev->SetPlayState(0, 0);
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop) {
            dev->ReadFrame(0, NRX_READ_NEXT);
            dev->SetPosition(0, 90);
            dev->ReadFrame(0, NRX_READ_POSITION);
        }
    });
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(dev->Close(0), S_OK);
        dev->Open(0, Clip(i % 2 ? "h264_aac_640x360_25.mp4" : "h264_1280x720_60_noaudio.mp4").c_str());
        dev->SetPlayState(0, 0);
    }
    stop = true;
    reader.join();

    // Many open/close cycles, alternating good and bad files: the sanitizer pass checks nothing leaks.
    for (int i = 0; i < 40; ++i) {
        const char* name = i % 3 == 0 ? "random_bytes.mp4" : (i % 3 == 1 ? "h264_aac_640x360_25.mp4" : "audio_only.mp3");
        dev->Open(0, Clip(name).c_str());
        if (i % 2) dev->ReadFrame(0, NRX_READ_NEXT);
        EXPECT_EQ(dev->Close(0), S_OK);
    }
    std::int32_t open = -1;
    dev->IsOpen(0, &open);
    EXPECT_EQ(open, 0);
}

TEST(EngineBadInput, ErrorLogGoesToItsFolderOnly) {
    const auto dir = TempDir() / "logs" / "nested";
    Device dev;
    ASSERT_EQ(dev->SetErrorLogFolder(dir.string().c_str()), S_OK);
    EXPECT_TRUE(std::filesystem::is_directory(dir)) << "the folder is created when needed";
    EXPECT_TRUE(FAILED(dev->Open(0, Clip("random_bytes.mp4").c_str())));
    std::uintmax_t total = 0;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        ++files;
        total += entry.file_size();
        EXPECT_EQ(entry.path().extension(), ".log");
    }
    EXPECT_EQ(files, 1);
    EXPECT_GT(total, 0u);
    // A file that is not a folder cannot take the logs.
    const auto blocker = TempDir() / "plainfile";
    std::ofstream(blocker) << "x";
    EXPECT_TRUE(FAILED(dev->SetErrorLogFolder((blocker / "sub").string().c_str())));
    EXPECT_FALSE(Engine().LastError().empty());
    std::filesystem::remove_all(TempDir());
}
