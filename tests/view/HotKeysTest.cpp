#include "resources/CommandIds.h"
#include "view/HotKeys.h"

#include <gtest/gtest.h>

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

TEST(InputHotKeys, EscapeHidesAToolWindowFirstThenLeavesFullScreenThenQuits)
{
    EXPECT_EQ(DecideEscape(true, true), EscapeStep::HideToolWindow);
    EXPECT_EQ(DecideEscape(true, false), EscapeStep::HideToolWindow);
    EXPECT_EQ(DecideEscape(false, true), EscapeStep::LeaveFullScreen);
    EXPECT_EQ(DecideEscape(false, false), EscapeStep::Quit);
}

TEST(InputHotKeys, GuardRefusesAKeyInsideAnotherAndEveryKeyAfterTheQuitKey)
{
    CKeyGuard guard;
    {
        CKeyGuard::Scope first(guard);
        ASSERT_TRUE(first);
        // A key the nested event loop of the first key's modal dialog delivers.
        CKeyGuard::Scope nested(guard);
        EXPECT_FALSE(nested);
    }
    {
        CKeyGuard::Scope next(guard);
        EXPECT_TRUE(next) << "once the first key is handled keys work again";
        guard.Quit();
    }
    EXPECT_TRUE(guard.Quitting());
    CKeyGuard::Scope afterQuit(guard);
    EXPECT_FALSE(afterQuit);
}
