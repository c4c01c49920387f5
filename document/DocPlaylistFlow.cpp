// How the document moves through the playlist: Next and Previous, the end of a file, dropped files, and
// what the playback thread's notices mean for the recent list and the user.
#include "document/MediaPlayerDoc.h"

#include "app/PromptService.h"
#include "document/OpenFailure.h"
#include "document/RedadIzivad.h"
#include "resources/CommandIds.h"

#include <cstdlib>

bool CMediaPlayerDoc::OnNextPrevious(bool next) {
    // A broken entry leaves no file open, and Next must still lead past it, so the list is what counts.
    if (!IsPlayerReady() || player->playList.Count() == 0) return false;
    pendingMoves += next ? 1 : -1;
    // Posted: keys already waiting in the queue are counted before the move is made.
    if (!std::exchange(movesQueued, true))
        QMetaObject::invokeMethod(this, &CMediaPlayerDoc::ApplyPendingMoves, Qt::QueuedConnection);
    return true;
}

void CMediaPlayerDoc::ApplyPendingMoves() {
    movesQueued = false;
    const int moves = std::exchange(pendingMoves, 0);
    if (moves == 0 || !IsPlayerReady()) return;
    // Stepping the list's index is what each press would have done; only the last entry is opened.
    QString path;
    for (int i = 0; i < std::abs(moves); ++i) path = moves > 0 ? player->playList.Next() : player->playList.Prev();
    // An open resets zoom and pan, as Next and Previous must, and tells the playlist window; a move that
    // opened nothing has still moved the current entry.
    if (path.isEmpty() || !OpenAndPlay(path, false)) emit currentFileChanged();
}

void CMediaPlayerDoc::OnFilesDropped(const QStringList& files) {
    if (!player || files.isEmpty()) return;
    CPlayList& list = player->playList;
    const bool wasEmpty = list.Count() == 0;
    list.AddFiles(files, CPlayList::KeepCurrent);
    emit playListChanged();
    if (wasEmpty) {
        list.SetCurrent(-1);
        OpenAndPlay(list.Next(), false);
    }
}

bool CMediaPlayerDoc::OpenCommandLineFiles() {
    if (documentPath.isEmpty()) return false;
    const bool opened = OpenAndPlay(documentPath, true);
    // As the Open File(s) dialog leaves it: every named file in the list, in order, the first one current,
    // whether or not the first could be played (a failed file keeps its place, the user may go on).
    const QStringList rest = documentFiles.mid(1);
    if (player && !rest.isEmpty() && player->playList.Count() > 0) {
        player->playList.AddFiles(rest, CPlayList::KeepCurrent);
        emit playListChanged();
    }
    return opened;
}

void CMediaPlayerDoc::OnFirstPicture(quint64 serial) {
    // Only a file that really shows something is worth offering again.
    if (!player || serial != player->Serial() || !IsFileOpen()) return;
    AddRecentFile(player->engine->GetFilePath());
}

void CMediaPlayerDoc::OnPlaybackEnded(quint64 serial, bool anyPicture) {
    if (!player || serial != player->Serial()) return; // a run the user has already moved on from
    if (opening) {
        // An open command's dialog is up; its outcome decides what plays next.
        deferredEnd = std::make_pair(serial, anyPicture);
        return;
    }
    if (!IsFileOpen()) return;
    QString error = player->TakeThreadError();
    if (error.isEmpty() && !anyPicture) error = QStringLiteral("No picture could be decoded from it.");
    if (!error.isEmpty())
        CPromptService::Show(OpenFailureMessage(player->engine->GetFilePath(), error), PromptIcon::Error);

    const QString next = player->playList.Next();
    if (next.isEmpty()) OnCommand(ID_STOP);
    if (next.isEmpty() || !OpenAndPlay(next, false)) emit currentFileChanged();
    emit repaintRequested();
}

void CMediaPlayerDoc::FinishOpening() {
    opening = false;
    if (const auto end = std::exchange(deferredEnd, std::nullopt)) OnPlaybackEnded(end->first, end->second);
}
