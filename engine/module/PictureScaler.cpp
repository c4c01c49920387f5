#include "engine/module/PictureScaler.h"

#include <cstring>

namespace nrx {

namespace {
constexpr int kBlockPixels = 16;
// Slack after the last row: four times the largest spill seen (15 BGRA pixels), so that the wider blocks a
// later library version may bring still fit.
constexpr std::size_t kLastRowSpill = 64 * 4;

std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

int SwsFlags(int quality) {
    switch (quality) {
    case 1: return SWS_BILINEAR;
    case 2: return SWS_LANCZOS | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT;
    default: return SWS_FAST_BILINEAR;
    }
}

bool HasRoomForLastBlock(int width, int bytesPerPixel, int stride) {
    return static_cast<std::size_t>(stride) >=
           RoundUp(static_cast<std::size_t>(width), kBlockPixels) * static_cast<std::size_t>(bytesPerPixel);
}
} // namespace

int PackedRowBytes(int width, int bytesPerPixel) { return (width * bytesPerPixel + 3) & ~3; }

int RoomyRowBytes(int width, int bytesPerPixel) {
    return static_cast<int>(RoundUp(RoundUp(static_cast<std::size_t>(width), kBlockPixels) *
                                        static_cast<std::size_t>(bytesPerPixel),
                                    kPackedAlign));
}

std::size_t PackedBufferBytes(int stride, int height) {
    return RoundUp(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height) + kLastRowSpill, kPackedAlign);
}

bool AlignedBytes::Allocate(std::size_t bytes) {
    block.reset();
    size = 0;
    block.reset(new (std::align_val_t{kPackedAlign}, std::nothrow) std::uint8_t[bytes]());
    if (!block) return false;
    size = bytes;
    return true;
}

bool PictureScaler::Scale(const AVFrame* frame, int width, int height, int bytesPerPixel, int quality,
                          std::uint8_t* dst, int stride, std::string& error) {
    if (HasRoomForLastBlock(width, bytesPerPixel, stride))
        return Run(frame, width, height, bytesPerPixel, quality, dst, stride, error);
    const std::uint8_t* rows = ScaleToScratch(frame, width, height, bytesPerPixel, quality, error);
    if (!rows) return false;
    const int roomy = RoomyRowBytes(width, bytesPerPixel);
    const auto rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel);
    for (int y = 0; y < height; ++y)
        std::memcpy(dst + static_cast<std::ptrdiff_t>(y) * stride, rows + static_cast<std::ptrdiff_t>(y) * roomy,
                    rowBytes);
    return true;
}

const std::uint8_t* PictureScaler::ScaleToScratch(const AVFrame* frame, int width, int height, int bytesPerPixel,
                                                  int quality, std::string& error) {
    const int roomy = RoomyRowBytes(width, bytesPerPixel);
    const std::size_t need = PackedBufferBytes(roomy, height);
    if (scratch.Size() != need && !scratch.Allocate(need)) {
        error = "Not enough memory to convert a " + std::to_string(width) + "x" + std::to_string(height) + " picture.";
        return nullptr;
    }
    return Run(frame, width, height, bytesPerPixel, quality, scratch.Data(), roomy, error) ? scratch.Data() : nullptr;
}

bool PictureScaler::Run(const AVFrame* frame, int width, int height, int bytesPerPixel, int quality,
                        std::uint8_t* dst, int stride, std::string& error) {
    const AVPixelFormat dstFormat = bytesPerPixel == 4 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24;
    sws.reset(sws_getCachedContext(sws.release(), frame->width, frame->height,
                                   static_cast<AVPixelFormat>(frame->format), width, height, dstFormat,
                                   SwsFlags(quality), nullptr, nullptr, nullptr));
    if (!sws) {
        error = "Cannot convert pictures of this pixel format.";
        return false;
    }
    if (sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, &dst, &stride) <= 0) {
        error = "Picture conversion failed.";
        return false;
    }
    return true;
}

} // namespace nrx
