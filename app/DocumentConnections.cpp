#include "app/DocumentConnections.h"

#include "app/MediaPlayerApp.h"
#include "document/MediaPlayerDoc.h"
#include "frame/MainFrame.h"
#include "view/MediaPlayerView.h"

void ConnectDocument(CMediaPlayerDoc& doc, CMainFrame& frame, CMediaPlayerView& view) {
    QObject::connect(&doc, &CMediaPlayerDoc::repaintRequested, &view, &CMediaPlayerView::Invalidate);
    QObject::connect(&doc, &CMediaPlayerDoc::frameFormatChanged, &view, &CMediaPlayerView::ApplyFrameFormat);
    QObject::connect(&doc, &CMediaPlayerDoc::statusMessage, &view, &CMediaPlayerView::ShowStatusText);
    QObject::connect(&doc, &CMediaPlayerDoc::zoomPanChanged, &view, &CMediaPlayerView::SetZoomPan);
    QObject::connect(&doc, &CMediaPlayerDoc::rendererRequested, &view, [&view](RendererKind kind) {
        view.CreateRenderer(kind);
        view.ApplyFrameFormat();
    });
    QObject::connect(&doc, &CMediaPlayerDoc::windowGeometryRequested, &frame,
                     [&frame](const QRect& rect) { frame.setGeometry(rect); });
    QObject::connect(&doc, &CMediaPlayerDoc::stayOnTopRequested, &frame, &CMainFrame::SetStaysOnTop);
    doc.windowRect = frame.geometry();
    QObject::connect(&frame, &CMainFrame::geometryChanged, &doc, [&doc](const QRect& rect) { doc.windowRect = rect; });
    QObject::connect(&frame, &CMainFrame::popupMenuOpenChanged, &doc, [&doc](bool open) { doc.popupMenuOpen = open; });
    // The application ends the program; a frame without one (a test's) just closes.
    const auto quit = [&frame] {
        if (CMediaPlayerApp* app = CMediaPlayerApp::Instance())
            app->OnAppExit();
        else
            frame.close();
    };
    QObject::connect(&doc, &CMediaPlayerDoc::quitRequested, &frame, quit);
    QObject::connect(&frame, &CMainFrame::quitRequested, &frame, quit);
}
