// Cost of one draw of a 1080p frame into a 960x540 view for each renderer and path, against a plain QPainter
// drawImage measured in the same run. Run under a display: xvfb-run -a -s "-screen 0 1920x1080x24" render-bench
#include "render/FrameFit.h"
#include "render/VideoRenderGdi.h"
#include "render/VideoRenderOpenGL.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QOpenGLFunctions_2_1>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kWarmUp = 10, kRuns = 120;

struct Frame {
    BITMAPINFOHEADER header{};
    std::vector<std::uint8_t> bits;
    explicit Frame(int bitCount) {
        header.biSize = sizeof header;
        header.biWidth = kWidth;
        header.biHeight = -kHeight;
        header.biPlanes = 1;
        header.biBitCount = static_cast<std::uint16_t>(bitCount);
        const int stride = (kWidth * bitCount / 8 + 3) & ~3;
        bits.resize(static_cast<size_t>(stride) * kHeight);
        for (size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
    }
};

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Cost {
    double wallMs = 0, cpuMs = 0;
    double drawMs = -1; // wall time inside Draw alone, when the case has a renderer
};

// startRuns is called between the warm-up and the measured runs.
Cost Measure(const std::function<void()>& once, const std::function<void()>& startRuns = {}) {
    for (int i = 0; i < kWarmUp; ++i) once();
    if (startRuns) startRuns();
    QElapsedTimer wall;
    const double cpu0 = CpuMs();
    wall.start();
    for (int i = 0; i < kRuns; ++i) once();
    return {wall.nsecsElapsed() / 1e6 / kRuns, (CpuMs() - cpu0) / kRuns};
}

// The pixel path on demand: the texture storage fails with a real GL error.
class NoTextureRender final : public CVideoRenderOpenGL {
protected:
    void AllocateTexture() override {
        gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, -1, -1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }
};

// Uploads in the engine's byte order without the channel swizzle, to show what the swizzle saves.
class NoSwizzleRender final : public CVideoRenderOpenGL {
protected:
    void AllocateTexture() override {
        swizzle = false;
        CVideoRenderOpenGL::AllocateTexture();
    }
};

Cost RunRenderer(std::unique_ptr<CVideoRender> renderer, Frame& frame, bool newFrames, const QString& osd = {},
                 QSize viewSize = QSize(960, 540)) {
    QWidget view;
    view.resize(viewSize);
    bool next = true;
    QElapsedTimer inDraw;
    qint64 drawNs = 0;
    renderer->osdX = 5.0f;
    renderer->osdY = 50.0f;
    std::mutex frameLock;
    std::uint64_t serial = 0; // a new serial per paint when every paint shows a new frame
    renderer->Create(&view, [&](QPainter& dc) {
        if (next || serial == 0) ++serial;
        inDraw.start();
        CFrameView picture(std::unique_lock<std::mutex>(frameLock), frame.bits.data(), frame.bits.size(), frame.header,
                           QSize(kWidth, kHeight), 0, serial);
        renderer->Draw(dc, picture);
        drawNs += inDraw.nsecsElapsed();
    });
    view.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    renderer->destRect = FitFrame(kWidth, frame.header.biHeight, view.width(), view.height());
    renderer->SetFrameFormat(&frame.header, QSize(kWidth, kHeight));
    QRect client = view.rect();
    renderer->Resize(client);
    if (!osd.isEmpty()) {
        renderer->secondsClock = [] { return std::int64_t(0); };
        renderer->SetOsdText(osd);
    }
    QWidget* surface = renderer->GetDC();
    Cost cost = Measure(
        [&] {
            next = newFrames;
            surface->repaint();
            QApplication::processEvents();
        },
        [&] { drawNs = 0; });
    cost.drawMs = drawNs / 1e6 / kRuns;
    return cost;
}

void Print(const char* name, Cost c, Cost ref) {
    std::printf("%-46s wall %6.2f ms  cpu %6.2f ms  x%6.2f wall  x%6.2f cpu", name, c.wallMs, c.cpuMs,
                c.wallMs / ref.wallMs, c.cpuMs / ref.cpuMs);
    if (c.drawMs >= 0) std::printf("   in Draw %6.2f ms x%6.2f", c.drawMs, c.drawMs / ref.wallMs);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Frame bgra(32), bgr(24);

    // Reference: the raster scale of the same frame into a 960x540 image, nothing else.
    QImage source(bgra.bits.data(), kWidth, kHeight, kWidth * 4, QImage::Format_RGB32);
    QImage target(960, 540, QImage::Format_RGB32);
    const Cost ref = Measure([&] {
        QPainter p(&target);
        p.drawImage(QRectF(0, 0, 960, 540), source);
    });
    std::printf("1080p frame into a 960x540 view, %d draws each; the ratio is against the reference\n", kRuns);
    Print("reference: QPainter drawImage into QImage", ref, ref);
    Print("GDI+ renderer, 32-bit, repaint + flush", RunRenderer(std::make_unique<CVideoRenderGdi>(), bgra, true), ref);
    Print("GDI+ renderer, 24-bit, repaint + flush", RunRenderer(std::make_unique<CVideoRenderGdi>(), bgr, true), ref);
    Print("OpenGL texture, 32-bit, new frame", RunRenderer(std::make_unique<CVideoRenderOpenGL>(), bgra, true), ref);
    Print("OpenGL texture, 32-bit, same frame", RunRenderer(std::make_unique<CVideoRenderOpenGL>(), bgra, false), ref);
    Print("OpenGL texture, 32-bit, new frame, no swizzle",
          RunRenderer(std::make_unique<NoSwizzleRender>(), bgra, true), ref);
    Print("OpenGL texture, 24-bit, new frame", RunRenderer(std::make_unique<CVideoRenderOpenGL>(), bgr, true), ref);
    Print("OpenGL texture, 32-bit, new frame + status",
          RunRenderer(std::make_unique<CVideoRenderOpenGL>(), bgra, true, QStringLiteral("Volume: 50%")), ref);
    Print("OpenGL texture, 32-bit, Original Size 1920x1080",
          RunRenderer(std::make_unique<CVideoRenderOpenGL>(), bgra, true, {}, QSize(kWidth, kHeight)), ref);
    Print("GDI+ renderer, 32-bit, Original Size 1920x1080",
          RunRenderer(std::make_unique<CVideoRenderGdi>(), bgra, true, {}, QSize(kWidth, kHeight)), ref);
    Print("OpenGL pixel path, 32-bit", RunRenderer(std::make_unique<NoTextureRender>(), bgra, true), ref);
    return 0;
}
