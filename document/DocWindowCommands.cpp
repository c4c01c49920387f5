// The document's window commands: size modes, full screen, on-top, screen saver, zoom and pan.
#include "document/MediaPlayerDoc.h"

#include "document/RedadIzivad.h"
#include "document/ScreenSaverInhibitor.h"
#include "document/WindowSizeModes.h"
#include "document/ZoomPan.h"
#include "panels/VideoTitle.h"
#include "resources/CommandIds.h"
#include "settings/ProgramParams.h"

#include <QGuiApplication>
#include <QScreen>

bool CMediaPlayerDoc::OnWindowSize(int id) {
    if (!IsFileOpen()) return false;
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
        savedWindowRect = windowRect;
        emit stayOnTopRequested(true);
    }
    emit windowGeometryRequested(plan.geometry);
    if (videoTitle) videoTitle->SyncMaximizeButton();
    ShowStatusMessage(plan.message);
    return true;
}

bool CMediaPlayerDoc::LeaveFullScreen() {
    if (!fullScreen) return false;
    if (OnWindowSize(ID_SIZE_ORIGINAL)) return true;
    // Original Size needs an open file; without one the window goes back to where it was before.
    fullScreen = false;
    ApplyOnTop();
    if (savedWindowRect.isValid())
        emit windowGeometryRequested(savedWindowRect);
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        emit windowGeometryRequested(CWindowSizeModes::CentredIn(
            QSize(CWindowSizeModes::kMinWidth, CWindowSizeModes::kMinHeight), screen->availableGeometry()));
    if (videoTitle) videoTitle->SyncMaximizeButton();
    return true;
}

bool CMediaPlayerDoc::RestoreFromFullScreen() {
    if (!fullScreen || !savedWindowRect.isValid()) return false;
    const QRect saved = std::exchange(savedWindowRect, QRect());
    if (!OnWindowSize(ID_SIZE_ORIGINAL)) {
        fullScreen = false;
        ApplyOnTop();
    }
    emit windowGeometryRequested(saved);
    if (videoTitle) videoTitle->SyncMaximizeButton();
    return true;
}

bool CMediaPlayerDoc::ApplyOnTop() { return OnOnTop(0); }

bool CMediaPlayerDoc::OnOnTop(int id) {
    if (!IsPlayerReady()) return false;
    if (id != 0) onTopMode = id - ID_ONTOP_NEVER;
    // Full screen keeps the window above everything whatever the mode; leaving it re-applies the mode.
    if (fullScreen) return true;
    emit stayOnTopRequested(CWindowSizeModes::OnTopWanted(onTopMode, GetPlayState()));
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
