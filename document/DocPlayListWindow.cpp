// The File List command: the document makes the playlist window, owns it and tells it about the playlist.
#include "document/MediaPlayerDoc.h"

#include "panels/PlayListDlg.h"

bool CMediaPlayerDoc::OnFileList() {
    // Each command starts afresh: the window comes back at its first place, refilled.
    delete playListDlg.window();
    playListDlg.reset();
    QWidget* viewWidget = view.window();
    auto* window = new CPlayListDlg(viewWidget ? viewWidget->window() : nullptr, viewWidget);
    playListDlg.reset(window);
    connect(this, &CMediaPlayerDoc::playListChanged, window, &CPlayListDlg::PlayListChanged);
    connect(this, &CMediaPlayerDoc::currentFileChanged, window, &CPlayListDlg::CurrentFileChanged);
    window->show();
    KeepToolWindowsOnTop();
    return true;
}
