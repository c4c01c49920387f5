// What the control bar's buttons do. Each runs behind its own edge: a failing component call is reported
// and the button's action abandoned, never thrown through the event loop.
#include "panels/VideoControl.h"

#include "controls/CustomButton.h"
#include "controls/CustomSlider.h"
#include "document/Guarded.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "resources/CommandIds.h"

namespace {
// Runs a document command from a button; nothing without a document.
void RunCommand(int id) {
    Guarded([id] {
        if (CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance()) doc->OnCommand(id);
    });
}
} // namespace

void CVideoControl::OnPlayButton() {
    Guarded([this] {
        CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
        CVideoEngine* engine = CurrentEngine();
        if (!engine) return;
        if (engine->GetPlayState() == PlayState::Stopped) {
            // Nothing plays: start the playlist where it stands, or at its first entry when nothing is current.
            CPlayList& list = doc->Player()->playList;
            QString path = list.GetPath(list.Current());
            if (path.isEmpty()) path = list.Next();
            if (path.isEmpty()) return;
            doc->OpenAndPlay(path, false);
            if (engine->GetPlayState() == PlayState::Stopped) return;
        } else {
            doc->OnCommand(ID_PLAY_PAUSE);
        }
        playButton->setChecked(engine->GetPlayState() != PlayState::Paused);
    });
}

void CVideoControl::OnMuteButton() {
    Guarded([this] {
        CVideoEngine* engine = CurrentEngine();
        if (!engine) return;
        const bool muted = muteButton->isChecked();
        int volume = 0;
        if (muted) {
            volume = savedVolume;
        } else {
            savedVolume = VolumePosition();
        }
        engine->SetVolume(volume);
        volumeSlider->position = volume;
        volumeSlider->update();
        muteButton->setChecked(!muted);
    });
}

void CVideoControl::OnStopButton() { RunCommand(ID_STOP); }

void CVideoControl::OpenNeighbour(bool next) {
    Guarded([next] {
        CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
        if (!doc || !doc->IsFileOpen()) return;
        CPlayList& list = doc->Player()->playList;
        // Past either end nothing opens and no entry stays current: the next Play starts at the first.
        const QString path = next ? list.Next() : list.Prev();
        if (path.isEmpty()) return;
        doc->OpenAndPlay(path, false);
        doc->OnCommand(ID_ZOOM_ORIGINAL);
    });
}

void CVideoControl::OnPreviousButton() { OpenNeighbour(false); }
void CVideoControl::OnNextButton() { OpenNeighbour(true); }
// The document's Slow and Fast act only while playing.
void CVideoControl::OnSlowButton() { RunCommand(ID_PLAY_SLOW); }
void CVideoControl::OnFastButton() { RunCommand(ID_PLAY_FAST); }
void CVideoControl::OnInfoButton() { RunCommand(ID_FILE_INFORMATION); }
void CVideoControl::OnToolsButton() { RunCommand(ID_VIDEO_TOOLS); }
void CVideoControl::OnListButton() { RunCommand(ID_FILE_LIST); }
