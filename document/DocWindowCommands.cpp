// The document's window commands: size modes, full screen, on-top, screen saver, zoom and pan.
#include "document/MediaPlayerDoc.h"

#include "document/RedadIzivad.h"
#include "document/ScreenSaverInhibitor.h"
#include "document/WindowSizeModes.h"
#include "document/ZoomPan.h"
#include "frame/MainFrame.h"
#include "render/VideoRender.h"
#include "resources/CommandIds.h"
#include "settings/ProgramParams.h"
#include "view/MediaPlayerView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace {
// QWidget::setWindowFlag would hide the window and map it anew, and the keyboard focus would not come back.
// The native window takes the hint in place (on X11 only the window manager's state changes), and the
// widget is told the new flags without acting on them.
void SetStaysOnTop(QWidget* window, bool onTop) {
    Qt::WindowFlags flags = window->windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    QWindow* handle = window->windowHandle();
    if (!handle) return window->setWindowFlags(flags); // nothing shown yet, nothing to lose
    window->overrideWindowFlags(flags);
    handle->setFlags(flags);
}
} // namespace

bool CMediaPlayerDoc::OnWindowSize(int id) {
    CMainFrame* frame = CMainFrame::Instance();
    if (!frame || !CMediaPlayerView::Instance() || !IsFileOpen()) return false;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return false;

    CVideoEngine* engine = Engine();
    WindowSizeRequest request;
    request.command = id;
    {
        std::lock_guard guard(engine->FrameLock());
        request.frameWidth = engine->FrameWidth();
        request.frameHeight = engine->FrameHeight();
    }
    request.screen = screen->geometry();
    request.available = screen->availableGeometry();
    request.cxEdge = cxEdge;
    request.cyEdge = cyEdge;
    request.fullScreen = fullScreen;
    const WindowSizePlan plan = CWindowSizeModes::Plan(request);
    if (!plan.acts) return false;

    fullScreen = plan.fullScreen;
    if (plan.leavingFullScreen) ApplyOnTop();
    if (plan.enteringFullScreen) {
        savedWindowRect = frame->geometry();
        SetStaysOnTop(frame, true);
        frame->show();
    }
    frame->setGeometry(plan.geometry);
    ShowStatusMessage(plan.message);
    return true;
}

bool CMediaPlayerDoc::LeaveFullScreen() {
    if (!fullScreen) return false;
    if (OnWindowSize(ID_SIZE_ORIGINAL)) return true;
    // Original Size needs an open file; without one the window goes back to where it was before.
    fullScreen = false;
    CMainFrame* frame = CMainFrame::Instance();
    if (!frame) return true;
    SetStaysOnTop(frame, CWindowSizeModes::OnTopWanted(onTopMode, PlayState()));
    QScreen* screen = QGuiApplication::primaryScreen();
    if (savedWindowRect.isValid())
        frame->setGeometry(savedWindowRect);
    else if (screen)
        frame->setGeometry(CWindowSizeModes::CentredIn(frame->minimumSize(), screen->availableGeometry()));
    return true;
}

bool CMediaPlayerDoc::ApplyOnTop() { return OnOnTop(0); }

bool CMediaPlayerDoc::OnOnTop(int id) {
    if (!IsPlayerReady()) return false;
    if (id != 0) onTopMode = id - ID_ONTOP_NEVER;
    // Full screen keeps the window above everything whatever the mode; leaving it re-applies the mode.
    if (fullScreen) return true;
    if (CMainFrame* frame = CMainFrame::Instance())
        SetStaysOnTop(frame, CWindowSizeModes::OnTopWanted(onTopMode, PlayState()));
    return true;
}

void CMediaPlayerDoc::OnScreenSaverToggle() {
    Params.EnableScreenSaver = !Params.EnableScreenSaver;
    if (saver) saver->SetWanted(!Params.EnableScreenSaver);
}

bool CMediaPlayerDoc::OnZoomPan(int id) {
    if (!Engine() || !ApplyZoomPanCommand(id, zoomPan)) return false;
    emit zoomPanChanged(zoomPan.zoom, zoomPan.panX, zoomPan.panY);
    RepaintPaused();
    return true;
}

void CMediaPlayerDoc::ResetZoomPan() {
    zoomPan.zoom = 1.0f;
    zoomPan.panX = zoomPan.panY = 0.0f;
    emit zoomPanChanged(zoomPan.zoom, zoomPan.panX, zoomPan.panY);
}
