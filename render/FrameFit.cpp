#include "render/FrameFit.h"

#include <cstdlib>

DestRect FitFrame(int frameWidth, int frameHeight, int clientWidth, int clientHeight) {
    const int w0 = frameWidth;
    const int h0 = std::abs(frameHeight);
    if (w0 <= 0 || h0 <= 0 || clientWidth <= 0 || clientHeight <= 0) return {};
    // The side comparison and the scaled sides in double, from whole numbers: when one side of the client
    // equals the frame's, the picture comes out exactly frame-sized, which the renderers' one-to-one paths
    // test with ==.
    const double cw = clientWidth, ch = clientHeight;
    double W = cw, H = cw * h0 / w0;
    if (cw * h0 > ch * w0) { // relatively wider than the picture: bars left and right
        W = ch * w0 / h0;
        H = ch;
    }
    return {static_cast<float>((cw - W) * 0.5), static_cast<float>((ch - H) * 0.5), static_cast<float>(W),
            static_cast<float>(H)};
}
