// A stand-in engine module for tests: same interfaces as the real one, generated frames, and failures,
// missing classes or interfaces on demand.
#include "engine/module/VideoDevice.h"
#include "tests/synthetic/SyntheticControl.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <sstream>
#include <vector>

#define NRX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Config {
    float rate = 25.0f;
    std::int64_t frames = 250;
    std::int32_t width = 64;
    std::int32_t height = 48;
    std::map<std::string, std::int64_t> failFrom; // method -> first failing call (1-based)
    std::string noInterface;
    std::string unregistered;
    std::string extensions = "Video Files|*.avi;*.mp4;*.mkv;*.syn|All Files (*.*)|*.*";
};

std::mutex stateGuard; // guards config, configuredByCall and calls
Config config;
bool configuredByCall = false; // until NrxSyntheticConfigure, each creation reads NRX_SYNTHETIC_CONFIG
std::map<std::string, std::pair<std::int64_t, std::int64_t>> calls; // method -> {calls, last value}
thread_local std::string lastError;

// The read gate (NrxSyntheticHoldReads).
std::mutex gateGuard;
std::condition_variable gateOpened;
bool readsHeld = false;
std::int64_t heldReads = 0;

void PassReadGate() {
    std::unique_lock lock(gateGuard);
    if (!readsHeld) return;
    ++heldReads;
    gateOpened.wait(lock, [] { return !readsHeld; });
    --heldReads;
}

void HoldReads(bool hold) {
    {
        std::lock_guard lock(gateGuard);
        readsHeld = hold;
    }
    gateOpened.notify_all();
}

Config ParseConfig(const char* text) {
    Config result;
    std::string whole = text ? text : "";
    // The extension string has semicolons of its own, so it comes last and takes the rest.
    if (const auto at = whole.find("extensions="); at != std::string::npos) {
        result.extensions = whole.substr(at + 11);
        whole.erase(at);
    }
    std::stringstream all(whole);
    std::string item;
    while (std::getline(all, item, ';')) {
        const auto eq = item.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = item.substr(0, eq), value = item.substr(eq + 1);
        if (key == "rate") result.rate = std::strtof(value.c_str(), nullptr);
        else if (key == "frames") result.frames = std::strtoll(value.c_str(), nullptr, 10);
        else if (key == "width") result.width = std::atoi(value.c_str());
        else if (key == "height") result.height = std::atoi(value.c_str());
        else if (key == "noInterface") result.noInterface = value;
        else if (key == "unregistered") result.unregistered = value;
        else if (key == "fail") {
            std::stringstream methods(value);
            std::string method;
            while (std::getline(methods, method, ',')) {
                const auto at = method.find('@');
                if (at == std::string::npos) result.failFrom[method] = 1;
                else result.failFrom[method.substr(0, at)] = std::strtoll(method.c_str() + at + 1, nullptr, 10);
            }
        }
    }
    return result;
}

Config CurrentConfig() {
    std::lock_guard lock(stateGuard);
    if (!configuredByCall) config = ParseConfig(std::getenv("NRX_SYNTHETIC_CONFIG"));
    return config;
}

// Counts the call and decides whether it fails; a failing call leaves its text for NrxGetLastErrorText.
HRESULT Enter(const char* method, std::int64_t value = 0) {
    std::lock_guard lock(stateGuard);
    auto& [n, last] = calls[method];
    ++n;
    last = value;
    const auto fail = config.failFrom.find(method);
    if (fail != config.failFrom.end() && n >= fail->second) {
        lastError = std::string("synthetic failure in ") + method;
        return E_FAIL;
    }
    return S_OK;
}

// A copy the caller frees with NrxFreeString.
char* CopyString(const std::string& text) { return strdup(text.c_str()); }

template <typename Interface>
class RefCounted : public Interface {
public:
    RefCounted(const IID& iid, bool hasInterface) : ownIid(iid), hasInterface(hasInterface) {}
    virtual ~RefCounted() = default;
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!(iid == IID_IUnknown) && !(iid == ownIid && hasInterface)) return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override {
        const ULONG left = --refs;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> refs{1};
    IID ownIid;
    bool hasInterface;
};

class SyntheticDevice final : public RefCounted<IVideoDevice> {
public:
    explicit SyntheticDevice(const Config& c) : RefCounted(IID_IVideoDevice, c.noInterface != "device"), cfg(c) {}

    HRESULT Open(std::int32_t, const char* path) override {
        std::lock_guard lock(guard);
        if (HRESULT hr = Enter("Open"); FAILED(hr)) return hr;
        if (!path || !*path) return E_INVALIDARG;
        open = true;
        current = -1;
        position = 0;
        bitsPerPixel = option ? 32 : 24;
        stride = (cfg.width * bitsPerPixel / 8 + 3) & ~3;
        pixels.assign(static_cast<size_t>(stride) * cfg.height, 0);
        header = {};
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = cfg.width;
        header.biHeight = -cfg.height;
        header.biPlanes = 1;
        header.biBitCount = static_cast<std::uint16_t>(bitsPerPixel);
        header.biSizeImage = static_cast<std::uint32_t>(pixels.size());
        return S_OK;
    }
    HRESULT Close(std::int32_t) override {
        std::lock_guard lock(guard);
        open = false;
        pixels.clear();
        pixels.shrink_to_fit();
        return Enter("Close");
    }
    HRESULT ReadFrame(std::int32_t, std::int32_t mode) override {
        PassReadGate();
        std::lock_guard lock(guard);
        if (HRESULT hr = Enter("ReadFrame", mode); FAILED(hr)) return hr;
        if (!open) return E_FAIL;
        if (mode == NRX_READ_NEXT) {
            if (current + 1 >= cfg.frames) {
                status = NRX_FRAME_END;
                return S_OK;
            }
            ++current;
        } else if (mode == NRX_READ_POSITION) {
            current = position;
        }
        Paint();
        status = NRX_FRAME_NEW;
        return S_OK;
    }
    HRESULT IsOpen(std::int32_t, std::int32_t* isOpen) override { return Give("IsOpen", isOpen, [&] { return +open; }); }
    HRESULT GetFrameStatus(std::int32_t, std::int32_t* value) override {
        return Give("GetFrameStatus", value, [&] { return status; });
    }
    HRESULT GetFrameRate(std::int32_t, std::int32_t, float* value) override {
        return Give("GetFrameRate", value, [&] { return cfg.rate; });
    }
    HRESULT GetFrameSize(std::int32_t, std::int32_t* w, std::int32_t* h, std::int32_t* bpp) override {
        *w = cfg.width;
        *h = cfg.height;
        return Give("GetFrameSize", bpp, [&] { return bitsPerPixel; }, true);
    }
    HRESULT GetFrameBuffer(std::int32_t, std::uint8_t** bits) override {
        return Give("GetFrameBuffer", bits, [&] { return open ? pixels.data() : nullptr; }, true);
    }
    HRESULT GetFrameFormat(std::int32_t, BITMAPINFOHEADER** format) override {
        return Give("GetFrameFormat", format, [&] { return open ? &header : nullptr; }, true);
    }
    HRESULT GetDuration(std::int32_t, std::int64_t* seconds) override {
        return Give("GetDuration", seconds, [&] { return std::int64_t(cfg.frames / cfg.rate); });
    }
    HRESULT GetCurrentTime(std::int32_t, std::int64_t* seconds) override {
        return Give("GetCurrentTime", seconds, [&] { return current < 0 ? 0 : std::int64_t(current / cfg.rate); });
    }
    HRESULT GetFrameCount(std::int32_t, std::int64_t* frames) override {
        return Give("GetFrameCount", frames, [&] { return cfg.frames; });
    }
    HRESULT GetCurrentFrame(std::int32_t, std::int64_t* frame) override {
        return Give("GetCurrentFrame", frame, [&] { return current < 0 ? 0 : current; });
    }
    HRESULT GetRate(std::int32_t, float* value) override { return Give("GetRate", value, [&] { return rate; }); }
    HRESULT HasPicture(std::int32_t, std::int32_t* picture) override {
        return Give("HasPicture", picture, [] { return 1; }, true);
    }
    HRESULT GetVolume(std::int32_t, std::int32_t* value) override {
        return Give("GetVolume", value, [&] { return volume; });
    }
    HRESULT SetPosition(std::int32_t, std::int64_t frame) override {
        std::lock_guard lock(guard);
        position = frame < 0 ? 0 : frame >= cfg.frames ? cfg.frames - 1 : frame;
        return Enter("SetPosition", frame);
    }
    HRESULT SetRate(std::int32_t, float value) override {
        rate = value;
        return Enter("SetRate", static_cast<std::int64_t>(value * 1000));
    }
    HRESULT SetVolume(std::int32_t, std::int32_t value) override {
        volume = value;
        return Enter("SetVolume", value);
    }
    HRESULT SetBalance(std::int32_t, std::int32_t value) override { return Enter("SetBalance", value); }
    HRESULT SetFlip(std::int32_t, std::uint8_t value) override { return Enter("SetFlip", value); }
    HRESULT EnableOption(std::int32_t, std::uint8_t value) override {
        option = value != 0;
        return Enter("EnableOption", value);
    }
    HRESULT SetPlayState(std::int32_t, std::int32_t state) override {
        std::lock_guard lock(guard);
        if (HRESULT hr = Enter("SetPlayState", state); FAILED(hr)) return hr;
        if (state == 2) current = -1; // stopping goes back to the start
        return S_OK;
    }
    HRESULT SetBrightness(std::int32_t, std::int32_t value) override { return Enter("SetBrightness", value); }
    HRESULT SetContrast(std::int32_t, std::int32_t value) override { return Enter("SetContrast", value); }
    HRESULT SetSaturation(std::int32_t, std::int32_t value) override { return Enter("SetSaturation", value); }
    HRESULT SetQuality(std::int32_t, std::int32_t value) override { return Enter("SetQuality", value); }
    HRESULT SetErrorLogFolder(const char*) override { return Enter("SetErrorLogFolder"); }
    HRESULT SkipForward(std::int32_t, std::int64_t count) override { return Enter("SkipForward", count); }
    HRESULT SkipBackward(std::int32_t, std::int64_t count) override { return Enter("SkipBackward", count); }

private:
    // Hands out a value read under the lock; an openOnly getter fails while nothing is open.
    template <typename T, typename Value>
    HRESULT Give(const char* method, T* out, Value value, bool openOnly = false) {
        std::lock_guard lock(guard);
        *out = value();
        if (HRESULT hr = Enter(method); FAILED(hr)) return hr;
        return openOnly && !open ? E_FAIL : S_OK;
    }
    void Paint() {
        const int bytes = bitsPerPixel / 8;
        const auto n = static_cast<std::uint64_t>(current);
        for (int y = 0; y < cfg.height; ++y) {
            std::uint8_t* row = pixels.data() + static_cast<size_t>(y) * stride;
            for (int x = 0; x < cfg.width; ++x) {
                std::uint8_t* p = row + x * bytes;
                p[0] = n & 0xFF;
                p[1] = (n >> 8) & 0xFF;
                p[2] = (n >> 16) & 0xFF;
                if (bytes == 4) p[3] = 0xFF;
            }
        }
    }

    const Config cfg;
    std::mutex guard; // guards every field below
    bool open = false;
    bool option = false;
    std::int64_t current = -1;
    std::int64_t position = 0;
    std::int32_t status = NRX_FRAME_END;
    std::int32_t bitsPerPixel = 24;
    std::int32_t stride = 0;
    std::vector<std::uint8_t> pixels;
    BITMAPINFOHEADER header{};
    float rate = 1.0f;
    std::int32_t volume = 100;
};

class SyntheticProperty final : public RefCounted<IVideoDeviceProperty> {
public:
    explicit SyntheticProperty(const Config& c)
        : RefCounted(IID_IVideoDeviceProperty, c.noInterface != "property"), cfg(c) {}

    HRESULT GetSupportedExtensions(char** text) override {
        *text = nullptr;
        if (HRESULT hr = Enter("GetSupportedExtensions"); FAILED(hr)) return hr;
        *text = CopyString(cfg.extensions);
        return S_OK;
    }
    HRESULT GetDeviceCount(std::int32_t* count) override { return Count("GetDeviceCount", 1, count); }
    HRESULT GetDeviceName(std::int32_t index, char** name) override { return Name("GetDeviceName", "Device", index, name); }
    HRESULT GetVideoCodecCount(std::int32_t* count) override { return Count("GetVideoCodecCount", 2, count); }
    HRESULT GetVideoCodecName(std::int32_t index, char** name) override {
        return Name("GetVideoCodecName", "Video codec", index, name);
    }
    HRESULT GetAudioCodecCount(std::int32_t* count) override { return Count("GetAudioCodecCount", 2, count); }
    HRESULT GetAudioCodecName(std::int32_t index, char** name) override {
        return Name("GetAudioCodecName", "Audio codec", index, name);
    }
    HRESULT GetFormatCount(std::int32_t* count) override { return Count("GetFormatCount", 3, count); }
    HRESULT GetFormatName(std::int32_t index, char** name) override { return Name("GetFormatName", "Format", index, name); }

private:
    HRESULT Count(const char* method, std::int32_t value, std::int32_t* count) {
        *count = value;
        return Enter(method);
    }
    HRESULT Name(const char* method, const char* prefix, std::int32_t index, char** name) {
        *name = nullptr;
        if (HRESULT hr = Enter(method, index); FAILED(hr)) return hr;
        *name = CopyString(std::string(prefix) + " " + std::to_string(index));
        return S_OK;
    }

    const Config cfg;
};

} // namespace

NRX_EXPORT HRESULT NrxCreateInstance(const CLSID* clsid, const IID* iid, void** object) {
    if (!clsid || !iid || !object) return E_POINTER;
    *object = nullptr;
    const Config cfg = CurrentConfig();
    IUnknown* created = nullptr;
    if (*clsid == CLSID_VideoDevice && cfg.unregistered != "device")
        created = static_cast<IVideoDevice*>(new SyntheticDevice(cfg));
    else if (*clsid == CLSID_VideoDeviceProperty && cfg.unregistered != "property")
        created = static_cast<IVideoDeviceProperty*>(new SyntheticProperty(cfg));
    if (!created) {
        lastError = "the synthetic engine has no such class";
        return REGDB_E_CLASSNOTREG;
    }
    const HRESULT hr = created->QueryInterface(*iid, object);
    created->Release();
    return hr;
}

NRX_EXPORT void NrxFreeString(char* text) { std::free(text); }

NRX_EXPORT char* NrxGetLastErrorText() {
    if (lastError.empty()) return nullptr;
    char* text = CopyString(lastError);
    lastError.clear();
    return text;
}

NRX_EXPORT void NrxSyntheticConfigure(const char* text) {
    HoldReads(false);
    std::lock_guard lock(stateGuard);
    config = ParseConfig(text);
    configuredByCall = true;
    calls.clear();
}

NRX_EXPORT void NrxSyntheticHoldReads(int hold) { HoldReads(hold != 0); }

NRX_EXPORT std::int64_t NrxSyntheticHeldReads() {
    std::lock_guard lock(gateGuard);
    return heldReads;
}

NRX_EXPORT std::int64_t NrxSyntheticCallCount(const char* method) {
    std::lock_guard lock(stateGuard);
    return calls.count(method) ? calls[method].first : 0;
}

NRX_EXPORT std::int64_t NrxSyntheticLastValue(const char* method) {
    std::lock_guard lock(stateGuard);
    return calls.count(method) ? calls[method].second : 0;
}
