// The OpenGL renderer on a software rasteriser: a shrunk picture is sampled with the nearest texel (no blend
// of neighbours), an enlarged one stays filtered.
#include "render/VideoRenderOpenGL.h"
#include "tests/render/RenderHarness.h"

#include <gtest/gtest.h>

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>

namespace {

// Columns alternately pure red and pure blue, one pixel wide: any filtering shows as purple.
void Stripe(TestFrame& frame) {
    frame.Paint([](int x, int) -> QColor { return x % 2 ? Qt::blue : Qt::red; });
}

bool Blended(QRgb c) { return qRed(c) > 60 && qBlue(c) > 60; }

// Share of blended pixels along the middle row of the picture.
double BlendedShare(const QImage& img) {
    int blended = 0;
    const int y = img.height() / 2;
    for (int x = 8; x < img.width() - 8; ++x) blended += Blended(img.pixel(x, y)) ? 1 : 0;
    return static_cast<double>(blended) / (img.width() - 16);
}

bool SoftwareContext(QWidget* surface) {
    auto* gl = qobject_cast<QOpenGLWidget*>(surface);
    if (!gl || !gl->context()) return false;
    gl->makeCurrent();
    const auto* name = reinterpret_cast<const char*>(gl->context()->functions()->glGetString(GL_RENDERER));
    const QByteArray renderer = QByteArray(name ? name : "").toLower();
    gl->doneCurrent();
    return renderer.contains("llvmpipe") || renderer.contains("softpipe");
}

} // namespace

TEST(RenderSoftwareFilter, SoftwareOpenGlSamplesAShrunkPictureUnblendedAndAnEnlargedOneSmooth) {
    TestView view(std::make_unique<CVideoRenderOpenGL>(), QSize(640, 360));
    ASSERT_TRUE(view.renderer.ready);
    TestFrame large(1280, 720, 24, true);
    Stripe(large);
    view.ShowFrame(large);
    const QImage shrunk = view.Grab();
    if (!SoftwareContext(view.renderer.GetDC())) GTEST_SKIP() << "the display's OpenGL is not a software rasteriser";
    EXPECT_LT(BlendedShare(shrunk), 0.02) << "halved stripes must come out pure red or blue, not purple";

    TestFrame small(213, 120, 24, true); // enlarged 3.004 x: stripe edges fall between target pixels
    Stripe(small);
    view.ShowFrame(small);
    EXPECT_GT(BlendedShare(view.Grab()), 0.2) << "an enlarged picture is still filtered";
}
