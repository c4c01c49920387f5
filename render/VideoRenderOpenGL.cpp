#include "render/VideoRenderOpenGL.h"

#include "engine/PerfTimer.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLFunctions_2_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QOpenGLWidget>
#include <QPainter>

#ifndef GL_TEXTURE_SWIZZLE_R
#define GL_TEXTURE_SWIZZLE_R 0x8E42
#define GL_TEXTURE_SWIZZLE_B 0x8E44
#endif

namespace {

QSurfaceFormat SurfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    // Fixed-function drawing needs the compatibility profile; 2.1 is the oldest version Qt offers tables for.
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(0);
    return format;
}

class GlSurface final : public QOpenGLWidget {
public:
    explicit GlSurface(CVideoRenderOpenGL& owner) : owner(owner) {
        setFormat(SurfaceFormat());
        // A frame uploaded straight into the framebuffer must still be there for a repaint of the same frame;
        // without this Qt may discard the framebuffer's contents after every composition.
        setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    }

protected:
    void initializeGL() override { owner.InitializeGl(); }
    void paintGL() override {
        QPainter painter(this);
        owner.PaintSurface(painter);
    }

private:
    CVideoRenderOpenGL& owner;
};

// Leaves no error flag set, so the next glGetError speaks only of the call that follows.
void DrainErrors(QOpenGLFunctions_2_1* gl) {
    for (int i = 0; i < 32 && gl->glGetError() != GL_NO_ERROR; ++i) {
    }
}

// Uploads read client memory laid out as the engine's buffer: rows padded to 4 bytes, nothing skipped.
void UnpackEngineRows(QOpenGLFunctions_2_1* gl) {
    gl->glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl->glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    gl->glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    gl->glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

} // namespace

CVideoRenderOpenGL::~CVideoRenderOpenGL() { Destroy(); }

bool CVideoRenderOpenGL::Create(QWidget* view, PaintHandler onPaint) {
    Destroy();
    if (!view) return false;
    // The surface's own context only exists once it is shown; a probe context answers now whether this display
    // can give the fixed-function pipeline at all.
    QOffscreenSurface probeSurface;
    probeSurface.setFormat(SurfaceFormat());
    probeSurface.create();
    QOpenGLContext probe;
    probe.setFormat(SurfaceFormat());
    if (!probe.create() || !probe.makeCurrent(&probeSurface)) return false;
    const bool usable = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_2_1>(&probe) != nullptr;
    probe.doneCurrent();
    if (!usable) return false;

    window = view;
    SetPaintHandler(std::move(onPaint));
    surface = new GlSurface(*this);
    QObject::connect(surface, &QOpenGLWidget::frameSwapped, surface, [this] {
        if (onPresented) onPresented();
    });
    AttachSurface(surface);
    ready = true;
    return true;
}

void CVideoRenderOpenGL::Destroy() {
    ReleaseGl();
    delete surface.data();
    ready = false;
}

void CVideoRenderOpenGL::ReleaseGl() {
    if (surface && gl && texture) {
        const bool wasCurrent = QOpenGLContext::currentContext() == surface->context();
        if (!wasCurrent) surface->makeCurrent();
        gl->glDeleteTextures(1, &texture);
        if (!wasCurrent) surface->doneCurrent();
    }
    gl = nullptr;
    texture = 0;
    textureFilled = false;
    surfaceHoldsFrame = false;
}

void CVideoRenderOpenGL::PaintSurface(QPainter& painter) {
    const std::uint64_t drawsBefore = draws;
    paintHandler(painter);
    // Something other than a frame went into the framebuffer (the logo screen): a later repaint of the frame
    // cannot rely on what is there.
    if (draws == drawsBefore) surfaceHoldsFrame = false;
}

QWidget* CVideoRenderOpenGL::GetDC() const { return surface.data(); }

void CVideoRenderOpenGL::InitializeGl() {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    gl = context ? QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_2_1>(context) : nullptr;
    if (!gl || !gl->initializeOpenGLFunctions()) {
        gl = nullptr;
        ready = false;
        return;
    }
    // A context rebuilt (the surface moved to another window) takes its texture with it.
    QObject::connect(context, &QOpenGLContext::aboutToBeDestroyed, surface, [this] { ReleaseGl(); },
                     Qt::DirectConnection);
    swizzle = context->format().version() >= qMakePair(3, 3) ||
              context->hasExtension(QByteArrayLiteral("GL_ARB_texture_swizzle")) ||
              context->hasExtension(QByteArrayLiteral("GL_EXT_texture_swizzle"));
    gl->glDisable(GL_DEPTH_TEST);
    gl->glGenTextures(1, &texture);
    gl->glBindTexture(GL_TEXTURE_2D, texture);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    textureFilter = GL_LINEAR;
    const auto* rendererName = reinterpret_cast<const char*>(gl->glGetString(GL_RENDERER));
    const QByteArray name = QByteArray(rendererName ? rendererName : "").toLower();
    softwareRaster = name.contains("llvmpipe") || name.contains("softpipe") || name.contains("software rasterizer") ||
                     name.contains("swiftshader");
    if (formatKnown) DecidePath();
}

void CVideoRenderOpenGL::SetFrameFormat(const BITMAPINFOHEADER* header, QSize size) {
    if (!ready || !header) return;
    bytesPerPixel = header->biBitCount / 8;
    frameWidth = size.width();
    frameHeight = size.height();
    topDown = header->biHeight < 0;
    pixelFormat = bytesPerPixel == 4 ? GL_BGRA : GL_BGR;
    formatKnown = FormatUsable(*header, size);
    KeepFormat(*header, size);
    textureFilled = false;
    surfaceHoldsFrame = false;
    if (!formatKnown || !surface || !gl) return; // decided when the context is first made
    const bool wasCurrent = QOpenGLContext::currentContext() == surface->context();
    if (!wasCurrent) surface->makeCurrent();
    DecidePath();
    if (!wasCurrent) surface->doneCurrent();
}

void CVideoRenderOpenGL::AllocateTexture() {
    gl->glBindTexture(GL_TEXTURE_2D, texture);
    // On a software rasteriser BGRA uploads are converted texel by texel; RGBA uploads are plain copies. The
    // swizzle lets the texture read the engine's byte order as it is.
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_R, swizzle ? GL_BLUE : GL_RED);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B, swizzle ? GL_RED : GL_BLUE);
    uploadFormat = swizzle ? (bytesPerPixel == 4 ? GL_RGBA : GL_RGB) : pixelFormat;
    // Storage only: the pixels are uploaded by the first Draw of a picture.
    gl->glTexImage2D(GL_TEXTURE_2D, 0, bytesPerPixel == 4 ? GL_RGBA8 : GL_RGB8, frameWidth, frameHeight, 0,
                     uploadFormat, GL_UNSIGNED_BYTE, nullptr);
}

void CVideoRenderOpenGL::DecidePath() {
    DrainErrors(gl);
    AllocateTexture();
    GLenum error = gl->glGetError();
    if (error != GL_NO_ERROR) {
        DrainErrors(gl);
        AllocateTexture();
        error = gl->glGetError();
    }
    DrainErrors(gl);
    texturing = error == GL_NO_ERROR;
    pixelPath = !texturing;
    textureFilled = false;
}

void CVideoRenderOpenGL::Draw(QPainter& dc, CFrameView& frame) {
    CPerfTimer timer;
    ++draws;
    const bool newPicture = TakeNewPicture(frame);
    const float cw = static_cast<float>(dc.device()->width());
    const float ch = static_cast<float>(dc.device()->height());
    const qreal dpr = dc.device()->devicePixelRatioF();
    if (!gl) {
        dc.fillRect(QRectF(0, 0, cw, ch), Qt::black);
    } else {
        dc.beginNativePainting();
        // The painter leaves scissor, blend and stencil state behind; none of them belongs in this frame.
        gl->glDisable(GL_SCISSOR_TEST);
        gl->glDisable(GL_BLEND);
        gl->glDisable(GL_STENCIL_TEST);
        gl->glDisable(GL_DEPTH_TEST);
        const bool drawable = ready && formatKnown && FrameFits(frame);
        if (!(drawable && texturing && UploadIntoSurface(frame, newPicture, cw, ch, dpr))) {
            surfaceHoldsFrame = false;
            gl->glViewport(0, 0, static_cast<GLsizei>(cw * dpr), static_cast<GLsizei>(ch * dpr));
            gl->glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            gl->glClear(GL_COLOR_BUFFER_BIT);
            if (drawable) {
                if (texturing)
                    DrawTexture(frame, newPicture, cw, ch);
                else
                    DrawPixels(frame, ch, dpr);
            }
        }
        dc.endNativePainting();
    }
    frame.Release(); // the status text needs no pixels
    if (OsdDue()) {
        DrawOsd(dc);
        surfaceHoldsFrame = false; // the text now covers part of the picture
    }
    drawTimeMs = timer.ElapsedMs();
}

bool CVideoRenderOpenGL::UploadIntoSurface(CFrameView& frame, bool newPicture, float cw, float ch, qreal dpr) {
    const DestRect& d = destRect;
    const float fw = static_cast<float>(frameWidth), fh = static_cast<float>(frameHeight);
    const bool texelForPixel = dpr == 1.0 && zoom == 1.0f && panX == 0.0f && panY == 0.0f && d.X == 0.0f &&
                               d.Y == 0.0f && d.W == fw && d.H == fh && cw == fw && ch == fh;
    if (!texelForPixel) return false;
    // The framebuffer's colour buffer must be a plain 2D texture (it is not with multisampling, for one).
    QOpenGLFunctions* f = QOpenGLContext::currentContext()->functions();
    GLint type = 0, name = 0;
    f->glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    if (type != GL_TEXTURE) return false;
    f->glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    const auto target = static_cast<GLuint>(name);
    if (!newPicture && surfaceHoldsFrame && target == heldTexture) {
        frame.Release(); // the framebuffer still holds exactly this picture
        return true;
    }
    DrainErrors(gl);
    gl->glBindTexture(GL_TEXTURE_2D, target);
    if (gl->glGetError() != GL_NO_ERROR) { // not a 2D texture after all
        DrainErrors(gl);
        return false;
    }
    UnpackEngineRows(gl);
    // The framebuffer's row 0 is the bottom of the window, as in a bottom-up buffer; a top-down buffer goes in
    // row by row from the top.
    if (!topDown) {
        gl->glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, frameWidth, frameHeight, pixelFormat, GL_UNSIGNED_BYTE,
                            frame.Bits());
    } else {
        const auto stride = static_cast<std::size_t>(RowBytes(frameWidth, bytesPerPixel));
        for (int y = 0; y < frameHeight; ++y)
            gl->glTexSubImage2D(GL_TEXTURE_2D, 0, 0, frameHeight - 1 - y, frameWidth, 1, pixelFormat,
                                GL_UNSIGNED_BYTE, frame.Bits() + stride * static_cast<std::size_t>(y));
    }
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    if (gl->glGetError() != GL_NO_ERROR) {
        DrainErrors(gl);
        return false; // the caller draws the frame its usual way, still holding it
    }
    frame.Release();
    surfaceHoldsFrame = true;
    heldTexture = target;
    textureFilled = false; // the frame went past the renderer's own texture, which now lags behind
    return true;
}

void CVideoRenderOpenGL::DrawTexture(CFrameView& frame, bool newPicture, float cw, float ch) {
    gl->glMatrixMode(GL_PROJECTION);
    gl->glLoadIdentity();
    gl->glOrtho(0, cw, ch, 0, -1, 1);
    gl->glMatrixMode(GL_MODELVIEW);
    gl->glLoadIdentity();
    gl->glActiveTexture(GL_TEXTURE0);
    gl->glBindTexture(GL_TEXTURE_2D, texture);
    gl->glEnable(GL_TEXTURE_2D);
    // The texel as it is: modulating by a white colour gives the same picture for a third more rasteriser work.
    gl->glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    if (newPicture || !textureFilled) {
        UnpackEngineRows(gl);
        gl->glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, frameWidth, frameHeight, uploadFormat, GL_UNSIGNED_BYTE,
                            frame.Bits());
        textureFilled = true;
    }
    frame.Release(); // the texture holds the picture; the upload copied it before returning
    const DestRect& d = destRect;
    // Shown texel for pixel (Original Size, no zoom) there is nothing to interpolate: nearest sampling keeps
    // the picture sharp at a half-pixel offset and saves a software rasteriser a third of the quad's cost.
    const bool oneToOne = zoom == 1.0f && d.W == static_cast<float>(frameWidth) &&
                          d.H == static_cast<float>(frameHeight);
    // A software rasteriser spends a fifth of a 1080p frame's whole CPU cost on bilinear sampling when the
    // picture is shrunk; there a shrunk picture is sampled like the GDI+ renderer's, while an enlarged one stays
    // smooth (one filter for both cases: mixing them makes the rasteriser pick per pixel, which costs as much).
    // On a GPU filtering costs nothing and is kept.
    const bool shrunk = d.W * zoom < static_cast<float>(frameWidth);
    const GLint filter = oneToOne || (softwareRaster && shrunk) ? GL_NEAREST : GL_LINEAR;
    if (filter != textureFilter) {
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        textureFilter = filter;
    }
    const float x0 = d.X - cw * 0.5f, y0 = d.Y - ch * 0.5f;
    const float x1 = x0 + d.W, y1 = y0 + d.H;
    gl->glTranslatef(cw * 0.5f, ch * 0.5f, 0.0f);
    gl->glTranslatef(panX * d.W, panY * d.H, 0.0f);
    gl->glScalef(zoom, zoom, 1.0f);
    // Texture row 0 is the buffer's first row: the top of a top-down frame, the bottom of a bottom-up one.
    const float vTop = topDown ? 0.0f : 1.0f;
    const float vBottom = 1.0f - vTop;
    gl->glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    gl->glBegin(GL_QUADS);
    gl->glTexCoord2f(0.0f, vTop);
    gl->glVertex2f(x0, y0);
    gl->glTexCoord2f(1.0f, vTop);
    gl->glVertex2f(x1, y0);
    gl->glTexCoord2f(1.0f, vBottom);
    gl->glVertex2f(x1, y1);
    gl->glTexCoord2f(0.0f, vBottom);
    gl->glVertex2f(x0, y1);
    gl->glEnd();
    gl->glDisable(GL_TEXTURE_2D);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
}

void CVideoRenderOpenGL::DrawPixels(const CFrameView& frame, float ch, qreal dpr) {
    gl->glDisable(GL_TEXTURE_2D);
    UnpackEngineRows(gl);
    const DestRect& d = destRect;
    const float sx = static_cast<float>(d.W * dpr / frameWidth);
    const float sy = static_cast<float>(d.H * dpr / frameHeight);
    // Window coordinates count up from the bottom and are never clipped away as a raster position would be
    // at the very edge. Rows of a top-down buffer go downwards from the picture's top edge.
    const float x = static_cast<float>(d.X * dpr);
    const float yTop = static_cast<float>((ch - d.Y) * dpr);
    const float yBottom = static_cast<float>((ch - d.Y - d.H) * dpr);
    gl->glWindowPos2f(x, topDown ? yTop : yBottom);
    gl->glPixelZoom(sx, topDown ? -sy : sy);
    gl->glDrawPixels(frameWidth, frameHeight, pixelFormat, GL_UNSIGNED_BYTE, frame.Bits());
    gl->glPixelZoom(1.0f, 1.0f);
}

void CVideoRenderOpenGL::DrawOsd(QPainter& dc) {
    QFont font(fontName);
    font.setPixelSize(36);
    font.setBold(true);
    dc.save();
    dc.setFont(font);
    dc.setPen(QColor(255, 255, 0));
    // The baseline sits at osdY on the texture path and 20 pixels below the top on the pixel path.
    dc.drawText(QPointF(osdX, pixelPath ? 20.0f : osdY), osdText);
    dc.restore();
}
