// CVideoRender: the interface the main view draws every video frame through, and the state both renderers share.
#pragma once

#include "engine/module/VideoDevice.h"
#include "render/FrameFit.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>

class QPainter;
class QWidget;

// How the view works with a renderer
// ----------------------------------
// * Surface. Create(view, onPaint) puts a child widget (the surface, returned by GetDC) over the whole view:
//   the GDI+ renderer a plain raster widget, the OpenGL renderer a QOpenGLWidget. The surface follows the
//   view's size by itself, is lowered below the view's other children (a link label placed in the view stays
//   visible) and lets every mouse event through to the view, so input handling stays with the view. The view
//   itself never needs to paint: it asks for a repaint with GetDC()->update(). Overlay panels belong to the
//   main frame as siblings stacked above the view, so they cover the surface like any other widget.
// * Painting. Whenever the surface paints, it calls onPaint with a QPainter open on the surface. That is the
//   view's paint routine: it paints the logo screen with the painter itself, or (a file playing) takes the
//   engine wrapper's lock, sets frameBits to the engine's buffer and frameLock to its lock, and calls
//   Draw(painter, newFrame). Draw unlocks it as soon as it has taken the picture (after scaling or uploading,
//   before presenting); a path that draws straight from the buffer keeps it, and the view releases whatever is
//   still held when Draw returns. Draw reads the buffer only during the call and never keeps a pointer:
//   the GDI+ renderer scales straight from it (a 24-bit frame into a 32-bit picture of the shown size, kept
//   for repaints of the same frame), the OpenGL renderer uploads it into its texture.
// * newFrame. true when the buffer holds a frame this renderer has not drawn yet; false for a repaint of the
//   same frame (expose, resize, status text). The OpenGL renderer updates its texture only for a new frame
//   (or when the texture has not been filled since SetFrameFormat or since its GL context was rebuilt).
// * Frame format. After every open, and after creating a renderer, the view calls SetFrameFormat with the
//   engine's header and buffer, fits destRect (FitFrame), calls Resize with the client rectangle and resets
//   zoom and pan. Both renderers honour the header's row order (negative biHeight = top-down), so the view
//   leaves the engine's flip flag off: the header must describe the buffer as it is.
// * Layout. The view's check of the client rectangle (changed: refit destRect, call Resize) belongs at the start
//   of onPaint, since the view's own paint event no longer runs.
// * Status text. Commands call SetOsdText and then GetDC()->update(), so that the text shows while paused too.
// * Only the UI thread calls a renderer.
class CVideoRender {
public:
    using PaintHandler = std::function<void(QPainter& dc)>;

    virtual ~CVideoRender();
    CVideoRender(const CVideoRender&) = delete;
    CVideoRender& operator=(const CVideoRender&) = delete;

    // Makes the surface over view; false when the renderer cannot work there (ready stays clear).
    virtual bool Create(QWidget* view, PaintHandler onPaint) = 0;
    // Ignored when header or bits is null. size is the frame's width and height in pixels.
    virtual void SetFrameFormat(const BITMAPINFOHEADER* header, const std::uint8_t* bits, QSize size) = 0;
    // Removes the surface and clears ready.
    virtual void Destroy() = 0;
    // Only from inside onPaint, with the painter it was given, while the engine's buffer is locked.
    virtual void Draw(QPainter& dc, bool newFrame) = 0;
    // rect is the view's client rectangle; a width of 0 is changed to 1 in the caller's rectangle too.
    virtual void Resize(QRect& rect);
    // The surface widget, or null before Create and after Destroy.
    virtual QWidget* GetDC() const;

    // Status text over the picture for five seconds (renderers that show status texts only).
    void SetOsdText(const QString& text);

    const std::uint8_t* frameBits = nullptr; // engine's buffer, set by the view before each Draw
    // The engine's frame lock, held by the view around Draw (null when nobody holds one). A renderer unlocks it
    // as soon as it has taken the picture out of frameBits, so the playback thread's next read never waits
    // for the rest of a paint; after that frameBits is not read again until the next Draw.
    std::unique_lock<std::mutex>* frameLock = nullptr;
    QWidget* window = nullptr;               // the main view
    std::uint32_t drawTimeMs = 0;            // duration of the last Draw
    // Called on the UI thread once a paint has reached the screen: for OpenGL after the window's composition
    // and buffer swap, for GDI+ right after the paint (the window flushes it at once). May be empty.
    std::function<void()> onPresented;
    QString fontName = QStringLiteral("Courier New");
    QString osdText;
    std::int64_t osdTime = 0; // seconds of secondsClock when osdText was set
    bool ready = false;
    bool pixelPath = false; // OpenGL only: the texture could not be made, frames go through glDrawPixels
    DestRect destRect;
    float panX = 0.0f, panY = 0.0f; // -1..1, fractions of the fitted size
    float osdX = 0.0f, osdY = 0.0f;
    float zoom = 1.0f;
    float zoomStep = 0.007f;
    float panStep = 0.005f;
    int bytesPerPixel = 1;
    int frameWidth = 0, frameHeight = 0;
    QRect clientRect;
    // Time-of-day seconds; replaceable so that the five-second rule can be exercised without waiting.
    std::function<std::int64_t()> secondsClock;

protected:
    CVideoRender();

    // Stores onPaint; without one the surface paints black, so a surface never shows stale window content.
    void SetPaintHandler(PaintHandler onPaint);
    // True when header describes a buffer the renderers can read whole: 24 or 32 bits, size matching the header,
    // and a stated image size (when given) covering every padded row. Anything else is drawn black, since
    // trusting a wrong size would read past the engine's buffer.
    static bool FormatUsable(const BITMAPINFOHEADER& header, QSize size);
    // Bytes per row of the engine's buffer: rows are padded to a multiple of 4 bytes.
    static std::int64_t RowBytes(std::int64_t width, int bytesPerPixel) {
        return (width * bytesPerPixel + 3) & ~std::int64_t(3);
    }
    // Parents surface to view, covering it and following its size, below the view's other children.
    void AttachSurface(QWidget* surface);
    // Gives the engine's buffer back (see frameLock); the renderer holds its own copy of the picture now.
    void ReleaseFrame() {
        if (frameLock && frameLock->owns_lock()) frameLock->unlock();
    }
    // Applies the five-second rule (emptying an expired text); true when there is a text to draw now.
    bool OsdDue();

    PaintHandler paintHandler;
};
