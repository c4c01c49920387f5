// The engine's frame lock around a paint: given back as soon as the renderer has its own copy of the picture,
// so the playback thread's next read never waits for the rest of the paint.
#include "render/VideoRenderGdi.h"
#include "render/VideoRenderOpenGL.h"
#include "tests/render/RenderHarness.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>

TEST(RenderFrameLock, ReleasedOnceThePictureIsTakenButHeldWhileDrawingFromTheBuffer) {
    struct Case {
        const char* what;
        std::function<std::unique_ptr<CVideoRender>()> make;
        int bitCount;
        bool released;
    };
    const Case cases[] = {
        {"GDI+ 24-bit: scaled into its own picture", [] { return std::make_unique<CVideoRenderGdi>(); }, 24, true},
        {"GDI+ 32-bit: drawn straight from the buffer", [] { return std::make_unique<CVideoRenderGdi>(); }, 32,
         false},
        {"OpenGL: uploaded into its texture", [] { return std::make_unique<CVideoRenderOpenGL>(); }, 24, true},
    };
    std::mutex engineLock;
    for (const Case& c : cases) {
        TestView view(c.make(), QSize(640, 360));
        TestFrame frame(320, 240, c.bitCount, true);
        view.ShowFrame(frame);
        if (view.renderer.pixelPath) continue; // no texture on this display: the pixel path reads to the end
        std::unique_lock lock(engineLock);
        view.renderer.frameLock = &lock;
        const QImage shown = view.Grab(true);
        view.renderer.frameLock = nullptr;
        EXPECT_EQ(!lock.owns_lock(), c.released) << c.what;
        // 320x240 fitted into 640x360: 480x360 at x 80.
        ExpectQuadrants(shown, QPoint(80, 0), QPoint(559, 359));
    }
}
