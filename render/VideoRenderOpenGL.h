// CVideoRenderOpenGL: the default renderer; the frame as a texture on one quad (zoom, pan, status text), uploaded
// straight into the surface's framebuffer when it is shown texel for pixel over the whole surface, or
// glDrawPixels when no texture can hold the frame.
#pragma once

#include "render/VideoRender.h"

#include <QPointer>

#include <cstdint>

class QOpenGLFunctions_2_1;
class QOpenGLWidget;

class CVideoRenderOpenGL : public CVideoRender {
public:
    CVideoRenderOpenGL() = default;
    ~CVideoRenderOpenGL() override;

    // False when no OpenGL context with the fixed-function pipeline can be made on this display.
    bool Create(QWidget* view, PaintHandler onPaint) override;
    // Allocates the texture at once when the surface's context exists, otherwise when it is first made;
    // texturing and pixelPath are decided then.
    void SetFrameFormat(const BITMAPINFOHEADER* header, QSize size) override;
    void Destroy() override;
    void Draw(QPainter& dc, CFrameView& frame) override;
    QWidget* GetDC() const override;

    bool Texturing() const { return texturing; }

    // Called by the surface once its context is current for the first time (or again after it was rebuilt).
    void InitializeGl();
    // Called by the surface for every paint: runs the view's paint handler.
    void PaintSurface(QPainter& painter);

protected:
    // Defines the texture storage for the current format; the GL error it leaves decides the path. Virtual so
    // that a test can make a real GL call fail.
    virtual void AllocateTexture();

    QOpenGLFunctions_2_1* gl = nullptr; // of the surface's current context; null until InitializeGl
    unsigned texture = 0;
    unsigned pixelFormat = 0x80E0;     // GL_BGR, or GL_BGRA for 4 bytes per pixel (pixel path)
    unsigned uploadFormat = 0x80E0;    // what glTexSubImage2D is given: GL_RGB(A) when swizzled, else pixelFormat
    bool swizzle = false;              // the texture swaps red and blue itself, so uploads need no conversion

private:
    void ReleaseGl();
    void DecidePath();
    void DrawTexture(CFrameView& frame, bool newPicture, float cw, float ch);
    void DrawPixels(const CFrameView& frame, float ch, qreal dpr);
    void DrawOsd(QPainter& dc);
    // Shown texel for pixel over the whole surface, the frame needs no quad: it is copied into the texture
    // behind the surface's framebuffer, which the window composes anyway. On a software rasteriser that saves a
    // window-sized drawing pass per frame. False (nothing done, the frame still held) when the frame is not
    // shown that way or the framebuffer is not a plain texture.
    bool UploadIntoSurface(CFrameView& frame, bool newPicture, float cw, float ch, qreal dpr);

    QPointer<QOpenGLWidget> surface;
    bool texturing = false;
    bool formatKnown = false;
    bool textureFilled = false; // texture holds the buffer's current frame since the last allocation
    bool topDown = true;
    int textureFilter = 0; // GL_LINEAR or GL_NEAREST, as last set on the texture
    bool softwareRaster = false; // the context draws on the CPU (llvmpipe and the like)
    std::uint64_t draws = 0;        // calls of Draw, so the surface can tell paints that drew no frame
    bool surfaceHoldsFrame = false; // the framebuffer's texture holds the current frame and nothing over it
    unsigned heldTexture = 0;       // that texture's name
};
