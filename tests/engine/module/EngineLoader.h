// Loads the engine module the way the player does (dlopen + NrxCreateInstance) and reads its frames.
#pragma once

#include "engine/module/VideoDevice.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace nrxtest {

class EngineModule {
public:
    EngineModule() {
        // No sound card here, and tests must not make noise anyway.
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        const char* path = std::getenv("NRX_ENGINE_MODULE");
        if (!path || !*path) path = NRX_BUILT_ENGINE_MODULE;
        void* handle = path ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
        if (!handle) return;
        create = reinterpret_cast<NrxCreateInstanceFn>(dlsym(handle, NRX_CREATE_INSTANCE_SYMBOL));
        freeString = reinterpret_cast<NrxFreeStringFn>(dlsym(handle, NRX_FREE_STRING_SYMBOL));
        lastError = reinterpret_cast<NrxGetLastErrorTextFn>(dlsym(handle, NRX_LAST_ERROR_TEXT_SYMBOL));
    }
    // The module stays loaded for the process: its threads and SDL's must never outlive their code.
    bool Loaded() const { return create && freeString && lastError; }

    // A new object of the class with the interface, or null.
    template <typename Interface>
    Interface* New(const CLSID& clsid, const IID& iid) const {
        void* object = nullptr;
        return create(&clsid, &iid, &object) == S_OK ? static_cast<Interface*>(object) : nullptr;
    }
    std::string TakeString(char* text) const {
        std::string s = text ? text : "";
        if (text) freeString(text);
        return s;
    }
    std::string LastError() const { return TakeString(lastError()); }

    NrxCreateInstanceFn create = nullptr;
    NrxFreeStringFn freeString = nullptr;
    NrxGetLastErrorTextFn lastError = nullptr;
};

inline const EngineModule& Engine() {
    static EngineModule module;
    return module;
}

// A generated clip by name, or any file by its absolute path.
inline std::string Clip(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    const char* dir = std::getenv("NRX_MEDIA_DIR");
    return std::string(dir ? dir : ".") + "/" + name;
}

// A device released at scope end.
struct Device {
    IVideoDevice* d = Engine().New<IVideoDevice>(CLSID_VideoDevice, IID_IVideoDevice);
    ~Device() {
        if (d) d->Release();
    }
    IVideoDevice* operator->() const { return d; }

    std::int32_t Read(std::int32_t mode) const {
        d->ReadFrame(0, mode);
        return Get(&IVideoDevice::GetFrameStatus);
    }
    // Opens a clip; untimed, the module hands out frames as fast as they decode (as a converter reads them).
    HRESULT Open(const std::string& name, bool untimed = false) const {
        if (untimed) setenv("NRX_UNTIMED", "1", 1);
        const HRESULT opened = d->Open(0, Clip(name).c_str());
        unsetenv("NRX_UNTIMED");
        return opened;
    }
    // Reads until something new (a frame or the end) comes, polling like the player's loop; NONE after `polls`.
    std::int32_t ReadNew(int polls = 500) const {
        for (int i = 0; i < polls; ++i) {
            const std::int32_t status = Read(NRX_READ_NEXT);
            if (status != NRX_FRAME_NONE) return status;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return NRX_FRAME_NONE;
    }
    // Reads to the end of the file and says how many new frames came; fails when something new stops coming.
    int FramesToTheEnd(int polls = 500) const {
        int frames = 0, status = NRX_FRAME_NONE;
        while ((status = ReadNew(polls)) == NRX_FRAME_NEW) ++frames;
        EXPECT_EQ(status, NRX_FRAME_END) << "stuck after " << frames << " frames";
        return frames;
    }
    // What a getter of channel 0 reports, e.g. Get(&IVideoDevice::GetDuration); -7 when it wrote nothing.
    template <typename T>
    T Get(HRESULT (IVideoDevice::*getter)(std::int32_t, T*)) const {
        T value = T(-7);
        (d->*getter)(0, &value);
        return value;
    }
    std::int64_t Frame() const { return Get(&IVideoDevice::GetCurrentFrame); }
    // Pixel (x, y) of the picture as seen (top row first), as {b, g, r}.
    std::array<int, 3> Pixel(int x, int y) const {
        BITMAPINFOHEADER* h = nullptr;
        std::uint8_t* bits = nullptr;
        d->GetFrameFormat(0, &h);
        d->GetFrameBuffer(0, &bits);
        const int bpp = h->biBitCount / 8;
        const int stride = (h->biWidth * bpp + 3) & ~3;
        const int height = h->biHeight < 0 ? -h->biHeight : h->biHeight;
        const int row = h->biHeight < 0 ? y : height - 1 - y;
        const std::uint8_t* p = bits + static_cast<std::ptrdiff_t>(row) * stride + x * bpp;
        return {p[0], p[1], p[2]};
    }
    // The frame number drawn into the numbered clips: bit i is a white square at x = 32 i.
    int DrawnNumber() const {
        int n = 0;
        for (int i = 0; i < 10; ++i)
            if (Pixel(32 * i + 16, 16)[1] > 128) n |= 1 << i;
        return n;
    }
};

} // namespace nrxtest
