// The whole program in-process: a clip on the command line, the real engine module, the main view driven
// by keys, the wheel and the mouse, with the prompts and the file dialog answered here.
#include "document/RedadIzivad.h"
#include "frame/MainFrame.h"
#include "resources/CommandIds.h"
#include "settings/ProgramParams.h"
#include "tests/program/ProgramHarness.h"

#include <QApplication>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {
class Program : public ProgramTest {
protected:
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(view, static_cast<Qt::Key>(key), modifiers);
    }
};
} // namespace

TEST_F(Program, WheelStepsVolumeByTwoAndShowsTheStatusTextTopLeft) {
    Start(Clip("orientation_red_top.mp4"));
    ASSERT_TRUE(run->PauseAfterFrames());
    const int before = run->Engine()->GetVolume();
    const QPointF at(view->width() / 2.0, view->height() / 2.0);
    for (const int delta : {-240, 0}) { // a still wheel changes nothing
        QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        EXPECT_EQ(run->Engine()->GetVolume(), before - 2);
    }
    const QImage shot = run->GrabScreen(); // the text must reach the screen
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
    ASSERT_TRUE(WaitFor([&] { return run->Engine()->GetFilePath().endsWith("numbered_320x240_25_noaudio.mp4"); }, 30000));
    ASSERT_TRUE(WaitFor([&] { return !run->InState(PlayState::Playing); }, 60000));
    EXPECT_TRUE(WaitFor([&] { return view->WebLink()->isVisible(); }, 5000));
    EXPECT_FALSE(ThePlayer->IsThreadRunning());
    EXPECT_TRUE(run->prompts.texts.isEmpty()) << run->prompts.All();
}

TEST_F(Program, ShiftOnlyKeysDoNothingAndCtrlShiftOOpensTheDialog) {
    Start(Clip("orientation_red_top.mp4"));
    ASSERT_TRUE(run->PauseAfterFrames());
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
    EXPECT_TRUE(WaitFor([&] { return run->InState(PlayState::Playing); }));
}

TEST_F(Program, EscQuitsAndLaterKeysAreSwallowed) {
    Start(Clip("orientation_red_top.mp4"));
    ASSERT_TRUE(run->PauseAfterFrames());
    Key(Qt::Key_Escape);
    const int contrast = Params.Contrast;
    Key(Qt::Key_E);
    EXPECT_EQ(Params.Contrast, contrast) << "keys after the quit key must be swallowed";
    EXPECT_TRUE(WaitFor([&] { return !run->app->MainFrame()->isVisible(); }, 5000));
}

TEST_F(Program, BrokenFileShowsTheErrorAndTheProgramStaysUsable) {
    Start(Clip("random_bytes.mp4"));
    EXPECT_EQ(run->prompts.texts.size(), 1);
    EXPECT_FALSE(run->Engine()->IsOpened());
    EXPECT_TRUE(view->WebLink()->isVisible());
    ASSERT_TRUE(doc->OpenAndPlay(Clip("orientation_red_top.mp4"), true));
    EXPECT_TRUE(run->PauseAfterFrames());
}

TEST_F(Program, DroppedFilesJoinThePlaylistAndTheFirstPlaysWhenItWasEmpty) {
    Start({});
    QTemporaryDir other;
    const QString text = other.filePath("notes.zzq");
    ASSERT_TRUE(WriteFile(text));
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
    // Dropped twice: what is already listed changes nothing and does not restart playback.
    for (int drop = 0; drop < 2; ++drop) {
        QDropEvent event(QPointF(at), Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &event);
        ASSERT_EQ(ThePlayer->playList.Count(), 2);
        EXPECT_TRUE(WaitFor([&] { return run->InState(PlayState::Playing); }));
        EXPECT_EQ(run->Engine()->GetFilePath(), first);
    }
}

// The window cannot be narrower than 480, so Original Size makes the view wider than a 360-wide picture: the
// picture must stay pixel for pixel between side bars, not be widened to the view and cut at top and bottom.
// The portrait clips show a 360 x 640 green picture with a red band over the top 16 rows and a blue band over
// the bottom 16: centred, the bands must sit at the picture's edges (not cut off, not magnified), green must
// reach its sides and black bars fill the rest.
class PortraitProgram : public Program {
protected:
    static void ExpectWholePortraitOneToOne(const QImage& shot) {
        ASSERT_GE(shot.width(), 360);
        ASSERT_GE(shot.height(), 640);
        const int x0 = (shot.width() - 360) / 2, y0 = (shot.height() - 640) / 2;
        const int cx = x0 + 180, mid = y0 + 320;
        const struct {
            int x, y;
            bool (*is)(QRgb);
            const char* what;
        } points[] = {{cx, y0 + 3, IsRed, "top band at the top edge"},
                      {cx, y0 + 20, IsGreen, "top band 16 rows high"},
                      {cx, y0 + 636, IsBlue, "bottom band at the bottom edge"},
                      {cx, y0 + 619, IsGreen, "bottom band 16 rows high"},
                      {x0 + 2, mid, IsGreen, "left edge"},
                      {x0 + 357, mid, IsGreen, "right edge"},
                      {x0 - 3, mid, IsBlack, "bar left of the picture"},
                      {x0 + 362, mid, IsBlack, "bar right of the picture"},
                      {cx, y0 - 3, IsBlack, "bar above the picture"},
                      {cx, y0 + 642, IsBlack, "bar below the picture"}};
        for (const auto& p : points) {
            if (p.x >= 0 && p.y >= 0 && p.x < shot.width() && p.y < shot.height()) {
                EXPECT_TRUE(p.is(shot.pixel(p.x, p.y))) << p.what;
            }
        }
    }
    void ExpectOriginalSizeInBothRenderers(const char* clip) {
        Start(Clip(clip));
        ASSERT_TRUE(WaitFor([&] { return run->InState(PlayState::Playing); }));
        Key(Qt::Key_2);
        for (const RendererKind renderer : {RendererKind::OpenGL, RendererKind::Gdi}) {
            SCOPED_TRACE(renderer == RendererKind::OpenGL ? "OpenGL" : "GDI+");
            if (renderer == RendererKind::Gdi) {
                doc->OnCommand(ID_RENDERER_GDI);
                doc->OnCommand(ID_PLAY_PAUSE);
            }
            // Switching while a file is open keeps it open and hands the new renderer the frame format.
            ASSERT_TRUE(run->PauseAfterFrames());
            ASSERT_EQ(view->RendererType(), renderer);
            EXPECT_FALSE(view->WebLink()->isVisible());
            ExpectWholePortraitOneToOne(run->GrabScreen());
        }
        EXPECT_TRUE(run->prompts.texts.isEmpty()) << run->prompts.All();
    }
};

TEST_F(PortraitProgram, UprightPortraitClipAtOriginalSizeIsWholeAndUnmagnified) {
    ExpectOriginalSizeInBothRenderers("portrait_360x640.mp4");
}

TEST_F(PortraitProgram, RotatedPortraitClipAtOriginalSizeIsWholeAndUnmagnified) {
    ExpectOriginalSizeInBothRenderers("portrait_rotated_640x360.mp4");
}
