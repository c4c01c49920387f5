// Turns decoded frames into the shared packed BGR/BGRA buffer: scaling, rotation, flip, picture adjustments.
#pragma once

#include "engine/module/FFmpegPtr.h"
#include "engine/module/PictureScaler.h"
#include "engine/module/VideoDevice.h"

#include <array>
#include <cstdint>
#include <string>

namespace nrx {

struct PictureSettings {
    int brightness = 0; // -255..255
    int contrast = 0;   // -100..100
    int saturation = 0; // -255..255
    int quality = 0;    // 0 fast, 1 balanced, 2 best
    bool flip = false;  // rows delivered bottom-up
    bool operator==(const PictureSettings&) const = default;
};

// Lookup tables for the picture adjustments; identity tables when all three values are 0.
struct AdjustTables {
    std::array<std::uint8_t, 256> level{};      // brightness and contrast, per colour byte
    std::array<std::int16_t, 511> chroma{};     // saturation: scaled distance from grey, indexed by d+255
    bool saturate = false;
    void Build(int brightness, int contrast, int saturation);
};

// Applies the tables to packed BGR(A) pixels in place.
void ApplyAdjustments(std::uint8_t* pixels, int width, int height, int stride, int bytesPerPixel,
                      const AdjustTables& tables);

class FrameConverter {
public:
    // Fixes the delivered size (already upright and in square pixels) and the pixel layout.
    // `rotation` is the clockwise turn (0, 90, 180, 270) applied to decoded pictures.
    bool Setup(int width, int height, int rotation, int bitsPerPixel, std::string& error);
    bool Convert(const AVFrame* frame, const PictureSettings& settings, std::string& error);
    void FillBlack();
    // Rewrites header fields that depend on the settings (row order), keeping its address.
    void UpdateHeader(bool flip);

    std::uint8_t* Buffer() { return buffer.Data(); }
    BITMAPINFOHEADER* Header() { return &header; }
    int Width() const { return width; }
    int Height() const { return height; }
    int BitsPerPixel() const { return bytesPerPixel * 8; }

private:
    void HalfTurn();
    void QuarterTurn(const std::uint8_t* src, int srcW, int srcH, int srcStride);
    void FlipRows();

    int width = 0, height = 0, rotation = 0, bytesPerPixel = 3, stride = 0;
    AlignedBytes buffer; // the shared buffer; never reallocated after Setup
    BITMAPINFOHEADER header{};
    PictureScaler scaler;
    PictureSettings tablesFor{};
    AdjustTables tables;
};

} // namespace nrx
