#include "engine/module/FrameConverter.h"

#include <algorithm>
#include <cstring>

namespace nrx {

void AdjustTables::Build(int brightness, int contrast, int saturation) {
    // Contrast scales the distance from mid grey: -100 flattens to grey, +100 steepens five-fold.
    const double c = contrast >= 0 ? 1.0 + contrast / 25.0 : (100.0 + contrast) / 100.0;
    for (int v = 0; v < 256; ++v) {
        const double out = (v - 128) * c + 128 + brightness;
        level[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(std::clamp(out + 0.5, 0.0, 255.0));
    }
    const double s = 1.0 + saturation / 255.0;
    for (int d = -255; d <= 255; ++d)
        chroma[static_cast<std::size_t>(d + 255)] = static_cast<std::int16_t>(d >= 0 ? d * s + 0.5 : d * s - 0.5);
    saturate = saturation != 0;
}

void ApplyAdjustments(std::uint8_t* pixels, int width, int height, int stride, int bpp, const AdjustTables& t) {
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x, p += bpp) {
            int b = t.level[p[0]], g = t.level[p[1]], r = t.level[p[2]];
            if (t.saturate) {
                const int grey = (b * 29 + g * 150 + r * 77 + 128) >> 8;
                b = std::clamp(grey + t.chroma[static_cast<std::size_t>(b - grey + 255)], 0, 255);
                g = std::clamp(grey + t.chroma[static_cast<std::size_t>(g - grey + 255)], 0, 255);
                r = std::clamp(grey + t.chroma[static_cast<std::size_t>(r - grey + 255)], 0, 255);
            }
            p[0] = static_cast<std::uint8_t>(b);
            p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(r);
        }
    }
}

bool FrameConverter::Setup(int w, int h, int rot, int bitsPerPixel, std::string& error) {
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384) {
        error = "Picture size " + std::to_string(w) + "x" + std::to_string(h) + " is outside 1..16384 pixels a side.";
        return false;
    }
    width = w;
    height = h;
    rotation = rot;
    bytesPerPixel = bitsPerPixel == 32 ? 4 : 3;
    stride = PackedRowBytes(width, bytesPerPixel);
    if (!buffer.Allocate(PackedBufferBytes(stride, height))) {
        error = "Not enough memory for a " + std::to_string(w) + "x" + std::to_string(h) + " picture.";
        return false;
    }
    FillBlack();
    header = BITMAPINFOHEADER{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biPlanes = 1;
    header.biBitCount = static_cast<std::uint16_t>(bytesPerPixel * 8);
    header.biSizeImage = static_cast<std::uint32_t>(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    UpdateHeader(false);
    tables.Build(0, 0, 0);
    tablesFor = PictureSettings{};
    return true;
}

void FrameConverter::UpdateHeader(bool flip) { header.biHeight = flip ? height : -height; }

void FrameConverter::FillBlack() {
    std::uint8_t* bytes = buffer.Data();
    std::fill(bytes, bytes + buffer.Size(), 0);
    if (bytesPerPixel == 4)
        for (std::size_t i = 3; i < buffer.Size(); i += 4) bytes[i] = 255;
}

bool FrameConverter::Convert(const AVFrame* frame, const PictureSettings& settings, std::string& error) {
    if (rotation == 90 || rotation == 270) {
        const std::uint8_t* turned = scaler.ScaleToScratch(frame, height, width, bytesPerPixel, settings.quality, error);
        if (!turned) return false;
        QuarterTurn(turned, height, width, RoomyRowBytes(height, bytesPerPixel));
    } else {
        if (!scaler.Scale(frame, width, height, bytesPerPixel, settings.quality, buffer.Data(), stride, error))
            return false;
        if (rotation == 180) HalfTurn();
    }
    if (settings.brightness || settings.contrast || settings.saturation) {
        if (settings.brightness != tablesFor.brightness || settings.contrast != tablesFor.contrast ||
            settings.saturation != tablesFor.saturation) {
            tables.Build(settings.brightness, settings.contrast, settings.saturation);
            tablesFor = settings;
        }
        ApplyAdjustments(buffer.Data(), width, height, stride, bytesPerPixel, tables);
    }
    if (settings.flip) FlipRows();
    UpdateHeader(settings.flip);
    return true;
}

void FrameConverter::HalfTurn() {
    const int bpp = bytesPerPixel;
    // In place: the picture turned half way is the pixel sequence reversed, row padding aside.
    for (int y = 0; y < (height + 1) / 2; ++y) {
        std::uint8_t* a = buffer.Data() + static_cast<std::ptrdiff_t>(y) * stride;
        std::uint8_t* b = buffer.Data() + static_cast<std::ptrdiff_t>(height - 1 - y) * stride;
        const int count = (y == height - 1 - y) ? width / 2 : width;
        for (int x = 0; x < count; ++x) {
            std::uint8_t* pa = a + x * bpp;
            std::uint8_t* pb = b + (width - 1 - x) * bpp;
            for (int k = 0; k < bpp; ++k) std::swap(pa[k], pb[k]);
        }
    }
}

void FrameConverter::QuarterTurn(const std::uint8_t* src, int srcW, int srcH, int srcStride) {
    const int bpp = bytesPerPixel;
    for (int y = 0; y < srcH; ++y) {
        const std::uint8_t* row = src + static_cast<std::ptrdiff_t>(y) * srcStride;
        for (int x = 0; x < srcW; ++x) {
            // 90 clockwise: source (x, y) goes to (H-1-y, x); 270: to (y, W-1-x).
            const int dx = rotation == 90 ? srcH - 1 - y : y;
            const int dy = rotation == 90 ? x : srcW - 1 - x;
            std::memcpy(buffer.Data() + static_cast<std::ptrdiff_t>(dy) * stride + dx * bpp, row + x * bpp,
                        static_cast<std::size_t>(bpp));
        }
    }
}

void FrameConverter::FlipRows() {
    for (int y = 0; y < height / 2; ++y) {
        std::uint8_t* a = buffer.Data() + static_cast<std::ptrdiff_t>(y) * stride;
        std::uint8_t* b = buffer.Data() + static_cast<std::ptrdiff_t>(height - 1 - y) * stride;
        std::swap_ranges(a, a + stride, b);
    }
}

} // namespace nrx
