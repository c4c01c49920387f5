// Both renderers drawing generated frames into a real widget: upright, fitted, bars, zoom, pan, status text.
#include "RenderHarness.h"
#include "render/VideoRenderGdi.h"
#include "render/VideoRenderOpenGL.h"

#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

enum class Kind { Gdi, OpenGL };

std::unique_ptr<CVideoRender> Make(Kind kind) {
    if (kind == Kind::Gdi) return std::make_unique<CVideoRenderGdi>();
    return std::make_unique<CVideoRenderOpenGL>();
}

// Renderer, bits per pixel, rows top-down.
using PictureCase = std::tuple<Kind, int, bool>;

std::string CaseName(const testing::TestParamInfo<PictureCase>& info) {
    const auto [kind, bitCount, topDown] = info.param;
    return (kind == Kind::Gdi ? "Gdi" : "OpenGL") + std::to_string(bitCount) + (topDown ? "TopDown" : "BottomUp");
}

class RenderPicture : public testing::TestWithParam<PictureCase> {};

// 638 pixels: 24-bit rows carry 2 padding bytes, so a renderer ignoring the padding skews the picture.
constexpr int kFrameW = 638, kFrameH = 480;

} // namespace

TEST_P(RenderPicture, UprightFittedWithBlackBars) {
    const auto [kind, bitCount, topDown] = GetParam();
    TestView view(Make(kind), QSize(1000, 500));
    ASSERT_TRUE(view.renderer.ready);
    TestFrame frame(kFrameW, kFrameH, bitCount, topDown);
    view.ShowFrame(frame);
    const QImage img = view.Grab();
    ASSERT_EQ(img.size(), QSize(1000, 500));
    // Fitted: 664.6 x 500 at x 167.7.
    ExpectQuadrants(img, QPoint(168, 0), QPoint(831, 499));
    ExpectColours(img, {{2, 250, IsBlack}, {160, 10, IsBlack}, {840, 490, IsBlack}, {997, 250, IsBlack}});
}

INSTANTIATE_TEST_SUITE_P(Render, RenderPicture,
                         testing::Combine(testing::Values(Kind::Gdi, Kind::OpenGL), testing::Values(32, 24),
                                          testing::Values(true, false)),
                         CaseName);

TEST(RenderFormats, TwentyFourBitFileAfterThirtyTwoBitOne) {
    for (Kind kind : {Kind::Gdi, Kind::OpenGL}) {
        TestView view(Make(kind), QSize(1000, 500));
        TestFrame first(640, 480, 32, true);
        view.ShowFrame(first);
        view.Grab();
        // Bottom-up and narrower as well: every cached property of the first format must be renewed.
        TestFrame second(kFrameW, kFrameH, 24, false);
        view.ShowFrame(second);
        ExpectQuadrants(view.Grab(), QPoint(168, 0), QPoint(831, 499));
        view.ShowFrame(first);
        ExpectQuadrants(view.Grab(), QPoint(167, 0), QPoint(832, 499));
    }
}

TEST(RenderFormats, UnusableFormatsDrawBlackWithoutFault) {
    for (Kind kind : {Kind::Gdi, Kind::OpenGL}) {
        TestView view(Make(kind), QSize(400, 300));
        TestFrame frame(64, 48, 32, true);
        view.renderer.SetFrameFormat(nullptr, QSize(64, 48)); // ignored
        EXPECT_EQ(view.renderer.frameWidth, 0);
        frame.header.biBitCount = 16; // not a depth the engine delivers
        view.ShowFrame(frame);
        EXPECT_TRUE(IsBlack(view.Grab().pixel(200, 150)));
        // A size larger than the header's, or a stated image size too small for the rows, would read past
        // the buffer.
        frame.header.biBitCount = 32;
        view.renderer.SetFrameFormat(&frame.header, QSize(4096, 4096));
        EXPECT_TRUE(IsBlack(view.Grab().pixel(200, 150)));
        frame.header.biSizeImage = 64 * 4 * 47;
        view.ShowFrame(frame);
        EXPECT_TRUE(IsBlack(view.Grab().pixel(200, 150)));
        frame.header.biSizeImage = 0; // not stated: the header's own size is trusted
        view.ShowFrame(frame);
        EXPECT_TRUE(IsRed(view.Grab().pixel(150, 50)));
    }
}

TEST(RenderZoomPan, ZoomScalesAboutClientCentre) {
    TestView view(std::make_unique<CVideoRenderOpenGL>(), QSize(1000, 500));
    TestFrame frame(kFrameW, kFrameH, 32, true);
    view.ShowFrame(frame);
    EXPECT_TRUE(IsBlack(view.Grab().pixel(60, 200)));
    view.renderer.zoom = 2.0f;
    // Doubled about (500, 250): the picture now spans x -164..1164, y -250..750, quadrant borders unmoved.
    ExpectColours(view.Grab(false), {{60, 200, IsRed}, {940, 200, IsGreen}, {60, 300, IsBlue}, {940, 300, IsWhite},
                                     {490, 5, IsRed}, {510, 5, IsGreen}});
}

TEST(RenderZoomPan, PanMovesByFractionOfFittedSize) {
    TestView view(std::make_unique<CVideoRenderOpenGL>(), QSize(1000, 500));
    TestFrame frame(kFrameW, kFrameH, 24, false);
    view.ShowFrame(frame);
    view.renderer.panX = 0.5f; // right by 332.3: the picture starts at x 500
    ExpectColours(view.Grab(), {{490, 100, IsBlack}, {515, 100, IsRed}, {800, 100, IsRed}, {860, 100, IsGreen}});
    view.renderer.panX = 0.0f;
    view.renderer.panY = -0.5f; // up by 250: only the lower half remains, at the top
    ExpectColours(view.Grab(), {{300, 100, IsBlue}, {700, 100, IsWhite}, {500, 400, IsBlack}});
}

TEST(RenderStatusText, YellowAtItsPlaceForFiveSeconds) {
    TestView view(std::make_unique<CVideoRenderOpenGL>(), QSize(1000, 500));
    std::int64_t now = 1000;
    view.renderer.secondsClock = [&now] { return now; };
    TestFrame frame(kFrameW, kFrameH, 32, true);
    frame.Fill(Qt::black); // nothing yellow but the text
    view.ShowFrame(frame);
    view.renderer.SetOsdText(QStringLiteral("Volume: 50%"));

    const QRect box = YellowBox(view.Grab());
    ASSERT_FALSE(box.isEmpty());
    // Baseline at y 50, starting at x 5, 36-pixel bold glyphs.
    EXPECT_GE(box.left(), 5);
    EXPECT_LE(box.left(), 12);
    EXPECT_LE(box.bottom(), 51);
    EXPECT_GE(box.bottom(), 45);
    EXPECT_LE(box.top(), 26);
    EXPECT_GE(box.width(), 120);

    now += 5;
    EXPECT_FALSE(YellowBox(view.Grab(false)).isEmpty()) << "still shown after exactly five seconds";
    EXPECT_FALSE(view.renderer.osdText.isEmpty());
    now += 1;
    EXPECT_TRUE(YellowBox(view.Grab(false)).isEmpty());
    EXPECT_TRUE(view.renderer.osdText.isEmpty()) << "cleared by the first draw after five seconds";
    now -= 6;
    EXPECT_TRUE(YellowBox(view.Grab(false)).isEmpty()) << "a cleared text does not come back";
}

TEST(RenderStatusText, GdiRendererShowsNoneAndIgnoresZoomAndPan) {
    TestView view(std::make_unique<CVideoRenderGdi>(), QSize(1000, 500));
    TestFrame frame(kFrameW, kFrameH, 32, true);
    view.ShowFrame(frame);
    view.renderer.zoom = 2.0f;
    view.renderer.panX = 0.5f;
    view.renderer.SetOsdText(QStringLiteral("Volume: 50%"));
    const QImage img = view.Grab();
    ExpectQuadrants(img, QPoint(168, 0), QPoint(831, 499));
    EXPECT_TRUE(YellowBox(img.copy(0, 0, 160, 100)).isEmpty()) << "the text's place lies in the black bar";
}

TEST(RenderSurface, FollowsViewAndLetsInputThrough) {
    for (Kind kind : {Kind::Gdi, Kind::OpenGL}) {
        TestView view(Make(kind), QSize(1000, 500));
        QWidget* surface = view.renderer.GetDC();
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(surface->parentWidget(), &view);
        EXPECT_TRUE(surface->testAttribute(Qt::WA_TransparentForMouseEvents));
        view.resize(700, 300);
        EXPECT_EQ(surface->geometry(), QRect(0, 0, 700, 300));
        // The client check of the view refits the picture and the next paint uses it.
        TestFrame frame(kFrameW, kFrameH, 32, true);
        view.ShowFrame(frame);
        ExpectQuadrants(view.Grab(), QPoint(152, 0), QPoint(548, 299)); // 398.75 x 300 at x 150.6
    }
}

TEST(RenderSurface, ZeroWidthClientBecomesOne) {
    for (Kind kind : {Kind::Gdi, Kind::OpenGL}) {
        TestView view(Make(kind), QSize(1000, 500));
        QRect client(0, 0, 0, 500);
        view.renderer.Resize(client);
        EXPECT_EQ(client.width(), 1);
        EXPECT_EQ(view.renderer.clientRect.width(), 1);
        view.Grab(); // drawing after it must not fault
    }
    EXPECT_FALSE(CVideoRenderGdi().Create(nullptr, {}));
    EXPECT_FALSE(CVideoRenderOpenGL().Create(nullptr, {}));
}

TEST(RenderSurface, TellsWhenAPaintReachedTheScreen) {
    for (Kind kind : {Kind::Gdi, Kind::OpenGL}) {
        TestView view(Make(kind), QSize(400, 300));
        int presented = 0;
        view.renderer.onPresented = [&presented] { ++presented; };
        view.renderer.GetDC()->update();
        EXPECT_TRUE(QTest::qWaitFor([&presented] { return presented > 0; }, 5000));
    }
}
