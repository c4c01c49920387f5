// Bad files and hostile call patterns: clear failures or clean ends, never a crash, hang or leak.
#include "tests/engine/module/EngineLoader.h"

#include <atomic>
#include <filesystem>
#include <fstream>

using namespace nrxtest;
namespace fs = std::filesystem;

namespace {
// A folder of this process's own, removed at scope end.
struct TempDir {
    fs::path path = fs::temp_directory_path() / ("nrx-engine-test-" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
};
} // namespace

TEST(EngineBadInput, UnplayableFilesFailWithAReason) {
    const TempDir dir;
    // A y4m header claiming a 20000-pixel-wide picture, followed by a scrap of data.
    const auto huge = dir.path / "huge.y4m";
    std::ofstream(huge) << "YUV4MPEG2 W20000 H100 F25:1 Ip A1:1 C420jpeg\nFRAME\nxxxxxxxx";
    const std::pair<std::string, std::string> cases[] = {
        {"zero_bytes.avi", ""},
        {"random_bytes.mp4", ""},
        {(dir.path / "missing.mp4").string(), "missing.mp4"},
        {huge.string(), "16384"},
    };
    for (const auto& [path, mention] : cases) {
        SCOPED_TRACE(path);
        Device dev;
        EXPECT_TRUE(FAILED(dev.Open(path)));
        const std::string why = Engine().LastError();
        EXPECT_FALSE(why.empty());
        EXPECT_NE(why.find(mention), std::string::npos) << why;
        EXPECT_EQ(dev.Get(&IVideoDevice::IsOpen), 0);
        EXPECT_TRUE(FAILED(dev->ReadFrame(0, NRX_READ_NEXT)));
    }
    Device dev;
    EXPECT_EQ(dev->Open(0, nullptr), E_INVALIDARG);
}

TEST(EngineBadInput, DamagedFilesPlayToACleanEnd) {
    for (const char* name : {"truncated.mp4", "broken_middle.ts"}) {
        SCOPED_TRACE(name);
        Device dev;
        ASSERT_EQ(dev.Open(name, true), S_OK) << Engine().LastError();
        EXPECT_GT(dev.FramesToTheEnd(), 20);
        // Going back after the end still finds a picture, damage or not.
        dev->SetPosition(0, 40);
        EXPECT_EQ(dev.Read(NRX_READ_POSITION), NRX_FRAME_NEW);
        EXPECT_LE(std::abs(dev.Frame() - 40), 1);
    }
}

TEST(EngineBadInput, FileDeletedWhilePlayingEnds) {
    const TempDir dir;
    const auto copy = dir.path / "soon_gone.mp4";
    fs::copy_file(Clip("numbered_320x240_25_noaudio.mp4"), copy);
    Device dev;
    ASSERT_EQ(dev.Open(copy.string(), true), S_OK);
    ASSERT_EQ(dev.Read(NRX_READ_NEXT), NRX_FRAME_NEW);
    fs::remove(copy);
    dev.FramesToTheEnd();
}

TEST(EngineBadInput, CloseDuringDecodeAndRapidReopen) {
    Device dev;
    ASSERT_EQ(dev.Open("h264_1280x720_60_noaudio.mp4"), S_OK);
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
        dev.Open(i % 2 ? "h264_aac_640x360_25.mp4" : "h264_1280x720_60_noaudio.mp4");
        dev->SetPlayState(0, 0);
    }
    stop = true;
    reader.join();

    // Many open/close cycles, alternating good and bad files: the sanitizer pass checks nothing leaks.
    for (int i = 0; i < 40; ++i) {
        dev.Open(i % 3 == 0 ? "random_bytes.mp4" : (i % 3 == 1 ? "h264_aac_640x360_25.mp4" : "audio_only.mp3"));
        if (i % 2) dev->ReadFrame(0, NRX_READ_NEXT);
        EXPECT_EQ(dev->Close(0), S_OK);
    }
    EXPECT_EQ(dev.Get(&IVideoDevice::IsOpen), 0);
}

TEST(EngineBadInput, ErrorLogGoesToItsFolderOnly) {
    const TempDir temp;
    const auto dir = temp.path / "logs" / "nested";
    Device dev;
    ASSERT_EQ(dev->SetErrorLogFolder(dir.string().c_str()), S_OK);
    EXPECT_TRUE(fs::is_directory(dir)) << "the folder is created when needed";
    EXPECT_TRUE(FAILED(dev.Open("random_bytes.mp4")));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        ++files;
        EXPECT_GT(entry.file_size(), 0u);
        EXPECT_EQ(entry.path().extension(), ".log");
    }
    EXPECT_EQ(files, 1);
    // A file that is not a folder cannot take the logs.
    const auto blocker = temp.path / "plainfile";
    std::ofstream(blocker) << "x";
    EXPECT_TRUE(FAILED(dev->SetErrorLogFolder((blocker / "sub").string().c_str())));
    EXPECT_FALSE(Engine().LastError().empty());
}
