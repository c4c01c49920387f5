// The way a picture travels from the playback thread to the screen, on the whole program: the window keeps
// painting and taking commands while a decode is held up, and a display without OpenGL still gets pictures.
#include "document/RedadIzivad.h"
#include "render/VideoRender.h"
#include "resources/CommandIds.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/program/ProgramHarness.h"

#include <QFile>
#include <QTest>
#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace {
int LineCount(const QString& path) { return static_cast<int>(ReadFile(path).count('\n')); }
} // namespace

TEST(ProgramFramePath, PaintAndPlayStateChangeFinishWhileADecodeIsHeld) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString clip = dir.filePath("clip.syn");
    ASSERT_TRUE(WriteFile(clip, "synthetic"));
    const QString trace = dir.filePath("paint.csv");
    ScopedEnv module("NRX_ENGINE_MODULE", NRX_SYNTHETIC_MODULE);
    ScopedEnv paintTrace("NRX_PAINT_TRACE", QFile::encodeName(trace));
    const auto holdReads = Synthetic<NrxSyntheticHoldReadsFn>(NRX_SYNTHETIC_HOLD_READS_SYMBOL);
    const auto heldReads = Synthetic<NrxSyntheticHeldReadsFn>(NRX_SYNTHETIC_HELD_READS_SYMBOL);
    ASSERT_TRUE(holdReads && heldReads);
    ConfigureSynthetic("frames=100000;rate=50;width=320;height=240");

    ProgramRun player(clip);
    // Declared after the player, so held reads go before the program stops its playback thread.
    const struct LetReadsGo {
        NrxSyntheticHoldReadsFn hold;
        ~LetReadsGo() { hold(0); }
    } letReadsGo{holdReads};
    ASSERT_TRUE(player.started);
    ASSERT_TRUE(player.Frames(3));
    holdReads(1);
    ASSERT_TRUE(WaitFor([&] { return heldReads() == 1; })) << "the playback thread is inside ReadFrame";

    // Steps are numbered in the order they finish. Should the UI wait for the held decode, a guard lets the
    // decode go after a while (so the test ends instead of hanging), and that step then comes first.
    std::atomic<int> step{0}, released{0};
    std::promise<void> finished;
    std::thread guard([&, done = finished.get_future()] {
        if (done.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) {
            released = ++step;
            holdReads(0);
        }
    });

    const int paintsBefore = LineCount(trace);
    player.PaintNow();
    const int painted = ++step;
    const int paintsAfter = LineCount(trace);
    player.doc->OnCommand(ID_PLAY_PAUSE);
    const int stateChanged = ++step;
    const PlayState stateAfter = ThePlayer->engine->GetPlayState();
    finished.set_value();
    guard.join();
    if (released == 0) {
        released = ++step;
        holdReads(0);
    }

    EXPECT_LT(painted, released) << "the paint waited for the decode";
    EXPECT_EQ(paintsAfter, paintsBefore + 1) << "the paint drew the last picture";
    EXPECT_LT(stateChanged, released) << "the play-state change waited for the decode";
    EXPECT_EQ(stateAfter, PlayState::Paused);
    EXPECT_TRUE(player.prompts.texts.isEmpty()) << player.prompts.All();
}

TEST(ProgramFramePath, WithoutOpenGLTheSoftwareRendererDrawsAndSaysSoOnce) {
    // No GL integration at all: no OpenGL context can be made on this display.
    ScopedEnv noGl("QT_XCB_GL_INTEGRATION", "none");
    ProgramRun player(Clip("orientation_red_top.mp4"));
    ASSERT_TRUE(player.started);
    EXPECT_EQ(player.view->RendererType(), RendererKind::Gdi);
    ASSERT_TRUE(player.view->Renderer() && player.view->Renderer()->ready);
    ASSERT_TRUE(player.PauseAfterFrames());
    EXPECT_TRUE(RedOverBlue(player.PaintNow()));

    ASSERT_TRUE(WaitFor([&] { return !player.prompts.texts.isEmpty(); }));
    EXPECT_TRUE(player.prompts.texts.front().contains("OpenGL is not available")) << player.prompts.texts.front().toStdString();
    // Asking for OpenGL again keeps the picture and does not repeat the message.
    player.doc->OnCommand(ID_RENDERER_OPENGL);
    EXPECT_EQ(player.view->RendererType(), RendererKind::Gdi);
    QTest::qWait(200);
    EXPECT_EQ(player.prompts.texts.size(), 1);
}
