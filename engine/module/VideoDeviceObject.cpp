// The decoding device: the IVideoDevice face of a MediaSession, with settings kept across files.
#include "engine/module/ComObjects.h"
#include "engine/module/EngineLog.h"
#include "engine/module/MediaSession.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace nrx {

namespace {

bool EnvFlag(const char* name) {
    const char* v = std::getenv(name);
    return v && std::strcmp(v, "1") == 0;
}

// One CSV line per ReadFrame for the benchmarks, in the file named by NRX_TRACE.
class Trace {
public:
    Trace() {
        const char* path = std::getenv("NRX_TRACE");
        if (!path || !*path) return;
        file = std::fopen(path, "a");
        if (!file) return;
        std::fseek(file, 0, SEEK_END);
        if (std::ftell(file) == 0) std::fputs("wall_ms,mode,status,frame,pts_ms,clock_ms,decode_ms,dropped_total\n", file);
    }
    ~Trace() {
        if (file) std::fclose(file);
    }
    bool On() const { return file != nullptr; }
    void Line(int mode, int status, long long frame, double ptsMs, double clockMs, double decodeMs, long long dropped) {
        const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
        std::fprintf(file, "%.3f,%d,%d,%lld,%.3f,%.3f,%.3f,%lld\n", wall, mode, status, frame, ptsMs, clockMs, decodeMs,
                     dropped);
        std::fflush(file);
    }

private:
    std::FILE* file = nullptr;
};

class VideoDeviceObject final : public ComObject<IVideoDevice, IID_IVideoDevice> {
public:
    HRESULT Open(std::int32_t channel, const char* path) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        if (!path || !*path) return Fail(E_INVALIDARG, "No file name was given.");
        Close(channel);
        std::lock_guard lock(work);
        SessionOptions options;
        options.bgra = bgra;
        options.untimed = EnvFlag("NRX_UNTIMED");
        options.volume = volume;
        options.balance = balance;
        options.rate = rate;
        std::string error;
        std::shared_ptr<MediaSession> opened(MediaSession::Open(path, options, error));
        if (!opened) {
            EngineLog::Write("error", error);
            return Fail(E_FAIL, error);
        }
        {
            std::lock_guard guard(abortMutex);
            abortable = opened;
        }
        session = std::move(opened);
        status = NRX_FRAME_NONE;
        ClearLastError();
        return S_OK;
    }

    HRESULT Close(std::int32_t channel) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        std::shared_ptr<MediaSession> closing;
        {
            std::lock_guard guard(abortMutex);
            closing = std::move(abortable);
        }
        // Aborting first makes a ReadFrame that is waiting on another thread give up the lock quickly.
        if (closing) closing->Abort();
        closing.reset();
        std::lock_guard lock(work);
        session.reset();
        status = NRX_FRAME_END;
        return S_OK;
    }

    HRESULT ReadFrame(std::int32_t channel, std::int32_t mode) override {
        std::lock_guard lock(work);
        if (const HRESULT hr = Ready(channel); FAILED(hr)) return hr;
        if (mode < 0 || mode > 2) return Fail(E_INVALIDARG, "ReadFrame mode must be 0, 1 or 2.");
        const auto started = std::chrono::steady_clock::now();
        std::string error;
        status = session->ReadFrame(mode, picture, error);
        if (status == NRX_FRAME_END && !error.empty()) EngineLog::Write("error", error);
        if (trace.On()) {
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
            trace.Line(mode, status, session->CurrentFrame(), session->CurrentTime() * 1000.0,
                       session->ClockTime() * 1000.0, ms, session->DroppedFrames());
        }
        if (!error.empty()) return Fail(E_FAIL, error);
        return S_OK;
    }

    HRESULT IsOpen(std::int32_t channel, std::int32_t* open) override {
        return QueryAnyTime(channel, open, [&] { return session ? 1 : 0; });
    }
    HRESULT GetFrameStatus(std::int32_t channel, std::int32_t* out) override {
        return Query(channel, out, [&] { return status; });
    }
    HRESULT GetFrameRate(std::int32_t channel, std::int32_t, float* out) override {
        return Query(channel, out, [&] { return static_cast<float>(session->FrameRate()); });
    }
    HRESULT GetFrameSize(std::int32_t channel, std::int32_t* width, std::int32_t* height, std::int32_t* bits) override {
        std::lock_guard lock(work);
        if (const HRESULT hr = Ready(channel); FAILED(hr)) return hr;
        if (!width || !height || !bits) return E_POINTER;
        *width = session->Converter().Width();
        *height = session->Converter().Height();
        *bits = session->Converter().BitsPerPixel();
        return S_OK;
    }
    HRESULT GetFrameBuffer(std::int32_t channel, std::uint8_t** bits) override {
        return Query(channel, bits, [&] { return session->Converter().Buffer(); });
    }
    HRESULT GetFrameFormat(std::int32_t channel, BITMAPINFOHEADER** header) override {
        return Query(channel, header, [&] { return session->Converter().Header(); });
    }
    HRESULT GetDuration(std::int32_t channel, std::int64_t* seconds) override {
        return Query(channel, seconds, [&] { return static_cast<std::int64_t>(session->Duration()); });
    }
    HRESULT GetCurrentTime(std::int32_t channel, std::int64_t* seconds) override {
        return Query(channel, seconds,
                     [&] { return static_cast<std::int64_t>(std::floor(std::max(0.0, session->CurrentTime()) + 1e-6)); });
    }
    HRESULT GetFrameCount(std::int32_t channel, std::int64_t* frames) override {
        return Query(channel, frames, [&] { return session->FrameCount(); });
    }
    HRESULT GetCurrentFrame(std::int32_t channel, std::int64_t* frame) override {
        return Query(channel, frame, [&] { return session->CurrentFrame(); });
    }
    HRESULT HasPicture(std::int32_t channel, std::int32_t* picture) override {
        return Query(channel, picture, [&] { return session->HasPicture() ? 1 : 0; });
    }
    HRESULT GetRate(std::int32_t channel, float* out) override {
        return QueryAnyTime(channel, out, [&] { return static_cast<float>(rate); });
    }
    HRESULT GetVolume(std::int32_t channel, std::int32_t* out) override {
        return QueryAnyTime(channel, out, [&] { return volume; });
    }
    HRESULT SetPosition(std::int32_t channel, std::int64_t frame) override {
        std::lock_guard lock(work);
        if (const HRESULT hr = Ready(channel); FAILED(hr)) return hr;
        session->SetPosition(frame);
        return S_OK;
    }
    HRESULT SetRate(std::int32_t channel, float value) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        if (!std::isfinite(value)) return Fail(E_INVALIDARG, "The play rate must be a number.");
        std::lock_guard lock(work);
        rate = std::clamp(static_cast<double>(value), 0.1, 4.0);
        if (session) session->SetRate(rate);
        return S_OK;
    }
    HRESULT SetVolume(std::int32_t channel, std::int32_t value) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        std::lock_guard lock(work);
        volume = std::clamp(value, 0, 100);
        if (session) session->SetVolume(volume);
        return S_OK;
    }
    HRESULT SetBalance(std::int32_t channel, std::int32_t value) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        std::lock_guard lock(work);
        balance = std::clamp(value, -100, 100);
        if (session) session->SetBalance(balance);
        return S_OK;
    }
    HRESULT SetFlip(std::int32_t channel, std::uint8_t flip) override {
        return SetPicture(channel, [&] { picture.flip = flip != 0; });
    }
    HRESULT EnableOption(std::int32_t channel, std::uint8_t enable) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        std::lock_guard lock(work);
        bgra = enable != 0;
        return S_OK;
    }
    HRESULT SetPlayState(std::int32_t channel, std::int32_t state) override {
        std::lock_guard lock(work);
        if (const HRESULT hr = Ready(channel); FAILED(hr)) return hr;
        if (state < 0 || state > 2) return Fail(E_INVALIDARG, "The play state must be 0, 1 or 2.");
        session->SetPlayState(state);
        return S_OK;
    }
    HRESULT SetBrightness(std::int32_t channel, std::int32_t value) override {
        return SetPicture(channel, [&] { picture.brightness = std::clamp(value, -255, 255); });
    }
    HRESULT SetContrast(std::int32_t channel, std::int32_t value) override {
        return SetPicture(channel, [&] { picture.contrast = std::clamp(value, -100, 100); });
    }
    HRESULT SetSaturation(std::int32_t channel, std::int32_t value) override {
        return SetPicture(channel, [&] { picture.saturation = std::clamp(value, -255, 255); });
    }
    HRESULT SetQuality(std::int32_t channel, std::int32_t value) override {
        return SetPicture(channel, [&] { picture.quality = std::clamp(value, 0, 2); });
    }
    HRESULT SetErrorLogFolder(const char* folder) override {
        if (!folder) return E_POINTER;
        std::string error;
        if (!EngineLog::SetFolder(folder, error)) return Fail(E_FAIL, error);
        return S_OK;
    }
    HRESULT SkipForward(std::int32_t channel, std::int64_t count) override { return Skip(channel, count); }
    HRESULT SkipBackward(std::int32_t channel, std::int64_t count) override {
        return Skip(channel, count == INT64_MIN ? INT64_MAX : -count);
    }

private:
    ~VideoDeviceObject() { Close(0); }

    static HRESULT CheckChannel(std::int32_t channel) {
        return channel == 0 ? S_OK : Fail(E_INVALIDARG, "Only channel 0 exists.");
    }
    static HRESULT Fail(HRESULT hr, const std::string& text) {
        SetLastError(text);
        return hr;
    }
    // Caller holds `work`.
    HRESULT Ready(std::int32_t channel) const {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        return session ? S_OK : Fail(E_FAIL, "No file is open.");
    }
    template <typename T, typename F>
    HRESULT Query(std::int32_t channel, T* out, F&& value) {
        std::lock_guard lock(work);
        if (const HRESULT hr = Ready(channel); FAILED(hr)) return hr;
        if (!out) return E_POINTER;
        *out = value();
        return S_OK;
    }
    // The same for values that exist without a file: the settings the next file starts with, whether one is open.
    template <typename T, typename F>
    HRESULT QueryAnyTime(std::int32_t channel, T* out, F&& value) {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        if (!out) return E_POINTER;
        std::lock_guard lock(work);
        *out = value();
        return S_OK;
    }
    template <typename F>
    HRESULT SetPicture(std::int32_t channel, F&& change) {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        std::lock_guard lock(work);
        change();
        return S_OK;
    }
    HRESULT Skip(std::int32_t channel, std::int64_t delta) {
        std::lock_guard lock(work);
        if (const HRESULT hr = Ready(channel); FAILED(hr)) return hr;
        const std::int64_t from = session->CurrentFrame();
        const std::int64_t to = delta > 0 ? (from > INT64_MAX - delta ? INT64_MAX : from + delta)
                                          : (from < INT64_MIN - delta ? 0 : from + delta);
        session->SetPosition(to);
        return S_OK;
    }

    std::mutex work; // guards session, status, picture, bgra, volume, balance, rate and the trace file
    std::shared_ptr<MediaSession> session;
    std::int32_t status = NRX_FRAME_END;
    PictureSettings picture;
    bool bgra = false;
    int volume = 100;
    int balance = 0;
    double rate = 1.0;
    Trace trace;

    std::mutex abortMutex; // guards abortable: the open session, reachable without waiting for `work`
    std::shared_ptr<MediaSession> abortable;
};

} // namespace

IVideoDevice* NewVideoDevice() { return new (std::nothrow) VideoDeviceObject(); }

char* DupString(const char* text) {
    const std::size_t n = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(std::malloc(n));
    if (copy) std::memcpy(copy, text, n);
    return copy;
}

} // namespace nrx
