// Rate, volume, picture and seek commands on a playing clip, read back from the status text and the engine.
#include "tests/document/DocumentFixture.h"

#include "document/RedadIzivad.h"
#include "panels/VideoControl.h"
#include "settings/ProgramParams.h"

TEST_F(DocumentTest, FastAndSlowStepThroughTheRatesAndPlayPauseReturnsToNormalSpeed) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    // The status text after each of count presses of a command.
    const auto shown = [this](int id, int count) {
        QStringList texts;
        for (int i = 0; i < count; ++i) {
            doc->OnCommand(id);
            texts << StatusText();
        }
        return texts;
    };
    EXPECT_EQ(shown(ID_PLAY_FAST, 7).mid(5), QStringList({"Play Rate: 4.00", "Play Rate: 4.00"}));
    EXPECT_FLOAT_EQ(Engine().GetRate(), 4.0f);
    // Slow after Fast restarts from normal speed and steps at once; ten steps of 0.1 print exactly.
    const QStringList slow = shown(ID_PLAY_SLOW, 10);
    EXPECT_EQ(slow.first(), "Play Rate: 0.90");
    EXPECT_EQ(slow.mid(8), QStringList({"Play Rate: 0.10", "Play Rate: 0.10"}));
    EXPECT_EQ(shown(ID_PLAY_FAST, 2), QStringList({"Play Rate: 1.50", "Play Rate: 2.00"}));

    // The first Play/Pause after Fast only resets the rate; playback goes on. The next one pauses.
    doc->OnCommand(ID_PLAY_PAUSE);
    EXPECT_EQ(StatusText(), "Play Rate: 1.00");
    EXPECT_EQ(GetPlayState(), PlayState::Playing);
    doc->OnCommand(ID_PLAY_PAUSE);
    EXPECT_EQ(GetPlayState(), PlayState::Paused);
}

TEST_F(DocumentTest, VolumeClampsToMuteAndTheNextFileKeepsTheUsersVolume) {
    OpenFiles({Clip("numbered_320x240_25.mp4"), Clip("h264_aac_640x360_25.mp4")});
    EXPECT_EQ(Engine().GetVolume(), CVideoControl::InitialVolume) << "a first file starts at the bar's volume, not silent";

    doc->ChangeVolume(3, false);
    EXPECT_EQ(StatusText(), "Volume: 3%");
    doc->ChangeVolume(-5, true);
    EXPECT_EQ(StatusText(), "Volume: Mute");
    EXPECT_EQ(Engine().GetVolume(), 0);
    doc->ChangeVolume(250, true);
    EXPECT_EQ(StatusText(), "Volume: 100%");

    doc->ChangeVolume(40, false);
    doc->ToggleMute();
    EXPECT_EQ(StatusText(), "Volume: Mute");
    doc->ToggleMute();
    EXPECT_EQ(StatusText(), "Volume: Restore");
    EXPECT_EQ(Engine().GetVolume(), 40);

    Press(ID_PLAY_NEXT);
    ASSERT_TRUE(WaitFor([this] { return Engine().GetFilePath() == Clip("h264_aac_640x360_25.mp4"); }));
    EXPECT_EQ(Engine().GetVolume(), 40);
}

TEST_F(DocumentTest, PictureStepsShowPercentagesAndStopAtTheirLimits) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    doc->ChangeBrightness(10);
    EXPECT_EQ(StatusText(), "Brightness: 3.92 %");
    for (int i = 0; i < 120; ++i) doc->ChangeContrast(1);
    EXPECT_EQ(StatusText(), "Contrast: 100.00 %");
    doc->ChangeContrast(999); // the reset key
    EXPECT_EQ(StatusText(), "Contrast: 0.00 %");
    EXPECT_EQ(Params.Contrast, 0);

    for (int i = 0; i < 300; ++i) doc->ChangeSaturation(-1);
    EXPECT_EQ(StatusText(), "Saturation: -100.00 %");
    EXPECT_EQ(Params.Saturation, -255);
}

TEST_F(DocumentTest, SkipsAndSeeksNameTheNewPositionAndFrameStepPauses) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    doc->OnCommand(ID_PLAY_PAUSE);
    ASSERT_EQ(GetPlayState(), PlayState::Paused);
    doc->SeekToFrame(25 * 3);
    EXPECT_EQ(StatusText(), "Video Moved: 00:00:03");
    // The playback thread fetches the paused picture; the command itself never decodes.
    EXPECT_TRUE(WaitFor([this] { return Engine().GetCurrentFrame() == 25 * 3; }));
    doc->SkipFiveSeconds(1);
    EXPECT_TRUE(StatusText().startsWith("5 Sec. Forward - [ 00:00:0")) << StatusText().toStdString();
    doc->SkipFiveSeconds(-1);
    EXPECT_TRUE(StatusText().startsWith("5 Sec. Backward - [ 00:00:0")) << StatusText().toStdString();

    doc->OnCommand(ID_PLAY_PAUSE);
    ASSERT_EQ(GetPlayState(), PlayState::Playing);
    doc->StepFrame(true);
    EXPECT_EQ(GetPlayState(), PlayState::Paused);
}

TEST_F(DocumentTest, NextOnTheLastEntryStopsMovingAndASecondNextStartsOver) {
    OpenFiles({Clip("numbered_320x240_25.mp4"), Clip("mpeg4_mp3_320x240_2997.avi")});
    CPlayList& list = doc->Player()->playList;
    Press(ID_PLAY_NEXT);
    Press(ID_PLAY_NEXT);
    EXPECT_EQ(list.Current(), -1);
    EXPECT_EQ(Engine().GetFilePath(), Clip("mpeg4_mp3_320x240_2997.avi")) << "the last file goes on playing";
    EXPECT_EQ(GetPlayState(), PlayState::Playing);

    Press(ID_PLAY_NEXT);
    EXPECT_EQ(list.Current(), 0);
    EXPECT_EQ(Engine().GetFilePath(), Clip("numbered_320x240_25.mp4"));
    EXPECT_TRUE(prompts.isEmpty()) << prompts.join('|').toStdString();
}

TEST_F(DocumentTest, ABrokenEntryInTheMiddleIsReportedAndNextGoesPastIt) {
    OpenFiles({Clip("numbered_320x240_25.mp4"), Clip("random_bytes.mp4"), Clip("mpeg4_mp3_320x240_2997.avi")});
    Press(ID_PLAY_NEXT);
    ASSERT_EQ(prompts.size(), 1);
    EXPECT_TRUE(prompts[0].startsWith("RedadIzivad can`t open this file\n\nrandom_bytes.mp4\n")) << prompts[0].toStdString();
    EXPECT_EQ(doc->Player()->playList.Current(), 1);
    EXPECT_EQ(doc->Player()->playList.Count(), 3) << "a broken entry stays in the list";
    Press(ID_PLAY_NEXT);
    EXPECT_EQ(doc->Player()->playList.Current(), 2);
    EXPECT_TRUE(WaitFor([this] { return GetPlayState() == PlayState::Playing; }));
    EXPECT_EQ(prompts.size(), 1);
}
