// The whole program in-process: a clip on the command line, the real engine module, the main view driven
// by keys, the wheel and the mouse, with the prompts and the file dialog answered here.
#include "app/MediaPlayerApp.h"
#include "app/PromptService.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "frame/MainFrame.h"
#include "render/VideoRender.h"
#include "resources/CommandIds.h"
#include "settings/ProgramParams.h"
#include "view/CursorAutoHide.h"
#include "view/MediaPlayerView.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {
QString Clip(const char* name) { return QDir(qEnvironmentVariable("NRX_MEDIA_DIR")).filePath(name); }

// Lets the event loop run until the condition holds; gives up after limitMs so a fault fails, not hangs.
bool WaitFor(const std::function<bool()>& condition, int limitMs = 15000) {
    for (int waited = 0; !condition(); waited += 20) {
        if (waited >= limitMs) return false;
        QTest::qWait(20);
    }
    return true;
}

bool IsRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; }
bool IsBlue(QRgb c) { return qBlue(c) > 180 && qRed(c) < 80 && qGreen(c) < 80; }
bool IsYellow(QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 90; }
bool IsGreen(QRgb c) { return qGreen(c) > 180 && qRed(c) < 80 && qBlue(c) < 80; }
bool IsBlack(QRgb c) { return qRed(c) < 24 && qGreen(c) < 24 && qBlue(c) < 24; }

class Program : public ::testing::Test {
protected:
    void Start(const QString& clip) {
        ASSERT_TRUE(settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        argument = clip.toLocal8Bit();
        argv[0] = program;
        argv[1] = argument.data();
        argc = clip.isEmpty() ? 1 : 2;
        app = std::make_unique<CMediaPlayerApp>(argc, argv);
        CPromptService::SetHandler([this](const PromptRequest& request) {
            prompts << request.text;
            return PromptAnswer::Ok;
        });
        ASSERT_TRUE(app->InitInstance());
        view = CMediaPlayerView::Instance();
        doc = CMediaPlayerDoc::Instance();
        ASSERT_NE(view, nullptr);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->MainFrame()));
    }

    void TearDown() override {
        CRedadIzivad::SetFileDialogHook({});
        if (app) app->ExitInstance();
        CPromptService::SetHandler({});
        app.reset();
    }

    CVideoEngine* Engine() const { return ThePlayer ? ThePlayer->engine.get() : nullptr; }
    bool Playing() const { return Engine() && Engine()->IsOpened() && Engine()->GetPlayState() == PlayState::Playing; }

    // Waits for a few frames to be shown, then pauses so the picture holds still for a grab.
    bool PauseAfterFrames() {
        int frames = 0;
        QMetaObject::Connection counting =
            QObject::connect(&ThePlayer->notifier, &CPlayerNotifier::frameReady, view, [&] { ++frames; });
        const bool arrived = WaitFor([&] { return frames >= 3; });
        QObject::disconnect(counting);
        if (!arrived || !Playing()) return false;
        doc->OnCommand(ID_PLAY_PAUSE);
        return WaitFor([&] { return Engine()->GetPlayState() == PlayState::Paused; });
    }

    QImage GrabVideo() const {
        QTest::qWait(100);
        return view->Renderer()->GetDC()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // What the display shows over the view, not a re-render.
    QImage GrabScreen() const {
        QTest::qWait(300);
        const QPoint at = view->mapToGlobal(QPoint());
        return view->screen()->grabWindow(0, at.x(), at.y(), view->width(), view->height()).toImage().convertToFormat(
            QImage::Format_RGB32);
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(view, static_cast<Qt::Key>(key), modifiers);
    }

    QTemporaryDir settingsDir;
    QByteArray argument;
    char program[16] = "nrx-mediaplayer";
    char* argv[3] = {nullptr, nullptr, nullptr};
    int argc = 0;
    std::unique_ptr<CMediaPlayerApp> app;
    CMediaPlayerView* view = nullptr;
    CMediaPlayerDoc* doc = nullptr;
    QStringList prompts;
};
} // namespace

TEST_F(Program, CommandLineClipPlaysUprightInBothRenderers) {
    Start(Clip("orientation_red_top.mp4"));
    ASSERT_TRUE(PauseAfterFrames());
    EXPECT_EQ(view->RendererType(), RendererKind::OpenGL);
    EXPECT_FALSE(view->WebLink()->isVisible());
    QImage shot = GrabVideo();
    shot.save(QDir::temp().filePath("nrx-program-opengl.png"));
    const int cx = shot.width() / 2;
    EXPECT_TRUE(IsRed(shot.pixel(cx, shot.height() / 4))) << "top half should be red";
    EXPECT_TRUE(IsBlue(shot.pixel(cx, shot.height() * 3 / 4))) << "bottom half should be blue";

    // Switching while a file is open keeps it open and hands the new renderer the frame format.
    doc->OnCommand(ID_RENDERER_GDI);
    EXPECT_EQ(view->RendererType(), RendererKind::Gdi);
    ASSERT_TRUE(Engine()->IsOpened());
    doc->OnCommand(ID_PLAY_PAUSE);
    ASSERT_TRUE(PauseAfterFrames());
    shot = GrabVideo();
    EXPECT_TRUE(IsRed(shot.pixel(cx, shot.height() / 4)));
    EXPECT_TRUE(IsBlue(shot.pixel(cx, shot.height() * 3 / 4)));
    EXPECT_TRUE(prompts.isEmpty()) << prompts.join('\n').toStdString();
}

TEST_F(Program, WindowHoldsTheKeyboardWhereverThePointerIs) {
    // The test display has no window manager: unless the player takes the input focus itself, keys sent
    // from outside go to whatever window lies under the pointer.
    Start(Clip("orientation_red_top.mp4"));
    QCursor::setPos(0, 0);
    ASSERT_FALSE(view->window()->geometry().contains(QPoint(0, 0)));
    ASSERT_TRUE(WaitFor([] { return QCursor::pos() == QPoint(0, 0); }));
    QTest::qWait(300); // a focus that followed the pointer would be lost by now
    EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == view->window(); }, 3000));
}

TEST_F(Program, WheelStepsVolumeByTwoAndShowsTheStatusTextTopLeft) {
    Start(Clip("orientation_red_top.mp4"));
    ASSERT_TRUE(PauseAfterFrames());
    const int before = Engine()->GetVolume();
    const QPointF at(view->width() / 2.0, view->height() / 2.0);
    QWheelEvent down(at, view->mapToGlobal(at), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &down);
    EXPECT_EQ(Engine()->GetVolume(), before - 2);
    QWheelEvent still(at, view->mapToGlobal(at), QPoint(), QPoint(0, 0), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &still);
    EXPECT_EQ(Engine()->GetVolume(), before - 2);

    // What the display shows, not a re-render: the text must reach the screen.
    QTest::qWait(300);
    const QImage shot = view->screen()->grabWindow(0, view->mapToGlobal(QPoint()).x(), view->mapToGlobal(QPoint()).y(),
                                                   view->width(), view->height()).toImage().convertToFormat(QImage::Format_RGB32);
    shot.save(QDir::temp().filePath("nrx-program-status.png"));
    int yellowTopLeft = 0, yellowElsewhere = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (IsYellow(shot.pixel(x, y))) ++((x < shot.width() / 2 && y < 120) ? yellowTopLeft : yellowElsewhere);
    EXPECT_GT(yellowTopLeft, 20);
    EXPECT_EQ(yellowElsewhere, 0);
}

TEST_F(Program, TwoEntryPlaylistEndsStoppedOnTheLogoScreen) {
    Start({});
    EXPECT_TRUE(view->WebLink()->isVisible());
    ThePlayer->playList.AddFiles({Clip("orientation_red_top.mp4"), Clip("numbered_320x240_25_noaudio.mp4")}, 0);
    ASSERT_TRUE(doc->OpenAndPlay(Clip("orientation_red_top.mp4"), false));
    ASSERT_TRUE(WaitFor([&] { return Engine()->GetFilePath().endsWith("numbered_320x240_25_noaudio.mp4"); }, 30000));
    ASSERT_TRUE(WaitFor([&] { return !Playing(); }, 60000));
    EXPECT_TRUE(WaitFor([&] { return view->WebLink()->isVisible(); }, 5000));
    EXPECT_FALSE(ThePlayer->IsThreadRunning());
    EXPECT_TRUE(prompts.isEmpty()) << prompts.join('\n').toStdString();
}

TEST_F(Program, ShiftOnlyKeysDoNothingAndCtrlShiftOOpensTheDialog) {
    Start(Clip("orientation_red_top.mp4"));
    ASSERT_TRUE(PauseAfterFrames());
    const int contrast = Params.Contrast;
    Key(Qt::Key_Q, Qt::ShiftModifier);
    EXPECT_EQ(Params.Contrast, contrast);
    Key(Qt::Key_E);
    EXPECT_NE(Params.Contrast, contrast) << "the plain key must act, or the Shift check proves nothing";

    int dialogs = 0;
    CRedadIzivad::SetFileDialogHook([&](QWidget*, const QString&, const QString&) {
        ++dialogs;
        // A key arriving while the dialog is up must not open a second one.
        QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
        return QStringList{Clip("orientation_red_top.mp4")};
    });
    Key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(WaitFor([&] { return Playing(); }));
}

TEST_F(Program, EscLeavesFullScreenThenQuitsAndSwallowsLaterKeys) {
    Start(Clip("orientation_red_top.mp4"));
    ASSERT_TRUE(PauseAfterFrames());
    doc->OnCommand(ID_SIZE_FULLSCREEN);
    ASSERT_TRUE(doc->fullScreen);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(doc->fullScreen);
    EXPECT_TRUE(app->MainFrame()->isVisible());

    Key(Qt::Key_Escape);
    const int contrast = Params.Contrast;
    Key(Qt::Key_E);
    EXPECT_EQ(Params.Contrast, contrast) << "keys after the quit key must be swallowed";
    EXPECT_TRUE(WaitFor([&] { return !app->MainFrame()->isVisible(); }, 5000));
}

TEST_F(Program, CursorHidesOverAStillPausedPicture) {
    Start(Clip("orientation_red_top.mp4"));
    ASSERT_TRUE(PauseAfterFrames());
    const QPoint centre = view->mapToGlobal(view->rect().center());
    // The display's pointer is shared with earlier tests: bring it in from outside the window, so that the
    // only crossing events are this test's own entry into the view.
    QCursor::setPos(0, 0);
    ASSERT_FALSE(view->window()->geometry().contains(QPoint(0, 0)));
    ASSERT_TRUE(WaitFor([] { return QCursor::pos() == QPoint(0, 0); }));
    QCursor::setPos(centre);
    QTest::mouseMove(view, view->rect().center());
    ASSERT_TRUE(WaitFor([&] { return view->CursorHider()->State().Tracking(); }));
    EXPECT_TRUE(WaitFor([&] { return view->cursor().shape() == Qt::BlankCursor; }, 10000));
    QTest::mouseMove(view, view->rect().center() + QPoint(10, 10));
    QCursor::setPos(centre + QPoint(10, 10));
    EXPECT_TRUE(WaitFor([&] { return view->cursor().shape() != Qt::BlankCursor; }, 5000));
}

TEST_F(Program, BrokenFileShowsTheErrorAndTheProgramStaysUsable) {
    Start(Clip("random_bytes.mp4"));
    EXPECT_EQ(prompts.size(), 1);
    EXPECT_FALSE(Engine()->IsOpened());
    EXPECT_TRUE(view->WebLink()->isVisible());
    ASSERT_TRUE(doc->OpenAndPlay(Clip("orientation_red_top.mp4"), true));
    EXPECT_TRUE(PauseAfterFrames());
}

TEST_F(Program, DroppedFilesJoinThePlaylistAndTheFirstPlaysWhenItWasEmpty) {
    Start({});
    QTemporaryDir other;
    const QString text = other.filePath("notes.zzq");
    QFile(text).open(QIODevice::WriteOnly);
    const QPoint at = view->rect().center();

    QMimeData refused;
    refused.setUrls({QUrl::fromLocalFile(text)});
    QDragEnterEvent enterRefused(at, Qt::CopyAction | Qt::MoveAction, &refused, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &enterRefused);
    EXPECT_FALSE(enterRefused.isAccepted());

    QMimeData files;
    const QString first = Clip("orientation_red_top.mp4");
    files.setUrls({QUrl::fromLocalFile(text), QUrl::fromLocalFile(first), QUrl::fromLocalFile(first),
                   QUrl::fromLocalFile(Clip("numbered_320x240_25_noaudio.mp4"))});
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::MoveAction);
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &drop);
    ASSERT_EQ(ThePlayer->playList.Count(), 2);
    EXPECT_TRUE(WaitFor([&] { return Playing(); }));
    EXPECT_EQ(Engine()->GetFilePath(), first);

    // Dropping what is already listed changes nothing and does not restart playback.
    QDropEvent again(QPointF(at), Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &again);
    EXPECT_EQ(ThePlayer->playList.Count(), 2);
    EXPECT_EQ(Engine()->GetFilePath(), first);
}

namespace {
// The portrait clips show a 360 x 640 green picture with a red band over the top 16 rows and a blue band over
// the bottom 16. Shown pixel for pixel and centred, the bands must sit at the view's edges or inside it (not
// cut off), green must reach the picture's sides and black bars fill the rest.
void ExpectWholePortraitOneToOne(const QImage& shot) {
    ASSERT_GE(shot.width(), 360);
    ASSERT_GE(shot.height(), 640);
    const int x0 = (shot.width() - 360) / 2, y0 = (shot.height() - 640) / 2;
    const int cx = x0 + 180, mid = y0 + 320;
    EXPECT_TRUE(IsRed(shot.pixel(cx, y0 + 3))) << "top band at the picture's top edge";
    EXPECT_TRUE(IsGreen(shot.pixel(cx, y0 + 20))) << "top band 16 rows high: not magnified";
    EXPECT_TRUE(IsBlue(shot.pixel(cx, y0 + 636))) << "bottom band at the picture's bottom edge";
    EXPECT_TRUE(IsGreen(shot.pixel(cx, y0 + 619))) << "bottom band 16 rows high: not magnified";
    EXPECT_TRUE(IsGreen(shot.pixel(x0 + 2, mid)));
    EXPECT_TRUE(IsGreen(shot.pixel(x0 + 357, mid)));
    if (x0 >= 3) {
        EXPECT_TRUE(IsBlack(shot.pixel(x0 - 3, mid))) << "bar left of the picture";
        EXPECT_TRUE(IsBlack(shot.pixel(x0 + 362, mid))) << "bar right of the picture";
    }
    if (y0 >= 3) {
        EXPECT_TRUE(IsBlack(shot.pixel(cx, y0 - 3))) << "bar above the picture";
        EXPECT_TRUE(IsBlack(shot.pixel(cx, y0 + 642))) << "bar below the picture";
    }
}
} // namespace

// The window cannot be narrower than 480, so Original Size makes the view wider than a 360-wide picture: the
// picture must stay pixel for pixel between side bars, not be widened to the view and cut at top and bottom.
class PortraitProgram : public Program {
protected:
    void ExpectOriginalSizeInBothRenderers(const char* clip) {
        Start(Clip(clip));
        ASSERT_TRUE(WaitFor([&] { return Playing(); }));
        Key(Qt::Key_2);
        ASSERT_TRUE(PauseAfterFrames());
        ASSERT_EQ(view->RendererType(), RendererKind::OpenGL);
        QImage shot = GrabScreen();
        shot.save(QDir::temp().filePath(QStringLiteral("nrx-program-portrait-opengl-%1.png").arg(clip)));
        {
            SCOPED_TRACE("OpenGL");
            ExpectWholePortraitOneToOne(shot);
        }

        doc->OnCommand(ID_RENDERER_GDI);
        ASSERT_EQ(view->RendererType(), RendererKind::Gdi);
        doc->OnCommand(ID_PLAY_PAUSE);
        ASSERT_TRUE(PauseAfterFrames());
        shot = GrabScreen();
        shot.save(QDir::temp().filePath(QStringLiteral("nrx-program-portrait-gdi-%1.png").arg(clip)));
        {
            SCOPED_TRACE("GDI+");
            ExpectWholePortraitOneToOne(shot);
        }
        EXPECT_TRUE(prompts.isEmpty()) << prompts.join('\n').toStdString();
    }
};

TEST_F(PortraitProgram, UprightPortraitClipAtOriginalSizeIsWholeAndUnmagnified) {
    ExpectOriginalSizeInBothRenderers("portrait_360x640.mp4");
}

TEST_F(PortraitProgram, RotatedPortraitClipAtOriginalSizeIsWholeAndUnmagnified) {
    ExpectOriginalSizeInBothRenderers("portrait_rotated_640x360.mp4");
}
