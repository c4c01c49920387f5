// The command dispatcher of the document and the playback, volume, seek and picture commands.
#include "document/MediaPlayerDoc.h"

#include "app/PromptService.h"
#include "document/Guarded.h"
#include "document/RedadIzivad.h"
#include "engine/ComError.h"
#include "panels/AboutDlg.h"
#include "panels/FileInfoDlg.h"
#include "panels/FormatClock.h"
#include "panels/VideoControl.h"
#include "panels/VideoTools.h"
#include "resources/CommandIds.h"
#include "settings/ProgramParams.h"

#include <QCoreApplication>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
RendererKind RendererKindOf(int id) { return id == ID_RENDERER_GDI ? RendererKind::Gdi : RendererKind::OpenGL; }

constexpr float kMinRate = 0.1f;
constexpr float kMaxRate = 4.0f;
constexpr int kResetPicture = 999;

} // namespace

bool CMediaPlayerDoc::OnCommand(int id) {
    // Only commands with a handler reach the engine, so a failure inside one still means "handled".
    bool handled = true;
    Guarded([&] { handled = Dispatch(id); });
    return handled;
}

bool CMediaPlayerDoc::Dispatch(int id) {
    if (const int recent = RecentFileIndex(id); recent >= 0) {
        OnRecentFile(recent);
        return true;
    }
    if (IsWindowSizeCommand(id)) return OnWindowSize(id), true;
    if (IsOnTopCommand(id)) return OnOnTop(id), true;
    if (IsZoomPanCommand(id)) return OnZoomPan(id), true;
    switch (id) {
    case ID_OPEN_FILES:
    case ID_OPEN_FOLDER:
        if (ReportEngineUnavailable()) return true;
        // Keeps the bars up while a dialog covers the window.
        opening = true;
        if (id == ID_OPEN_FILES)
            OpenAndPlay(QString(), true);
        else
            OpenFolder();
        FinishOpening();
        return true;
    case ID_CLOSE_FILE: OnCloseFile(); return true;
    case ID_PLAY_PAUSE: OnPlayPause(); return true;
    case ID_STOP: OnStop(); return true;
    case ID_PLAY_NEXT: OnNextPrevious(true); return true;
    case ID_PLAY_PREVIOUS: OnNextPrevious(false); return true;
    case ID_PLAY_FAST:
    case ID_PLAY_SLOW:
        if (IsPlayerReady() && GetPlayState() == PlayState::Playing) ChangeRate(id == ID_PLAY_FAST ? 1 : -1);
        return true;
    case ID_DISABLE_SCREENSAVER: OnScreenSaverToggle(); return true;
    case ID_START_IN_SOURCE_SIZE:
    case ID_START_IN_CURRENT_SIZE: Params.StartInSrcSize = id == ID_START_IN_SOURCE_SIZE; return true;
    case ID_RENDERER_GDI:
    case ID_RENDERER_OPENGL: OnRenderer(id); return true;
    case ID_FILE_INFORMATION:
    case ID_VIDEO_TOOLS:
    case ID_FILE_LIST: OnToolWindow(id); return true;
    case ID_APP_ABOUT: OnAbout(); return true;
    case ID_APP_EXIT:
        // The application's exit tears the frame and view down, and the view shuts the document down.
        emit quitRequested();
        return true;
    case ID_FILE_SAVE: return true; // Ctrl+S arrives here too; Open Folder is its real meaning
    default: return false;
    }
}

CommandState CMediaPlayerDoc::GetCommandState(int id) const {
    CommandState state;
    if (const int recent = RecentFileIndex(id); recent >= 0) {
        state.visible = recent < Params.recentFiles.size();
        if (state.visible) state.text = Params.recentFiles.at(recent);
        return state;
    }
    if (IsWindowSizeCommand(id)) {
        state.enabled = GetPlayState() != PlayState::Stopped;
        return state;
    }
    if (IsOnTopCommand(id)) {
        state.checked = onTopMode == id - ID_ONTOP_NEVER;
        return state;
    }
    switch (id) {
    case ID_CLOSE_FILE: state.enabled = IsFileOpen(); break;
    case ID_START_IN_SOURCE_SIZE: state.checked = Params.StartInSrcSize; break;
    case ID_START_IN_CURRENT_SIZE: state.checked = !Params.StartInSrcSize; break;
    case ID_DISABLE_SCREENSAVER: state.checked = !Params.EnableScreenSaver; break;
    case ID_RENDERER_GDI:
    case ID_RENDERER_OPENGL: state.checked = rendererKind == RendererKindOf(id); break;
    case ID_SKIN_DEFAULT: state.enabled = false; break;
    default:
        // Everything else the menu shows is live exactly when the dispatcher knows it.
        state.enabled = IsZoomPanCommand(id) || (id >= ID_OPEN_FILES && id <= ID_FILE_LIST) ||
                        id == ID_APP_ABOUT || id == ID_APP_EXIT || id == ID_FILE_SAVE;
    }
    return state;
}

void CMediaPlayerDoc::ShowStatusMessage(const QString& text) { emit statusMessage(text); }

void CMediaPlayerDoc::RepaintPaused() {
    if (GetPlayState() == PlayState::Paused) emit repaintRequested();
}

bool CMediaPlayerDoc::OnPlayPause() {
    CVideoEngine* engine = Engine();
    if (!IsPlayerReady()) return false;
    // The first press after Fast or Slow only brings the speed back to normal.
    if (engine->GetRate() != 1.0f) {
        ChangeRate(0);
        return true;
    }
    engine->SetPlayState(engine->GetPlayState() == PlayState::Playing ? PlayState::Paused : PlayState::Playing);
    ApplyOnTop();
    return true;
}

bool CMediaPlayerDoc::OnStop() {
    if (!IsPlayerReady()) return false;
    ForgetPosition(); // a stopped file starts from the beginning next time
    player->engine->SetPlayState(PlayState::Stopped);
    emit repaintRequested();
    // No picture follows a stop, so the bar is told here that it is over.
    if (videoControl) videoControl->UpdateFromEngine(false);
    return true;
}

void CMediaPlayerDoc::ChangeRate(int direction) {
    Guarded([&] {
        if (!IsFileOpen()) return;
        // Rates are stepped in double so that ten steps of 0.1 land on the printed values.
        double rate = Engine()->GetRate();
        if (direction == 0)
            rate = 1.0;
        else if (direction > 0)
            rate = lastRate < 1.0f ? 1.5 : rate + 0.5;
        else
            rate = lastRate > 1.0f ? 0.9 : rate - 0.1;
        SetPlayRate(rate);
    });
}

void CMediaPlayerDoc::SetPlayRate(double rate) {
    Guarded([&] {
        if (!IsFileOpen() || !std::isfinite(rate)) return;
        rate = std::clamp(rate, double(kMinRate), double(kMaxRate));
        lastRate = static_cast<float>(rate);
        Engine()->SetRate(lastRate);
        ShowStatusMessage(QString::asprintf("Play Rate: %.2f", rate));
    });
}

void CMediaPlayerDoc::ChangeVolume(int value, bool relative) {
    Guarded([&] {
        if (!IsFileOpen()) return;
        CVideoEngine* engine = Engine();
        const int volume = std::clamp(relative ? engine->GetVolume() + value : value, 0, 100);
        engine->SetVolume(volume);
        lastVolume = volume;
        if (videoControl) videoControl->SetVolumePosition(volume);
        ShowStatusMessage(volume > 0 ? QString::asprintf("Volume: %d%%", volume) : QStringLiteral("Volume: Mute"));
    });
}

void CMediaPlayerDoc::ToggleMute() {
    Guarded([&] {
        if (!IsFileOpen()) return;
        CVideoEngine* engine = Engine();
        if (videoControl) {
            // The bar's Mute keeps the volume to restore and shows the muted state.
            videoControl->OnMuteButton();
        } else if (engine->GetVolume() > 0) {
            volumeBeforeMute = engine->GetVolume();
            engine->SetVolume(0);
            lastVolume = 0;
        } else {
            engine->SetVolume(volumeBeforeMute);
            lastVolume = volumeBeforeMute;
        }
        ShowStatusMessage(engine->GetVolume() == 0 ? QStringLiteral("Volume: Mute") : QStringLiteral("Volume: Restore"));
    });
}

void CMediaPlayerDoc::SkipFiveSeconds(int direction) {
    Guarded([&] {
        if ((direction != 1 && direction != -1) || !IsFileOpen()) return;
        CVideoEngine* engine = Engine();
        const std::int64_t target = engine->GetCurrentFrame() + direction * CVideoEngine::SkipFrames;
        direction > 0 ? engine->SkipForward() : engine->SkipBackward();
        FetchPausedPicture();
        ShowStatusMessage((direction > 0 ? QStringLiteral("5 Sec. Forward") : QStringLiteral("5 Sec. Backward")) +
                          QStringLiteral(" - [ ") + FormatClock(SecondsOfFrame(target)) + QStringLiteral(" ]"));
    });
}

void CMediaPlayerDoc::SeekToFrame(std::int64_t frame) {
    Guarded([&] {
        if (!IsFileOpen()) return;
        Engine()->SetPosition(frame);
        FetchPausedPicture();
        ShowStatusMessage(QStringLiteral("Video Moved: ") + FormatClock(SecondsOfFrame(frame)));
    });
}

void CMediaPlayerDoc::FetchPausedPicture() {
    // The playback thread decodes it: an exact position can take seconds, and the window must not wait.
    if (GetPlayState() == PlayState::Paused) player->RequestPositionRead();
}

std::int64_t CMediaPlayerDoc::SecondsOfFrame(std::int64_t frame) const {
    CVideoEngine* engine = Engine();
    const std::int64_t last = std::max<std::int64_t>(engine->GetFrameCount() - 1, 0);
    const double rate = engine->GetFrameRate();
    return rate > 0 ? static_cast<std::int64_t>(std::clamp<std::int64_t>(frame, 0, last) / rate) : 0;
}

void CMediaPlayerDoc::StepFrame(bool forward) {
    Guarded([&] {
        if (!IsFileOpen()) return;
        if (GetPlayState() == PlayState::Playing) OnPlayPause();
        player->RequestStep(forward ? 1 : -1);
    });
}

void CMediaPlayerDoc::ChangePicture(int delta, int minimum, int maximum, std::int32_t& setting, const char* label,
                                    void (CVideoEngine::*apply)(std::int32_t)) {
    Guarded([&] {
        if (!IsFileOpen()) return;
        const int value = delta == kResetPicture ? 0 : std::clamp(setting + delta, minimum, maximum);
        setting = value; // kept for the next file, also should the engine refuse it for this one
        (Engine()->*apply)(value);
        const double percent = value > 0 ? double(value) / maximum * 100.0
                               : value < 0 ? double(value) / std::abs(minimum) * 100.0
                                           : 0.0;
        ShowStatusMessage(QString::asprintf("%s: %.2f %%", label, percent));
        if (GetPlayState() == PlayState::Paused) player->RefreshEvent.SetEvent();
        // Command 2000: the open tools window's sliders follow the keyboard.
        if (videoTools && videoTools->isVisible()) videoTools->ReloadFromSettings();
    });
}

void CMediaPlayerDoc::ChangeBrightness(int delta) {
    ChangePicture(delta, -BRIGHTNESS_LIMIT, BRIGHTNESS_LIMIT, Params.Brightness, "Brightness",
                  &CVideoEngine::SetBrightness);
}

void CMediaPlayerDoc::ChangeContrast(int delta) {
    ChangePicture(delta, -CONTRAST_LIMIT, CONTRAST_LIMIT, Params.Contrast, "Contrast", &CVideoEngine::SetContrast);
}

void CMediaPlayerDoc::ChangeSaturation(int delta) {
    ChangePicture(delta, -SATURATION_LIMIT, SATURATION_LIMIT, Params.Saturation, "Saturation",
                  &CVideoEngine::SetSaturation);
}

bool CMediaPlayerDoc::OnRenderer(int id) {
    if (!IsPlayerReady()) return false;
    ResetZoomPan();
    emit rendererRequested(RendererKindOf(id));
    return true;
}

namespace {
// A tool window's command: the old window goes, a new one comes up at its first place and state, above the
// player's frame.
template <class T>
void ShowNewToolWindow(PanelRef<T>& panel, QWidget* view) {
    delete panel.window();
    panel.reset();
    if (!view) return;
    T* window = new T(view->window(), view);
    panel.reset(window);
    window->show();
    window->raise();
}
} // namespace

bool CMediaPlayerDoc::OnToolWindow(int id) {
    switch (id) {
    case ID_VIDEO_TOOLS: ShowNewToolWindow(videoTools, view.window()); return true;
    case ID_FILE_INFORMATION: ShowNewToolWindow(fileInfoDlg, view.window()); return true;
    case ID_FILE_LIST: return OnFileList();
    default: return false;
    }
}

bool CMediaPlayerDoc::HideToolWindow() {
    for (QWidget* tool : {aboutDlg.window(), playListDlg.window(), videoTools.window(), fileInfoDlg.window()}) {
        if (tool && tool->isVisible()) {
            tool->hide();
            return true;
        }
    }
    return false;
}

void CMediaPlayerDoc::OnAbout() { ShowNewToolWindow(aboutDlg, view.window()); }
