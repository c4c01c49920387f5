#include "view/HotKeys.h"

#include "resources/CommandIds.h"

namespace {

HotKeyAction Cmd(int id) { return {HotKeyAction::Command, id, 0}; }
HotKeyAction Op(HotKeyAction::Kind kind, int value = 0) { return {kind, 0, value}; }

constexpr int kPictureReset = 999;
constexpr int kKeyVolumeStep = 5;

HotKeyAction CtrlTable(int key)
{
    switch (key) {
    case Qt::Key_O: return Cmd(ID_OPEN_FILES);
    case Qt::Key_S: return Cmd(ID_OPEN_FOLDER);
    case Qt::Key_C: return Cmd(ID_CLOSE_FILE);
    case Qt::Key_F: return Op(HotKeyAction::StepFrame, 0);
    case Qt::Key_T: return Cmd(ID_VIDEO_TOOLS);
    case Qt::Key_L: return Cmd(ID_FILE_LIST);
    case Qt::Key_I: return Cmd(ID_FILE_INFORMATION);
    // Slower has the same guards as the Play Slow command (ready, control bar, playing), so it is that command.
    case Qt::Key_Left: return Cmd(ID_PLAY_SLOW);
    case Qt::Key_Right: return Cmd(ID_PLAY_FAST);
    case Qt::Key_Return:
    case Qt::Key_Enter: return Cmd(ID_SIZE_FULLSCREEN);
    case Qt::Key_Space: return Cmd(ID_STOP);
    default: return {};
    }
}

// The keypad digits are distinct keys from the main row: with Num Lock on they carry the keypad flag.
HotKeyAction KeypadTable(int key)
{
    switch (key) {
    case Qt::Key_5: return Cmd(ID_ZOOM_ORIGINAL);
    case Qt::Key_6: return Cmd(ID_PAN_LEFT);
    case Qt::Key_4: return Cmd(ID_PAN_RIGHT);
    case Qt::Key_2: return Cmd(ID_PAN_UP);
    case Qt::Key_8: return Cmd(ID_PAN_DOWN);
    case Qt::Key_Plus: return Cmd(ID_ZOOM_IN);
    case Qt::Key_Minus: return Cmd(ID_ZOOM_OUT);
    default: return {};
    }
}

HotKeyAction PlainTable(int key, bool keypad)
{
    if (keypad) {
        const HotKeyAction action = KeypadTable(key);
        if (action.kind != HotKeyAction::None)
            return action;
        // Other keypad digits are not the main row's digits; arrows and Page keys (Num Lock off)
        // and Enter act like their main-block twins.
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return {};
    }
    switch (key) {
    case Qt::Key_Q: return Op(HotKeyAction::ChangeContrast, -1);
    case Qt::Key_W: return Op(HotKeyAction::ChangeContrast, kPictureReset);
    case Qt::Key_E: return Op(HotKeyAction::ChangeContrast, +1);
    case Qt::Key_A: return Op(HotKeyAction::ChangeBrightness, -1);
    case Qt::Key_S: return Op(HotKeyAction::ChangeBrightness, kPictureReset);
    case Qt::Key_D: return Op(HotKeyAction::ChangeBrightness, +1);
    case Qt::Key_Z: return Op(HotKeyAction::ChangeSaturation, -1);
    case Qt::Key_X: return Op(HotKeyAction::ChangeSaturation, kPictureReset);
    case Qt::Key_C: return Op(HotKeyAction::ChangeSaturation, +1);
    case Qt::Key_F: return Op(HotKeyAction::StepFrame, 1);
    case Qt::Key_1: return Cmd(ID_SIZE_HALF);
    case Qt::Key_2: return Cmd(ID_SIZE_ORIGINAL);
    case Qt::Key_3: return Cmd(ID_SIZE_ONE_AND_HALF);
    case Qt::Key_4: return Cmd(ID_SIZE_DOUBLE);
    case Qt::Key_5: return Cmd(ID_SIZE_FULLSCREEN);
    case Qt::Key_Space:
    case Qt::Key_MediaTogglePlayPause:
    // Many X keyboards report their single play/pause key as Play or Pause.
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaPause: return Cmd(ID_PLAY_PAUSE);
    case Qt::Key_MediaStop: return Cmd(ID_STOP);
    case Qt::Key_Up:
    case Qt::Key_VolumeUp: return Op(HotKeyAction::ChangeVolume, +kKeyVolumeStep);
    case Qt::Key_Down:
    case Qt::Key_VolumeDown: return Op(HotKeyAction::ChangeVolume, -kKeyVolumeStep);
    case Qt::Key_VolumeMute: return Op(HotKeyAction::ToggleMute);
    case Qt::Key_PageDown:
    case Qt::Key_MediaNext: return Cmd(ID_PLAY_NEXT);
    case Qt::Key_PageUp:
    case Qt::Key_MediaPrevious: return Cmd(ID_PLAY_PREVIOUS);
    case Qt::Key_Left: return Op(HotKeyAction::SkipFiveSeconds, -1);
    case Qt::Key_Right: return Op(HotKeyAction::SkipFiveSeconds, +1);
    case Qt::Key_F1: return Cmd(ID_APP_ABOUT);
    case Qt::Key_Escape: return Op(HotKeyAction::Escape);
    default: return {};
    }
}

} // namespace

HotKeyAction DecodeHotKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier)
        return CtrlTable(key);
    if (modifiers & Qt::ShiftModifier)
        return {};
    return PlainTable(key, modifiers & Qt::KeypadModifier);
}

int PreTranslatedCommand(int key, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::ControlModifier))
        return 0;
    switch (key) {
    case Qt::Key_C: return ID_CLOSE_FILE;
    case Qt::Key_O: return ID_OPEN_FILES;
    case Qt::Key_S: return ID_OPEN_FOLDER;
    default: return 0;
    }
}

int WheelVolumeStep(int angleDeltaY)
{
    constexpr int kWheelVolumeStep = 2;
    return angleDeltaY > 0 ? kWheelVolumeStep : angleDeltaY < 0 ? -kWheelVolumeStep : 0;
}

EscapeStep DecideEscape(bool toolWindowVisible, bool fullScreen)
{
    if (toolWindowVisible)
        return EscapeStep::HideToolWindow;
    return fullScreen ? EscapeStep::LeaveFullScreen : EscapeStep::Quit;
}

bool CKeyGuard::TryEnter()
{
    if (keyBusy2_.load() != 0)
        return false;
    int expected = 0;
    return keyBusy_.compare_exchange_strong(expected, 1);
}

void CKeyGuard::Leave() { keyBusy_.store(0); }

void CKeyGuard::Quit() { keyBusy2_.store(1); }
