#include "engine/module/FrameConverter.h"

#include <algorithm>
#include <cstring>

namespace nrx {

namespace {
int RowBytes(int width, int bytesPerPixel) { return (width * bytesPerPixel + 3) & ~3; }

int SwsFlags(int quality) {
    switch (quality) {
    case 1: return SWS_BILINEAR;
    case 2: return SWS_LANCZOS | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT;
    default: return SWS_FAST_BILINEAR;
    }
}
} // namespace

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
    stride = RowBytes(width, bytesPerPixel);
    try {
        buffer.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        error = "Not enough memory for a " + std::to_string(w) + "x" + std::to_string(h) + " picture.";
        return false;
    }
    FillBlack();
    header = BITMAPINFOHEADER{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biPlanes = 1;
    header.biBitCount = static_cast<std::uint16_t>(bytesPerPixel * 8);
    header.biSizeImage = static_cast<std::uint32_t>(buffer.size());
    UpdateHeader(false);
    tables.Build(0, 0, 0);
    tablesFor = PictureSettings{};
    return true;
}

void FrameConverter::UpdateHeader(bool flip) { header.biHeight = flip ? height : -height; }

void FrameConverter::FillBlack() {
    std::fill(buffer.begin(), buffer.end(), 0);
    if (bytesPerPixel == 4)
        for (std::size_t i = 3; i < buffer.size(); i += 4) buffer[i] = 255;
}

bool FrameConverter::Convert(const AVFrame* frame, const PictureSettings& settings, std::string& error) {
    const bool quarter = rotation == 90 || rotation == 270;
    const int sw = quarter ? height : width, sh = quarter ? width : height;
    const AVPixelFormat dstFormat = bytesPerPixel == 4 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24;
    sws.reset(sws_getCachedContext(sws.release(), frame->width, frame->height,
                                   static_cast<AVPixelFormat>(frame->format), sw, sh, dstFormat,
                                   SwsFlags(settings.quality), nullptr, nullptr, nullptr));
    if (!sws) {
        error = "Cannot convert pictures of this pixel format.";
        return false;
    }
    std::uint8_t* dst = buffer.data();
    int dstStride = stride;
    if (quarter) {
        const int rowBytes = RowBytes(sw, bytesPerPixel);
        rotated.resize(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(sh));
        dst = rotated.data();
        dstStride = rowBytes;
    }
    if (sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, &dst, &dstStride) <= 0) {
        error = "Picture conversion failed.";
        return false;
    }
    if (rotation != 0) Rotate(dst, sw, sh, dstStride);
    if (settings.brightness || settings.contrast || settings.saturation) {
        if (settings.brightness != tablesFor.brightness || settings.contrast != tablesFor.contrast ||
            settings.saturation != tablesFor.saturation) {
            tables.Build(settings.brightness, settings.contrast, settings.saturation);
            tablesFor = settings;
        }
        ApplyAdjustments(buffer.data(), width, height, stride, bytesPerPixel, tables);
    }
    if (settings.flip) FlipRows();
    UpdateHeader(settings.flip);
    return true;
}

void FrameConverter::Rotate(const std::uint8_t* src, int srcW, int srcH, int srcStride) {
    const int bpp = bytesPerPixel;
    if (rotation == 180) {
        // In place: the picture turned half way is the pixel sequence reversed, row padding aside.
        for (int y = 0; y < (height + 1) / 2; ++y) {
            std::uint8_t* a = buffer.data() + static_cast<std::ptrdiff_t>(y) * stride;
            std::uint8_t* b = buffer.data() + static_cast<std::ptrdiff_t>(height - 1 - y) * stride;
            const int count = (y == height - 1 - y) ? width / 2 : width;
            for (int x = 0; x < count; ++x) {
                std::uint8_t* pa = a + x * bpp;
                std::uint8_t* pb = b + (width - 1 - x) * bpp;
                for (int k = 0; k < bpp; ++k) std::swap(pa[k], pb[k]);
            }
        }
        return;
    }
    for (int y = 0; y < srcH; ++y) {
        const std::uint8_t* row = src + static_cast<std::ptrdiff_t>(y) * srcStride;
        for (int x = 0; x < srcW; ++x) {
            // 90 clockwise: source (x, y) goes to (H-1-y, x); 270: to (y, W-1-x).
            const int dx = rotation == 90 ? srcH - 1 - y : y;
            const int dy = rotation == 90 ? x : srcW - 1 - x;
            std::memcpy(buffer.data() + static_cast<std::ptrdiff_t>(dy) * stride + dx * bpp, row + x * bpp,
                        static_cast<std::size_t>(bpp));
        }
    }
}

void FrameConverter::FlipRows() {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(stride));
    for (int y = 0; y < height / 2; ++y) {
        std::uint8_t* a = buffer.data() + static_cast<std::ptrdiff_t>(y) * stride;
        std::uint8_t* b = buffer.data() + static_cast<std::ptrdiff_t>(height - 1 - y) * stride;
        std::memcpy(row.data(), a, row.size());
        std::memcpy(a, b, row.size());
        std::memcpy(b, row.data(), row.size());
    }
}

} // namespace nrx
