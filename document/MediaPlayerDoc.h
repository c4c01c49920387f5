// CMediaPlayerDoc: the player's controller. Holds the panels and the state the frame and view consult.
#pragma once

#include "document/ZoomPan.h"
#include "engine/PlayState.h"
#include "render/RendererKind.h"
#include "resources/MainMenu.h"

#include <QObject>
#include <QTimer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QWidget;
class CVideoControl;
class CVideoTitle;
class CPlayListDlg;
class CVideoTools;
class CFileInfoDlg;
class CAboutDlg;
class CMediaPlayerView;
class CRedadIzivad;
class CResumeStore;
class CScreenSaverInhibitor;
class CVideoEngine;

// A window the document knows by its own class for commands and as a QWidget for placement. Set it where
// the class is complete, so the QWidget conversion is the compiler's, not a cast.
template <class T>
class PanelRef {
public:
    T* get() const { return typed_; }
    T* operator->() const { return typed_; }
    explicit operator bool() const { return typed_ != nullptr; }
    QWidget* window() const { return window_; }
    template <class U>
    void reset(U* panel) {
        typed_ = panel;
        window_ = panel;
    }
    void reset(std::nullptr_t = nullptr) { typed_ = nullptr, window_ = nullptr; }

private:
    T* typed_ = nullptr;
    QWidget* window_ = nullptr;
};

// What the context menu shows for one command when it opens: the menu's own state type, so the view can
// hand GetCommandState to CMainMenu::Build as it is.
using CommandState = MainMenuItemState;

class CMediaPlayerDoc : public QObject {
    Q_OBJECT
public:
    explicit CMediaPlayerDoc(QObject* parent = nullptr);
    ~CMediaPlayerDoc() override;

    // The single document of the process; null before it is constructed and after it is destroyed.
    static CMediaPlayerDoc* Instance();

    // Docks the title bar and control bar to the frame; resized also repaints the control bar.
    void LayoutPanels(bool resized);
    // Raises the tool windows above everything and hands the keyboard back to the frame.
    void KeepToolWindowsOnTop();
    // Shows or hides the title and control bars together, following the mouse and the play state.
    void UpdatePanelVisibility();

    // Creates the player (engine, thread events) and prepares the screen saver; the view calls it once
    // when it is first updated, then OpenAndPlay(documentPath, true) when documentPath is not empty.
    bool InitDocument();
    // Saves the on-top mode, stops playback, deletes the panels and releases the screen-saver inhibition.
    // Safe to call more than once.
    void ShutdownDocument();
    // The command line's file: only recorded here, opened by the view's first update.
    bool OnOpenDocument(const QString& path);
    // Several files from the command line (a file manager's "Open with"): the first is recorded as above,
    // and all of them become the playlist when the view first opens it.
    bool OnOpenDocuments(const QStringList& paths);
    // The view's first update: plays documentPath as the playlist's first entry, the other command-line
    // files following it. False when nothing was named or the first file did not open.
    bool OpenCommandLineFiles();

    // Files dropped on the view (already filtered to what the engine plays): appended to the playlist; an
    // empty playlist starts playing the first of them.
    void OnFilesDropped(const QStringList& files);

    // Opens path (empty: the file dialog) and plays it; a file the engine refuses shows the error message.
    bool OpenAndPlay(const QString& path, bool replaceList);
    // Brings the panels and the view up to the freshly opened file; false without player or engine.
    bool RefreshPanelsAfterOpen();
    // Appends path to the recent list unless it is already there (ignoring case).
    void AddRecentFile(const QString& path);
    // Every file (not folder) directly inside folder matching pattern, in directory order; false when the
    // folder cannot be listed.
    static bool ScanFolder(const QString& folder, const QString& pattern, QStringList& files);

    // The one entry for every command id (menu, hot keys, buttons). True when the id has a handler.
    bool OnCommand(int id);
    // Enabled/checked/visible/text of a menu item as the context menu asks when it opens.
    CommandState GetCommandState(int id) const;

    void ShowStatusMessage(const QString& text);
    void ChangeRate(int direction);
    // A rate asked for by value (the desktop's media controls), held to the same limits as the steps.
    void SetPlayRate(double rate);
    void ChangeVolume(int value, bool relative);
    void ToggleMute();
    void SkipFiveSeconds(int direction);
    void SeekToFrame(std::int64_t frame);
    void StepFrame(bool forward);
    void ChangeBrightness(int delta); // 999 resets to 0
    void ChangeContrast(int delta);
    void ChangeSaturation(int delta);
    // Hides the first visible tool window (about box, playlist, video tools, file information); false when
    // none was.
    bool HideToolWindow();
    // Re-applies the on-top mode for the current play state (Play/Pause and leaving full screen call it).
    bool ApplyOnTop();
    // Leaves full screen whether or not a file is open: Original Size when it can act, else back to the
    // rectangle the window had before. False when not in full screen.
    bool LeaveFullScreen();
    // The title bar's way out of full screen: back to exactly the rectangle the window had before, which is
    // then forgotten. False when not in full screen or no rectangle was kept.
    bool RestoreFromFullScreen();

    // True when the player exists and its engine has a file open.
    bool IsFileOpen() const;
    // True when the player exists and its engine objects were created.
    bool IsPlayerReady() const;
    // Why nothing can be played, in words for the user (the engine module is missing, or the component's
    // objects could not be created); empty while the player is ready.
    QString EngineUnavailableText() const;
    // The engine's play state; Stopped without an engine.
    PlayState GetPlayState() const;
    CRedadIzivad* Player() const { return player.get(); }

    PanelRef<CVideoControl> videoControl;
    PanelRef<CVideoTitle> videoTitle;
    PanelRef<CPlayListDlg> playListDlg;
    PanelRef<CVideoTools> videoTools;
    PanelRef<CFileInfoDlg> fileInfoDlg;
    PanelRef<CAboutDlg> aboutDlg;
    PanelRef<CMediaPlayerView> view;

    // Engine play state (0 playing, 1 paused, 2 stopped); empty while no engine exists.

    int cxEdge = 0; // thickness of the view's sunken edge (none here), counted in by the window sizes
    int cyEdge = 0;
    bool fullScreen = false;
    bool opening = false;   // true while a file is being opened
    QString documentPath;   // the file named on the command line, opened by the view's first update
    QStringList documentFiles; // every file named on the command line, documentPath first
    float lastRate = 1.0f;  // the rate ChangeRate set last
    int onTopMode = 0;      // 0 never, 1 while playing, 2 always; from OnTopStatus
    // The volume a newly opened file gets while no control bar holds it: the last one the user set.
    int lastVolume = 100;
    // The window's rectangle before Full Screen, for the title bar's restore button.
    QRect savedWindowRect;
    // Where the window is now; the frame keeps it up to date (ConnectDocument).
    QRect windowRect;
    // A top-level pop-up menu is open (the frame tells, ConnectDocument): the bars stay while it is.
    bool popupMenuOpen = false;

    // Answers the Open Folder dialog with the chosen folder, empty for Cancel (tests); an empty hook restores
    // QFileDialog. Returns the previous hook.
    using FolderDialogHook = std::function<QString(QWidget* owner, const QString& startFolder)>;
    static FolderDialogHook SetFolderDialogHook(FolderDialogHook hook);

    // The view reports the renderer it made (the menu's check marks follow it).
    void SetRendererKind(RendererKind kind) { rendererKind = kind; }
    RendererKind ActiveRenderer() const { return rendererKind; }
    // Zoom and pan of the picture, as the last command left them.
    const ZoomPanState& ZoomPan() const { return zoomPan; }

signals:
    // For the view, which the document never calls: connected once where the windows are put together
    // (ConnectDocument).
    void repaintRequested();                 // draw the picture (or the logo screen) again
    void frameFormatChanged();               // a file opened: take the engine's new frame format
    void statusMessage(const QString& text); // show text over the picture for five seconds
    void rendererRequested(RendererKind kind);
    void zoomPanChanged(float zoom, float panX, float panY);
    // For the frame: where the window goes (size modes, full screen) and whether it stays above others.
    void windowGeometryRequested(const QRect& rect);
    void stayOnTopRequested(bool onTop);
    // For the application: the Exit command.
    void quitRequested();

    // For the tool windows: the playlist was replaced or grown, the current entry moved, a new file opened.
    void playListChanged();
    void currentFileChanged();
    void fileOpened();

private:
    bool Dispatch(int id);
    bool OnCloseFile();
    bool OnRecentFile(int index);
    bool OnPlayPause();
    bool OnStop();
    // Next and Previous are counted, not run at once: presses that arrive while a file is opening are taken
    // together as one move of their sum (ApplyPendingMoves), so the user lands where they pressed to.
    bool OnNextPrevious(bool next);
    void ApplyPendingMoves();
    // Notices of the playback thread (queued); stale ones, of an earlier run, are dropped.
    void OnFirstPicture(quint64 serial);
    void OnPlaybackEnded(quint64 serial, bool anyPicture);
    // Ends an open command: an end of stream that came while its dialog was up is handled now.
    void FinishOpening();
    bool OnWindowSize(int id);
    bool OnOnTop(int id);
    bool OnZoomPan(int id);
    bool OnRenderer(int id);
    bool OnToolWindow(int id);
    // File List: a new playlist window in place of the old one, shown above the frame.
    bool OnFileList();
    void OnAbout();
    CVideoEngine* Engine() const;
    void OnScreenSaverToggle();
    void AfterSuccessfulOpen(bool playListReplaced);
    void ChangePicture(int delta, int minimum, int maximum, std::int32_t& setting, const char* label,
                       void (CVideoEngine::*apply)(std::int32_t));
    // The open failure of path in a message box: the fixed text, the file's name and the reason.
    void ShowOpenError(const QString& path);
    // Tells the user once more why an open cannot be done; false when the player is ready after all.
    bool ReportEngineUnavailable();
    // Redraws the view at once while paused, so a change shows without waiting for playback.
    void RepaintPaused();
    // After a jump while paused: the picture at the new position is fetched (by the playback thread).
    void FetchPausedPicture();
    // Whole seconds into the file of a frame number (clamped to the file).
    std::int64_t SecondsOfFrame(std::int64_t frame) const;
    // The Open Folder command after its guards: the dialog, the scan and the open of the first entry.
    bool OpenFolder();

    // Sets zoom and pan back to the whole picture, centred, and tells the view.
    void ResetZoomPan();

    // Where files were left (DocResume.cpp): the store is opened by InitDocument; the open file's position is
    // kept before it is left, forgotten when it is stopped or ended, and jumped to when it is opened again.
    void OpenResumeStore();
    void RememberPosition();
    void ForgetPosition();
    void ResumeWhereLeft();

    std::unique_ptr<CRedadIzivad> player;
    ZoomPanState zoomPan;
    RendererKind rendererKind = RendererKind::None;
    std::unique_ptr<CScreenSaverInhibitor> saver;
    std::unique_ptr<CResumeStore> resume;
    static constexpr int kResumeSaveMs = 10000;
    QTimer resumeTimer; // keeps the playing file's position every kResumeSaveMs
    int volumeBeforeMute = 100; // what Mute restores while no control bar keeps it
    int pendingMoves = 0;       // Next (+1) and Previous (-1) presses not yet applied
    bool movesQueued = false;   // ApplyPendingMoves is posted
    // An end of stream that arrived while an open command had its dialog up: {serial, anyPicture}.
    std::optional<std::pair<quint64, bool>> deferredEnd;
};
