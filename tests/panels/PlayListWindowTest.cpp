// The playlist window over a real player: durations found in the background land on their own entries,
// Add's same-name rule, Remove and Remove All and what they do to playback, moves that keep the current
// entry, double-click, and the document's notices.
#include "panels/PlayListDlg.h"
#include "tests/document/DocumentFixture.h"

#include "controls/CustomListCtrl.h"
#include "document/RedadIzivad.h"
#include "engine/DurationProbe.h"
#include "engine/EngineModule.h"
#include "engine/VideoEngine.h"

#include <QSignalSpy>
#include <QTest>

namespace {
// Three clips of different lengths; the first plays long enough for every test to finish before it ends.
const char* const kLong = "numbered_320x240_25.mp4";            // 10 s
const char* const kMiddle = "h264_aac_640x360_25.mp4";          // 6 s
const char* const kShort = "mpeg4_mp3_320x240_2997.avi";        // 4 s

class PlayListWindowTest : public DocumentTest {
protected:
    // Plays the three clips (the long one current) and opens the window on them.
    CPlayListDlg& OpenOnThree() {
        OpenFiles({Clip(kLong), Clip(kMiddle), Clip(kShort)});
        return OpenWindow();
    }
    CPlayListDlg& OpenWindow() {
        Press(ID_FILE_LIST);
        CPlayListDlg* window = doc->playListDlg.get();
        EXPECT_TRUE(window && window->isVisible());
        return *window;
    }
    CPlayList& List() const { return doc->Player()->playList; }
    static QStringList Column(const CPlayListDlg& window, int column) {
        QStringList cells;
        for (int row = 0; row < window.model->rowCount(); ++row) cells << window.model->Cell(row, column);
        return cells;
    }
};
} // namespace

TEST_F(PlayListWindowTest, ShowsNamesAndMarksTheCurrentEntryAndFillsInDurationsInTheBackground) {
    CPlayListDlg& window = OpenOnThree();
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window.parentWidget(), frame.get()) << "kept above the frame";
    EXPECT_EQ(Column(window, 0), (QStringList{kLong, kMiddle, kShort}));
    EXPECT_EQ(window.list->MarkedRow(), 0);
    // The playing file's length came with its open; the others are not known before the event loop runs.
    EXPECT_EQ(Column(window, 1), (QStringList{"00:00:10", "--:--:--", "--:--:--"}));

    EXPECT_TRUE(WaitFor([&] { return Column(window, 1) == QStringList{"00:00:10", "00:00:06", "00:00:04"}; }))
        << Column(window, 1).join(' ').toStdString();
    EXPECT_EQ(List().GetItem(2).duration, 4) << "the playlist keeps what was found";
    doc->OnFilesDropped({Clip(kMiddle)});
    EXPECT_EQ(window.model->Cell(3, 1), "00:00:06") << "a file found once is known at once when it comes again";
    EXPECT_TRUE(WaitFor([&] { return window.Probe()->Pending() == 0; }));
    EXPECT_EQ(List().Current(), 0) << "probing opens nothing in the player";
    EXPECT_EQ(Engine().GetFilePath(), List().GetPath(0));
}

TEST_F(PlayListWindowTest, DurationsFoundAfterTheListChangedLandOnTheirOwnEntries) {
    CPlayListDlg& window = OpenOnThree();
    // Before any result can arrive (they come through the event loop): the short clip moves up one place.
    window.list->selectRow(2);
    window.OnMoveUp();
    ASSERT_EQ(Column(window, 0), (QStringList{kLong, kShort, kMiddle}));
    EXPECT_TRUE(WaitFor([&] { return Column(window, 1) == QStringList{"00:00:10", "00:00:04", "00:00:06"}; }))
        << Column(window, 1).join(' ').toStdString();
}

TEST_F(PlayListWindowTest, ProbeReportsUnreadableFilesAsUnknownAndProbesEachFileOnce) {
    CDurationProbe probe(Engine().Module());
    QSignalSpy found(&probe, &CDurationProbe::durationsFound);
    QHash<QString, qint64> all;
    QObject::connect(&probe, &CDurationProbe::durationsFound, [&](const QHash<QString, qint64>& batch) { all.insert(batch); });
    probe.Want({Clip(kMiddle), Clip("random_bytes.mp4"), temp.filePath("missing.mp4")});
    ASSERT_TRUE(WaitFor([&] { return all.size() == 3; }));
    EXPECT_EQ(all.value(Clip(kMiddle)), 6);
    EXPECT_EQ(all.value(Clip("random_bytes.mp4")), 0);
    EXPECT_EQ(all.value(temp.filePath("missing.mp4")), 0);
    EXPECT_EQ(probe.Pending(), 0);
    const qsizetype batches = found.size();
    probe.Want({Clip(kMiddle)});
    EXPECT_EQ(probe.Pending(), 0) << "a file already probed is not probed again";
    QTest::qWait(100);
    EXPECT_EQ(found.size(), batches);
}

TEST_F(PlayListWindowTest, AddTakesPlayableFilesWhoseNameIsNotInTheListYet) {
    OpenFiles({Clip(kLong)});
    CPlayListDlg& window = OpenWindow();
    // The same name in another folder, also in other letter case, is refused; so is what the engine does not play.
    const QString sameName = temp.filePath("other/" + QString(kLong));
    const QString sameNameUpper = temp.filePath("upper/" + QString(kLong).toUpper());
    const QString notes = temp.filePath("notes.nrxnotmedia");
    ASSERT_TRUE(QDir().mkpath(temp.filePath("other")) && QFile::copy(Clip(kLong), sameName));
    ASSERT_TRUE(QDir().mkpath(temp.filePath("upper")) && QFile::copy(Clip(kLong), sameNameUpper));
    ASSERT_TRUE(WriteFile(notes, "text"));
    dialogAnswer = {sameName, Clip(kMiddle), notes, sameNameUpper, Clip(kShort), Clip(kMiddle)};
    window.OnAdd();

    EXPECT_EQ(Column(window, 0), (QStringList{kLong, kMiddle, kShort}));
    EXPECT_EQ(window.model->Cell(1, 1), "--:--:--") << "nothing is known of a file just added";
    EXPECT_EQ(List().Count(), 3);
    EXPECT_EQ(List().Current(), 0) << "adding opens nothing";
    EXPECT_EQ(Engine().GetFilePath(), List().GetPath(0));
    EXPECT_TRUE(WaitFor([&] { return window.model->Cell(2, 1) == "00:00:04"; }));

    dialogAnswer.clear(); // Cancel
    window.OnAdd();
    EXPECT_EQ(List().Count(), 3);
}

TEST_F(PlayListWindowTest, RemovingThePlayingEntryStopsAndRemovingAnotherDoesNot) {
    const struct {
        const char* name;
        int row;
        QStringList left;
        bool stillOpen;
    } cases[] = {
        {"another entry", 2, {kLong, kMiddle}, true},
        {"the playing entry", 0, {kMiddle, kShort}, false},
    };
    for (const auto& c : cases) {
        CPlayListDlg& window = OpenOnThree();
        window.list->selectRow(c.row);
        window.OnRemove();
        EXPECT_EQ(Column(window, 0), c.left) << c.name;
        EXPECT_EQ(doc->IsFileOpen(), c.stillOpen) << c.name;
        EXPECT_EQ(List().Current(), c.stillOpen ? 0 : -1) << c.name;
        EXPECT_EQ(window.list->MarkedRow(), List().Current()) << c.name;
    }
}

TEST_F(PlayListWindowTest, RemoveAllAsksFirstAndNoLeavesEverything) {
    CPlayListDlg& window = OpenOnThree();
    {
        PromptRecorder no(PromptAnswer::No);
        window.OnRemoveAll();
        EXPECT_EQ(no.texts, QStringList{"Are you sure want to delete all files from list?"});
    }
    EXPECT_EQ(List().Count(), 3);
    EXPECT_EQ(window.model->rowCount(), 3);
    EXPECT_EQ(GetPlayState(), PlayState::Playing);

    PromptRecorder yes(PromptAnswer::Yes);
    window.OnRemoveAll();
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(window.model->rowCount(), 0);
    EXPECT_FALSE(doc->IsFileOpen());
    window.OnRemoveAll();
    EXPECT_EQ(yes.texts.size(), 1) << "an empty list asks nothing";
}

TEST_F(PlayListWindowTest, DoubleClickPlaysAnEntryAndMovesKeepItCurrent) {
    CPlayListDlg& window = OpenOnThree();
    const QPoint middle = window.list->visualRect(window.model->index(1, 0)).center();
    QTest::mouseClick(window.list->viewport(), Qt::LeftButton, {}, middle); // a double-click follows a press
    QTest::mouseDClick(window.list->viewport(), Qt::LeftButton, {}, middle);
    // At once, long before the playing clip could end and move on by itself.
    ASSERT_EQ(List().Current(), 1);
    EXPECT_EQ(Engine().GetFilePath(), List().GetPath(1));
    EXPECT_TRUE(WaitFor([&] { return GetPlayState() == PlayState::Playing; }));
    EXPECT_EQ(window.list->MarkedRow(), 1);

    window.list->selectRow(1);
    window.OnMoveUp();
    EXPECT_EQ(Column(window, 0), (QStringList{kMiddle, kLong, kShort}));
    EXPECT_EQ(List().Current(), 0) << "current follows its entry";
    EXPECT_EQ(window.list->MarkedRow(), 0);
    EXPECT_EQ(window.SelectedRow(), 0);

    // Past either end nothing moves.
    window.OnMoveUp();
    window.list->selectRow(2);
    window.OnMoveDown();
    EXPECT_EQ(Column(window, 0), (QStringList{kMiddle, kLong, kShort}));
    EXPECT_EQ(List().Current(), 0);
}

TEST_F(PlayListWindowTest, ChangesMadeElsewhereShowAtOnceWhileShownAndOnShowingAgain) {
    OpenFiles({Clip(kLong)});
    CPlayListDlg& window = OpenWindow();
    doc->OnFilesDropped({Clip(kMiddle)});
    EXPECT_EQ(Column(window, 0), (QStringList{kLong, kMiddle})) << "a drop shows at once";
    Press(ID_PLAY_NEXT);
    EXPECT_TRUE(WaitFor([&] { return window.list->MarkedRow() == 1; })) << "Next moves the mark";
    Press(ID_PLAY_NEXT);
    EXPECT_EQ(window.list->MarkedRow(), -1) << "Next past the end opens nothing and leaves no entry current";
    // Files chosen in the dialog replace the list even when the first of them will not open.
    dialogAnswer = {Clip("random_bytes.mp4"), Clip(kShort)};
    doc->OnCommand(ID_OPEN_FILES);
    EXPECT_EQ(Column(window, 0), (QStringList{"random_bytes.mp4", kShort}));

    EXPECT_TRUE(doc->HideToolWindow());
    EXPECT_FALSE(window.isVisible());
    doc->OnFilesDropped({Clip(kMiddle)});
    EXPECT_EQ(window.model->rowCount(), 2) << "hidden, it ignores the notice";
    window.show();
    EXPECT_EQ(Column(window, 0), (QStringList{"random_bytes.mp4", kShort, kMiddle})) << "and refills when shown";
}
