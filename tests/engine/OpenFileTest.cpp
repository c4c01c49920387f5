// Opening files into the player: the dialog, the playlist, the recent list and the thread restart.
#include "document/RedadIzivad.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

class OpenFile : public ::testing::Test {
protected:
    void SetUp() override {
        ConfigureSynthetic("frames=250;rate=25");
        Params.recentFiles.clear();
        Params.LastFolderPath = "/videos/last";
        previousHook = CRedadIzivad::SetFileDialogHook(
            [this](QWidget*, const QString& startFolder, const QString& filter) {
                ++dialogs;
                dialogFolder = startFolder;
                dialogFilter = filter;
                return dialogAnswer;
            });
        player.viewWindow = &view;
        player.engine = std::make_unique<CVideoEngine>(SyntheticModulePath());
        ASSERT_TRUE(player.Create());
    }
    void TearDown() override {
        player.Stop();
        CRedadIzivad::SetFileDialogHook(previousHook);
        Params.recentFiles.clear();
        Params.LastFolderPath.clear();
    }

    QObject view;
    CRedadIzivad player;
    CRedadIzivad::FileDialogHook previousHook;
    QStringList dialogAnswer;
    int dialogs = 0;
    QString dialogFolder, dialogFilter;
};

TEST_F(OpenFile, ThreeFilesFromTheDialogReplaceThePlaylistAndTheFirstOpens) {
    player.playList.AddFiles({"/old/x.mp4"}, 0);
    dialogAnswer = {"/v/one.syn", "/v/two.syn", "/v/three.syn"};
    EXPECT_EQ(player.OpenFile({}, false), 1); // the dialog always replaces
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(dialogFolder, "/videos/last");
    EXPECT_EQ(dialogFilter, "Video Files (*.avi *.mp4 *.mkv *.syn);;All Files (*)");
    ASSERT_EQ(player.playList.Count(), 3);
    EXPECT_EQ(player.playList.GetPath(0), "/v/one.syn");
    EXPECT_EQ(player.playList.GetPath(2), "/v/three.syn");
    EXPECT_EQ(player.playList.Current(), 0);
    EXPECT_EQ(player.playList.GetItem(0).duration, 10);
    EXPECT_EQ(player.engine->GetFilePath(), "/v/one.syn");
    EXPECT_TRUE(Params.recentFiles.isEmpty()) << "a file joins the recent list once it shows a picture";
    EXPECT_TRUE(player.IsThreadRunning());
}

TEST_F(OpenFile, CancelledDialogChangesNothing) {
    player.playList.AddFiles({"/old/x.mp4"}, 0);
    EXPECT_EQ(player.OpenFile({}, true), -1);
    EXPECT_EQ(player.playList.Count(), 1);
    EXPECT_FALSE(player.IsThreadRunning());
    EXPECT_EQ(SyntheticCalls("Open"), 0);
}

TEST_F(OpenFile, OpeningWithoutReplacingLeavesThePlaylistAlone) {
    player.playList.AddFiles({"/v/a.syn", "/v/b.syn"}, 0);
    EXPECT_EQ(player.OpenFile("/v/b.syn", false), 1);
    EXPECT_EQ(player.playList.Count(), 2);
    EXPECT_EQ(player.playList.GetItem(1).duration, 10);
    EXPECT_EQ(player.playList.GetItem(0).duration, 0);
    // A second open stops the running thread first and starts it again.
    EXPECT_EQ(player.OpenFile("/v/a.syn", false), 1);
    EXPECT_TRUE(player.IsThreadRunning());
    EXPECT_EQ(dialogs, 0);
}

TEST_F(OpenFile, FileTheEngineRefusesStillRestartsTheThread) {
    ConfigureSynthetic("fail=Open");
    EXPECT_EQ(player.OpenFile("/v/broken.syn", true), 0);
    EXPECT_EQ(player.playList.Count(), 1); // the chosen entry stays
    EXPECT_TRUE(Params.recentFiles.isEmpty());
    EXPECT_TRUE(player.IsThreadRunning());
    EXPECT_FALSE(player.engine->IsOpened());
}

TEST_F(OpenFile, PlayersMadeAgainKeepTheProcesssOneSkin) {
    ASSERT_NE(player.skin, nullptr);
    EXPECT_EQ(player.skin, CProgramSkin::Current());
    CRedadIzivad again;
    again.engine = std::make_unique<CVideoEngine>(SyntheticModulePath());
    again.Create();
    EXPECT_EQ(again.skin, player.skin);
}
