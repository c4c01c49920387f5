// Moving through the playlist as a user does: fast key presses, files that end, fail or show nothing,
// sound-only files, and a player whose engine is missing.
#include "tests/document/DocumentFixture.h"

#include "app/DocumentConnections.h"
#include "document/OpenFailure.h"
#include "document/RedadIzivad.h"
#include "settings/ProgramParams.h"

#include <QFile>
#include <QLabel>
#include <QTest>

namespace {
// Copies of one clip under distinct names, so each playlist entry is its own file.
QStringList Copies(const QString& clip, const QString& folder, int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        paths << QStringLiteral("%1/entry%2.mp4").arg(folder).arg(i);
        if (!QFile::copy(clip, paths.last())) return {};
    }
    return paths;
}

// The clip with its media data overwritten and its index kept: it opens, but no picture decodes.
QString Undecodable(const QString& clip, const QString& path) {
    QByteArray bytes = ReadFile(clip);
    const qsizetype media = bytes.indexOf("mdat");
    if (media < 4) return {};
    const auto* size = reinterpret_cast<const unsigned char*>(bytes.constData() + media - 4);
    const qsizetype end = media - 4 + ((qsizetype(size[0]) << 24) | (size[1] << 16) | (size[2] << 8) | size[3]);
    if (end > bytes.size()) return {};
    for (qsizetype i = media + 4; i < end; ++i) bytes[i] = 0;
    return WriteFile(path, bytes) ? path : QString();
}
} // namespace

TEST_F(DocumentTest, EveryNextPressCountsAndOnlyTheEntryPressedToOpens) {
    const QStringList files = Copies(Clip("numbered_320x240_25.mp4"), temp.path(), 6);
    ASSERT_EQ(files.size(), 6);
    OpenFiles(files);
    int opens = 0;
    QObject::connect(doc.get(), &CMediaPlayerDoc::fileOpened, [&] { ++opens; });

    // Presses that queue up while a file opens arrive together; they are one move of their sum.
    for (int i = 0; i < 4; ++i) doc->OnCommand(ID_PLAY_NEXT);
    doc->OnCommand(ID_PLAY_PREVIOUS);
    ASSERT_TRUE(WaitFor([&] { return opens > 0; }));
    QTest::qWait(50);
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(doc->Player()->playList.Current(), 3);
    EXPECT_EQ(Engine().GetFilePath(), files[3]);
}

TEST_F(DocumentTest, EveryFrameStepPressCounts) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    doc->OnCommand(ID_PLAY_PAUSE);
    ASSERT_TRUE(WaitFor([&] { return GetPlayState() == PlayState::Paused; }));
    QTest::qWait(100);
    const std::int64_t start = Engine().GetCurrentFrame();
    for (int i = 0; i < 30; ++i) doc->StepFrame(true);
    for (int i = 0; i < 5; ++i) doc->StepFrame(false);
    EXPECT_TRUE(WaitFor([&] { return Engine().GetCurrentFrame() == start + 25; }))
        << "at frame " << Engine().GetCurrentFrame() << ", expected " << start + 25;
}

TEST_F(DocumentTest, AnEndNoticeOfAnEarlierRunDoesNotSkipAnEntry) {
    OpenFiles(Copies(Clip("numbered_320x240_25.mp4"), temp.path(), 3));
    const quint64 first = doc->Player()->Serial();
    Press(ID_PLAY_NEXT);
    ASSERT_EQ(doc->Player()->playList.Current(), 1);
    // The first file's end was already queued when Next opened the second.
    emit doc->Player()->notifier.endOfStream(first, true);
    QTest::qWait(100);
    EXPECT_EQ(doc->Player()->playList.Current(), 1);
    EXPECT_TRUE(prompts.isEmpty()) << recorder.All();
}

TEST_F(DocumentTest, AFileThatShowsNoPictureIsReportedSkippedAndNotRemembered) {
    const QString broken = Undecodable(Clip("numbered_320x240_25_noaudio.mp4"), temp.filePath("blank.mp4"));
    ASSERT_FALSE(broken.isEmpty());
    OpenFiles({broken, Clip("mpeg4_mp3_320x240_2997.avi")});
    ASSERT_TRUE(WaitFor([&] { return doc->Player()->playList.Current() == 1; }));
    ASSERT_EQ(prompts.size(), 1);
    EXPECT_TRUE(prompts[0].startsWith("RedadIzivad can`t open this file\n\nblank.mp4\n")) << prompts[0].toStdString();
    ASSERT_TRUE(WaitFor([&] { return !Params.recentFiles.isEmpty(); }));
    EXPECT_EQ(Params.recentFiles, QStringList{Clip("mpeg4_mp3_320x240_2997.avi")});
}

TEST_F(DocumentTest, SoundOnlyShowsTheLogoScreenAndCoverArtIsShown) {
    OpenFiles({Clip("audio_only.mp3")});
    EXPECT_FALSE(Engine().HasPicture());
    EXPECT_TRUE(WaitFor([&] { return view->WebLink()->isVisible(); })) << "the logo screen is up";

    OpenFiles({Clip("audio_cover.mp3")});
    EXPECT_TRUE(Engine().HasPicture());
    EXPECT_TRUE(WaitFor([&] { return !view->WebLink()->isVisible(); })) << "the cover is drawn instead";
}

// A player assembled as the application does, on a module of the test's choosing, answering every prompt.
class BarePlayer {
public:
    explicit BarePlayer(const char* module, const char* config = "")
        : moduleEnv("NRX_ENGINE_MODULE", module), configEnv("NRX_SYNTHETIC_CONFIG", config) {
        CRedadIzivad::SetFileDialogHook([this](QWidget*, const QString&, const QString&) {
            ++dialogs;
            return dialogAnswer;
        });
        view = new CMediaPlayerView(&frame);
        frame.SetCentralView(view);
        ConnectDocument(doc, frame, *view);
        view->OnInitialUpdate();
    }
    ~BarePlayer() {
        doc.ShutdownDocument();
        CRedadIzivad::SetFileDialogHook({});
    }

    ScopedEnv moduleEnv, configEnv;
    PromptRecorder prompts;
    CMediaPlayerDoc doc;
    CMainFrame frame;
    CMediaPlayerView* view = nullptr;
    QStringList dialogAnswer;
    int dialogs = 0;
};

// Without the engine module one message says what is missing, and every later open says it again.
TEST(EngineMissing, OneMessageAtStartAndAgainForEachOpen) {
    Params.recentFiles = {"/videos/kept.mp4"};
    {
        BarePlayer player("/nonexistent/libnrxvideoengine.so");
        const QStringList& prompts = player.prompts.texts;
        ASSERT_EQ(prompts.size(), 1) << player.prompts.All();
        EXPECT_TRUE(prompts[0].startsWith("The media engine is missing")) << prompts[0].toStdString();
        EXPECT_TRUE(prompts[0].contains("/nonexistent/libnrxvideoengine.so"));

        player.doc.OnCommand(ID_OPEN_FILES);
        player.doc.OnCommand(ID_OPEN_FOLDER);
        player.doc.OnCommand(ID_RECENT_FILE_1);
        EXPECT_EQ(prompts.size(), 4);
        EXPECT_EQ(prompts.count(prompts[0]), 4);
        EXPECT_EQ(player.dialogs, 0);
        EXPECT_EQ(Params.recentFiles, QStringList{"/videos/kept.mp4"}) << "the entry is not to blame";
    }
    Params.recentFiles.clear();
}

// The end of a file opens the next from a queued notice; a component failing while that file starts is
// reported there and never thrown through the event loop (which would end the program).
TEST(EventLoopEdge, AComponentFailingWhenTheNextFileStartsIsReported) {
    BarePlayer player(NRX_SYNTHETIC_MODULE, "frames=5;rate=100;fail=SetPlayState@2");
    ASSERT_TRUE(player.prompts.texts.isEmpty()) << player.prompts.All();
    player.dialogAnswer = {"/clips/a.syn", "/clips/b.syn"};
    player.doc.OnCommand(ID_OPEN_FILES);
    ASSERT_TRUE(WaitFor([&] { return player.doc.Player()->playList.Current() == 1; }));
    ASSERT_TRUE(WaitFor([&] { return !player.prompts.texts.isEmpty(); }));
    EXPECT_TRUE(player.prompts.texts.last().contains("synthetic failure in SetPlayState")) << player.prompts.All();
}

TEST(OpenFailure, TheReasonSaysWhatIsWrongInPlainWords) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString garbage = dir.filePath("noise.mp4");
    ASSERT_TRUE(WriteFile(dir.filePath("empty.mp4")) && WriteFile(garbage, "not a video"));

    const struct {
        QString path, engineText, reason;
    } cases[] = {
        {dir.filePath("missing.mp4"), "Cannot open: No such file", "The file was not found."},
        {dir.path(), "", "It is a folder, not a file."},
        {dir.filePath("empty.mp4"), "", "The file is empty."},
        {garbage, "\"" + garbage + "\" is not a playable media file: Invalid data found",
         "The file is not a playable media file: Invalid data found."},
        {garbage, "", "It is not a media file this player can play."},
        {"http://127.0.0.1:9/clip.mp4", "Cannot open \"http://127.0.0.1:9/clip.mp4\": Connection refused",
         "Network error: the address could not be played. Cannot open the file: Connection refused."},
    };
    for (const auto& c : cases) EXPECT_EQ(OpenFailureReason(c.path, c.engineText), c.reason) << c.path.toStdString();
    EXPECT_EQ(OpenFailureMessage(dir.filePath("missing.mp4"), {}),
              "RedadIzivad can`t open this file\n\nmissing.mp4\nThe file was not found.");
}
