// CVideoRenderGdi: the software renderer; scales the engine's buffer straight onto a raster surface with QPainter.
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
    void SetFrameFormat(const BITMAPINFOHEADER* header, const std::uint8_t* bits, QSize size) override;
    void Destroy() override;
    // Clears only the bars around destRect (the surface is opaque) and draws the frame with the fast
    // transform; a 24-bit frame is scaled into a 32-bit picture of the shown size once per new frame.
    // Shows neither zoom, pan nor the status text.
    void Draw(QPainter& dc, bool newFrame) override;
    QWidget* GetDC() const override;

private:
    // Wraps frameBits without copying; rebuilt only when the buffer address or format changes.
    void WrapBuffer();
    // The 24-bit path: scales into scaled (only for a new frame or another placement) and copies it out.
    void DrawScaled(QPainter& dc, const QRect& shown, const QRect& client, bool newFrame);

    QPointer<QWidget> surface;
    QImage frameImage; // over the engine's buffer, never owning it
    QImage::Format imageFormat = QImage::Format_Invalid;
    qsizetype stride = 0;
    bool topDown = true;
    CFrameScaler scaler;
    QImage scaled;             // the current frame at its shown size (24-bit frames only)
    QRect scaledShown;         // where scaled was made for; empty when it holds no current frame
};
