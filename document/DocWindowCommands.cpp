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

namespace {
// Changing a top-level window's flags hides it, so the flag is touched only when it really changes.
void SetStaysOnTop(QWidget* window, bool onTop) {
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    const bool shown = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown) window->show();
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
    const QSize frameSize = engine->FrameSize();
    request.frameWidth = frameSize.width();
    request.frameHeight = frameSize.height();
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
    CMediaPlayerView* v = CMediaPlayerView::Instance();
    CVideoRender* renderer = v ? v->Renderer() : nullptr;
    if (!renderer || !Engine()) return false;
    ZoomPanState state{renderer->zoom, renderer->panX, renderer->panY, renderer->zoomStep, renderer->panStep};
    if (!ApplyZoomPanCommand(id, state)) return false;
    renderer->zoom = state.zoom;
    renderer->panX = state.panX;
    renderer->panY = state.panY;
    RepaintPaused();
    return true;
}
