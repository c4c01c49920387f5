// CVideoRender: the interface the main view draws every video frame through, and the state both renderers share.
#pragma once

#include "engine/FrameView.h"
#include "engine/module/VideoDevice.h"
#include "render/FrameFit.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <utility>

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
//   current picture from the engine wrapper as a CFrameView (pixels, header, size, frame number, serial, and
//   the wrapper's frame lock inside) and gives it to Draw(painter, frame). The frame only goes one way: Draw
//   calls frame.Release() as soon as it holds the picture (after scaling or uploading, before presenting);
//   a path that draws straight from the pixels leaves it held, and the value gives the lock back when the
//   view's paint ends. Draw reads the pixels only during the call and never keeps a pointer to them: the GDI+
//   renderer scales them (a 24-bit frame into a 32-bit picture of the shown size, kept for repaints of the
//   same picture), the OpenGL renderer uploads them into its texture. A frame without pixels (nothing decoded
//   since the open) is drawn black.
// * New pictures. A renderer tells a new picture from a repaint of the one it drew last by the frame's serial
//   (expose, resize, status text repaint the same serial). The OpenGL renderer updates its texture only for a
//   new picture (or when the texture has not been filled since SetFrameFormat or since its GL context was
//   rebuilt).
// * Frame format. After every open, and after creating a renderer, the view calls SetFrameFormat with the
//   engine's header and frame size, fits destRect (FitFrame), calls Resize with the client rectangle and resets
//   zoom and pan. A frame whose header or size is not that format (a picture of the next file arriving before
//   the view has applied its format) is drawn black rather than read with the wrong geometry. Both renderers
//   honour the header's row order (negative biHeight = top-down), so the view leaves the engine's flip flag
//   off: the header must describe the buffer as it is.
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
    // Ignored when header is null. size is the frame's width and height in pixels.
    virtual void SetFrameFormat(const BITMAPINFOHEADER* header, QSize size) = 0;
    // Removes the surface and clears ready.
    virtual void Destroy() = 0;
    // Only from inside onPaint, with the painter it was given; releases frame once it holds the picture
    // (see "Painting" above).
    virtual void Draw(QPainter& dc, CFrameView& frame) = 0;
    // rect is the view's client rectangle; a width of 0 is changed to 1 in the caller's rectangle too.
    virtual void Resize(QRect& rect);
    // The surface widget, or null before Create and after Destroy.
    virtual QWidget* GetDC() const;

    // Status text over the picture for five seconds (renderers that show status texts only).
    void SetOsdText(const QString& text);

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
    // Stores the format every later frame is checked against (FrameFits); each SetFrameFormat calls it.
    void KeepFormat(const BITMAPINFOHEADER& header, QSize size);
    // The frame has pixels laid out as the stored format says: anything else is drawn black.
    bool FrameFits(const CFrameView& frame) const;
    // Whether frame is another picture than the one the last Draw was given; remembers it as drawn.
    bool TakeNewPicture(const CFrameView& frame) { return std::exchange(drawnSerial, frame.Serial()) != frame.Serial(); }
    // Applies the five-second rule (emptying an expired text); true when there is a text to draw now.
    bool OsdDue();

    PaintHandler paintHandler;

private:
    BITMAPINFOHEADER format{};   // as given to SetFrameFormat
    QSize formatSize;            // empty before the first SetFrameFormat
    std::uint64_t drawnSerial = 0; // serial of the frame the last Draw was given
};
