#include "document/RedadIzivad.h"

#include "document/FileDialogFilter.h"
#include "engine/ComError.h"
#include "engine/MediaPath.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"

#include <QFileDialog>
#include <QWidget>

CRedadIzivad* ThePlayer = nullptr;

namespace {
QStringList ShowOpenDialog(QWidget* owner, const QString& startFolder, const QString& filter) {
    return QFileDialog::getOpenFileNames(owner, QString(), startFolder, filter);
}

CRedadIzivad::FileDialogHook& DialogHook() {
    static CRedadIzivad::FileDialogHook hook = ShowOpenDialog;
    return hook;
}
} // namespace

CRedadIzivad::FileDialogHook CRedadIzivad::SetFileDialogHook(FileDialogHook hook) {
    FileDialogHook previous = DialogHook();
    DialogHook() = hook ? std::move(hook) : FileDialogHook(ShowOpenDialog);
    return previous;
}

CRedadIzivad::CRedadIzivad() { ThePlayer = this; }

CRedadIzivad::~CRedadIzivad() {
    playList.Clear();
    StopAndJoin(); // also when there is no engine: a joinable thread must never be destroyed
    StopThread(true);
    engine.reset();
    if (ThePlayer == this) ThePlayer = nullptr;
}

bool CRedadIzivad::Create() {
    if (!engine) engine = std::make_unique<CVideoEngine>();
    ready = engine->Initialize();
    try {
        engine->EnableOption(false);
    } catch (const CComError&) {
        // 24-bit frames are what the component gives by default; a refusal changes nothing.
    }
    if (!skin) skin = CProgramSkin::Current() ? CProgramSkin::Current() : new CProgramSkin;
    skin->LoadSkin(CProgramSkin::SettingsSkinRoot()); // without a skin the panels paint without images
    return ready;
}

QStringList CRedadIzivad::ChooseFiles() const {
    if (!engine) return {};
    QWidget* view = qobject_cast<QWidget*>(viewWindow);
    return DialogHook()(view ? view->window() : nullptr, Params.LastFolderPath, ConvertFilterToQt(engine->GetExtensions()));
}

int CRedadIzivad::OpenFile(const QString& requested, bool replaceList) {
    if (!engine) return -1;
    QString path = NormalizeMediaPath(requested);
    QStringList files;
    if (!path.isEmpty() && replaceList) files << path;
    if (path.isEmpty()) {
        files = ChooseFiles();
        if (files.isEmpty()) return -1;
        path = NormalizeMediaPath(files.first());
        replaceList = true;
    }
    if (path.isEmpty()) return -1;
    if (replaceList) {
        playList.Clear();
        playList.AddFiles(files, 0);
    }
    StopAndJoin();
    lastOpenPath = path;
    const bool ok = engine->Open(path);
    if (ok) {
        const int index = playList.Find(path);
        if (index >= 0) {
            try {
                playList.SetDuration(index, engine->GetDuration());
            } catch (const CComError&) {
                // An unknown duration stays 0, as for any entry not opened yet.
            }
        }
    }
    if (!threadRunning) StartThread();
    return ok ? 1 : 0;
}

void CRedadIzivad::StartThread() {
    // A thread that ended at the end of a stream has cleared the thread field and is leaving; reap it.
    if (worker.joinable()) worker.join();
    StopEvent.ResetEvent();
    StoppedEvent.ResetEvent();
    paintPending = false;
    pendingSteps = 0; // steps and jumps belong to the file they were asked for
    positionRead = false;
    awaitingPresentation = true; // the first read waits for the view to show something (the window is up)
    PresentedEvent.ResetEvent();
    threadRunning = true;
    ++serial;
    worker = std::thread(ThreadProc, this);
}

void CRedadIzivad::StopAndJoin() {
    if (!worker.joinable()) return;
    StopEvent.ResetEvent();
    StopEvent.SetEvent();
    // Joining rather than waiting for StoppedEvent: a thread that reached the end of the stream at the
    // same moment leaves without signalling StoppedEvent, and waiting for it would never return. The
    // thread only ever posts queued calls to the UI, so the join cannot wait on this (UI) thread.
    worker.join();
    StopEvent.ResetEvent();
    StoppedEvent.ResetEvent();
    threadRunning = false;
}

bool CRedadIzivad::StopThread(bool release) {
    if (!engine) return false;
    StopAndJoin();
    if (release) engine->ReleaseProperty();
    engine->Close(release);
    return true;
}

void CRedadIzivad::RequestPositionRead() {
    positionRead = true;
    RefreshEvent.SetEvent();
}

void CRedadIzivad::RequestStep(int delta) {
    if (delta == 0) return;
    pendingSteps += delta;
    (delta > 0 ? StepForwardEvent : StepBackwardEvent).SetEvent();
}

void CRedadIzivad::RequestPaint(qint64 frame) {
    if (!paintPending.exchange(true)) emit notifier.frameReady(frame);
}

void CRedadIzivad::EndOfStream(quint64 run, bool anyPicture, const QString& error) {
    {
        std::lock_guard lock(errorGuard);
        threadError = error;
    }
    threadRunning = false;
    emit notifier.endOfStream(run, anyPicture);
}

QString CRedadIzivad::TakeThreadError() {
    std::lock_guard lock(errorGuard);
    return std::exchange(threadError, QString());
}
