// The playback thread: play states, the command events, end of stream, repaint requests and stopping.
#include "document/RedadIzivad.h"
#include "tests/engine/EngineTestSupport.h"

#include <QThread>
#include <gtest/gtest.h>

#include <vector>

class PlaybackThread : public ::testing::Test {
protected:
    // Creates the player on the synthetic module with a stand-in view that takes repaints as a view would.
    bool Start(const char* config) {
        ConfigureSynthetic(config);
        player = std::make_unique<CRedadIzivad>();
        player->viewWindow = &view;
        player->engine = std::make_unique<CVideoEngine>(SyntheticModulePath());
        QObject::connect(
            &player->notifier, &CPlayerNotifier::frameReady, &view,
            [this](qint64 frame) {
                ++repaints;
                if (!acknowledge) return;
                player->FramePainted();
                // What a paint shows now: the notified picture, or one handed over since.
                const CFrameView picture = player->engine->LockFrame();
                if (!picture.Bits()) return; // a notice queued before the file was closed
                shownFrames.push_back(SyntheticFrameNumber(picture.Bits()));
                EXPECT_EQ(picture.FrameNumber(), shownFrames.back());
                EXPECT_LE(frame, picture.FrameNumber());
            },
            Qt::QueuedConnection);
        QObject::connect(
            &player->notifier, &CPlayerNotifier::endOfStream, &view,
            [this] {
                ++ends;
                threadFieldAtEnd = player->IsThreadRunning();
            },
            Qt::QueuedConnection);
        PromptRecorder prompts;
        return player->Create();
    }
    // Opens the clip, which starts the playback thread, and plays it.
    void Play(const char* clip = "/clips/a.syn") {
        ASSERT_EQ(player->OpenFile(clip, true), 1);
        EXPECT_TRUE(player->IsThreadRunning());
        player->engine->SetPlayState(PlayState::Playing);
    }
    bool Signalled(CEvent& event) { return WaitForAny({&event}, 0) == 0; }

    QObject view;
    std::unique_ptr<CRedadIzivad> player;
    bool acknowledge = true;
    int repaints = 0;
    int ends = 0;
    bool threadFieldAtEnd = true;
    std::vector<std::int64_t> shownFrames;
};

TEST_F(PlaybackThread, PlaysToTheEndThenTheNextOpenStartsANewThread) {
    ASSERT_TRUE(Start("frames=10;rate=100"));
    Play();
    ASSERT_TRUE(WaitFor([&] { return ends == 1; }));
    EXPECT_FALSE(threadFieldAtEnd);
    EXPECT_FALSE(Signalled(player->StoppedEvent)); // only a stop request signals it
    ASSERT_FALSE(shownFrames.empty());
    EXPECT_TRUE(std::is_sorted(shownFrames.begin(), shownFrames.end()));
    EXPECT_EQ(shownFrames.back(), 9);

    Play("/clips/b.syn");
    ASSERT_TRUE(WaitFor([&] { return ends == 2; }));
}

TEST_F(PlaybackThread, RepaintRequestsCoalesceAndStoppingNeverWaitsForTheUI) {
    ASSERT_TRUE(Start("frames=100000;rate=200"));
    acknowledge = false;
    Play();
    // The UI thread does not look at its queue while the thread presents a few dozen frames...
    for (int i = 0; i < 2000 && SyntheticCalls("ReadFrame") < 20; ++i) QThread::msleep(5);
    ASSERT_GE(SyntheticCalls("ReadFrame"), 20);
    // ...and still stops the thread without a deadlock.
    ASSERT_TRUE(player->StopThread(false));
    EXPECT_FALSE(player->IsThreadRunning());
    EXPECT_FALSE(player->engine->IsOpened());
    QTest::qWait(200);
    EXPECT_EQ(repaints, 1);
    // Stopped without releasing: the next file opens.
    EXPECT_EQ(player->OpenFile("/clips/b.syn", true), 1);
}

TEST_F(PlaybackThread, StopAndStepTogetherEndWithoutStepping) {
    ASSERT_TRUE(Start(""));
    ASSERT_TRUE(player->engine->Open("/clips/a.syn"));
    player->engine->SetPlayState(PlayState::Playing);
    player->engine->SetPlayState(PlayState::Paused);
    player->RequestStep(1);
    player->StopEvent.SetEvent();
    EXPECT_EQ(CRedadIzivad::ThreadProc(player.get()), 1);
    EXPECT_EQ(SyntheticCalls("SetPosition"), 0);
    EXPECT_EQ(SyntheticCalls("ReadFrame"), 0);
    EXPECT_TRUE(Signalled(player->StoppedEvent));
}

TEST_F(PlaybackThread, FirstPictureWaitsForTheWindowButNotForever) {
    ASSERT_TRUE(Start("frames=100000;rate=100"));
    Play();
    QThread::msleep(100);
    EXPECT_EQ(SyntheticCalls("ReadFrame"), 0) << "nothing is read while the window is still being built";
    player->FramePresented();
    ASSERT_TRUE(WaitFor([&] { return SyntheticCalls("ReadFrame") >= 3; }));
    player->StopThread(false);

    // A window that never shows anything (a hidden one) holds the first picture back only briefly.
    const int before = SyntheticCalls("ReadFrame");
    Play("/clips/b.syn");
    ASSERT_TRUE(WaitFor([&] { return SyntheticCalls("ReadFrame") >= before + 3; }));
}

TEST_F(PlaybackThread, StepOrRefreshWhilePlayingOnlyShowsTheNextFrame) {
    ASSERT_TRUE(Start("frames=100000;rate=100"));
    Play();
    ASSERT_TRUE(WaitFor([&] { return SyntheticCalls("ReadFrame") >= 3; }));
    player->RequestStep(1);
    ASSERT_TRUE(WaitFor([&] { return SyntheticCalls("ReadFrame") >= 6; }));
    player->RequestStep(-1);
    player->RefreshEvent.SetEvent();
    ASSERT_TRUE(WaitFor([&] { return SyntheticCalls("ReadFrame") >= 10; }));
    player->StopThread(false);
    EXPECT_EQ(SyntheticCalls("SetPosition"), 0);
    EXPECT_EQ(SyntheticLastValue("ReadFrame"), NRX_READ_NEXT);
    EXPECT_TRUE(std::is_sorted(shownFrames.begin(), shownFrames.end()));
}

TEST_F(PlaybackThread, PausedThreadStepsRefreshesAndOtherwiseStaysIdle) {
    ASSERT_TRUE(Start("frames=1000;rate=100"));
    Play();
    ASSERT_TRUE(WaitFor([&] { return !shownFrames.empty() && shownFrames.back() >= 5; }));
    player->engine->SetPlayState(PlayState::Paused);
    // A frame that was being decoded when the pause came still finishes; wait until decoding has stopped.
    for (std::int64_t reads = -1; reads != SyntheticCalls("ReadFrame");) {
        reads = SyntheticCalls("ReadFrame");
        QTest::qWait(50);
    }
    const std::int64_t paused = player->engine->GetCurrentFrame();

    player->RequestStep(1);
    ASSERT_TRUE(WaitFor([&] { return shownFrames.back() == paused + 1; }));
    player->RequestStep(-1);
    ASSERT_TRUE(WaitFor([&] { return shownFrames.back() == paused && SyntheticCalls("SetPosition") == 2; }));
    const std::int64_t readsBeforeRefresh = SyntheticCalls("ReadFrame");
    player->RefreshEvent.SetEvent();
    ASSERT_TRUE(WaitFor([&] { return SyntheticCalls("ReadFrame") == readsBeforeRefresh + 1; }));
    EXPECT_EQ(SyntheticLastValue("ReadFrame"), NRX_READ_REFRESH);

    // Nothing more happens until the next command: no decode, no repaint.
    QTest::qWait(100);
    const int repaintsWhenIdle = repaints;
    QTest::qWait(600);
    EXPECT_EQ(SyntheticCalls("ReadFrame"), readsBeforeRefresh + 1);
    EXPECT_EQ(repaints, repaintsWhenIdle);
    EXPECT_TRUE(player->IsThreadRunning());
}

TEST_F(PlaybackThread, StoppedThreadNeitherDecodesNorAsksForRepaints) {
    ASSERT_TRUE(Start("rate=100"));
    ASSERT_EQ(player->OpenFile("/clips/a.syn", true), 1);
    QTest::qWait(300); // thirty periods
    EXPECT_EQ(SyntheticCalls("ReadFrame"), 0);
    EXPECT_EQ(repaints, 0) << "nothing new to show: the view paints its logo screen by itself";
}

TEST_F(PlaybackThread, FailingDecodeEndsLikeTheEndOfTheStreamWithTheText) {
    ASSERT_TRUE(Start("rate=100;fail=ReadFrame@4"));
    Play();
    ASSERT_TRUE(WaitFor([&] { return ends == 1; }));
    EXPECT_FALSE(threadFieldAtEnd);
    EXPECT_EQ(player->TakeThreadError(), "synthetic failure in ReadFrame");
    EXPECT_TRUE(player->TakeThreadError().isEmpty());
}

TEST_F(PlaybackThread, ThreadNeedsAViewAndAnEngine) {
    ASSERT_TRUE(Start(""));
    player->viewWindow = nullptr;
    ASSERT_EQ(player->OpenFile("/clips/a.syn", true), 1);
    ASSERT_TRUE(WaitFor([&] { return !player->IsThreadRunning(); }));
    EXPECT_EQ(ends, 0);

    CRedadIzivad bare; // never created: no engine
    bare.viewWindow = &view;
    EXPECT_EQ(CRedadIzivad::ThreadProc(&bare), 0);
    EXPECT_FALSE(bare.StopThread(true));
    EXPECT_EQ(bare.OpenFile("/clips/a.syn", true), -1);
    EXPECT_EQ(bare.playList.Count(), 0);
}
