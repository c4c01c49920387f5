// The GDI+ renderer's 24-bit path: the frame scaled straight into a 32-bit picture of the shown size, once
// per new frame, upright whatever the row order, and cut correctly where the picture leaves the view.
#include "render/FrameScaler.h"
#include "render/VideoRenderGdi.h"
#include "tests/GuardedBytes.h"
#include "tests/render/RenderHarness.h"

#include <gtest/gtest.h>

#include <QColor>

#include <cstring>

namespace {

// A 24-bit frame in the engine's layout whose every pixel is distinct: red = x, green = y, blue = x ^ y.
struct GradientFrame {
    int width, height;
    bool topDown;
    qsizetype stride;
    GuardedBytes buffer;
    std::uint8_t* data;

    GradientFrame(int width, int height, bool topDown)
        : width(width), height(height), topDown(topDown), stride((qsizetype(width) * 3 + 3) & ~qsizetype(3)),
          buffer(static_cast<std::size_t>(stride * height)), data(buffer.EndingAtGuard(stride * height)) {
        std::memset(data, 0xAB, static_cast<std::size_t>(stride * height)); // padding must never show
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = data + (topDown ? y : height - 1 - y) * stride;
            for (int x = 0; x < width; ++x) {
                row[3 * x + 0] = static_cast<std::uint8_t>(x ^ y);
                row[3 * x + 1] = static_cast<std::uint8_t>(y);
                row[3 * x + 2] = static_cast<std::uint8_t>(x);
            }
        }
    }
    CFrameScaler::Source Source() const { return {data, width, height, stride, topDown}; }
    static QRgb At(int x, int y) { return qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF); }
};

} // namespace

TEST(RenderScaler, CopiesAnUnscaledFrameExactlyInEitherRowOrder) {
    // 201 pixels: 603-byte rows padded to 604. 200: 600-byte rows without padding, so the buffer's last pixel
    // is its last three bytes (a read of four would fault on the guard page).
    for (int width : {201, 200})
        for (bool topDown : {true, false}) {
            const GradientFrame frame(width, 150, topDown);
            CFrameScaler scaler;
            QImage out;
            const QRect dest(0, 0, width, 150);
            scaler.Scale(frame.Source(), dest, dest, out);
            ASSERT_EQ(out.size(), QSize(width, 150));
            ASSERT_EQ(out.format(), QImage::Format_RGB32);
            for (int y = 0; y < 150; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(out.pixel(x, y), GradientFrame::At(x, y)) << x << "," << y << " topDown " << topDown;
            // Enlarged, the last source pixel lands on several target columns.
            scaler.Scale(frame.Source(), QRect(0, 0, width * 2, 300), QRect(0, 0, width * 2, 300), out);
            EXPECT_EQ(out.pixel(width * 2 - 1, 299), GradientFrame::At(width - 1, 149));
            EXPECT_EQ(out.pixel(width * 2 - 2, 298), GradientFrame::At(width - 1, 149));
        }
}

TEST(RenderScaler, SamplesTheNearestPixelAndCutsTheInvisiblePartAlike) {
    const GradientFrame frame(240, 200, false);
    CFrameScaler scaler;
    QImage whole;
    const QRect dest(10, 20, 120, 100); // halved
    scaler.Scale(frame.Source(), dest, dest, whole);
    // Halving picks one of each 2x2 block, the same one everywhere: never a padding byte, never a neighbour's row.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(whole.pixel(x, y), GradientFrame::At(2 * x + 1, 2 * y + 1)) << x << "," << y;

    // Only a corner inside the view: the same pixels as that corner of the whole picture.
    const QRect visible(50, 60, 80, 60);
    QImage part;
    scaler.Scale(frame.Source(), dest, visible, part);
    ASSERT_EQ(part.size(), visible.size());
    EXPECT_EQ(part, whole.copy(visible.translated(-dest.topLeft())));

    // Enlarged 3x with the visible part at an odd offset.
    const QRect big(-7, -5, 720, 600);
    const QRect cut(0, 0, 300, 200);
    scaler.Scale(frame.Source(), big, cut, part);
    for (int y = 0; y < 200; y += 13)
        for (int x = 0; x < 300; x += 11)
            ASSERT_EQ(part.pixel(x, y), GradientFrame::At((x + 7) / 3, (y + 5) / 3)) << x << "," << y;
}

TEST(RenderScaler, GdiRendererScalesA24BitFrameOncePerNewFrame) {
    TestView view(std::make_unique<CVideoRenderGdi>(), QSize(1000, 500));
    TestFrame frame(638, 480, 24, false);
    view.ShowFrame(frame);
    ExpectQuadrants(view.Grab(true), QPoint(168, 0), QPoint(831, 499));

    frame.Fill(Qt::green);
    EXPECT_TRUE(IsRed(view.Grab(false).pixel(300, 100))) << "a repaint of the same frame shows the picture made before";
    EXPECT_TRUE(IsGreen(view.Grab(true).pixel(300, 100))) << "a new frame is scaled again";

    // Another placement scales again even for a repaint, and the bars follow it.
    frame.Fill(Qt::blue);
    view.resize(500, 500);
    view.renderer.destRect = FitFrame(638, 480, 500, 500); // 500 x 376.2 at y 61.9
    // A bar above the picture, which starts at its rounded top edge.
    ExpectColours(view.Grab(false), {{250, 250, IsBlue}, {250, 10, IsBlack}, {250, 64, IsBlue}, {250, 61, IsBlack}});
}
