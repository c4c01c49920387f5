// CRedadIzivad: the document's player object. Owns the playlist, the engine wrapper and the playback thread
// with its command events; opens files into the engine and restarts the thread after every open.
//
// UI side (all on the UI thread) connects to `notifier` with Qt::QueuedConnection. Every run of the thread
// has a serial (Serial(), new at each start); notices carry it, so one that arrives after the next open
// started another run is recognised as stale and dropped.
//   frameReady(frame) - the thread handed a new picture to the engine wrapper (a decoded frame, a step or a
//                   refresh; never a read that found nothing new): repaint the video (the view). frame is
//                   the picture's number. Repaint requests are coalesced: the thread emits again only after
//                   the view has called FramePainted(), which the view does in the slot connected to
//                   frameReady (before painting), so a slow UI never accumulates a queue; the paint then
//                   draws the newest picture.
//   firstPicture(serial) - the run delivered its first picture: the file really plays (the document adds
//                   it to the recent list only now).
//   endOfStream(serial, anyPicture) - the file ended or failed to decode (the document). IsThreadRunning()
//                   is already false when it arrives, so opening the next entry starts a new thread. When
//                   decoding failed, TakeThreadError() gives the component's text; anyPicture is false when
//                   the run ended without ever delivering a picture.
// Never connect with Qt::BlockingQueuedConnection: stopping joins the thread, which must not wait on the UI.
// A queued call can arrive after the player is gone; the view's slots check ThePlayer first.
// The view paints from the wrapper's front picture (CVideoEngine::LockFrame), which a decode never writes.
// Commands reach the thread only through the four events: StopEvent, StepForwardEvent (show the next frame
// while paused), StepBackwardEvent, RefreshEvent (present the current frame again while paused). Steps are
// counted (RequestStep), so presses that come faster than frames decode all count.
#pragma once

#include "document/PlayList.h"
#include "engine/Event.h"
#include "engine/VideoEngine.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class CProgramSkin;
class QWidget;

// The playback thread's only way to the UI; its signals are emitted on the playback thread.
class CPlayerNotifier : public QObject {
    Q_OBJECT
signals:
    void frameReady(qint64 frame);
    void firstPicture(quint64 serial);
    void endOfStream(quint64 serial, bool anyPicture);
};

class CRedadIzivad {
public:
    // Answers the Open File(s) dialog: the chosen full paths in the dialog's order, empty for Cancel.
    using FileDialogHook =
        std::function<QStringList(QWidget* owner, const QString& startFolder, const QString& filter)>;
    // Replaces the dialog (tests); an empty hook restores QFileDialog. Returns the previous hook.
    static FileDialogHook SetFileDialogHook(FileDialogHook hook);

    CRedadIzivad();
    ~CRedadIzivad();
    CRedadIzivad(const CRedadIzivad&) = delete;
    CRedadIzivad& operator=(const CRedadIzivad&) = delete;

    // Creates the engine wrapper when there is none (set `engine` first to use another module), creates
    // the component's objects, loads the skin and returns whether the player is ready to play.
    bool Create();
    // 1 opened, 0 the engine could not open the file, -1 nothing was attempted (no engine, dialog
    // cancelled). An empty path shows the file dialog and replaces the playlist by the chosen files.
    // The playback thread is stopped before the open and runs again afterwards, whatever the outcome.
    int OpenFile(const QString& path, bool replaceList);
    // FALSE with no engine. Stops and joins the thread, then closes the file (release: and lets the
    // component's objects go). Never waits on the UI thread.
    bool StopThread(bool release);
    bool Stop() { return StopThread(true); }

    // The Open File(s) dialog over the main window, filtered by the engine's extensions: the chosen full
    // paths in the dialog's order, empty for Cancel or without an engine. The playlist window's Add uses it.
    QStringList ChooseFiles() const;

    // The path the last OpenFile tried (absolute and canonical), whatever the outcome.
    const QString& LastOpenPath() const { return lastOpenPath; }

    // The run of the playback thread started last; notices of earlier runs are stale.
    quint64 Serial() const { return serial; }

    // The thread field: true from the start of the playback thread until it is stopped or the stream ends.
    bool IsThreadRunning() const { return threadRunning; }
    // While paused: the thread reads the frame at the position just set (SetPosition, a skip) and shows it.
    void RequestPositionRead();
    // Moves the paused picture by delta frames (negative: back) and wakes the thread. Steps requested
    // while the previous one is still decoding add up and are taken as one jump.
    void RequestStep(int delta);

    // Called by the view when it takes a frameReady request (see above).
    void FramePainted() { paintPending = false; }
    // Called by the view each time a paint has reached the screen.
    void FramePresented() {
        if (awaitingPresentation.exchange(false)) PresentedEvent.SetEvent();
    }
    // The component's text for the failure that ended the thread, once; empty when it ended normally.
    QString TakeThreadError();

    // The playback thread's procedure: 1 when it ended by a stop or at the end of the stream, 0 when the
    // player has no view or no engine. Runs on the playback thread.
    static int ThreadProc(CRedadIzivad* player);

    CPlayList playList;
    std::unique_ptr<CVideoEngine> engine;
    // The main view: the thread runs only when there is one. Set by the document before Create.
    QObject* viewWindow = nullptr;
    bool ready = false;
    // The process's one skin: made by the first player's Create and never deleted (panels keep using it).
    CProgramSkin* skin = nullptr;
    CPlayerNotifier notifier;

    CEvent StoppedEvent; // signalled by the thread when it leaves after a stop request
    CEvent StopEvent;
    CEvent StepForwardEvent;
    CEvent StepBackwardEvent;
    CEvent RefreshEvent;
    // Signalled by the first FramePresented after the thread started: the window can show pictures.
    CEvent PresentedEvent;

private:
    void StartThread();
    // Stops the thread if one was started and joins it; the engine is left as it is.
    void StopAndJoin();
    // Asks the view to repaint the new picture frame unless a request is still pending. Playback thread.
    void RequestPaint(qint64 frame);
    // Clears the thread field, then tells the document. Playback thread.
    void EndOfStream(quint64 run, bool anyPicture, const QString& error);

    std::thread worker;                  // UI thread only: started, stopped and joined there
    std::atomic<bool> threadRunning{false};
    std::atomic<bool> paintPending{false};
    std::atomic<bool> awaitingPresentation{false}; // nothing presented since the thread started
    std::atomic<quint64> serial{0};                // the current run; written by the UI thread at start
    std::atomic<int> pendingSteps{0};
    std::atomic<bool> positionRead{false};         // a RefreshEvent means: read the position set              // frames to step, taken by the thread while paused
    std::mutex errorGuard;               // guards threadError
    QString threadError;
    QString lastOpenPath;
};

// The single player, from its construction to its destruction (null otherwise).
extern CRedadIzivad* ThePlayer;
