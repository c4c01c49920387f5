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

// The keys whose meaning depends on the modifiers or on the keypad, where a wrong table is easy to pick.
TEST(HotKeys, ModifiersAndTheKeypadChooseTheTable) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        HotKeyAction expected;
        const char* why;
    } cases[] = {
        {Qt::Key_Q, kShift, {}, "Shift alone is nothing, not the plain key"},
        {Qt::Key_Q, kNone, Op(HotKeyAction::ChangeContrast, -1), ""},
        {Qt::Key_O, kCtrl | kShift, Cmd(ID_OPEN_FILES), "Ctrl wins over Shift"},
        {Qt::Key_S, kCtrl, Cmd(ID_OPEN_FOLDER), ""},
        {Qt::Key_S, kNone, Op(HotKeyAction::ChangeBrightness, 999), ""},
        {Qt::Key_F, kCtrl, Op(HotKeyAction::StepFrame, 0), ""},
        {Qt::Key_F, kNone, Op(HotKeyAction::StepFrame, 1), ""},
        {Qt::Key_Left, kCtrl, Cmd(ID_PLAY_SLOW), ""},
        {Qt::Key_Left, kNone, Op(HotKeyAction::SkipFiveSeconds, -1), ""},
        {Qt::Key_Enter, kCtrl | kPad, Cmd(ID_SIZE_FULLSCREEN), "keypad Enter is Enter"},
        {Qt::Key_Q, kCtrl, {}, "keys of one table do nothing in the other"},
        {Qt::Key_Return, kNone, {}, ""},
        {Qt::Key_VolumeUp, kCtrl, {}, ""},
        {Qt::Key_MediaPlay, kNone, Cmd(ID_PLAY_PAUSE), "many X keyboards report play/pause as Play"},
        {Qt::Key_5, kNone, Cmd(ID_SIZE_FULLSCREEN), "main row digits are the sizes"},
        {Qt::Key_5, kPad, Cmd(ID_ZOOM_ORIGINAL), "keypad digits are zoom and pan"},
        {Qt::Key_2, kPad, Cmd(ID_PAN_UP), "Num 2 moves up, the other way round to the names"},
        {Qt::Key_8, kPad, Cmd(ID_PAN_DOWN), ""},
        {Qt::Key_1, kPad, {}, "keypad 1 is not Half Size"},
        {Qt::Key_Plus, kNone, {}, "only the keypad's + zooms"},
        {Qt::Key_Right, kPad, Op(HotKeyAction::SkipFiveSeconds, +1), "with Num Lock off keypad arrows are arrows"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeHotKey(c.key, c.modifiers), c.expected) << "key " << c.key << ": " << c.why;
    EXPECT_EQ(PreTranslatedCommand(Qt::Key_S, kCtrl | kShift), ID_OPEN_FOLDER);
    EXPECT_EQ(PreTranslatedCommand(Qt::Key_C, kNone), 0);
    // An open tool window is closed before Esc leaves full screen.
    EXPECT_EQ(DecideEscape(true, true), EscapeStep::HideToolWindow);
}

TEST(HotKeys, GuardRefusesAKeyInsideAnotherAndEveryKeyAfterTheQuitKey) {
    CKeyGuard guard;
    {
        CKeyGuard::Scope first(guard);
        ASSERT_TRUE(first);
        // A key the nested event loop of the first key's modal dialog delivers.
        EXPECT_FALSE(CKeyGuard::Scope(guard));
    }
    {
        CKeyGuard::Scope next(guard);
        EXPECT_TRUE(next) << "once the first key is handled keys work again";
        guard.Quit();
    }
    EXPECT_FALSE(CKeyGuard::Scope(guard));
}
