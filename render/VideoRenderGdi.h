// CVideoRenderGdi: the software renderer; scales the engine's picture straight onto a raster surface with QPainter.
#pragma once

#include "render/FrameScaler.h"
#include "render/VideoRender.h"

#include <QImage>
#include <QPointer>

class CVideoRenderGdi final : public CVideoRender {
public:
    CVideoRenderGdi() = default;
    ~CVideoRenderGdi() override;

    bool Create(QWidget* view, PaintHandler onPaint) override;
    void SetFrameFormat(const BITMAPINFOHEADER* header, QSize size) override;
    void Destroy() override;
    // Clears only the bars around destRect (the surface is opaque) and draws the frame with the fast
    // transform; a 24-bit frame is scaled into a 32-bit picture of the shown size once per new picture and
    // the frame released before it is drawn; a 32-bit frame is drawn straight from the pixels, under the lock.
    // Shows neither zoom, pan nor the status text.
    void Draw(QPainter& dc, CFrameView& frame) override;
    QWidget* GetDC() const override;

private:
    // The 24-bit path: scales into scaled (only for a new picture or another placement), releases the frame
    // and copies the picture out.
    void DrawScaled(QPainter& dc, CFrameView& frame, const QRect& shown, const QRect& client, bool newPicture);

    QPointer<QWidget> surface;
    QImage::Format imageFormat = QImage::Format_Invalid;
    qsizetype stride = 0;
    bool topDown = true;
    CFrameScaler scaler;
    QImage scaled;             // the current frame at its shown size (24-bit frames only)
    QRect scaledShown;         // where scaled was made for; empty when it holds no current frame
};
