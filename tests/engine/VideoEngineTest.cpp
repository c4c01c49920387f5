// CVideoEngine against a missing module, the real one, and the synthetic one for failures made on demand.
#include "engine/ComError.h"
#include "engine/VideoEngine.h"
#include "settings/ProgramParams.h"
#include "tests/engine/EngineTestSupport.h"

#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cmath>

namespace {
const QString NoDeviceAvailable = QStringLiteral("No video device available");
const QString NoDeviceSelected = QStringLiteral("No video device selected");

// Reads frames in the given mode until the engine reports a new one (the real engine may first say "not
// yet due"); returns the last status.
std::int32_t ReadNewFrame(CVideoEngine& engine, NrxReadMode mode) {
    std::int32_t status = NRX_FRAME_NONE;
    for (int attempt = 0; attempt < 500 && status == NRX_FRAME_NONE; ++attempt) {
        status = engine.ReadFrame(mode);
        if (status == NRX_FRAME_NONE) QThread::msleep(5);
    }
    return status;
}

std::int64_t PixelFrameNumber(CVideoEngine& engine) {
    const CFrameView frame = engine.LockFrame();
    return frame.Bits() ? SyntheticFrameNumber(frame.Bits()) : -1;
}
} // namespace

// ---- creation failures: the player runs on with nothing to play ----

TEST(EngineCreation, MissingModuleFailsBothObjectsAndEverythingTakesTheNoDevicePath) {
    QTemporaryDir folder;
    const QString notAModule = folder.filePath("libnrxvideoengine.so");
    ASSERT_TRUE(WriteFile(notAModule, "this is not a shared library"));

    for (const QString& path : {folder.filePath("missing.so"), notAModule}) {
        SCOPED_TRACE(path.toStdString());
        PromptRecorder prompts;
        CVideoEngine engine(path);
        EXPECT_FALSE(engine.Initialize());
        EXPECT_TRUE(prompts.texts.isEmpty()) << "the wrapper reports; the document tells the user";
        EXPECT_TRUE(engine.ModuleMissing());
        EXPECT_TRUE(engine.ModuleError().contains(path)); // says which file was looked for
        const QStringList errors = engine.CreationErrors();
        ASSERT_EQ(errors.size(), 2);
        EXPECT_TRUE(errors[0].startsWith("Error to get video device.\nError: Class not registered"));
        EXPECT_TRUE(errors[1].startsWith("Error to get video device property.\nError: Class not registered"));

        EXPECT_EQ(engine.GetFrameRate(), 1.0f);
        EXPECT_EQ(engine.GetRate(), 1.0f);
        for (const std::int64_t value : {engine.GetDuration(), engine.GetCurrentTime(), engine.GetCurrentFrame(),
                                         engine.GetFrameCount(), std::int64_t{engine.GetVolume()}})
            EXPECT_EQ(value, 0);
        EXPECT_EQ(engine.GetDisplayName(), NoDeviceAvailable);
        EXPECT_FALSE(engine.Open(Clip("h264_aac_640x360_25.mp4")));
        EXPECT_EQ(engine.ReadFrame(NRX_READ_NEXT), -1);
        engine.SetPlayState(PlayState::Playing);
        EXPECT_FALSE(engine.IsActive());
        EXPECT_FALSE(engine.IsSupportedFile("clip.mp4"));
        EXPECT_FALSE(engine.Close(false));
        EXPECT_FALSE(engine.ReleaseProperty());
        engine.SetBrightness(17); // nothing to pass it to, and nothing fails
    }
}

// A component that is there but fails says so in its own words; an object without the interface stays silent.
// Only the extensions and the device list are needed to play: a list that merely describes the component
// may fail without costing playback.
TEST(EngineCreation, ComponentFailuresReportTheirOwnTextOrNothing) {
    struct Case {
        const char* config;
        QStringList texts;
        bool ready;
    };
    const Case cases[] = {
        {"unregistered=device", {"Error to get video device.\nError: the synthetic engine has no such class"}, false},
        {"fail=GetDeviceName", {"Error to get video device property.\nError: synthetic failure in GetDeviceName"}, false},
        {"fail=GetFormatName,GetVideoCodecCount", {}, true},
        {"noInterface=device", {}, false},
        {"noInterface=property", {}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        ConfigureSynthetic(c.config);
        PromptRecorder prompts;
        CVideoEngine engine(SyntheticModulePath());
        EXPECT_EQ(engine.Initialize(), c.ready);
        EXPECT_TRUE(prompts.texts.isEmpty());
        EXPECT_EQ(engine.CreationErrors(), c.texts);
        EXPECT_FALSE(engine.ModuleMissing());
        EXPECT_EQ(engine.IsSupportedFile("clip.mp4"), c.ready);
        if (c.ready) {
            EXPECT_FALSE(engine.GetDeviceNames().isEmpty());
            EXPECT_TRUE(engine.GetFormatNames().isEmpty());
            EXPECT_TRUE(engine.GetVideoCodecNames().isEmpty());
        }
        EXPECT_EQ(SyntheticCalls("Open"), 0);
    }
}

TEST(EngineCreation, ErrorTextForCodesWithoutComponentText) {
    EXPECT_EQ(CComError(static_cast<HRESULT>(0x80040205u), {}).ErrorMessage(), "IDispatch error #5");
    EXPECT_EQ(CComError(static_cast<HRESULT>(0x8000ABCDu), {}).ErrorMessage(), "Unknown error 0x8000ABCD");
    EXPECT_EQ(CComError(E_FAIL, "decoder gave up").ErrorMessage(), "decoder gave up");
}

// ---- the wrapper over the real module ----

class EngineWrapper : public ::testing::Test {
protected:
    void SetUp() override {
        engine = std::make_unique<CVideoEngine>(RealModulePath());
        PromptRecorder prompts;
        ASSERT_TRUE(engine->Initialize()) << prompts.All();
        EXPECT_TRUE(prompts.texts.isEmpty());
    }
    static QString File() { return Clip("h264_aac_640x360_25.mp4"); }

    std::unique_ptr<CVideoEngine> engine;
};

TEST_F(EngineWrapper, OpenCachesTheFrameAndPlayingDecodesIntoIt) {
    ASSERT_TRUE(engine->Open(File())) << engine->LastOpenError().toStdString();
    EXPECT_FALSE(engine->IsActive());
    EXPECT_EQ(engine->GetFilePath(), File());
    EXPECT_FLOAT_EQ(engine->GetFrameRate(), 25.0f);
    EXPECT_GE(engine->GetDuration(), 6);
    {
        // The format is known at once; a picture only once one is decoded.
        const CFrameView frame = engine->LockFrame();
        ASSERT_TRUE(frame.HasFormat());
        EXPECT_EQ(frame.Bits(), nullptr);
        EXPECT_EQ(frame.Serial(), 0u);
        EXPECT_EQ(frame.Header().biWidth, frame.Size().width());
        EXPECT_EQ(std::abs(frame.Header().biHeight), frame.Size().height());
        EXPECT_EQ(frame.Header().biBitCount, 24); // EnableOption was never turned on
    }
    const QSize size = engine->FrameSize(); // apart: a held frame view would block FrameSize
    EXPECT_EQ(size, engine->LockFrame().Size());
    engine->SetPlayState(PlayState::Playing);
    EXPECT_TRUE(engine->IsActive());
    EXPECT_EQ(ReadNewFrame(*engine, NRX_READ_NEXT), NRX_FRAME_NEW);
    std::uint64_t serial = 0;
    {
        const CFrameView frame = engine->LockFrame();
        ASSERT_NE(frame.Bits(), nullptr);
        EXPECT_GE(frame.Bytes(), std::size_t(frame.Header().biWidth * 3) * frame.Size().height());
        EXPECT_EQ(frame.FrameNumber(), engine->GetCurrentFrame());
        serial = frame.Serial();
    }

    // Pausing and positioning: mode 1 shows exactly the chosen frame.
    engine->SetPlayState(PlayState::Paused);
    engine->SetPosition(10);
    EXPECT_EQ(ReadNewFrame(*engine, NRX_READ_POSITION), NRX_FRAME_NEW);
    EXPECT_EQ(engine->GetCurrentFrame(), 10);
    std::int64_t number = -1;
    // Refresh never asks the component whether something new came; it is a new picture of the same frame.
    EXPECT_EQ(engine->ReadFrame(NRX_READ_REFRESH, &number), NRX_FRAME_NEW);
    EXPECT_EQ(number, 10);
    EXPECT_EQ(engine->GetCurrentFrame(), 10);
    const CFrameView frame = engine->LockFrame();
    EXPECT_EQ(frame.FrameNumber(), 10);
    EXPECT_GE(frame.Serial(), serial + 2) << "every picture handed over has a serial of its own";
}

TEST_F(EngineWrapper, CloseForgetsTheFileAndItsBuffer) {
    ASSERT_TRUE(engine->Open(File()));
    engine->SetPlayState(PlayState::Playing);
    ASSERT_TRUE(engine->Close(false));
    EXPECT_FALSE(engine->IsOpened());
    EXPECT_FALSE(engine->IsActive());
    EXPECT_TRUE(engine->GetFilePath().isEmpty());
    EXPECT_EQ(engine->GetFrameRate(), 1.0f);
    EXPECT_EQ(engine->GetDisplayName(), engine->GetDeviceCount() >= 1 ? NoDeviceSelected : NoDeviceAvailable);
    {
        const CFrameView frame = engine->LockFrame();
        EXPECT_EQ(frame.Bits(), nullptr);
        EXPECT_FALSE(frame.HasFormat());
    }
    // Closed but not released: the next file opens.
    EXPECT_TRUE(engine->Open(File()));
    ASSERT_TRUE(engine->Close(true));
    EXPECT_FALSE(engine->Open(File()));
}

// ---- bad input through the real module: FALSE, no crash, no hang, the engine still usable ----

TEST(EngineBadInput, UnplayableFilesAreRefusedAndTheNextGoodOneOpens) {
    CVideoEngine engine(RealModulePath());
    PromptRecorder prompts;
    ASSERT_TRUE(engine.Initialize()) << prompts.All();
    QTemporaryDir folder;
    for (const QString& path : {Clip("no_such_file.mp4"), folder.path(), Clip("zero_bytes.avi"),
                                Clip("random_bytes.mp4"), QString()}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(engine.Open(path));
        EXPECT_FALSE(engine.IsOpened());
        EXPECT_FALSE(engine.LastOpenError().isEmpty());
        EXPECT_EQ(engine.GetFrameRate(), 1.0f);
        const CFrameView frame = engine.LockFrame();
        EXPECT_EQ(frame.Bits(), nullptr);
        EXPECT_FALSE(frame.HasFormat());
    }
    EXPECT_TRUE(engine.Open(Clip("mpeg4_mp3_320x240_2997.avi")));
    EXPECT_NEAR(engine.GetFrameRate(), 29.97f, 0.01f);
    EXPECT_TRUE(prompts.texts.isEmpty());
}

// ---- behaviour only the synthetic module can show on demand ----

class SyntheticEngine : public ::testing::Test {
protected:
    void Start(const char* config) {
        ConfigureSynthetic(config);
        engine = std::make_unique<CVideoEngine>(SyntheticModulePath());
        ASSERT_TRUE(engine->Initialize());
    }
    std::unique_ptr<CVideoEngine> engine;
};

TEST_F(SyntheticEngine, SetPlayStateCallsTheDeviceOnlyForAChangeOnAnOpenFile) {
    Start("");
    engine->SetPlayState(PlayState::Playing); // nothing open yet
    EXPECT_EQ(SyntheticCalls("SetPlayState"), 0);
    ASSERT_TRUE(engine->Open("/clips/a.syn"));
    engine->SetPlayState(PlayState::Stopped); // already stopped
    EXPECT_EQ(SyntheticCalls("SetPlayState"), 0);
    engine->SetPlayState(PlayState::Playing);
    engine->SetPlayState(PlayState::Playing);
    EXPECT_EQ(SyntheticCalls("SetPlayState"), 1);
    engine->SetPlayState(PlayState::Paused);
    EXPECT_EQ(SyntheticCalls("SetPlayState"), 2);
    EXPECT_EQ(engine->GetPlayState(), PlayState::Paused);
}

TEST_F(SyntheticEngine, FramesArriveInOrderUntilTheEndOfTheStream) {
    Start("frames=3");
    ASSERT_TRUE(engine->Open("/clips/a.syn"));
    engine->SetPlayState(PlayState::Playing);
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(engine->ReadFrame(NRX_READ_NEXT), NRX_FRAME_NEW);
        EXPECT_EQ(PixelFrameNumber(*engine), frame);
    }
    EXPECT_EQ(engine->ReadFrame(NRX_READ_NEXT), NRX_FRAME_END);
    EXPECT_EQ(PixelFrameNumber(*engine), 2) << "the last picture stays until the file closes";
}

TEST_F(SyntheticEngine, EachFileGetsTheCurrentPictureSettings) {
    Params.Brightness = -40;
    Params.Contrast = 25;
    Params.Saturation = 90;
    Params.AudioBalance = -100;
    Params.qualityName = "High";
    Start("");
    ASSERT_TRUE(engine->Open("/clips/a.syn"));
    EXPECT_EQ(SyntheticLastValue("SetBrightness"), -40);
    EXPECT_EQ(SyntheticLastValue("SetContrast"), 25);
    EXPECT_EQ(SyntheticLastValue("SetSaturation"), 90);
    EXPECT_EQ(SyntheticLastValue("SetBalance"), -100);
    EXPECT_EQ(SyntheticLastValue("SetQuality"), 2);
    EXPECT_EQ(SyntheticCalls("SetVolume"), 0); // the document sets the volume after the open
    Params.Brightness = Params.Contrast = Params.Saturation = Params.AudioBalance = 0;
    Params.qualityName.clear();
}

TEST_F(SyntheticEngine, FailingCallRaisesTheCodeAndTheComponentsText) {
    Start("fail=SetRate,GetDuration");
    ASSERT_TRUE(engine->Open("/clips/a.syn"));
    try {
        engine->SetRate(2.0f);
        FAIL() << "SetRate should have raised";
    } catch (const CComError& error) {
        EXPECT_EQ(error.Error(), E_FAIL);
        EXPECT_EQ(error.ErrorMessage(), "synthetic failure in SetRate");
    }
    EXPECT_THROW(engine->GetDuration(), CComError);
    // A failed call leaves the engine usable.
    engine->SetPlayState(PlayState::Playing);
    EXPECT_EQ(engine->ReadFrame(NRX_READ_NEXT), NRX_FRAME_NEW);
}

TEST_F(SyntheticEngine, FailedOpenKeepsTheTextAndLeavesNothingOpen) {
    Start("fail=Open");
    EXPECT_FALSE(engine->Open("/clips/a.syn"));
    EXPECT_EQ(engine->LastOpenError(), "synthetic failure in Open");
    EXPECT_TRUE(engine->GetFilePath().isEmpty());
}

TEST_F(SyntheticEngine, DisplayNameIsShortenedPastThirtyCharacters) {
    Start("");
    const QString thirty = QStringLiteral("abcdefghijklmnopqrstuvwxyz.mp4");
    ASSERT_EQ(thirty.size(), 30);
    ASSERT_TRUE(engine->Open("/videos/" + thirty));
    EXPECT_EQ(engine->GetDisplayName(), thirty);
    ASSERT_TRUE(engine->Open("/videos/" + QStringLiteral("x") + thirty));
    EXPECT_EQ(engine->GetDisplayName(), QStringLiteral("xabcdefghijklmnopqrstuvwxyz..."));
    EXPECT_EQ(engine->GetFileName(), "x" + thirty); // only the shown name is shortened
}

TEST_F(SyntheticEngine, SupportedFileMatchesTheExtensionInEitherCase) {
    Start("extensions=mp4;avi|Other|*.WMV");
    EXPECT_TRUE(engine->IsSupportedFile("/videos/CLIP.MP4")); // small letters at the very start
    EXPECT_TRUE(engine->IsSupportedFile("/videos/clip.avi"));
    EXPECT_TRUE(engine->IsSupportedFile("/videos/clip.wmv"));
    EXPECT_FALSE(engine->IsSupportedFile("/videos/clip.mkv"));
    EXPECT_FALSE(engine->IsSupportedFile("/videos/mp4"));  // no dot at all
    EXPECT_FALSE(engine->IsSupportedFile("/videos/clip.")); // nothing after the dot
}
