// Window sizes, full screen, on-top modes, zoom and pan, driven through the commands on the real frame.
#include "tests/document/DocumentFixture.h"

#include "render/VideoRender.h"
#include "settings/ProgramParams.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
bool OnTop(const QWidget& w) { return w.windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
} // namespace

TEST_F(DocumentTest, HalfSizeOfASmallClipIsClampedToTheMinimumAndCentred) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    ASSERT_TRUE(doc->OnCommand(ID_SIZE_HALF));
    EXPECT_EQ(StatusText(), "Half Size (160:120)");
    const QSize expected(480 + doc->cxEdge + 12, 280 + doc->cyEdge + 12);
    EXPECT_TRUE(WaitFor([&] { return frame->geometry().size() == expected; }))
        << frame->width() << "x" << frame->height();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(frame->geometry().center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(frame->geometry().center().y() - area.center().y()), 1);

    // "Start Playback in Original Size" sizes the window to each newly opened file.
    doc->OnCommand(ID_START_IN_SOURCE_SIZE);
    EXPECT_TRUE(doc->GetCommandState(ID_START_IN_SOURCE_SIZE).checked);
    OpenFiles({Clip("h264_aac_640x360_25.mp4")});
    EXPECT_EQ(frame->geometry().size(), QSize(640 + doc->cxEdge + 12, 360 + doc->cyEdge + 12));
    EXPECT_TRUE(WaitFor([&] { return view->size() == QSize(640, 360); }))
        << "Original Size shows the picture pixel for pixel, not scaled to " << view->width() << "x" << view->height();
    doc->OnCommand(ID_START_IN_CURRENT_SIZE);
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    EXPECT_EQ(frame->geometry().size(), QSize(640 + doc->cxEdge + 12, 360 + doc->cyEdge + 12));
}

TEST_F(DocumentTest, FullScreenAndBackRestoresTheRectangleAndTheOnTopMode) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    doc->OnCommand(ID_ONTOP_NEVER);
    EXPECT_TRUE(doc->GetCommandState(ID_ONTOP_NEVER).checked);
    doc->OnCommand(ID_SIZE_ORIGINAL);
    ASSERT_TRUE(WaitFor([this] { return frame->width() == 480 + doc->cxEdge + 12; }));
    const QRect windowed = frame->geometry();
    EXPECT_FALSE(OnTop(*frame));

    doc->OnCommand(ID_SIZE_FULLSCREEN);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_TRUE(doc->fullScreen);
    EXPECT_TRUE(OnTop(*frame));
    EXPECT_EQ(StatusText(), QStringLiteral("Fullscreen (%1:%2)").arg(screen.width()).arg(screen.height()));
    EXPECT_TRUE(WaitFor([&] { return frame->geometry() == screen.adjusted(-6, -6, 6, 6); })) << "border off-screen";
    EXPECT_EQ(doc->savedWindowRect, windowed);

    // Full screen again does nothing, not even a message.
    doc->ShowStatusMessage(QStringLiteral("marker"));
    doc->OnCommand(ID_SIZE_FULLSCREEN);
    EXPECT_EQ(StatusText(), "marker");
    doc->OnCommand(ID_SIZE_ORIGINAL);
    EXPECT_FALSE(doc->fullScreen);
    EXPECT_FALSE(OnTop(*frame)) << "leaving full screen gives back the user's on-top mode";
    EXPECT_TRUE(WaitFor([&] { return frame->geometry() == windowed; }));
}

TEST_F(DocumentTest, OnTopWhilePlayingFollowsPlayPause) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    doc->OnCommand(ID_ONTOP_WHILE_PLAYING);
    EXPECT_TRUE(OnTop(*frame));
    doc->OnCommand(ID_PLAY_PAUSE);
    EXPECT_FALSE(OnTop(*frame));
    doc->OnCommand(ID_PLAY_PAUSE);
    EXPECT_TRUE(OnTop(*frame));
    doc->OnCommand(ID_ONTOP_ALWAYS);
    doc->OnCommand(ID_PLAY_PAUSE);
    EXPECT_TRUE(OnTop(*frame)) << "Always stays up when paused";
    EXPECT_FALSE(doc->GetCommandState(ID_ONTOP_WHILE_PLAYING).checked);

    doc->ShutdownDocument();
    EXPECT_EQ(Params.OnTopStatus, 2) << "the mode is kept for the next start";
}

// The limits and steps themselves are checked on the zoom and pan rules alone.
TEST_F(DocumentTest, ZoomAndPanReachTheRendererAndNextResetsThem) {
    OpenFiles({Clip("numbered_320x240_25.mp4"), Clip("mpeg4_mp3_320x240_2997.avi")});
    CVideoRender* renderer = CMediaPlayerView::Instance()->Renderer();
    doc->OnCommand(ID_ZOOM_IN);
    EXPECT_FLOAT_EQ(renderer->zoom, 1.007f);
    doc->OnCommand(ID_PAN_LEFT);
    doc->OnCommand(ID_PAN_DOWN);
    EXPECT_FLOAT_EQ(renderer->panX, -0.005f);
    EXPECT_FLOAT_EQ(renderer->panY, 0.005f);

    Press(ID_PLAY_NEXT);
    renderer = CMediaPlayerView::Instance()->Renderer();
    EXPECT_EQ(renderer->zoom, 1.0f);
    EXPECT_EQ(renderer->panX, 0.0f);
    EXPECT_EQ(renderer->panY, 0.0f);
}
