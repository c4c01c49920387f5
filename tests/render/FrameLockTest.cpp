// The frame handed to a renderer gives its lock back as soon as the renderer has its own copy of the picture,
// so the playback thread's next hand-over never waits for the rest of a paint.
#include "render/VideoRenderGdi.h"
#include "render/VideoRenderOpenGL.h"
#include "tests/render/RenderHarness.h"

#include <gtest/gtest.h>

#include <functional>

TEST(RenderFrameLock, ReleasedOnceThePictureIsTakenButHeldWhileDrawingFromThePixels) {
    struct Case {
        const char* what;
        std::function<std::unique_ptr<CVideoRender>()> make;
        int bitCount;
        bool released;
    };
    const Case cases[] = {
        {"GDI+ 24-bit: scaled into its own picture", [] { return std::make_unique<CVideoRenderGdi>(); }, 24, true},
        {"GDI+ 32-bit: drawn straight from the pixels", [] { return std::make_unique<CVideoRenderGdi>(); }, 32,
         false},
        {"OpenGL: uploaded into its texture", [] { return std::make_unique<CVideoRenderOpenGL>(); }, 24, true},
    };
    for (const Case& c : cases) {
        TestView view(c.make(), QSize(640, 360));
        TestFrame frame(320, 240, c.bitCount, true);
        view.ShowFrame(frame);
        if (view.renderer.pixelPath) continue; // no texture on this display: the pixel path reads to the end
        for (bool newPicture : {true, false}) {
            const QImage shown = view.Grab(newPicture);
            EXPECT_EQ(!view.heldAfterDraw, c.released) << c.what << (newPicture ? "" : ", repaint");
            // 320x240 fitted into 640x360: 480x360 at x 80.
            ExpectQuadrants(shown, QPoint(80, 0), QPoint(559, 359));
        }
        EXPECT_TRUE(view.frameLock.try_lock()) << c.what << ": the lock outlived the paint";
        view.frameLock.unlock();
    }
}
