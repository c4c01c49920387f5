// The playlist, the recent-files rule and the open dialog's filter: pure logic.
#include "document/FileDialogFilter.h"
#include "document/PlayList.h"
#include "document/RecentFiles.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
CPlayList ListOf(const QStringList& paths, std::uint32_t current = CPlayList::KeepCurrent) {
    CPlayList list;
    list.AddFiles(paths, current);
    return list;
}
} // namespace

TEST(PlayList, NextPastTheEndWrapsThroughNoCurrent) {
    CPlayList list = ListOf({"/v/a.mp4", "/v/b.mp4"}, 0);
    EXPECT_EQ(list.Next(), "/v/b.mp4");
    EXPECT_EQ(list.Next(), ""); // nothing opened after the last item
    EXPECT_EQ(list.Current(), -1);
    EXPECT_EQ(list.Next(), "/v/a.mp4"); // a second Next starts again at the first
    EXPECT_EQ(list.Current(), 0);

    CPlayList empty;
    EXPECT_EQ(empty.Next(), "");
    EXPECT_EQ(empty.Current(), -1);
}

TEST(PlayList, PrevBeforeTheFirstStaysAtNoCurrent) {
    CPlayList list = ListOf({"/v/a.mp4", "/v/b.mp4"}, 1);
    EXPECT_EQ(list.Prev(), "/v/a.mp4");
    EXPECT_EQ(list.Prev(), "");
    EXPECT_EQ(list.Current(), -1);
    EXPECT_EQ(list.Prev(), "");
    EXPECT_EQ(list.Current(), -1);
}

TEST(PlayList, AddFilesSetsCurrentUnlessAllBitsAreSet) {
    CPlayList list = ListOf({"/v/a.mp4", "/v/b.mp4"});
    EXPECT_EQ(list.Current(), -1);
    list.AddFiles({"/v/c.mp4"}, 2);
    EXPECT_EQ(list.Current(), 2);
    list.AddFiles({}, 0); // no file appended: current untouched
    EXPECT_EQ(list.Current(), 2);
    EXPECT_EQ(list.GetItem(2).duration, 0);
}

TEST(PlayList, RemovingKeepsCurrentOnTheSameFile) {
    CPlayList list = ListOf({"/v/a.mp4", "/v/b.mp4", "/v/c.mp4"}, 2);
    EXPECT_TRUE(list.RemoveAt(0));
    EXPECT_EQ(list.Current(), 1);
    EXPECT_EQ(list.GetPath(list.Current()), "/v/c.mp4");
    EXPECT_TRUE(list.RemoveAt(1)); // the current one
    EXPECT_EQ(list.Current(), -1);
    EXPECT_FALSE(list.RemoveAt(1));
    EXPECT_FALSE(list.RemoveAt(-1));
    EXPECT_EQ(list.Count(), 1);
}

TEST(PlayList, FindIsExactAndDurationsGoToTheResolvedItem) {
    CPlayList list = ListOf({"/v/a.mp4", "/v/A.mp4", "/v/a.mp4"});
    EXPECT_EQ(list.Find("/v/a.mp4"), 0);
    EXPECT_EQ(list.Find("/v/A.mp4"), 1);
    EXPECT_EQ(list.Find("/v/b.mp4"), -1);
    list.SetDuration(-1, 75); // the last item
    EXPECT_EQ(list.GetItem(2).duration, 75);
    list.SetDuration(3, 10);  // outside: nothing
    list.SetDuration(-2, 10);
    EXPECT_EQ(list.GetItem(0).duration, 0);
    EXPECT_EQ(list.GetItem(7).path, "");
    EXPECT_EQ(list.GetPath(-1), "");
    list.Clear();
    list.SetDuration(-1, 5); // empty list: the last item does not exist
}

TEST(PlayList, FileNameIsTheTextAfterTheLastSeparator) {
    EXPECT_EQ(CPlayList::GetFileName("/videos/holiday.mp4"), "holiday.mp4");
    EXPECT_EQ(CPlayList::GetFileName("holiday.mp4"), "");
    EXPECT_EQ(CPlayList::GetFileName("/holiday.mp4"), "");
    EXPECT_EQ(CPlayList::GetFileName("/videos/"), "");
}

TEST(RecentFiles, SixthFileDropsTheOldestAndKnownFilesKeepTheirPlace) {
    QStringList recent;
    for (int i = 1; i <= 5; ++i) AddRecentFile(recent, QStringLiteral("/v/%1.mp4").arg(i));
    AddRecentFile(recent, "/V/2.MP4"); // already there, ignoring case
    EXPECT_EQ(recent, (QStringList{"/v/1.mp4", "/v/2.mp4", "/v/3.mp4", "/v/4.mp4", "/v/5.mp4"}));
    AddRecentFile(recent, "/v/6.mp4");
    EXPECT_EQ(recent, (QStringList{"/v/2.mp4", "/v/3.mp4", "/v/4.mp4", "/v/5.mp4", "/v/6.mp4"}));
    // A longer list from an edited settings store is brought back to the limit.
    QStringList tooLong{"/a", "/b", "/c", "/d", "/e", "/f", "/g"};
    AddRecentFile(tooLong, "/h");
    EXPECT_EQ(tooLong, (QStringList{"/d", "/e", "/f", "/g", "/h"}));
}

// A relative entry would open a different file, or none, once the program starts from another folder.
TEST(MediaPath, PlaylistAndRecentEntriesAreAbsoluteAndCanonical) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = QFileInfo(dir.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(root).mkdir("sub"));
    ASSERT_TRUE(WriteFile(root + "/clip.mp4"));
    ASSERT_TRUE(QFile::link(root + "/clip.mp4", root + "/sub/link.mp4"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root + "/sub"));

    const struct {
        QString entered, kept;
    } cases[] = {
        {"../clip.mp4", root + "/clip.mp4"},
        {"./link.mp4", root + "/clip.mp4"},            // a link is kept as the file it leads to
        {"missing/../gone.mp4", root + "/sub/gone.mp4"}, // not there (yet): absolute and cleaned
        {"file://" + root + "/clip.mp4", root + "/clip.mp4"},
        {"http://example.invalid/a.mp4", "http://example.invalid/a.mp4"},
    };
    CPlayList list;
    QStringList recent;
    for (const auto& c : cases) {
        list.AddFiles({c.entered}, CPlayList::KeepCurrent);
        EXPECT_EQ(list.GetPath(-1 + list.Count()), c.kept) << c.entered.toStdString();
        recent.clear();
        AddRecentFile(recent, c.entered);
        EXPECT_EQ(recent, QStringList{c.kept}) << c.entered.toStdString();
    }
    EXPECT_EQ(list.Find("../clip.mp4"), 0);
    QDir::setCurrent(previous);
}

TEST(FileDialogFilter, EngineFilterBecomesQtFilter) {
    EXPECT_EQ(ConvertFilterToQt("Video Files|*.avi;*.mp4|All Files (*.*)|*.*"),
              "Video Files (*.avi *.mp4);;All Files (*)");
    // Stray separators, an odd tail and brackets inside patterns do not reach the dialog.
    EXPECT_EQ(ConvertFilterToQt("Clips|;*.mkv;;|Broken|*.(x)|Tail"), "Clips (*.mkv)");
    EXPECT_EQ(ConvertFilterToQt("|*.webm"), "Files (*.webm)");
    EXPECT_EQ(ConvertFilterToQt(""), "All Files (*)");
    EXPECT_EQ(ConvertFilterToQt("garbage"), "All Files (*)");
}
