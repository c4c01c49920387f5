// CMediaPlayerView: the main view. Paints the video (or the logo screen), switches renderers, reacts to input.
#pragma once

#include "render/RendererKind.h"
#include "view/HotKeys.h"
#include "view/PaintTrace.h"

#include "skins/SkinImage.h"

#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <memory>

class CVideoEngine;
class CVideoRender;
class CViewCursorHider;
class QLabel;
class QMimeData;
class QPainter;
class QTimer;

class CMediaPlayerView : public QWidget {
    Q_OBJECT
public:
    explicit CMediaPlayerView(QWidget* parent = nullptr);
    ~CMediaPlayerView() override;

    // The single view of the process; null before it is constructed and after it is destroyed.
    static CMediaPlayerView* Instance();

    // The current renderer; null before the first CreateRenderer.
    CVideoRender* Renderer() const { return renderer_.get(); }
    // The renderer in use; None before the first CreateRenderer.
    RendererKind RendererType() const { return rendererKind_; }
    // Replaces the renderer by one of the given kind; None leaves none. When OpenGL cannot work on this
    // display, the GDI+ renderer takes its place and the user is told once.
    void CreateRenderer(RendererKind kind);
    // Hands the engine's frame format to the renderer, fits the picture and resets zoom and pan. Call after
    // every open and every renderer switch.
    void ApplyFrameFormat();
    // Asks for a repaint of the surface (the logo screen when nothing plays). Every paint draws the whole
    // surface and the renderer tells a new picture by itself.
    void Invalidate();
    // The status text over the picture (five seconds), shown at once also while paused.
    void ShowStatusText(const QString& text);
    // The document's zoom and pan, handed to the renderer and shown.
    void SetZoomPan(float zoom, float panX, float panY);
    // The first update after the document exists: player, renderer, logo, link, command-line file, timer.
    void OnInitialUpdate();
    // The web link under the logo (tests look at where it sits).
    QLabel* WebLink() const { return webLink_; }
    const CViewCursorHider* CursorHider() const { return cursorHider_; }
    // The frame says when the user starts and ends moving or sizing it; the cursor is not hidden meanwhile.
    void SetFrameMovingOrSizing(bool on) { frameMovingOrSizing_ = on; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void PaintSurface(QPainter& dc);
    void PaintLogo(QPainter& dc);
    // Where the logo goes in the view (logical pixels).
    QRect LogoRect() const;
    void CheckLayout();
    // Fits the picture of the given size into the view and tells the renderer the view's size.
    void FitToClient(QSize frame);
    void PlaceWebLink();
    void LoadLogo();
    bool FileOpen() const;
    // The playback thread has handed over a new picture (number frame): repaint.
    void OnFrameReady(qint64 frame);
    // Makes and creates a renderer of type (1 or 2); false (none left) when it cannot work here.
    bool MakeRenderer(RendererKind kind);
    // The OpenGL renderer could not be made: the GDI+ renderer is used instead, and the user is told once.
    void FallBackToSoftware();
    void OnTimerTick();
    void ShowContextMenu(const QPoint& globalPos);
    // Runs one decoded hot key; input lives in MediaPlayerViewInput.cpp.
    void RunHotKey(const HotKeyAction& action);
    bool DropAcceptable(const QMimeData* data) const;

    std::unique_ptr<CVideoRender> renderer_;
    RendererKind rendererKind_ = RendererKind::None;
    CSkinImage logo_;
    QLabel* webLink_ = nullptr;
    QTimer* timer_ = nullptr;
    CViewCursorHider* cursorHider_ = nullptr;
    CKeyGuard keyGuard_;
    QRect clientRect_;        // client rectangle at the last paint
    bool toldFallback_ = false; // the user has been told that OpenGL is not available
    std::uint64_t tracedSerial_ = 0; // serial of the picture the paint trace recorded last
    CPaintTrace paintTrace_;
    bool frameMovingOrSizing_ = false;
};
