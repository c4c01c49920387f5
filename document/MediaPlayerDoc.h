// CMediaPlayerDoc: the player's controller. Holds the panels and the state the frame and view consult.
#pragma once

#include <QObject>
#include <QString>
#include <cstddef>
#include <functional>

class QWidget;
class CVideoControl;
class CVideoTitle;
class CPlayListDlg;
class CVideoTools;
class CFileInfoDlg;
class CMediaPlayerView;

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

    PanelRef<CVideoControl> videoControl;
    PanelRef<CVideoTitle> videoTitle;
    PanelRef<CPlayListDlg> playListDlg;
    PanelRef<CVideoTools> videoTools;
    PanelRef<CFileInfoDlg> fileInfoDlg;
    PanelRef<CMediaPlayerView> view;

    // Engine play state (0 playing, 1 paused, 2 stopped); empty while no engine exists.
    std::function<int()> enginePlayState;

    int cxEdge = 0; // thickness of a sunken 3D edge, read once at construction
    int cyEdge = 0;
    bool fullScreen = false;
    bool opening = false;   // true while a file is being opened
    QString documentPath;   // the file named on the command line, opened by the view's first update
};
