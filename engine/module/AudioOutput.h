// The narrow audio driver interface (open, callback, pause, flush, delay) and its SDL2 and null drivers.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace nrx {

// Fills `frames` interleaved float stereo frames; called on the driver's own thread.
using AudioFill = std::function<void(float* out, int frames)>;

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Starts paused. False (with a reason) when no device can be opened.
    virtual bool Open(int sampleRate, AudioFill fill, std::string& error) = 0;
    virtual void Pause(bool paused) = 0;
    // Waits until no fill call is running, so the caller may reset what the callback reads.
    virtual void Flush() = 0;
    // Seconds between a sample handed to the driver and the moment it is heard.
    virtual double Delay() const = 0;
    virtual int SampleRate() const = 0;
    // True for the driver that plays nothing; the engine then keeps time with the monotonic clock.
    virtual bool IsNull() const = 0;
};

std::unique_ptr<AudioOutput> MakeSdlAudioOutput();
// Starts SDL's audio subsystem once for the process; false with a reason when there is no audio at all.
bool StartSdlAudio(std::string& error);
std::unique_ptr<AudioOutput> MakeNullAudioOutput();

} // namespace nrx
