// The document's lifecycle and the paths that open files: command line, dialogs, folders, recent entries.
#include "document/MediaPlayerDoc.h"

#include "app/PromptService.h"
#include "document/Guarded.h"
#include "document/OpenFailure.h"
#include "document/RecentFiles.h"
#include "document/RedadIzivad.h"
#include "document/ResumeStore.h"
#include "document/ScreenSaverInhibitor.h"
#include "panels/VideoControl.h"
#include "panels/VideoTitle.h"
#include "resources/CommandIds.h"
#include "settings/ProgramParams.h"

#include <QDir>
#include <QFileDialog>
#include <QWidget>

namespace {
CMediaPlayerDoc* currentDocument = nullptr;

CMediaPlayerDoc::FolderDialogHook& FolderHook() {
    static CMediaPlayerDoc::FolderDialogHook hook;
    return hook;
}

// Deletes a panel window and forgets it; the panel classes may not exist yet, so only the QWidget is used.
template <class T>
void DeletePanel(PanelRef<T>& panel) {
    delete panel.window();
    panel.reset();
}
} // namespace

CMediaPlayerDoc::CMediaPlayerDoc(QObject* parent) : QObject(parent) {
    // The window-size arithmetic leaves room for a sunken edge around the view. The view here has none, so
    // the edge is zero: any other value would make the view that much larger than the picture at every size,
    // and Original Size would scale the picture instead of showing it pixel for pixel.
    cxEdge = 0;
    cyEdge = 0;
    onTopMode = Params.OnTopStatus;
    currentDocument = this;
}

CMediaPlayerDoc::~CMediaPlayerDoc() {
    DeletePanel(playListDlg);
    DeletePanel(videoTools);
    DeletePanel(fileInfoDlg);
    DeletePanel(aboutDlg);
    DeletePanel(videoControl);
    DeletePanel(videoTitle);
    player.reset();
    if (currentDocument == this) currentDocument = nullptr;
}

CMediaPlayerDoc* CMediaPlayerDoc::Instance() { return currentDocument; }

CMediaPlayerDoc::FolderDialogHook CMediaPlayerDoc::SetFolderDialogHook(FolderDialogHook hook) {
    return std::exchange(FolderHook(), std::move(hook));
}

CVideoEngine* CMediaPlayerDoc::Engine() const { return player ? player->engine.get() : nullptr; }

bool CMediaPlayerDoc::IsFileOpen() const {
    const CVideoEngine* engine = Engine();
    return engine && engine->IsOpened();
}

bool CMediaPlayerDoc::IsPlayerReady() const { return player && player->ready && player->engine; }

QString CMediaPlayerDoc::EngineUnavailableText() const {
    if (IsPlayerReady()) return {};
    const CVideoEngine* engine = Engine();
    if (!engine) return QStringLiteral("Nothing can be played: the player has not been started.");
    if (engine->ModuleMissing())
        return QStringLiteral("The media engine is missing, so nothing can be played.\n%1")
            .arg(engine->ModuleError());
    const QStringList errors = engine->CreationErrors();
    return QStringLiteral("Nothing can be played: the media engine could not be started.") +
           (errors.isEmpty() ? QString() : QLatin1Char('\n') + errors.join(QLatin1Char('\n')));
}

bool CMediaPlayerDoc::ReportEngineUnavailable() {
    const QString text = EngineUnavailableText();
    if (text.isEmpty()) return false;
    CPromptService::Show(text, PromptIcon::Warning);
    return true;
}

PlayState CMediaPlayerDoc::GetPlayState() const {
    const CVideoEngine* engine = Engine();
    return engine ? engine->GetPlayState() : PlayState::Stopped;
}

bool CMediaPlayerDoc::InitDocument() {
    DeletePanel(videoTitle);
    DeletePanel(videoControl);
    player.reset();

    player = std::make_unique<CRedadIzivad>();
    player->viewWindow = view.window(); // the view hands itself over before it initialises the document
    // Queued: the notices come from the playback thread.
    connect(&player->notifier, &CPlayerNotifier::firstPicture, this, &CMediaPlayerDoc::OnFirstPicture,
            Qt::QueuedConnection);
    connect(&player->notifier, &CPlayerNotifier::endOfStream, this, &CMediaPlayerDoc::OnPlaybackEnded,
            Qt::QueuedConnection);
    if (!player->Create()) {
        // A missing module fails both objects for the same reason: one message says so.
        const CVideoEngine* engine = player->engine.get();
        const QStringList texts = engine->ModuleMissing() ? QStringList{EngineUnavailableText()}
                                                          : engine->CreationErrors();
        for (const QString& text : texts) CPromptService::Show(text, PromptIcon::Warning);
    }
    onTopMode = Params.OnTopStatus;
    videoTitle.reset(CVideoTitle::CreateTitleBar(view.window(), QStringLiteral("Video CTitleontrol")));
    videoControl.reset(CVideoControl::CreateControlBar(view.window(), QStringLiteral("Video Control")));

    OpenResumeStore();
    // Kept every few seconds of playback too, so a program ended abruptly still knows where it was.
    resumeTimer.setInterval(kResumeSaveMs);
    resumeTimer.callOnTimeout(this, [this] {
        if (GetPlayState() == PlayState::Playing) RememberPosition();
    });
    resumeTimer.start();

    // The display stays awake while the program runs unless the user allowed the screen saver.
    if (!saver) saver = std::make_unique<CScreenSaverInhibitor>();
    saver->SetWanted(!Params.EnableScreenSaver);
    return true;
}

void CMediaPlayerDoc::ShutdownDocument() {
    Params.OnTopStatus = onTopMode;
    resumeTimer.stop();
    RememberPosition();
    if (player) player->StopThread(true);
    DeletePanel(videoControl);
    DeletePanel(videoTitle);
    DeletePanel(videoTools);
    DeletePanel(playListDlg);
    DeletePanel(fileInfoDlg);
    DeletePanel(aboutDlg);
    // Released here and not only in the destructor: the session must get its screen saver back even
    // when the process is ended from the window manager right after.
    saver.reset();
}

bool CMediaPlayerDoc::OnOpenDocument(const QString& path) {
    if (path.isEmpty()) return false;
    documentPath = path;
    documentFiles = QStringList{path};
    return true;
}

bool CMediaPlayerDoc::OnOpenDocuments(const QStringList& paths) {
    QStringList named;
    for (const QString& path : paths)
        if (!path.isEmpty()) named << path;
    if (named.isEmpty()) return false;
    documentPath = named.constFirst();
    documentFiles = named;
    return true;
}

void CMediaPlayerDoc::ShowOpenError(const QString& path) {
    const CVideoEngine* engine = Engine();
    CPromptService::Show(OpenFailureMessage(path, engine ? engine->LastOpenError() : QString()), PromptIcon::Error);
}

bool CMediaPlayerDoc::OpenAndPlay(const QString& path, bool replaceList) {
    if (!IsPlayerReady()) return false;
    // Reached from the event loop by many roads (end of a file, a drop, the command line, Next): the edge
    // is here, so a component that fails while the file starts cannot throw through Qt.
    bool opened = false;
    Guarded([&] {
        RememberPosition(); // of the file being left, if any
        const int result = player->OpenFile(path, replaceList);
        if (result == 0) ShowOpenError(player->LastOpenPath());
        // The chosen files replaced the playlist even when the first of them would not open.
        if (result == 0 && replaceList) emit playListChanged();
        if (result != 1) return;
        opened = true;
        AfterSuccessfulOpen(replaceList);
    });
    return opened;
}

void CMediaPlayerDoc::AfterSuccessfulOpen(bool playListReplaced) {
    if (!fullScreen && Params.StartInSrcSize) OnWindowSize(ID_SIZE_ORIGINAL);
    OnPlayPause();
    RefreshPanelsAfterOpen();
    if (playListReplaced)
        emit playListChanged();
    else
        emit currentFileChanged();
    emit fileOpened();
    ResumeWhereLeft();
}

bool CMediaPlayerDoc::RefreshPanelsAfterOpen() {
    CVideoEngine* engine = Engine();
    if (!engine) return false;
    // The new file takes the volume the user chose last (the bar's slider), not the component's default.
    if (videoControl) {
        videoControl->UpdateFromEngine(true);
        engine->SetVolume(videoControl->VolumePosition());
    } else {
        engine->SetVolume(lastVolume);
    }
    if (videoTitle) videoTitle->SetCaption(engine->GetDisplayName());
    ResetZoomPan();
    emit frameFormatChanged();
    return true;
}

void CMediaPlayerDoc::AddRecentFile(const QString& path) { ::AddRecentFile(Params.recentFiles, path); }

bool CMediaPlayerDoc::ScanFolder(const QString& folder, const QString& pattern, QStringList& files) {
    files.clear();
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists() || !dir.isReadable()) return false;
    const QStringList filters = pattern.isEmpty() || pattern == QStringLiteral("*.*") ? QStringList()
                                                                                      : QStringList{pattern};
    // Unsorted is the order the file system hands the entries out. Pipes, sockets and devices stay out:
    // opening one could block the player for good.
    const QStringList names = dir.entryList(filters, QDir::Files | QDir::Hidden, QDir::Unsorted);
    for (const QString& name : names) files.append(dir.filePath(name));
    return true;
}

bool CMediaPlayerDoc::OpenFolder() {
    QWidget* owner = view.window() ? view.window()->window() : nullptr;
    const QString folder =
        FolderHook() ? FolderHook()(owner, Params.LastFolderPath)
                     : QFileDialog::getExistingDirectory(owner, QString(), Params.LastFolderPath);
    if (folder.isEmpty()) return false;
    Params.LastFolderPath = folder;
    QStringList files;
    if (ScanFolder(folder, QStringLiteral("*.*"), files) && !files.isEmpty()) {
        player->playList.Clear();
        player->playList.AddFiles(files, CPlayList::KeepCurrent);
        emit playListChanged();
    }
    if (player->playList.Count() == 0) return true;
    const QString path = player->playList.Next();
    if (!path.isEmpty()) OpenAndPlay(path, false);
    return true;
}

bool CMediaPlayerDoc::OnCloseFile() {
    CVideoEngine* engine = Engine();
    if (!engine) return false;
    RememberPosition();
    player->StopThread(false);
    emit repaintRequested();
    if (videoTitle) videoTitle->SetCaption(QString());
    if (videoControl) videoControl->UpdateFromEngine(true);
    return true;
}

bool CMediaPlayerDoc::OnRecentFile(int index) {
    if (index < 0 || index >= Params.recentFiles.size() || !Engine()) return false;
    const QString path = Params.recentFiles.at(index);
    CPlayList& list = player->playList;
    bool inList = false;
    for (const PlayListItem& item : list.Items())
        inList = inList || item.path.compare(path, Qt::CaseInsensitive) == 0;

    // Without an engine nothing can open, and the entry is not to blame: it stays.
    if (ReportEngineUnavailable()) return true;
    const int result = player->OpenFile(path, false);
    if (result == 1) {
        AfterSuccessfulOpen(false);
        if (!inList) {
            list.Add({path, 0});
            list.SetDuration(-1, player->engine->GetDuration());
        }
        const int found = list.Find(path);
        if (found >= -1 && found < list.Count()) list.SetCurrent(found);
    } else {
        if (result == 0) ShowOpenError(player->LastOpenPath());
        Params.recentFiles.removeAt(index);
    }
    emit playListChanged();
    return true;
}
