#include "RenderHarness.h"

#include <QApplication>
#include <QOpenGLWidget>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "RenderTests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

TestFrame::TestFrame(int width, int height, int bitCount, bool topDown) {
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = topDown ? -height : height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<std::uint16_t>(bitCount);
    const int bpp = bitCount / 8;
    const int stride = (width * bpp + 3) & ~3;
    header.biSizeImage = static_cast<std::uint32_t>(stride * height);
    // Padding bytes get a loud value so that a renderer reading them as pixels shows it.
    bits.assign(header.biSizeImage, 0x7F);
    for (int y = 0; y < height; ++y) {
        const int row = topDown ? y : height - 1 - y; // y counts from the picture's top
        for (int x = 0; x < width; ++x) {
            const bool top = y < height / 2, left = x < width / 2;
            const QColor c = top ? (left ? Qt::red : Qt::green) : (left ? Qt::blue : Qt::white);
            std::uint8_t* p = bits.data() + row * stride + x * bpp;
            p[0] = static_cast<std::uint8_t>(c.blue());
            p[1] = static_cast<std::uint8_t>(c.green());
            p[2] = static_cast<std::uint8_t>(c.red());
            if (bpp == 4) p[3] = 0xFF;
        }
    }
}

void TestFrame::Fill(QColor colour) {
    const int bpp = header.biBitCount / 8;
    const int stride = (Width() * bpp + 3) & ~3;
    for (int row = 0; row < Height(); ++row)
        for (int x = 0; x < Width(); ++x) {
            std::uint8_t* p = bits.data() + row * stride + x * bpp;
            p[0] = static_cast<std::uint8_t>(colour.blue());
            p[1] = static_cast<std::uint8_t>(colour.green());
            p[2] = static_cast<std::uint8_t>(colour.red());
        }
}

TestView::TestView(std::unique_ptr<CVideoRender> r, QSize size) : renderer(*r), owned(std::move(r)) {
    resize(size);
    renderer.osdX = 5.0f;
    renderer.osdY = 50.0f;
    renderer.fontName = QStringLiteral("DejaVu Sans");
    renderer.Create(this, [this](QPainter& dc) {
        if (!frame) {
            dc.fillRect(rect(), Qt::darkGray);
            return;
        }
        if (nextIsNew || serial == 0) ++serial;
        CFrameView picture(std::unique_lock<std::mutex>(frameLock), frame->bits.data(), frame->bits.size(), frame->header,
                           QSize(frame->Width(), frame->Height()), 0, serial);
        renderer.Draw(dc, picture);
        heldAfterDraw = picture.Held();
    });
    show();
    if (!QTest::qWaitForWindowExposed(this)) qWarning("test view was never exposed");
}

TestView::~TestView() { owned.reset(); }

void TestView::ShowFrame(TestFrame& f) {
    frame = &f;
    renderer.destRect = FitFrame(f.header.biWidth, f.header.biHeight, width(), height());
    renderer.SetFrameFormat(&f.header, QSize(f.Width(), f.Height()));
    QRect client = rect();
    renderer.Resize(client);
    renderer.zoom = 1.0f;
    renderer.panX = renderer.panY = 0.0f;
}

QImage TestView::Grab(bool newFrame) {
    nextIsNew = newFrame;
    // A QOpenGLWidget's own grab repaints into its framebuffer, exactly what the window composes; a widget
    // grab of the view would replay the paint on a raster device and lose the painter's part of it.
    auto* gl = qobject_cast<QOpenGLWidget*>(renderer.GetDC());
    QImage image = (gl ? gl->grabFramebuffer() : grab().toImage()).convertToFormat(QImage::Format_RGB32);
    nextIsNew = true;
    return image;
}

namespace {
bool Near(int v, int target) { return std::abs(v - target) <= 40; }
bool Is(QRgb c, int r, int g, int b) { return Near(qRed(c), r) && Near(qGreen(c), g) && Near(qBlue(c), b); }
} // namespace

bool IsRed(QRgb c) { return Is(c, 255, 0, 0); }
bool IsGreen(QRgb c) { return Is(c, 0, 255, 0); }
bool IsBlue(QRgb c) { return Is(c, 0, 0, 255); }
bool IsWhite(QRgb c) { return Is(c, 255, 255, 255); }
bool IsBlack(QRgb c) { return Is(c, 0, 0, 0); }
bool IsYellow(QRgb c) { return Is(c, 255, 255, 0); }

void ExpectQuadrants(const QImage& img, QPoint tl, QPoint br) {
    const int cx = (tl.x() + br.x()) / 2, cy = (tl.y() + br.y()) / 2;
    const int qx = (br.x() - tl.x()) / 4, qy = (br.y() - tl.y()) / 4;
    EXPECT_TRUE(IsRed(img.pixel(cx - qx, cy - qy))) << "top left " << std::hex << img.pixel(cx - qx, cy - qy);
    EXPECT_TRUE(IsGreen(img.pixel(cx + qx, cy - qy))) << "top right " << std::hex << img.pixel(cx + qx, cy - qy);
    EXPECT_TRUE(IsBlue(img.pixel(cx - qx, cy + qy))) << "bottom left " << std::hex << img.pixel(cx - qx, cy + qy);
    EXPECT_TRUE(IsWhite(img.pixel(cx + qx, cy + qy))) << "bottom right " << std::hex << img.pixel(cx + qx, cy + qy);
    // Just inside the corners: the last rows and columns are the frame's, not padding or the other edge.
    EXPECT_TRUE(IsRed(img.pixel(tl.x() + 4, tl.y() + 4)));
    EXPECT_TRUE(IsWhite(img.pixel(br.x() - 4, br.y() - 4)));
}
