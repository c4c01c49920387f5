// Opening paths: the file and folder dialogs, the recent list and its menu, Close File and the menu rules.
#include "tests/document/DocumentFixture.h"

#include "document/RedadIzivad.h"
#include "engine/MediaPath.h"
#include "settings/ProgramParams.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

// The order and length of the recent list are the recent-files rules' own; here they meet the commands.
TEST_F(DocumentTest, ARecentEntryThatCannotBeOpenedIsReportedAndRemoved) {
    const QString copy = temp.filePath(QStringLiteral("gone clip é.mp4"));
    ASSERT_TRUE(QFile::copy(Clip("numbered_320x240_25.mp4"), copy));
    Params.recentFiles = {Clip("mpeg4_mp3_320x240_2997.avi"), copy};
    EXPECT_EQ(doc->GetCommandState(ID_RECENT_FILE_2).text, copy);
    EXPECT_FALSE(doc->GetCommandState(ID_RECENT_FILE_3).visible);

    doc->OnCommand(ID_RECENT_FILE_2);
    ASSERT_TRUE(WaitFor([this] { return GetPlayState() == PlayState::Playing; }));
    EXPECT_EQ(Engine().GetFilePath(), copy);
    EXPECT_EQ(doc->Player()->playList.Count(), 1) << "a recent file not in the list joins it";
    EXPECT_EQ(doc->Player()->playList.Current(), 0);

    ASSERT_TRUE(QFile::remove(copy));
    doc->OnCommand(ID_RECENT_FILE_1);
    doc->OnCommand(ID_RECENT_FILE_2);
    EXPECT_EQ(prompts, QStringList{"RedadIzivad can`t open this file\n\ngone clip é.mp4\nThe file was not found."});
    EXPECT_EQ(Params.recentFiles, QStringList{Clip("mpeg4_mp3_320x240_2997.avi")});
    EXPECT_FALSE(doc->GetCommandState(ID_RECENT_FILE_2).visible);
}

TEST_F(DocumentTest, OpenFolderListsEveryFileAndTriesTheFirst) {
    QDir dir(temp.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("clips and notes/inner")));
    ASSERT_TRUE(dir.cd(QStringLiteral("clips and notes")));
    ASSERT_TRUE(QFile(dir.filePath(QStringLiteral("notes.txt"))).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::copy(Clip("numbered_320x240_25.mp4"), dir.filePath(QStringLiteral("a.mp4"))));
    ASSERT_TRUE(QFile::copy(Clip("mpeg4_mp3_320x240_2997.avi"), dir.filePath(QStringLiteral("b.avi"))));

    // A pipe would block whoever opens it: it must never reach the playlist.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);

    folderAnswer = dir.path();
    doc->OnCommand(ID_OPEN_FOLDER);
    EXPECT_EQ(Params.LastFolderPath, dir.path());
    const CPlayList& list = doc->Player()->playList;
    ASSERT_EQ(list.Count(), 3) << "every file, no sub-folder, no pipe, no filter";
    QStringList names;
    for (const PlayListItem& item : list.Items()) names.append(FileNameOf(item.path));
    names.sort();
    EXPECT_EQ(names, QStringList({"a.mp4", "b.avi", "notes.txt"}));
    EXPECT_EQ(list.Current(), 0);
    if (list.GetPath(0).endsWith(QStringLiteral("notes.txt")))
        EXPECT_EQ(prompts, QStringList{"RedadIzivad can`t open this file"});
    else
        EXPECT_EQ(Engine().GetFilePath(), list.GetPath(0));

    // A cancelled dialog changes nothing; a folder without files keeps the list and moves on in it.
    folderAnswer.clear();
    doc->OnCommand(ID_OPEN_FOLDER);
    EXPECT_EQ(Params.LastFolderPath, dir.path());
    EXPECT_EQ(list.Current(), 0);
    folderAnswer = dir.filePath(QStringLiteral("inner"));
    doc->OnCommand(ID_OPEN_FOLDER);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Current(), 1);
}

TEST_F(DocumentTest, CloseFileGreysItselfAndPlayPauseWaitsForTheNextOpen) {
    EXPECT_FALSE(doc->GetCommandState(ID_CLOSE_FILE).enabled);
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    EXPECT_TRUE(doc->GetCommandState(ID_CLOSE_FILE).enabled);

    doc->OnCommand(ID_CLOSE_FILE);
    EXPECT_FALSE(doc->GetCommandState(ID_CLOSE_FILE).enabled);
    EXPECT_FALSE(doc->Player()->IsThreadRunning());
    doc->OnCommand(ID_PLAY_PAUSE);
    EXPECT_EQ(GetPlayState(), PlayState::Stopped);
    EXPECT_EQ(doc->Player()->playList.Count(), 1) << "closing leaves the playlist alone";

    EXPECT_TRUE(doc->GetCommandState(ID_PLAY_PAUSE).enabled);
    EXPECT_FALSE(doc->GetCommandState(ID_SIZE_HALF).enabled) << "size items are greyed while stopped";
    EXPECT_FALSE(doc->GetCommandState(ID_SKIN_DEFAULT).enabled) << "a placeholder";
}
