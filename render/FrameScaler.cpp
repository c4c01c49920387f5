#include "render/FrameScaler.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// The source index whose pixel centre is nearest the centre of target index i of count, over size sources.
int Nearest(qint64 i, qint64 count, int size) {
    const qint64 index = ((2 * i + 1) * size) / (2 * count);
    return static_cast<int>(std::clamp<qint64>(index, 0, size - 1));
}

inline std::uint32_t Pixel(const std::uint8_t* bgr) {
    return 0xff000000u | (std::uint32_t(bgr[2]) << 16) | (std::uint32_t(bgr[1]) << 8) | bgr[0];
}

// The same from one 4-byte load: B, G, R and whatever byte follows, which the alpha replaces. Must not be used
// on the last pixel of the buffer, whose fourth byte lies beyond it.
inline std::uint32_t PixelWide(const std::uint8_t* bgr) {
    std::uint32_t value;
    std::memcpy(&value, bgr, sizeof value);
    if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap32(value);
    return value | 0xff000000u;
}

} // namespace

void CFrameScaler::BuildColumns(int sourceWidth, const QRect& dest, const QRect& visible) {
    if (sourceWidth == columnsWidth_ && dest == columnsDest_ && visible == columnsVisible_) return;
    columnOffsets_.resize(static_cast<std::size_t>(visible.width()));
    for (int i = 0; i < visible.width(); ++i)
        columnOffsets_[i] = qsizetype(Nearest(visible.x() + i - dest.x(), dest.width(), sourceWidth)) * 3;
    columnsWidth_ = sourceWidth;
    columnsDest_ = dest;
    columnsVisible_ = visible;
}

void CFrameScaler::Scale(const Source& source, const QRect& dest, const QRect& visible, QImage& target) {
    if (target.size() != visible.size() || target.format() != QImage::Format_RGB32)
        target = QImage(visible.size(), QImage::Format_RGB32);
    if (visible.isEmpty() || dest.isEmpty() || !source.bits) return;
    const bool oneToOne = dest.width() == source.width;
    if (!oneToOne) BuildColumns(source.width, dest, visible);
    const qsizetype firstColumn = qsizetype(visible.x() - dest.x()) * 3;
    const qsizetype lastPixel = qsizetype(source.width - 1) * 3;
    // Rows end in padding unless 3 x width is a multiple of 4; without it, the last row's last pixel is the
    // last three bytes of the buffer.
    const bool lastRowTight = source.stride < qsizetype(source.width) * 3 + 1;
    for (int j = 0; j < visible.height(); ++j) {
        const int row = Nearest(visible.y() + j - dest.y(), dest.height(), source.height);
        const int memoryRow = source.topDown ? row : source.height - 1 - row;
        const std::uint8_t* in = source.bits + memoryRow * source.stride;
        auto* out = reinterpret_cast<std::uint32_t*>(target.scanLine(j));
        const auto offset = [&](int i) { return oneToOne ? firstColumn + 3 * qsizetype(i) : columnOffsets_[i]; };
        int wide = visible.width();
        if (lastRowTight && memoryRow == source.height - 1)
            while (wide > 0 && offset(wide - 1) == lastPixel) --wide;
        if (oneToOne) {
            // Consecutive pixels: a loop the compiler can widen.
            const std::uint8_t* first = in + firstColumn;
            for (int i = 0; i < wide; ++i) out[i] = PixelWide(first + 3 * i);
        } else {
            const qsizetype* columns = columnOffsets_.data();
            for (int i = 0; i < wide; ++i) out[i] = PixelWide(in + columns[i]);
        }
        for (int i = wide; i < visible.width(); ++i) out[i] = Pixel(in + offset(i));
    }
}
