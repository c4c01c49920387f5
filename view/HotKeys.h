// Hot-key decoding of the main view: which key does what, the re-entry guard, Esc's steps and the wheel.
#pragma once

#include <Qt>
#include <atomic>

// What one key press asks for. Commands go to CMediaPlayerDoc::OnCommand(command); the other kinds
// name the document operation that has no menu item of its own, with its argument in value.
struct HotKeyAction {
    enum Kind {
        None,
        Command,           // OnCommand(command)
        StepFrame,         // StepFrame(value != 0): 1 forward, 0 back
        ChangeContrast,    // value -1, +1, or 999 = reset
        ChangeBrightness,  // same
        ChangeSaturation,  // same
        ChangeVolume,      // ChangeVolume(value, relative = TRUE)
        ToggleMute,
        SkipFiveSeconds,   // value +1 or -1
        Escape,            // run DecideEscape and act on its answer
    };
    Kind kind = None;
    int command = 0;
    int value = 0;

    friend bool operator==(const HotKeyAction&, const HotKeyAction&) = default;
};

// Decodes a key press. Order: Ctrl held (Shift ignored) uses the Ctrl table; Shift alone does nothing;
// otherwise the plain table, which also holds the media keys, the keypad keys (Qt::KeypadModifier set,
// i.e. Num Lock on for the digits) and F1. Alt is not looked at. Keys outside the tables give None.
HotKeyAction DecodeHotKey(int key, Qt::KeyboardModifiers modifiers);

// Ctrl+C, Ctrl+O and Ctrl+S are taken before anything else may see them (shortcuts, the focused
// control): returns their command id, 0 for any other key. Call it from a ShortcutOverride or an
// event filter and accept the event when it returns non-zero.
int PreTranslatedCommand(int key, Qt::KeyboardModifiers modifiers);

// Volume change of one wheel event: +2 for any positive delta, -2 for any negative, 0 for none.
// Deliberately the same step whatever the delta, so a fast wheel or a touchpad is not amplified.
int WheelVolumeStep(int angleDeltaY);

// Esc: first a visible tool window is hidden (HideToolWindow), else full screen is left (always, with or
// without a file: CMediaPlayerDoc::LeaveFullScreen), else the program quits (CKeyGuard::Quit,
// ShutdownDocument, then Exit).
enum class EscapeStep { HideToolWindow, LeaveFullScreen, Quit };
EscapeStep DecideEscape(bool toolWindowVisible, bool fullScreen);

// Re-entry guard of the key handlers. A key arriving while another is still being handled (a modal
// dialog or message box opened by the first one runs a nested event loop) is swallowed, and after
// Quit every key is swallowed for good. UI thread; atomics keep it safe if a key is ever posted from
// elsewhere.
class CKeyGuard {
public:
    // Holds the guard for one key's handling; test it before acting.
    class Scope {
    public:
        explicit Scope(CKeyGuard& guard) : guard_(guard), entered_(guard.TryEnter()) {}
        ~Scope()
        {
            if (entered_)
                guard_.Leave();
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        explicit operator bool() const { return entered_; }

    private:
        CKeyGuard& guard_;
        bool entered_;
    };

    bool TryEnter();
    void Leave();
    // Every later key is swallowed, also after the current one finishes.
    void Quit();
    bool Quitting() const { return keyBusy2_.load() != 0; }

private:
    std::atomic<int> keyBusy_{0};   // 1 while a key is being handled
    std::atomic<int> keyBusy2_{0};  // 1 once the quit key ran, never cleared
};
