// Picture conversion into the shared buffer's exact layout, with a guard page after its end: libswscale is
// not instrumented by the sanitizers, so a write past the buffer shows only here, as a fault on the guard.
#include "engine/module/PictureScaler.h"
#include "tests/GuardedBytes.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <gtest/gtest.h>

#include <csetjmp>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

using namespace nrx;

namespace {

sigjmp_buf faultJump;
void OnFault(int) { siglongjmp(faultJump, 1); }

// A decoded picture with deterministic, busy content (every byte differs from its neighbours).
FramePtr TestPicture(AVPixelFormat format, int width, int height) {
    FramePtr f = MakeFrame();
    f->format = format;
    f->width = width;
    f->height = height;
    if (av_frame_get_buffer(f.get(), 0) < 0) return nullptr;
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    const bool wide = desc->comp[0].depth > 8; // little-endian samples wider than a byte: keep them in range
    const int highMask = (1 << (desc->comp[0].depth - 8)) - 1;
    for (int plane = 0; plane < 4 && f->buf[plane]; ++plane) {
        std::uint8_t* p = f->buf[plane]->data;
        for (std::size_t i = 0; i < f->buf[plane]->size; ++i) {
            const auto v = static_cast<std::uint8_t>((i * 37 + plane * 91 + (i >> 7) * 13) & 0xFF);
            p[i] = wide && (i & 1) ? static_cast<std::uint8_t>(v & highMask) : v;
        }
    }
    return f;
}

struct Case {
    AVPixelFormat source;
    int srcW, srcH, width, height, bytesPerPixel, quality;
};

// Converts with rows `stride` apart into a block that ends at a guard page; false when that faulted.
bool ConvertsInsideTheBuffer(const Case& c, const AVFrame* picture, int stride, std::uint8_t*& dst,
                             GuardedBytes& guarded, PictureScaler& scaler) {
    const std::size_t bytes = PackedBufferBytes(stride, c.height);
    EXPECT_EQ(bytes % kPackedAlign, 0u) << "a block ending at a page boundary starts aligned, as the engine's do";
    dst = guarded.EndingAtGuard(bytes);
    std::string error;
    struct sigaction fault {}, oldSegv {}, oldBus {};
    fault.sa_handler = &OnFault;
    sigemptyset(&fault.sa_mask);
    sigaction(SIGSEGV, &fault, &oldSegv);
    sigaction(SIGBUS, &fault, &oldBus);
    const bool faulted = sigsetjmp(faultJump, 1) != 0;
    if (!faulted) {
        EXPECT_TRUE(scaler.Scale(picture, c.width, c.height, c.bytesPerPixel, c.quality, dst, stride, error)) << error;
    }
    sigaction(SIGSEGV, &oldSegv, nullptr);
    sigaction(SIGBUS, &oldBus, nullptr);
    if (faulted) new PictureScaler(std::move(scaler)); // abandoned mid-conversion: leaked, not freed
    return !faulted;
}

// Converts into the delivered rows and into the scratch rows used for tight widths and quarter turns, each
// ending at a guard page, and into rows far apart; all three pictures must be equal, so neither the end of a
// buffer nor a neighbouring row was written out of turn, and no pixel was left out.
void CheckCase(const Case& c) {
    SCOPED_TRACE(::testing::Message()
                 << av_get_pix_fmt_name(c.source) << " " << c.srcW << "x" << c.srcH << " -> " << c.width
                 << "x" << c.height << " " << c.bytesPerPixel * 8 << "-bit quality " << c.quality);
    FramePtr picture = TestPicture(c.source, c.srcW, c.srcH);
    ASSERT_TRUE(picture);

    const int apart = PackedRowBytes(c.width, c.bytesPerPixel) + 512; // keeps the delivered rows' alignment
    AlignedBytes reference;
    ASSERT_TRUE(reference.Allocate(PackedBufferBytes(apart, c.height)));
    PictureScaler scaler;
    std::string error;
    ASSERT_TRUE(scaler.Scale(picture.get(), c.width, c.height, c.bytesPerPixel, c.quality, reference.Data(), apart,
                             error))
        << error;

    const std::size_t rowBytes = static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.bytesPerPixel);
    const int tight = PackedRowBytes(c.width, c.bytesPerPixel), roomy = RoomyRowBytes(c.width, c.bytesPerPixel);
    std::vector<int> strides{tight};
    if (roomy != tight) strides.push_back(roomy);
    for (const int stride : strides) {
        SCOPED_TRACE("rows " + std::to_string(stride) + " bytes apart");
        GuardedBytes guarded(PackedBufferBytes(stride, c.height));
        std::uint8_t* dst = nullptr;
        ASSERT_TRUE(ConvertsInsideTheBuffer(c, picture.get(), stride, dst, guarded, scaler))
            << "the conversion wrote past the end of the buffer";
        for (int y = 0; y < c.height; ++y)
            ASSERT_EQ(std::memcmp(dst + static_cast<std::ptrdiff_t>(y) * stride,
                                  reference.Data() + static_cast<std::ptrdiff_t>(y) * apart, rowBytes),
                      0)
                << "row " << y << " differs from a conversion into rows far apart";
    }
}

// The formats decoders hand the engine: 8-bit 4:2:0 (also full range), 4:2:2, 4:4:4, the semi-planar layout,
// 10-bit 4:2:0, grey, packed RGB and palettes of old codecs.
constexpr AVPixelFormat kSources[] = {AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUVJ420P,   AV_PIX_FMT_YUV422P,
                                      AV_PIX_FMT_YUV444P, AV_PIX_FMT_NV12,       AV_PIX_FMT_YUV420P10LE,
                                      AV_PIX_FMT_GRAY8,   AV_PIX_FMT_RGB24,      AV_PIX_FMT_PAL8};

// Every source format, pixel size and quality at each size; stops at the first fatal failure.
struct Size {
    int srcW, srcH, width, height;
};
void CheckEveryFormatAt(const std::vector<Size>& sizes) {
    av_log_set_level(AV_LOG_ERROR);
    for (const AVPixelFormat source : kSources)
        for (int bytesPerPixel : {3, 4})
            for (int quality : {0, 1, 2})
                for (const Size& s : sizes) {
                    CheckCase({source, s.srcW, s.srcH, s.width, s.height, bytesPerPixel, quality});
                    if (::testing::Test::HasFatalFailure()) return;
                }
}

} // namespace

// Every width up to 64 meets every remainder of swscale's vector block sizes; odd heights and a single
// row put the last row's overrun right at the end of the buffer.
TEST(EngineConverter, EveryNarrowWidthStaysInsideTheBuffer) {
    std::vector<Size> sizes;
    for (int width = 1; width <= 64; ++width)
        for (int height : {1, 2, 3, 17}) sizes.push_back({width, height, width, height});
    CheckEveryFormatAt(sizes);
}

TEST(EngineConverter, CommonSizesAndScalingStayInsideTheBuffer) {
    CheckEveryFormatAt({{426, 240, 426, 240}, {640, 360, 640, 360}, {854, 480, 854, 480}, {1280, 720, 1280, 720},
                        {1920, 1080, 1920, 1080}, {720, 576, 720, 576}, {176, 144, 176, 144}, {120, 90, 120, 90},
                        // Anamorphic pictures are widened to square pixels.
                        {720, 576, 1024, 576}, {720, 480, 853, 480}, {30, 30, 41, 30}});
}
