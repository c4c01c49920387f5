// Test harness for the renderers: generated frames in the engine's layout and a real view widget that paints
// through a renderer the way the main view does.
#pragma once

#include "render/VideoRender.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <memory>
#include <mutex>
#include <vector>

class QApplication;

QApplication& TestApp();

// A frame as the engine delivers it: header plus 4-byte padded rows. Quadrants: top-left red, top-right
// green, bottom-left blue, bottom-right white, so that a mirrored, swapped or skewed picture shows.
struct TestFrame {
    BITMAPINFOHEADER header{};
    std::vector<std::uint8_t> bits;

    TestFrame(int width, int height, int bitCount, bool topDown);
    int Width() const { return header.biWidth; }
    int Height() const { return header.biHeight < 0 ? -header.biHeight : header.biHeight; }
    // Fills the whole picture with one colour (as a later decoded frame would overwrite the buffer).
    void Fill(QColor colour);
};

// Base listed first so that the application exists before any widget is constructed.
struct AppInstance {
    AppInstance() { TestApp(); }
};

// The view: owns the renderer, gives it the frame format, and draws from the paint callback, handing the frame
// over as the main view does (a CFrameView holding frameLock, a new serial for each new picture).
class TestView : private AppInstance, public QWidget {
public:
    TestView(std::unique_ptr<CVideoRender> renderer, QSize size);
    ~TestView() override;

    // The view's frame-format step: fit, SetFrameFormat, Resize, zoom and pan reset.
    void ShowFrame(TestFrame& frame);
    // Paints once and returns what the surface shows.
    QImage Grab(bool newFrame = true);

    CVideoRender& renderer;
    TestFrame* frame = nullptr;
    std::mutex frameLock;
    bool heldAfterDraw = false; // the frame still held its lock when the last Draw returned

private:
    std::unique_ptr<CVideoRender> owned;
    bool nextIsNew = true;
    std::uint64_t serial = 0;
};

// Checks the four quadrants of a picture drawn into the rectangle tl..br (inclusive) of img.
void ExpectQuadrants(const QImage& img, QPoint tl, QPoint br);

// Colour classes for pixel checks; a scaled picture blends only near its edges, so checks sample well inside.
bool IsRed(QRgb c);
bool IsGreen(QRgb c);
bool IsBlue(QRgb c);
bool IsWhite(QRgb c);
bool IsBlack(QRgb c);
bool IsYellow(QRgb c);
