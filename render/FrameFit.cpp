#include "render/FrameFit.h"

#include <cmath>
#include <cstdlib>

DestRect FitFrame(int frameWidth, int frameHeight, int clientWidth, int clientHeight) {
    const int w0 = frameWidth;
    const int h0 = std::abs(frameHeight);
    if (w0 <= 0 || h0 <= 0) return {};
    const float cw = static_cast<float>(clientWidth);
    const float ch = static_cast<float>(clientHeight);
    // Single precision on purpose: the view and both renderers must agree to the same float.
    const float r = static_cast<float>(h0) / static_cast<float>(w0);
    float W = cw;
    float H = cw * r;
    if (cw > ch && H > ch) {
        W = ch / r;
        H = ch;
    }
    return {std::fabs(W * 0.5f - cw * 0.5f), std::fabs(H * 0.5f - ch * 0.5f), W, H};
}
