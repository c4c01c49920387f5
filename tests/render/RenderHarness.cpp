#include "RenderHarness.h"

#include <QOpenGLWidget>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

TestFrame::TestFrame(int width, int height, int bitCount, bool topDown) {
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = topDown ? -height : height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<std::uint16_t>(bitCount);
    header.biSizeImage = static_cast<std::uint32_t>(((width * bitCount / 8 + 3) & ~3) * height);
    // Padding bytes get a loud value so that a renderer reading them as pixels shows it.
    bits.assign(header.biSizeImage, 0x7F);
    Paint([=](int x, int y) -> QColor {
        return y < height / 2 ? (x < width / 2 ? Qt::red : Qt::green) : (x < width / 2 ? Qt::blue : Qt::white);
    });
}

void TestFrame::Paint(const std::function<QColor(int, int)>& colour) {
    const int bpp = header.biBitCount / 8;
    const int stride = (Width() * bpp + 3) & ~3;
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x) {
            const QColor c = colour(x, y);
            std::uint8_t* p = bits.data() + (header.biHeight < 0 ? y : Height() - 1 - y) * stride + x * bpp;
            p[0] = static_cast<std::uint8_t>(c.blue());
            p[1] = static_cast<std::uint8_t>(c.green());
            p[2] = static_cast<std::uint8_t>(c.red());
            if (bpp == 4) p[3] = 0xFF;
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

QRect YellowBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (IsYellow(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

void ExpectColours(const QImage& img, std::initializer_list<ColourAt> points) {
    for (const ColourAt& p : points)
        EXPECT_TRUE(p.is(img.pixel(p.x, p.y))) << "at " << p.x << "," << p.y << ": " << std::hex << img.pixel(p.x, p.y);
}

void ExpectQuadrants(const QImage& img, QPoint tl, QPoint br) {
    const int cx = (tl.x() + br.x()) / 2, cy = (tl.y() + br.y()) / 2;
    const int qx = (br.x() - tl.x()) / 4, qy = (br.y() - tl.y()) / 4;
    // Just inside the corners as well: the last rows and columns are the frame's, not padding or the other edge.
    ExpectColours(img, {{cx - qx, cy - qy, IsRed}, {cx + qx, cy - qy, IsGreen}, {cx - qx, cy + qy, IsBlue},
                        {cx + qx, cy + qy, IsWhite}, {tl.x() + 4, tl.y() + 4, IsRed}, {br.x() - 4, br.y() - 4, IsWhite}});
}
