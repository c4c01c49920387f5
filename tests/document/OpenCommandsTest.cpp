// Opening paths: the file and folder dialogs, the recent list and its menu, Close File and the menu rules.
#include "tests/document/DocumentFixture.h"

#include "document/RedadIzivad.h"
#include "engine/MediaPath.h"
#include "settings/ProgramParams.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

TEST_F(DocumentTest, TheSixthRecentFileDropsTheOldestAndReopeningKeepsThePlace) {
    const char* names[] = {"numbered_320x240_25.mp4", "numbered_320x240_25_noaudio.mp4",
                           "mpeg4_mp3_320x240_2997.avi", "h264_aac_640x360_25.mp4", "orientation_red_top.mp4",
                           "anamorphic_720x480_169.mp4"};
    for (const char* name : names) {
        dialogAnswer = {Clip(name)};
        doc->OnCommand(ID_OPEN_FILES);
        // A file joins the list once its first picture is shown.
        ASSERT_TRUE(WaitFor([&] { return Params.recentFiles.contains(Clip(name)); })) << name;
    }
    ASSERT_EQ(Params.recentFiles.size(), 5);
    EXPECT_EQ(Params.recentFiles.first(), Clip(names[1]));
    EXPECT_EQ(Params.recentFiles.last(), Clip(names[5]));

    dialogAnswer = {Clip(names[2])};
    doc->OnCommand(ID_OPEN_FILES);
    EXPECT_EQ(Params.recentFiles.at(1), Clip(names[2])) << "an entry already listed keeps its place";

    for (int i = 0; i < 5; ++i) {
        const CommandState state = doc->GetCommandState(ID_RECENT_FILE_1 + i);
        EXPECT_TRUE(state.visible);
        EXPECT_EQ(state.text, Params.recentFiles.at(i));
    }
    EXPECT_TRUE(prompts.isEmpty());
}

TEST_F(DocumentTest, ARecentEntryThatCannotBeOpenedIsReportedAndRemoved) {
    const QString copy = temp.filePath(QStringLiteral("gone clip é.mp4"));
    ASSERT_TRUE(QFile::copy(Clip("numbered_320x240_25.mp4"), copy));
    Params.recentFiles = {Clip("mpeg4_mp3_320x240_2997.avi"), copy};
    EXPECT_FALSE(doc->GetCommandState(ID_RECENT_FILE_3).visible);

    doc->OnCommand(ID_RECENT_FILE_2);
    ASSERT_TRUE(WaitFor([this] { return PlayState() == 0; }));
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
    ASSERT_TRUE(dir.mkdir(QStringLiteral("clips and notes")));
    ASSERT_TRUE(dir.cd(QStringLiteral("clips and notes")));
    ASSERT_TRUE(dir.mkdir(QStringLiteral("inner")));
    QFile notes(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a video\n");
    notes.close();
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
    EXPECT_EQ(PlayState(), 2);
    EXPECT_EQ(doc->Player()->playList.Count(), 1) << "closing leaves the playlist alone";

    // Unhandled and placeholder items are greyed; the rest stay live even without a file.
    EXPECT_FALSE(doc->GetCommandState(ID_SKIN_DEFAULT).enabled);
    EXPECT_FALSE(doc->GetCommandState(ID_FILE_NEW).enabled);
    EXPECT_FALSE(doc->OnCommand(ID_EDIT_COPY));
    EXPECT_TRUE(doc->GetCommandState(ID_PLAY_PAUSE).enabled);
    EXPECT_FALSE(doc->GetCommandState(ID_SIZE_HALF).enabled) << "size items are greyed while stopped";
}

TEST_F(DocumentTest, ACancelledOpenChangesNothingAndABadFileLeavesTheProgramUsable) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    dialogAnswer.clear();
    doc->OnCommand(ID_OPEN_FILES);
    EXPECT_TRUE(prompts.isEmpty());
    EXPECT_EQ(doc->Player()->playList.Count(), 1);
    EXPECT_EQ(PlayState(), 0);

    dialogAnswer = {Clip("zero_bytes.avi")};
    doc->OnCommand(ID_OPEN_FILES);
    EXPECT_EQ(prompts, QStringList{"RedadIzivad can`t open this file\n\nzero_bytes.avi\nThe file is empty."});
    EXPECT_FALSE(doc->opening);
    dialogAnswer = {Clip("numbered_320x240_25.mp4")};
    doc->OnCommand(ID_OPEN_FILES);
    EXPECT_TRUE(WaitFor([this] { return PlayState() == 0; })) << "the program stays usable after a bad file";
}
