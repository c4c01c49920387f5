#include "engine/module/AudioOutput.h"

#include <SDL.h>

#include <cstring>
#include <mutex>

namespace nrx {

namespace {
std::mutex sdlMutex; // guards sdlReady
bool sdlReady = false;
} // namespace

// SDL's audio subsystem is started once and kept: shutting it down after every file made each close
// wait for the driver to wind down, which dominated rapid open/close cycles.
bool StartSdlAudio(std::string& error) {
    std::lock_guard lock(sdlMutex);
    if (!sdlReady) {
        // Starting audio starts SDL's events, whose SIGINT/SIGTERM handlers would only queue a quit event
        // nobody reads: the player would then outlive a desktop's logout or a plain kill.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        sdlReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!sdlReady) error = std::string("No audio output: ") + SDL_GetError();
    }
    return sdlReady;
}

namespace {

class SdlAudioOutput final : public AudioOutput {
public:
    ~SdlAudioOutput() override {
        if (device) SDL_CloseAudioDevice(device);
    }

    bool Open(int sampleRate, AudioFill callback, std::string& error) override {
        if (!StartSdlAudio(error)) return false;
        fill = std::move(callback);
        SDL_AudioSpec want{};
        want.freq = sampleRate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        // 20 ms per callback: short enough for a fine-grained clock, long enough to avoid underruns. A whole
        // number of milliseconds also keeps drivers that pace themselves with a millisecond timer exact.
        want.samples = static_cast<Uint16>(sampleRate % 50 == 0 ? sampleRate / 50 : (sampleRate >= 88200 ? 2048 : 1024));
        want.callback = &SdlAudioOutput::Trampoline;
        want.userdata = this;
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (!device) {
            error = std::string("No audio output: ") + SDL_GetError();
            return false;
        }
        return true;
    }
    void Pause(bool paused) override {
        if (device) SDL_PauseAudioDevice(device, paused ? 1 : 0);
    }
    void Flush() override {
        // Taking the device lock waits for a callback in progress to return.
        if (!device) return;
        SDL_LockAudioDevice(device);
        SDL_UnlockAudioDevice(device);
    }
    double Delay() const override { return have.freq > 0 ? static_cast<double>(have.samples) / have.freq : 0.0; }
    int SampleRate() const override { return have.freq; }
    bool IsNull() const override { return false; }

private:
    static void Trampoline(void* self, Uint8* stream, int bytes) {
        auto* me = static_cast<SdlAudioOutput*>(self);
        me->fill(reinterpret_cast<float*>(stream), bytes / static_cast<int>(2 * sizeof(float)));
    }

    AudioFill fill;
    SDL_AudioSpec have{};
    SDL_AudioDeviceID device = 0;
};

class NullAudioOutput final : public AudioOutput {
public:
    bool Open(int sampleRate, AudioFill, std::string&) override {
        rate = sampleRate;
        return true;
    }
    void Pause(bool) override {}
    void Flush() override {}
    double Delay() const override { return 0.0; }
    int SampleRate() const override { return rate; }
    bool IsNull() const override { return true; }

private:
    int rate = 48000;
};

} // namespace

std::unique_ptr<AudioOutput> MakeSdlAudioOutput() {
    // SDL's "dummy" driver is its way of having no sound output. It paces itself with sleeps, which run late
    // whenever the machine is busy: taking the time from it played the picture several percent slow. Without
    // a real device the monotonic clock keeps time, as when no device opens at all.
    std::string error;
    if (StartSdlAudio(error)) {
        const char* driver = SDL_GetCurrentAudioDriver();
        if (driver && std::strcmp(driver, "dummy") == 0) return MakeNullAudioOutput();
    }
    return std::make_unique<SdlAudioOutput>();
}
std::unique_ptr<AudioOutput> MakeNullAudioOutput() { return std::make_unique<NullAudioOutput>(); }

} // namespace nrx
