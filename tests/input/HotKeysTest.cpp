#include "resources/CommandIds.h"
#include "view/HotKeys.h"

#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kPad = Qt::KeypadModifier;

HotKeyAction Cmd(int id) { return {HotKeyAction::Command, id, 0}; }
HotKeyAction Op(HotKeyAction::Kind kind, int value = 0) { return {kind, 0, value}; }

} // namespace

TEST(InputHotKeys, CtrlTableFirstShiftAloneNothingThenThePlainTable)
{
    // Shift+Q must not lower the contrast, while Ctrl+Shift+O still opens files.
    EXPECT_EQ(DecodeHotKey(Qt::Key_Q, kShift), HotKeyAction{});
    EXPECT_EQ(DecodeHotKey(Qt::Key_Q, kNone), Op(HotKeyAction::ChangeContrast, -1));
    EXPECT_EQ(DecodeHotKey(Qt::Key_O, kCtrl | kShift), Cmd(ID_OPEN_FILES));
    // The same key means different things with and without Ctrl.
    EXPECT_EQ(DecodeHotKey(Qt::Key_S, kCtrl), Cmd(ID_OPEN_FOLDER));
    EXPECT_EQ(DecodeHotKey(Qt::Key_S, kNone), Op(HotKeyAction::ChangeBrightness, 999));
    EXPECT_EQ(DecodeHotKey(Qt::Key_F, kCtrl), Op(HotKeyAction::StepFrame, 0));
    EXPECT_EQ(DecodeHotKey(Qt::Key_F, kNone), Op(HotKeyAction::StepFrame, 1));
    EXPECT_EQ(DecodeHotKey(Qt::Key_Space, kCtrl), Cmd(ID_STOP));
    EXPECT_EQ(DecodeHotKey(Qt::Key_Left, kCtrl), Cmd(ID_PLAY_SLOW));
    EXPECT_EQ(DecodeHotKey(Qt::Key_Left, kNone), Op(HotKeyAction::SkipFiveSeconds, -1));
    EXPECT_EQ(DecodeHotKey(Qt::Key_Enter, kCtrl | kPad), Cmd(ID_SIZE_FULLSCREEN));
    // Keys of one table do nothing in the other, media keys included.
    EXPECT_EQ(DecodeHotKey(Qt::Key_Q, kCtrl), HotKeyAction{});
    EXPECT_EQ(DecodeHotKey(Qt::Key_Return, kNone), HotKeyAction{});
    EXPECT_EQ(DecodeHotKey(Qt::Key_VolumeUp, kCtrl), HotKeyAction{});
    // Many X keyboards report their single play/pause key as Play.
    EXPECT_EQ(DecodeHotKey(Qt::Key_MediaPlay, kNone), Cmd(ID_PLAY_PAUSE));
}

TEST(InputHotKeys, KeypadDigitsAreNotTheMainRowDigits)
{
    EXPECT_EQ(DecodeHotKey(Qt::Key_5, kNone), Cmd(ID_SIZE_FULLSCREEN));
    EXPECT_EQ(DecodeHotKey(Qt::Key_5, kPad), Cmd(ID_ZOOM_ORIGINAL));
    // Up and Down read the other way round to the items' names: Num 2 moves up, Num 8 down.
    EXPECT_EQ(DecodeHotKey(Qt::Key_2, kPad), Cmd(ID_PAN_UP));
    EXPECT_EQ(DecodeHotKey(Qt::Key_8, kPad), Cmd(ID_PAN_DOWN));
    EXPECT_EQ(DecodeHotKey(Qt::Key_Plus, kPad), Cmd(ID_ZOOM_IN));
    // Keypad 1 is not Half Size; the main row's + is nothing.
    EXPECT_EQ(DecodeHotKey(Qt::Key_1, kPad), HotKeyAction{});
    EXPECT_EQ(DecodeHotKey(Qt::Key_Plus, kNone), HotKeyAction{});
    // With Num Lock off the keypad's arrows are arrows.
    EXPECT_EQ(DecodeHotKey(Qt::Key_Right, kPad), Op(HotKeyAction::SkipFiveSeconds, +1));
}

TEST(InputHotKeys, OnlyCtrlCOSAreTakenAheadAndTheWheelStepsByTwo)
{
    EXPECT_EQ(PreTranslatedCommand(Qt::Key_S, kCtrl | kShift), ID_OPEN_FOLDER);
    EXPECT_EQ(PreTranslatedCommand(Qt::Key_C, kNone), 0);
    EXPECT_EQ(PreTranslatedCommand(Qt::Key_T, kCtrl), 0);
    EXPECT_EQ(WheelVolumeStep(240), 2);
    EXPECT_EQ(WheelVolumeStep(1), 2);
    EXPECT_EQ(WheelVolumeStep(-960), -2);
    EXPECT_EQ(WheelVolumeStep(0), 0);
}

namespace {

// A view that handles keys the way the main view does: guard, decode, act; Esc in its three steps.
class KeyView : public QWidget {
public:
    std::vector<HotKeyAction> done;
    std::vector<QWidget*> toolWindows;
    bool fullScreen = false;
    bool quit = false;
    CKeyGuard guard;
    std::function<void()> duringCommand;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        CKeyGuard::Scope scope(guard);
        if (!scope)
            return;
        const HotKeyAction action = DecodeHotKey(event->key(), event->modifiers());
        // QTest presses the modifier keys themselves too; they decode to nothing.
        if (action.kind == HotKeyAction::None)
            return;
        if (action.kind == HotKeyAction::Escape) {
            QWidget* visible = nullptr;
            for (QWidget* window : toolWindows)
                if (!visible && window->isVisible())
                    visible = window;
            switch (DecideEscape(visible != nullptr, fullScreen)) {
            case EscapeStep::HideToolWindow: visible->hide(); break;
            case EscapeStep::LeaveFullScreen: fullScreen = false; break;
            case EscapeStep::Quit:
                guard.Quit();
                quit = true;
                break;
            }
        }
        done.push_back(action);
        if (action.kind == HotKeyAction::Command && duringCommand)
            duringCommand();
    }
};

} // namespace

TEST(InputHotKeys, KeyDuringAModalDialogOfAnotherKeyDoesNothing)
{
    KeyView view;
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    bool spaceWasTried = false;
    view.duringCommand = [&] {
        // Ctrl+O's file dialog: its nested event loop still delivers keys posted to the view.
        QDialog dialog(&view);
        QTimer::singleShot(0, &dialog, [&] {
            QTest::keyClick(&view, Qt::Key_Space);
            spaceWasTried = true;
            dialog.accept();
        });
        dialog.exec();
    };
    QTest::keyClick(&view, Qt::Key_O, kCtrl);
    ASSERT_TRUE(spaceWasTried);
    ASSERT_EQ(view.done.size(), 1u);
    EXPECT_EQ(view.done[0], Cmd(ID_OPEN_FILES));
    // Once the dialog is gone keys work again.
    view.duringCommand = nullptr;
    QTest::keyClick(&view, Qt::Key_Space);
    ASSERT_EQ(view.done.size(), 2u);
    EXPECT_EQ(view.done[1], Cmd(ID_PLAY_PAUSE));
}

TEST(InputHotKeys, EscapeHidesToolWindowsOneAtATimeThenLeavesFullScreenThenQuitsForGood)
{
    KeyView view;
    QWidget playlist(nullptr, Qt::Tool);
    QWidget info(nullptr, Qt::Tool);
    view.toolWindows = {&playlist, &info};
    view.show();
    playlist.show();
    info.show();
    view.fullScreen = true;

    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(playlist.isVisible());
    EXPECT_TRUE(info.isVisible());
    EXPECT_TRUE(view.fullScreen);
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(info.isVisible());
    EXPECT_TRUE(view.fullScreen);
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.fullScreen);
    EXPECT_FALSE(view.quit);
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_TRUE(view.quit);
    EXPECT_TRUE(view.guard.Quitting());

    // After the quit key nothing is handled any more, not even another Esc.
    const std::size_t handled = view.done.size();
    QTest::keyClick(&view, Qt::Key_Space);
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_EQ(view.done.size(), handled);
}
