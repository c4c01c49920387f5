// Feeds mutated media files to the engine's device: open, play untimed, jump, step back, close.
#include "engine/module/ComObjects.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("NRX_UNTIMED", "1", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = "/tmp/nrx-fuzz-" + std::to_string(::getpid()) + ".bin";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    IVideoDevice* dev = nrx::NewVideoDevice();
    if (dev->Open(0, path.c_str()) == S_OK) {
        std::int32_t status = 1;
        for (int i = 0; i < 50 && status != NRX_FRAME_END; ++i) {
            dev->ReadFrame(0, NRX_READ_NEXT);
            dev->GetFrameStatus(0, &status);
        }
        std::int64_t count = 0;
        dev->GetFrameCount(0, &count);
        dev->SetPosition(0, count / 2);
        dev->ReadFrame(0, NRX_READ_POSITION);
        dev->SetPosition(0, count / 2 - 1);
        dev->ReadFrame(0, NRX_READ_POSITION);
        dev->ReadFrame(0, NRX_READ_REFRESH);
    }
    dev->Release();
    std::remove(path.c_str());
    return 0;
}
