#include "render/VideoRenderGdi.h"

#include "engine/PerfTimer.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <cstdlib>

namespace {

class RasterSurface final : public QWidget {
public:
    explicit RasterSurface(CVideoRender::PaintHandler handler) : handler(std::move(handler)) {
        // Every pixel is painted on each paint, so Qt need not erase first or paint the view beneath.
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        handler(painter);
    }

private:
    CVideoRender::PaintHandler handler;
};

} // namespace

CVideoRenderGdi::~CVideoRenderGdi() { Destroy(); }

bool CVideoRenderGdi::Create(QWidget* view, PaintHandler onPaint) {
    Destroy();
    if (!view) return false;
    window = view;
    SetPaintHandler(std::move(onPaint));
    surface = new RasterSurface([this](QPainter& painter) {
        paintHandler(painter);
        if (onPresented) onPresented();
    });
    AttachSurface(surface);
    ready = true;
    return true;
}

void CVideoRenderGdi::Destroy() {
    delete surface.data();
    scaled = QImage();
    scaledShown = QRect();
    ready = false;
}

QWidget* CVideoRenderGdi::GetDC() const { return surface.data(); }

void CVideoRenderGdi::SetFrameFormat(const BITMAPINFOHEADER* header, QSize size) {
    if (!header) return;
    frameWidth = size.width();
    frameHeight = size.height();
    bytesPerPixel = header->biBitCount / 8;
    imageFormat = !FormatUsable(*header, size) ? QImage::Format_Invalid
                  : bytesPerPixel == 4         ? QImage::Format_RGB32
                                               : QImage::Format_BGR888;
    stride = RowBytes(frameWidth, bytesPerPixel);
    topDown = header->biHeight < 0;
    scaledShown = QRect();
    KeepFormat(*header, size);
}

void CVideoRenderGdi::Draw(QPainter& dc, CFrameView& frame) {
    CPerfTimer timer;
    const QRect client(0, 0, dc.device()->width(), dc.device()->height());
    const bool newPicture = TakeNewPicture(frame);
    const bool showFrame = ready && imageFormat != QImage::Format_Invalid && FrameFits(frame) && destRect.W > 0 &&
                           destRect.H > 0;
    if (!showFrame) {
        frame.Release();
        dc.fillRect(client, Qt::black);
        drawTimeMs = timer.ElapsedMs();
        return;
    }
    // Whole pixels on the 24-bit path, so that the bars and the scaled picture meet without a seam.
    const QRect shown(QPoint(qRound(destRect.X), qRound(destRect.Y)),
                      QPoint(qRound(destRect.X + destRect.W) - 1, qRound(destRect.Y + destRect.H) - 1));
    const bool scale24 = bytesPerPixel == 3 && dc.device()->devicePixelRatioF() == 1.0 && !shown.isEmpty();
    const QRectF dest = scale24 ? QRectF(shown) : QRectF(destRect.X, destRect.Y, destRect.W, destRect.H);
    // Only the bars: clearing the whole surface first would write every picture pixel twice.
    const QRectF area(client);
    const QRectF bars[] = {
        QRectF(area.left(), area.top(), area.width(), dest.top() - area.top()),
        QRectF(area.left(), dest.bottom(), area.width(), area.bottom() - dest.bottom()),
        QRectF(area.left(), dest.top(), dest.left() - area.left(), dest.height()),
        QRectF(dest.right(), dest.top(), area.right() - dest.right(), dest.height()),
    };
    for (const QRectF& bar : bars)
        if (bar.width() > 0 && bar.height() > 0) dc.fillRect(bar, Qt::black);

    if (scale24) {
        DrawScaled(dc, frame, shown, client, newPicture);
        drawTimeMs = timer.ElapsedMs();
        return;
    }
    // Wraps the pixels without copying; the const constructor keeps QImage from ever detaching into a copy.
    const QImage frameImage(frame.Bits(), frameWidth, frameHeight, stride, imageFormat);
    dc.save();
    dc.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (topDown) {
        dc.drawImage(dest, frameImage);
    } else {
        // Bottom-up rows: mirror vertically about the destination's centre line instead of copying rows.
        dc.translate(0, dest.top() + dest.bottom());
        dc.scale(1, -1);
        dc.drawImage(dest, frameImage);
    }
    dc.restore();
    drawTimeMs = timer.ElapsedMs();
}

void CVideoRenderGdi::DrawScaled(QPainter& dc, CFrameView& frame, const QRect& shown, const QRect& client,
                                 bool newPicture) {
    const QRect visible = shown & client;
    if (visible.isEmpty()) return;
    if (newPicture || scaledShown != shown || scaled.size() != visible.size()) {
        scaler.Scale({frame.Bits(), frameWidth, frameHeight, stride, topDown}, shown, visible, scaled);
        scaledShown = shown;
    }
    frame.Release(); // scaled holds the picture now
    dc.drawImage(visible.topLeft(), scaled);
}
