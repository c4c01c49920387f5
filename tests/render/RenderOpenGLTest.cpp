// The OpenGL renderer's own rules: one texture update per new frame, and the pixel path when no texture can be made.
#include "RenderHarness.h"
#include "render/VideoRenderOpenGL.h"

#include <gtest/gtest.h>

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLFunctions_2_1>
#include <QOpenGLWidget>
#include <QTest>

namespace {

// Makes the texture storage fail with a real GL error a given number of times, then allocates normally.
class FailingUploadRender final : public CVideoRenderOpenGL {
public:
    int failuresLeft = 0;
    int allocations = 0;

protected:
    void AllocateTexture() override {
        ++allocations;
        if (failuresLeft > 0) {
            --failuresLeft;
            gl->glBindTexture(GL_TEXTURE_2D, texture);
            gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, -1, -1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
            return;
        }
        CVideoRenderOpenGL::AllocateTexture();
    }
};

FailingUploadRender& Failing(TestView& view) { return static_cast<FailingUploadRender&>(view.renderer); }

} // namespace

// Shrunk through the renderer's texture, and texel for pixel straight from the surface's framebuffer.
TEST(RenderTexture, UpdatedOnlyForNewFrame) {
    for (const QSize viewSize : {QSize(640, 480), QSize(320, 240)}) {
        SCOPED_TRACE(viewSize.width());
        TestView view(std::make_unique<CVideoRenderOpenGL>(), viewSize);
        TestFrame frame(320, 240, 32, true);
        view.ShowFrame(frame);
        EXPECT_TRUE(IsRed(view.Grab(false).pixel(100, 100))) << "a fresh texture is filled even for a repaint";
        frame.Fill(Qt::green); // the engine decodes the next frame into the same buffer
        EXPECT_TRUE(IsRed(view.Grab(false).pixel(100, 100))) << "a repaint must not upload again";
        EXPECT_TRUE(IsGreen(view.Grab(true).pixel(100, 100)));
        // A new format refills the texture at the next paint whatever the view says.
        TestFrame other(320, 240, 24, false);
        view.ShowFrame(other);
        EXPECT_TRUE(IsRed(view.Grab(false).pixel(100, 100)));
    }
}

TEST(RenderPixelPath, FailedUploadIsRetriedOnce) {
    TestView view(std::make_unique<FailingUploadRender>(), QSize(1000, 500));
    view.Grab(); // the context exists from here on
    TestFrame frame(640, 480, 32, true);
    Failing(view).failuresLeft = 1;
    view.ShowFrame(frame);
    EXPECT_EQ(Failing(view).allocations, 2);
    EXPECT_FALSE(view.renderer.pixelPath);
    EXPECT_TRUE(static_cast<CVideoRenderOpenGL&>(view.renderer).Texturing());
    EXPECT_TRUE(IsRed(view.Grab().pixel(300, 100)));
}

TEST(RenderPixelPath, UprightWithoutZoomOrPanWhenUploadFails) {
    for (const int bitCount : {32, 24}) {
        for (const bool topDown : {true, false}) {
            TestView view(std::make_unique<FailingUploadRender>(), QSize(1000, 500));
            view.Grab();
            Failing(view).failuresLeft = 2;
            TestFrame frame(638, 480, bitCount, topDown);
            view.ShowFrame(frame);
            ASSERT_TRUE(view.renderer.pixelPath);
            view.renderer.zoom = 2.0f; // not applied on this path
            view.renderer.panX = 0.5f;
            SCOPED_TRACE(testing::Message() << bitCount << " bits, top-down " << topDown);
            const QImage img = view.Grab();
            ExpectQuadrants(img, QPoint(168, 0), QPoint(831, 499));
            ExpectColours(img, {{80, 250, IsBlack}, {920, 250, IsBlack}});
        }
    }
}

TEST(RenderPixelPath, StatusTextMovesToTheTop) {
    TestView view(std::make_unique<FailingUploadRender>(), QSize(1000, 500));
    view.Grab();
    Failing(view).failuresLeft = 2;
    TestFrame frame(640, 480, 32, true);
    frame.Fill(Qt::black);
    view.ShowFrame(frame);
    view.renderer.SetOsdText(QStringLiteral("Volume: Mute")); // no descenders;
    const int lowest = YellowBox(view.Grab().copy(0, 0, 200, 100)).bottom();
    EXPECT_GE(lowest, 14);
    EXPECT_LE(lowest, 21); // baseline 20 pixels below the top
}

TEST(RenderPixelPath, FrameWiderThanAnyTextureTakesIt) {
    TestView view(std::make_unique<CVideoRenderOpenGL>(), QSize(1000, 500));
    view.Grab();
    auto* surface = static_cast<QOpenGLWidget*>(view.renderer.GetDC());
    surface->makeCurrent();
    GLint maxSize = 0;
    surface->context()->functions()->glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    surface->doneCurrent();
    ASSERT_GT(maxSize, 0);
    TestFrame frame(maxSize + 1, 4, 32, true);
    view.ShowFrame(frame);
    EXPECT_TRUE(view.renderer.pixelPath);
    view.Grab(); // draws through glDrawPixels without fault
    TestFrame normal(640, 480, 32, true);
    view.ShowFrame(normal);
    EXPECT_FALSE(view.renderer.pixelPath) << "the path is decided anew for every format";
    EXPECT_TRUE(IsRed(view.Grab().pixel(300, 100)));
}

TEST(RenderTexture, RebuiltWhenSurfaceMovesToAnotherWindow) {
    TestView view(std::make_unique<CVideoRenderOpenGL>(), QSize(640, 480));
    TestFrame frame(320, 240, 24, true);
    view.ShowFrame(frame);
    EXPECT_TRUE(IsRed(view.Grab().pixel(100, 100)));
    // A new top-level window gives the surface a new GL context; the old texture went with the old one.
    QWidget other;
    other.resize(640, 480);
    view.setParent(&other);
    other.show();
    if (!QTest::qWaitForWindowExposed(&other)) GTEST_SKIP() << "no exposure from the display";
    ExpectColours(view.Grab(false), {{100, 100, IsRed}, {540, 380, IsWhite}});
    view.setParent(nullptr);
}

TEST(RenderTexture, OriginalSizeMapsTexelToPixel) {
    // Shown texel for pixel over the whole surface, the frame goes straight into the surface's framebuffer.
    for (const int bitCount : {32, 24}) {
        for (const bool topDown : {true, false}) {
            SCOPED_TRACE(testing::Message() << bitCount << " bits, top-down " << topDown);
            TestView view(std::make_unique<CVideoRenderOpenGL>(), QSize(320, 240));
            TestFrame frame(320, 240, bitCount, topDown);
            view.ShowFrame(frame);
            const QImage img = view.Grab();
            // Quadrant borders exactly between columns 159/160 and rows 119/120, corners included: no blur,
            // no shift, no mirroring.
            EXPECT_EQ(img.pixel(159, 119), qRgb(255, 0, 0));
            EXPECT_EQ(img.pixel(160, 119), qRgb(0, 255, 0));
            EXPECT_EQ(img.pixel(159, 120), qRgb(0, 0, 255));
            EXPECT_EQ(img.pixel(160, 120), qRgb(255, 255, 255));
            EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
            EXPECT_EQ(img.pixel(319, 239), qRgb(255, 255, 255));
        }
    }
}

TEST(RenderTexture, TexelForPixelRepaintsKeepThePictureAndLoseTheStatusText) {
    TestView view(std::make_unique<CVideoRenderOpenGL>(), QSize(320, 240));
    std::int64_t now = 1000;
    view.renderer.secondsClock = [&now] { return now; };
    TestFrame frame(320, 240, 32, true);
    frame.Fill(Qt::green);
    view.ShowFrame(frame);
    EXPECT_TRUE(IsGreen(view.Grab(true).pixel(100, 100)));

    // The status text is drawn over the picture; once it expires, a repaint shows the picture without it.
    view.renderer.SetOsdText(QStringLiteral("Volume: Mute"));
    EXPECT_TRUE(IsYellow(view.Grab(false).pixel(20, 38)) || IsYellow(view.Grab(false).pixel(21, 38)));
    now += 6;
    ExpectColours(view.Grab(false), {{20, 38, IsGreen}, {21, 38, IsGreen}, {60, 40, IsGreen}});

    // A paint that drew something else (the logo screen) is not mistaken for the picture either.
    TestFrame* shown = view.frame;
    view.frame = nullptr;
    EXPECT_FALSE(IsGreen(view.Grab(false).pixel(100, 100)));
    view.frame = shown;
    EXPECT_TRUE(IsGreen(view.Grab(false).pixel(100, 100)));

    // Zoomed, the frame goes through the renderer's own texture, which must catch up with the buffer.
    view.renderer.zoom = 2.0f;
    ExpectColours(view.Grab(false), {{100, 100, IsGreen}, {300, 230, IsGreen}});
    view.renderer.zoom = 1.0f;
    EXPECT_TRUE(IsGreen(view.Grab(false).pixel(5, 5)));
}
