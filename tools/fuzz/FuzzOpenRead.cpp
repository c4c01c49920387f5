// libFuzzer entry: every input becomes a media file that the engine module opens, plays a few frames of,
// seeks in and closes. Besides crashes, it stops on a delivered frame whose buffer or header lies.
//
// The first input byte chooses the file's extension (some demuxers are picked by name), the rest is
// the file. make-seeds.sh writes seeds in that shape.
#include "engine/module/VideoDevice.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>

namespace {

const char* const kExtensions[] = {"mp4", "mkv", "avi", "mov", "webm", "ts", "flv", "mp3", "wav", "ogg"};
constexpr std::size_t kExtensionCount = sizeof kExtensions / sizeof kExtensions[0];
// Enough to run through start-up, a GOP boundary of the tiny seeds and the end of the stream.
constexpr int kReads = 24;

IVideoDevice* device = nullptr;
std::string workDir;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "nrx-fuzz: %s\n", what);
    std::abort();
}

// Reads every byte the header says the buffer holds, so ASan sees an undersized buffer.
void CheckDeliveredFrame() {
    std::uint8_t* bits = nullptr;
    BITMAPINFOHEADER* header = nullptr;
    std::int32_t width = 0, height = 0, bpp = 0;
    if (FAILED(device->GetFrameBuffer(0, &bits)) || FAILED(device->GetFrameFormat(0, &header)) ||
        FAILED(device->GetFrameSize(0, &width, &height, &bpp)))
        Fail("a new frame was reported but its buffer, header or size is unavailable");
    if (!bits || !header) Fail("null frame buffer or header with a new frame");
    if (header->biWidth != width || (header->biHeight != height && header->biHeight != -height))
        Fail("header size differs from GetFrameSize");
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || (bpp != 24 && bpp != 32))
        Fail("impossible frame geometry");
    const std::size_t stride = (static_cast<std::size_t>(width) * (bpp / 8) + 3) & ~std::size_t{3};
    volatile std::uint8_t sink = 0;
    for (std::size_t i = 0; i < stride * static_cast<std::size_t>(height); i += 61) sink = sink ^ bits[i];
    sink = sink ^ bits[stride * static_cast<std::size_t>(height) - 1];
}

void Read(std::int32_t mode) {
    std::int32_t status = NRX_FRAME_END;
    if (SUCCEEDED(device->ReadFrame(0, mode)) && SUCCEEDED(device->GetFrameStatus(0, &status)) &&
        status == NRX_FRAME_NEW)
        CheckDeliveredFrame();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Frames come at once instead of by the clock, and no sound card is needed.
    setenv("NRX_UNTIMED", "1", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const char* named = std::getenv("NRX_ENGINE_MODULE");
    const char* path = named && *named ? named : NRX_FUZZ_DEFAULT_MODULE;
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!module) Fail(dlerror());
    auto create = reinterpret_cast<NrxCreateInstanceFn>(dlsym(module, NRX_CREATE_INSTANCE_SYMBOL));
    void* object = nullptr;
    if (!create || FAILED(create(&CLSID_VideoDevice, &IID_IVideoDevice, &object)) || !object)
        Fail("the engine module does not create a video device");
    device = static_cast<IVideoDevice*>(object);

    char dirTemplate[] = "/tmp/nrx-fuzz-XXXXXX";
    if (!mkdtemp(dirTemplate)) Fail("cannot make a work folder in /tmp");
    workDir = dirTemplate;
    device->SetErrorLogFolder((workDir + "/logs").c_str());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string path = workDir + "/input." + kExtensions[data[0] % kExtensionCount];
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) Fail("cannot write the input file");
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    if (SUCCEEDED(device->Open(0, path.c_str()))) {
        device->SetPlayState(0, 0);
        for (int i = 0; i < kReads; ++i) Read(NRX_READ_NEXT);
        std::int64_t frames = 0;
        device->GetFrameCount(0, &frames);
        device->SetPosition(0, frames / 2);
        Read(NRX_READ_POSITION);
        device->SkipBackward(0, 3);
        Read(NRX_READ_POSITION);
        Read(NRX_READ_REFRESH);
        device->SetPlayState(0, 2);
        Read(NRX_READ_NEXT);
    }
    device->Close(0);
    std::remove(path.c_str());
    return 0;
}
