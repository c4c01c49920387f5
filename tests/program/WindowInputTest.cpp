// The whole program's window under real input from the display: full screen and on-top changes keep the
// keyboard, moving the frame keeps the cursor, the right button over the web link gives the player's menu,
// and each tool window comes up from its hot key and goes with Esc while the player neither quits nor stops.
#include "controls/CustomButton.h"
#include "controls/CustomSlider.h"
#include "frame/MainFrame.h"
#include "panels/VideoControl.h"
#include "panels/VideoTitle.h"
#include "render/VideoRender.h"
#include "resources/CommandIds.h"
#include "resources/MainMenu.h"
#include "settings/ProgramParams.h"
#include "tests/program/ProgramHarness.h"
#include "tests/program/XTestInput.h"
#include "view/CursorAutoHide.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// The frame number the numbered clip draws as ten white 32-pixel squares along its top (bit i at x = 32 i),
// read off a grab of the view through the picture's place in it.
int NumberOnScreen(const QImage& shot, const DestRect& picture) {
    int n = 0;
    for (int i = 0; i < 10; ++i) {
        const int x = int(picture.X + (32 * i + 16) * picture.W / 320), y = int(picture.Y + 16 * picture.H / 240);
        if (qGreen(shot.pixel(x, y)) > 128) n |= 1 << i;
    }
    return n;
}

QPoint CentreOf(const QWidget* widget) { return widget->mapToGlobal(widget->rect().center()); }

void ClickAt(QPoint global) {
    XTestInput::MoveTo(global);
    XTestInput::Button(1, true);
    XTestInput::Button(1, false);
}

class WindowInput : public ProgramTest {
protected:
    void Start(const QString& clip) {
        ProgramTest::Start(clip);
        if (HasFatalFailure()) return;
        frame = run->app->MainFrame();
        if (!XTestInput::Available()) GTEST_SKIP() << "no X display with the XTest extension";
        ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == frame; }));
        if (!clip.isEmpty()) {
            ASSERT_TRUE(WaitFor([&] { return run->InState(PlayState::Playing); }));
        }
    }
    void TearDown() override {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    }

    // Away from the window: on a display without a window manager, keys then reach the player only
    // when it holds the input focus.
    static void PointerAway() {
        XTestInput::MoveTo(QPoint(0, 0));
        ASSERT_TRUE(WaitFor([] { return QCursor::pos() == QPoint(0, 0); }));
    }

    // A key typed on the display's keyboard must reach the player: E raises the contrast by one.
    bool KeyboardReachesThePlayer() {
        const int before = Params.Contrast;
        XTestInput::TapKey("e");
        return WaitFor([&] { return Params.Contrast == before + 1; }, 5000);
    }

    CMainFrame* frame = nullptr;
};
} // namespace

TEST_F(WindowInput, OnTopChangesNeitherHideTheWindowNorTakeTheKeyboard) {
    Start(Clip("orientation_red_top.mp4"));
    PointerAway();
    EventCounter hides(frame, QEvent::Hide);
    const auto onTop = [&] { return frame->windowFlags().testFlag(Qt::WindowStaysOnTopHint); };
    const auto nativeOnTop = [&] { return frame->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint); };

    // Each step changes the on-top flag; the flag the widget reports and the native one must agree.
    const struct {
        const char* step;
        std::function<void()> act;
        bool wantedOnTop;
    } steps[] = {
        // No window manager: unless the player takes the input focus itself, keys go to the window under the pointer.
        {"started", [] {}, false},
        {"While Playing, playing", [&] { doc->OnCommand(ID_ONTOP_WHILE_PLAYING); }, true},
        {"paused", [&] { doc->OnCommand(ID_PLAY_PAUSE); }, false},
        {"full screen", [&] { doc->OnCommand(ID_SIZE_FULLSCREEN); }, true},
        {"Esc out of full screen", [&] { XTestInput::TapKey("Escape"); }, false},
        {"resumed", [&] { doc->OnCommand(ID_PLAY_PAUSE); }, true},
    };
    for (const auto& s : steps) {
        s.act();
        ASSERT_TRUE(WaitFor([&] { return onTop() == s.wantedOnTop; }, 5000)) << s.step;
        EXPECT_EQ(nativeOnTop(), s.wantedOnTop) << s.step;
        EXPECT_TRUE(KeyboardReachesThePlayer()) << s.step;
        EXPECT_EQ(hides.count, 0) << s.step;
        EXPECT_TRUE(frame->isVisible()) << s.step;
    }
    EXPECT_FALSE(doc->fullScreen);
}

TEST_F(WindowInput, EscLeavesFullScreenWithoutAFileBackToTheEarlierRectangle) {
    Start(Clip("orientation_red_top.mp4"));
    const QRect before = frame->geometry();
    doc->OnCommand(ID_SIZE_FULLSCREEN);
    ASSERT_TRUE(doc->fullScreen);
    doc->OnCommand(ID_CLOSE_FILE);
    ASSERT_FALSE(run->Engine()->IsOpened());

    PointerAway();
    XTestInput::TapKey("Escape");
    ASSERT_TRUE(WaitFor([&] { return !doc->fullScreen; }, 5000)) << "Esc must leave full screen";
    EXPECT_TRUE(WaitFor([&] { return frame->geometry() == before; }, 5000));
    EXPECT_FALSE(frame->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << "the on-top mode is Never";
    QTest::qWait(200);
    EXPECT_TRUE(frame->isVisible()) << "leaving full screen is not quitting";
}

TEST_F(WindowInput, TheCursorStaysWhileTheFrameIsBeingMoved) {
    Start(Clip("orientation_red_top.mp4"));
    doc->OnCommand(ID_PLAY_PAUSE);
    ASSERT_TRUE(WaitFor([&] { return run->InState(PlayState::Paused); }));
    auto* timer = view->findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(timer, nullptr);
    int ticks = 0, hiddenTicks = 0;
    QObject::connect(timer, &QTimer::timeout, view, [&] {
        ++ticks;
        if (view->cursor().shape() == Qt::BlankCursor) ++hiddenTicks;
    });

    PointerAway();
    const QPoint centre = view->mapToGlobal(view->rect().center());
    XTestInput::MoveTo(centre);
    ASSERT_TRUE(WaitFor([&] { return view->CursorHider()->State().Tracking(); }));
    // A press on the picture starts moving the frame; held still, twice the ticks that would hide the cursor.
    XTestInput::Button(1, true);
    ticks = hiddenTicks = 0;
    WaitFor([&] { return ticks >= 2 * CCursorAutoHide::kHideAfterTicks; }, 60000);
    XTestInput::Button(1, false);
    EXPECT_GE(ticks, 2 * CCursorAutoHide::kHideAfterTicks);
    EXPECT_EQ(hiddenTicks, 0) << "the cursor hid while the frame was being moved";

    // Once the move is over the still cursor hides as usual, so the hold above did test something.
    EXPECT_TRUE(WaitFor([&] { return view->cursor().shape() == Qt::BlankCursor; }, 20000));
}

TEST_F(WindowInput, RightButtonOnTheWebLinkOpensThePlayersMenu) {
    Start({});
    QLabel* link = view->WebLink();
    ASSERT_TRUE(WaitFor([&] { return link->isVisible(); }));
    XTestInput::MoveTo(link->mapToGlobal(link->rect().center()));
    ASSERT_TRUE(WaitFor([&] { return QApplication::widgetAt(QCursor::pos()) == link; }));
    XTestInput::Button(3, true);
    XTestInput::Button(3, false);
    ASSERT_TRUE(WaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
    QWidget* popup = QApplication::activePopupWidget();
    EXPECT_EQ(popup->objectName(), QString::fromUtf8(CMainMenu::kName));
    EXPECT_EQ(popup->parentWidget(), view);
    EXPECT_TRUE(frame->popupMenuOpen);
    int menus = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMenu*>(w) && w->isVisible()) ++menus;
    EXPECT_EQ(menus, 1) << "no other menu besides the player's";
}

TEST_F(WindowInput, TheControlBarPausesAndSeeksUnderTheMouseAndTheBarsFollowThePointer) {
    Start(Clip("numbered_320x240_25.mp4"));
    CVideoControl* bar = doc->videoControl.get();
    CVideoTitle* title = doc->videoTitle.get();
    ASSERT_TRUE(bar && title);

    XTestInput::MoveTo(CentreOf(view));
    ASSERT_TRUE(WaitFor([&] { return bar->isVisible() && title->isVisible(); })) << "the pointer over the window shows the bars";
    ClickAt(CentreOf(bar->playButton));
    ASSERT_TRUE(WaitFor([&] { return run->InState(PlayState::Paused); }));

    // A drag from a quarter to three quarters of the seek bar, in steps, as a hand does it.
    CCustomSlider* seek = bar->seekSlider;
    const QPoint from = seek->mapToGlobal(QPoint(seek->width() / 4, seek->height() / 2));
    const QPoint to = seek->mapToGlobal(QPoint(seek->width() * 3 / 4, seek->height() / 2));
    XTestInput::MoveTo(from);
    XTestInput::Button(1, true);
    for (int i = 1; i <= 10; ++i) {
        XTestInput::MoveTo(from + (to - from) * i / 10);
        QTest::qWait(40);
    }
    XTestInput::Button(1, false);
    const qint64 wanted = seek->PositionFromPoint(seek->mapFromGlobal(to));
    ASSERT_GT(wanted, 100);
    EXPECT_TRUE(WaitFor([&] { return run->Engine()->GetCurrentFrame() == wanted; }))
        << "landed on " << run->Engine()->GetCurrentFrame() << " instead of " << wanted;
    EXPECT_TRUE(run->InState(PlayState::Paused)) << "seeking does not resume playback";

    // The grab sends the pointer away first: paused and away, both bars hide, and the picture is that frame.
    const QImage shot = run->GrabScreen();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(title->isVisible());
    EXPECT_EQ(NumberOnScreen(shot, view->Renderer()->destRect), wanted);

    // Back over the window, Play again: playback goes on from there and the knob follows it.
    XTestInput::MoveTo(CentreOf(view));
    ASSERT_TRUE(WaitFor([&] { return bar->isVisible(); }));
    ClickAt(CentreOf(bar->playButton));
    ASSERT_TRUE(WaitFor([&] { return run->InState(PlayState::Playing); }));
    EXPECT_TRUE(WaitFor([&] { return seek->position > wanted + 5; })) << "the knob stays at " << seek->position;
}

TEST_F(WindowInput, EachToolWindowOpensFromItsHotKeyAboveTheFrameAndEscClosesIt) {
    Start(Clip("orientation_red_top.mp4"));
    PointerAway();
    const struct {
        const char* name;
        const char* modifier; // null: the key alone
        const char* key;
        std::function<QWidget*()> window;
    } keys[] = {
        {"playlist", "Control_L", "l", [&] { return doc->playListDlg.window(); }},
        {"video tools", "Control_L", "t", [&] { return doc->videoTools.window(); }},
        {"file information", "Control_L", "i", [&] { return doc->fileInfoDlg.window(); }},
        {"about box", nullptr, "F1", [&] { return doc->aboutDlg.window(); }},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(k.name);
        XTestInput::TapKey(k.key, k.modifier);
        ASSERT_TRUE(WaitFor([&] { return k.window() && k.window()->isVisible(); }, 5000))
            << "its hot key must open it";
        EXPECT_TRUE(k.window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(k.window()->parentWidget(), frame) << "kept above the frame as its own tool window";
        EXPECT_TRUE(KeyboardReachesThePlayer()) << "the frame keeps the keyboard while it is up";
        XTestInput::TapKey("Escape");
        EXPECT_TRUE(WaitFor([&] { return !k.window()->isVisible(); }, 5000)) << "it stayed after Esc";
        QTest::qWait(100);
        EXPECT_TRUE(frame->isVisible()) << "Esc closed the player instead";
        EXPECT_TRUE(run->InState(PlayState::Playing));
    }

    // Full screen leaves the playlist up, over the frame; the first Esc closes it and does nothing else.
    XTestInput::TapKey("l", "Control_L");
    ASSERT_TRUE(WaitFor([&] { return keys[0].window() && keys[0].window()->isVisible(); }, 5000));
    QWidget* playList = keys[0].window();
    doc->OnCommand(ID_SIZE_FULLSCREEN);
    ASSERT_TRUE(doc->fullScreen);
    QTest::qWait(300);
    EXPECT_TRUE(playList->isVisible());
    XTestInput::TapKey("Escape");
    EXPECT_TRUE(WaitFor([&] { return !playList->isVisible(); }, 5000));
    EXPECT_TRUE(doc->fullScreen);
    XTestInput::TapKey("Escape");
    EXPECT_TRUE(WaitFor([&] { return !doc->fullScreen; }, 5000)) << "the second Esc leaves full screen";
    QTest::qWait(200);
    EXPECT_TRUE(frame->isVisible());
}
