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

// Two locks, taken in this order when both are held: `reading` keeps one ReadFrame at a time and keeps Open
// and Close from swapping the session under a read; `state` guards the fields shared with the other calls and
// is held only for moments, never across a decode. Calls other than ReadFrame, Open and Close take `state`
// alone (or nothing), so none of them waits for a decode in progress.
class VideoDeviceObject final : public ComObject<IVideoDevice, IID_IVideoDevice> {
public:
    HRESULT Open(std::int32_t channel, const char* path) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        if (!path || !*path) return Fail(E_INVALIDARG, "No file name was given.");
        Close(channel);
        std::lock_guard readLock(reading);
        SessionOptions options;
        {
            std::lock_guard lock(state);
            options.bgra = bgra;
            options.volume = volume;
            options.balance = balance;
            options.rate = rate;
        }
        options.untimed = EnvFlag("NRX_UNTIMED");
        std::string error;
        std::shared_ptr<MediaSession> opened(MediaSession::Open(path, options, error));
        if (!opened) {
            EngineLog::Write("error", error);
            return Fail(E_FAIL, error);
        }
        std::lock_guard lock(state);
        session = std::move(opened);
        status = NRX_FRAME_NONE;
        ClearLastError();
        return S_OK;
    }

    HRESULT Close(std::int32_t channel) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        // Aborting first makes a ReadFrame that is waiting on another thread return quickly.
        if (const std::shared_ptr<MediaSession> open = Session()) open->Abort();
        std::shared_ptr<MediaSession> closing;
        {
            std::lock_guard readLock(reading);
            std::lock_guard lock(state);
            closing = std::move(session);
            status = NRX_FRAME_END;
        }
        closing.reset(); // joins the session's threads, with no lock held
        return S_OK;
    }

    HRESULT ReadFrame(std::int32_t channel, std::int32_t mode) override {
        std::lock_guard readLock(reading);
        std::shared_ptr<MediaSession> open;
        PictureSettings settings;
        {
            std::lock_guard lock(state);
            if (const HRESULT hr = Ready(channel); FAILED(hr)) return hr;
            if (mode < 0 || mode > 2) return Fail(E_INVALIDARG, "ReadFrame mode must be 0, 1 or 2.");
            open = session;
            settings = picture;
        }
        const auto started = std::chrono::steady_clock::now();
        std::string error;
        const std::int32_t result = open->ReadFrame(mode, settings, error);
        {
            std::lock_guard lock(state);
            status = result;
        }
        if (result == NRX_FRAME_END && !error.empty()) EngineLog::Write("error", error);
        if (trace.On()) {
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
            trace.Line(mode, result, open->CurrentFrame(), open->CurrentTime() * 1000.0, open->ClockTime() * 1000.0, ms,
                       open->DroppedFrames());
        }
        if (!error.empty()) return Fail(E_FAIL, error);
        return S_OK;
    }

    HRESULT IsOpen(std::int32_t channel, std::int32_t* open) override {
        return QueryAnyTime(channel, open, [&] { return session ? 1 : 0; });
    }
    HRESULT GetFrameStatus(std::int32_t channel, std::int32_t* out) override {
        return Query(channel, out, [&](MediaSession&) { return status; });
    }
    HRESULT GetFrameRate(std::int32_t channel, std::int32_t, float* out) override {
        return Query(channel, out, [](MediaSession& s) { return static_cast<float>(s.FrameRate()); });
    }
    HRESULT GetFrameSize(std::int32_t channel, std::int32_t* width, std::int32_t* height, std::int32_t* bits) override {
        std::lock_guard lock(state);
        if (const HRESULT hr = Ready(channel); FAILED(hr)) return hr;
        if (!width || !height || !bits) return E_POINTER;
        *width = session->Converter().Width();
        *height = session->Converter().Height();
        *bits = session->Converter().BitsPerPixel();
        return S_OK;
    }
    HRESULT GetFrameBuffer(std::int32_t channel, std::uint8_t** bits) override {
        return Query(channel, bits, [](MediaSession& s) { return s.Converter().Buffer(); });
    }
    HRESULT GetFrameFormat(std::int32_t channel, BITMAPINFOHEADER** header) override {
        return Query(channel, header, [](MediaSession& s) { return s.Converter().Header(); });
    }
    HRESULT GetDuration(std::int32_t channel, std::int64_t* seconds) override {
        return Query(channel, seconds, [](MediaSession& s) { return static_cast<std::int64_t>(s.Duration()); });
    }
    HRESULT GetCurrentTime(std::int32_t channel, std::int64_t* seconds) override {
        return Query(channel, seconds, [](MediaSession& s) {
            return static_cast<std::int64_t>(std::floor(std::max(0.0, s.CurrentTime()) + 1e-6));
        });
    }
    HRESULT GetFrameCount(std::int32_t channel, std::int64_t* frames) override {
        return Query(channel, frames, [](MediaSession& s) { return s.FrameCount(); });
    }
    HRESULT GetCurrentFrame(std::int32_t channel, std::int64_t* frame) override {
        return Query(channel, frame, [](MediaSession& s) { return s.CurrentFrame(); });
    }
    HRESULT HasPicture(std::int32_t channel, std::int32_t* picture) override {
        return Query(channel, picture, [](MediaSession& s) { return s.HasPicture() ? 1 : 0; });
    }
    HRESULT GetRate(std::int32_t channel, float* out) override {
        return QueryAnyTime(channel, out, [&] { return static_cast<float>(rate); });
    }
    HRESULT GetVolume(std::int32_t channel, std::int32_t* out) override {
        return QueryAnyTime(channel, out, [&] { return volume; });
    }
    HRESULT SetPosition(std::int32_t channel, std::int64_t frame) override {
        return Act(channel, [&](MediaSession& s) {
            s.SetPosition(frame);
            return S_OK;
        });
    }
    HRESULT SetRate(std::int32_t channel, float value) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        if (!std::isfinite(value)) return Fail(E_INVALIDARG, "The play rate must be a number.");
        std::lock_guard lock(state);
        rate = std::clamp(static_cast<double>(value), 0.1, 4.0);
        if (session) session->SetRate(rate);
        return S_OK;
    }
    HRESULT SetVolume(std::int32_t channel, std::int32_t value) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        std::lock_guard lock(state);
        volume = std::clamp(value, 0, 100);
        if (session) session->SetVolume(volume);
        return S_OK;
    }
    HRESULT SetBalance(std::int32_t channel, std::int32_t value) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        std::lock_guard lock(state);
        balance = std::clamp(value, -100, 100);
        if (session) session->SetBalance(balance);
        return S_OK;
    }
    HRESULT SetFlip(std::int32_t channel, std::uint8_t flip) override {
        return SetPicture(channel, [&] { picture.flip = flip != 0; });
    }
    HRESULT EnableOption(std::int32_t channel, std::uint8_t enable) override {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        std::lock_guard lock(state);
        bgra = enable != 0;
        return S_OK;
    }
    HRESULT SetPlayState(std::int32_t channel, std::int32_t value) override {
        return Act(channel, [&](MediaSession& s) {
            if (value < 0 || value > 2) return Fail(E_INVALIDARG, "The play state must be 0, 1 or 2.");
            s.SetPlayState(value);
            return S_OK;
        });
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
    // Caller holds `state`.
    HRESULT Ready(std::int32_t channel) const {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        return session ? S_OK : Fail(E_FAIL, "No file is open.");
    }
    std::shared_ptr<MediaSession> Session() {
        std::lock_guard lock(state);
        return session;
    }
    // The session's getters and setters never wait for a decode, so they run under `state`; that keeps the
    // file from being closed under them and the calls in the order they were made.
    template <typename T, typename F>
    HRESULT Query(std::int32_t channel, T* out, F&& value) {
        std::lock_guard lock(state);
        if (const HRESULT hr = Ready(channel); FAILED(hr)) return hr;
        if (!out) return E_POINTER;
        *out = value(*session);
        return S_OK;
    }
    template <typename F>
    HRESULT Act(std::int32_t channel, F&& action) {
        std::lock_guard lock(state);
        if (const HRESULT hr = Ready(channel); FAILED(hr)) return hr;
        return action(*session);
    }
    // The same for values that exist without a file: the settings the next file starts with, whether one is open.
    template <typename T, typename F>
    HRESULT QueryAnyTime(std::int32_t channel, T* out, F&& value) {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        if (!out) return E_POINTER;
        std::lock_guard lock(state);
        *out = value();
        return S_OK;
    }
    template <typename F>
    HRESULT SetPicture(std::int32_t channel, F&& change) {
        if (const HRESULT hr = CheckChannel(channel); FAILED(hr)) return hr;
        std::lock_guard lock(state);
        change();
        return S_OK;
    }
    HRESULT Skip(std::int32_t channel, std::int64_t delta) {
        return Act(channel, [&](MediaSession& s) {
            s.Skip(delta);
            return S_OK;
        });
    }

    std::mutex reading; // one ReadFrame at a time; guards the trace file
    Trace trace;

    std::mutex state; // guards session, status, picture, bgra, volume, balance, rate
    std::shared_ptr<MediaSession> session;
    std::int32_t status = NRX_FRAME_END;
    PictureSettings picture;
    bool bgra = false;
    int volume = 100;
    int balance = 0;
    double rate = 1.0;
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
