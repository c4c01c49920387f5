// libswscale conversion into packed BGR/BGRA rows laid out as the shared frame buffer wants them, with the
// room the library's vector code needs and nothing written outside the buffer.
#pragma once

#include "engine/module/FFmpegPtr.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>

namespace nrx {

// Alignment of every picture buffer, enough for the widest vector stores the library makes.
inline constexpr std::size_t kPackedAlign = 64;

// Row length of the delivered picture: whole pixels, padded to a multiple of 4 bytes.
int PackedRowBytes(int width, int bytesPerPixel);
// Row length with room for the library's last block of pixels (see PictureScaler), a multiple of kPackedAlign.
int RoomyRowBytes(int width, int bytesPerPixel);
// Bytes for `height` rows `stride` apart plus slack for what the last row spills, a multiple of kPackedAlign.
std::size_t PackedBufferBytes(int stride, int height);

// A zero-filled block aligned to kPackedAlign that stays where it is until freed or reallocated.
class AlignedBytes {
public:
    bool Allocate(std::size_t bytes); // false when out of memory (the old block is freed either way)
    std::uint8_t* Data() const { return block.get(); }
    std::size_t Size() const { return size; }

private:
    struct Free {
        void operator()(std::uint8_t* p) const { ::operator delete[](p, std::align_val_t{kPackedAlign}); }
    };
    std::unique_ptr<std::uint8_t[], Free> block;
    std::size_t size = 0;
};

// The library's converters into packed pixels work in blocks of up to 16 pixels. A block that would end
// past the row's stride is left out, so the last pixels of a tight row stay unconverted; a block that fits
// the stride but not the picture spills past the row's end, and for the last row past the picture. Rows with
// room for the last block are therefore converted in place (every common width from 640 up is a multiple of
// 16 and fits exactly); tighter rows are converted into roomy scratch rows and copied.
class PictureScaler {
public:
    // Converts `frame` to width x height packed BGR (3 bytes a pixel) or BGRA (4) rows `stride` bytes apart at
    // dst, which is aligned to kPackedAlign and spans PackedBufferBytes(stride, height). False with a reason.
    bool Scale(const AVFrame* frame, int width, int height, int bytesPerPixel, int quality, std::uint8_t* dst,
               int stride, std::string& error);
    // Converts into the scaler's own rows, RoomyRowBytes apart and valid until the next call; null on failure.
    const std::uint8_t* ScaleToScratch(const AVFrame* frame, int width, int height, int bytesPerPixel,
                                       int quality, std::string& error);

private:
    bool Run(const AVFrame* frame, int width, int height, int bytesPerPixel, int quality, std::uint8_t* dst,
             int stride, std::string& error);

    SwsPtr sws;
    AlignedBytes scratch;
};

} // namespace nrx
