#include "render/VideoRender.h"

#include <QDateTime>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

namespace {

// Keeps a surface exactly over its parent view; a layout would also work but would claim the view's layout.
class SurfaceFollower final : public QObject {
public:
    SurfaceFollower(QWidget* view, QWidget* surface) : QObject(surface), surface(surface) {
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize && surface)
            surface->setGeometry(static_cast<QWidget*>(watched)->rect());
        return false;
    }

private:
    QPointer<QWidget> surface;
};

} // namespace

CVideoRender::CVideoRender() : secondsClock([] { return QDateTime::currentSecsSinceEpoch(); }) {
    osdTime = secondsClock();
}

CVideoRender::~CVideoRender() = default;

void CVideoRender::Resize(QRect& rect) {
    if (rect.width() <= 0) rect.setWidth(1);
    clientRect = rect;
}

QWidget* CVideoRender::GetDC() const { return nullptr; }

void CVideoRender::SetOsdText(const QString& text) {
    osdText = text;
    osdTime = secondsClock();
}

bool CVideoRender::OsdDue() {
    if (secondsClock() - osdTime > 5) osdText.clear();
    return !osdText.isEmpty();
}

bool CVideoRender::FormatUsable(const BITMAPINFOHEADER& header, QSize size) {
    if (header.biBitCount != 24 && header.biBitCount != 32) return false;
    const std::int64_t width = header.biWidth;
    const std::int64_t height = header.biHeight < 0 ? -std::int64_t(header.biHeight) : header.biHeight;
    if (width <= 0 || height <= 0 || size.width() != width || size.height() != height) return false;
    const std::int64_t stride = RowBytes(width, header.biBitCount / 8);
    const bool usable = header.biSizeImage == 0 || header.biSizeImage >= stride * height;
    if (!usable) qWarning("Frame header does not match its buffer; the picture is not drawn");
    return usable;
}

void CVideoRender::KeepFormat(const BITMAPINFOHEADER& header, QSize size) {
    format = header;
    formatSize = size;
    drawnSerial = 0; // whatever was drawn before was drawn in another format
}

bool CVideoRender::FrameFits(const CFrameView& frame) const {
    if (!frame.Bits() || formatSize.isEmpty() || frame.Size() != formatSize) return false;
    const BITMAPINFOHEADER& h = frame.Header();
    if (h.biWidth != format.biWidth || h.biHeight != format.biHeight || h.biBitCount != format.biBitCount)
        return false;
    const std::int64_t rows = formatSize.height();
    return static_cast<std::int64_t>(frame.Bytes()) >= RowBytes(formatSize.width(), format.biBitCount / 8) * rows;
}

void CVideoRender::SetPaintHandler(PaintHandler onPaint) {
    paintHandler = onPaint ? std::move(onPaint) : [](QPainter& dc) {
        dc.fillRect(QRect(0, 0, dc.device()->width(), dc.device()->height()), Qt::black);
    };
}

void CVideoRender::AttachSurface(QWidget* surface) {
    surface->setParent(window);
    surface->setAttribute(Qt::WA_TransparentForMouseEvents);
    surface->setFocusPolicy(Qt::NoFocus);
    surface->setGeometry(window->rect());
    new SurfaceFollower(window, surface);
    surface->lower();
    surface->show();
}
