// Test harness for the renderers: generated frames in the engine's layout and a real view widget that paints
// through a renderer the way the main view does.
#pragma once

#include "render/VideoRender.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// A frame as the engine delivers it: header plus 4-byte padded rows. Quadrants: top-left red, top-right
// green, bottom-left blue, bottom-right white, so that a mirrored, swapped or skewed picture shows.
struct TestFrame {
    BITMAPINFOHEADER header{};
    std::vector<std::uint8_t> bits;

    TestFrame(int width, int height, int bitCount, bool topDown);
    int Width() const { return header.biWidth; }
    int Height() const { return header.biHeight < 0 ? -header.biHeight : header.biHeight; }
    // Gives every pixel colour(x, y), counted from the picture's top left.
    void Paint(const std::function<QColor(int x, int y)>& colour);
    // One colour everywhere, as a later decoded frame would overwrite the buffer.
    void Fill(QColor colour) { Paint([colour](int, int) { return colour; }); }
};

// The view: owns the renderer, gives it the frame format, and draws from the paint callback, handing the frame
// over as the main view does (a CFrameView holding frameLock, a new serial for each new picture).
class TestView : public QWidget {
public:
    TestView(std::unique_ptr<CVideoRender> renderer, QSize size);

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


// Colour classes for pixel checks; a scaled picture blends only near its edges, so checks sample well inside.
inline bool IsNear(QRgb c, int r, int g, int b) {
    return std::abs(qRed(c) - r) <= 40 && std::abs(qGreen(c) - g) <= 40 && std::abs(qBlue(c) - b) <= 40;
}
inline bool IsRed(QRgb c) { return IsNear(c, 255, 0, 0); }
inline bool IsGreen(QRgb c) { return IsNear(c, 0, 255, 0); }
inline bool IsBlue(QRgb c) { return IsNear(c, 0, 0, 255); }
inline bool IsWhite(QRgb c) { return IsNear(c, 255, 255, 255); }
inline bool IsBlack(QRgb c) { return IsNear(c, 0, 0, 0); }
inline bool IsYellow(QRgb c) { return IsNear(c, 255, 255, 0); }

// Bounding box of the yellow (status text) pixels, empty when there are none.
QRect YellowBox(const QImage& img);
// Checks the colour class of each listed pixel of img.
struct ColourAt {
    int x, y;
    bool (*is)(QRgb);
};
void ExpectColours(const QImage& img, std::initializer_list<ColourAt> points);
// Checks the four quadrants of a picture drawn into the rectangle tl..br (inclusive) of img.
void ExpectQuadrants(const QImage& img, QPoint tl, QPoint br);
