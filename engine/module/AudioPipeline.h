// Audio decoding, tempo change with kept pitch, volume and balance, feeding an audio driver and the clock.
#pragma once

#include "engine/module/AudioOutput.h"
#include "engine/module/FFmpegPtr.h"
#include "engine/module/SerialQueue.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace nrx {

// Loudness gain of a 0..100 volume: each step is the same number of decibels (0.5 dB), 0 is silence.
double VolumeGain(int volume);
// Left and right gains of a -100..100 balance: -100 silences the right channel, +100 the left.
void BalanceGains(int balance, float& left, float& right);
// The chain of single tempo stages (each within 0.5..2) whose product is `rate`.
std::vector<double> TempoStages(double rate);

class AudioPipeline {
public:
    // Reports the media time (seconds) being heard now, with the seek generation it belongs to.
    using ClockSink = std::function<void(double mediaTime, int serial)>;

    AudioPipeline(AVStream* stream, SerialQueue<PacketPtr>& packets, std::unique_ptr<AudioOutput> output,
                  ClockSink sink);
    ~AudioPipeline();
    // Opens the decoder and the driver and starts decoding (output paused). False with a reason.
    bool Start(std::string& error);
    void SetPaused(bool paused);
    void SetRate(double rate) { wantedRate = rate; }
    void SetVolume(int volume) { gain = static_cast<float>(VolumeGain(volume)); }
    void SetBalance(int balance);
    // Starts generation `serial`: queued sound is dropped and decoded sound before startPts is cut.
    void Flush(int serial, double startPts);
    // True once the stream's end was decoded and everything of the current generation was played.
    bool Drained();
    bool PlaysSound() const { return !output->IsNull(); }
    void Abort();

private:
    struct Chunk {
        std::vector<float> samples; // interleaved stereo
        double pts = 0.0;           // media time of the first sample
    };

    void DecodeLoop();
    void HandleFrame(AVFrame* frame, int serial);
    void Emit(std::vector<float> samples, double pts, int serial);
    bool BuildTempo(double rate, std::string& error);
    void PullTempo(int serial);
    void Fill(float* out, int frames);

    AVStream* stream;
    SerialQueue<PacketPtr>& packets;
    std::unique_ptr<AudioOutput> output;
    ClockSink sink;
    CodecPtr codec;
    SwrPtr swr;
    int outRate = 48000;

    // Decoder thread only.
    GraphPtr tempoGraph;
    AVFilterContext* tempoIn = nullptr;
    AVFilterContext* tempoOut = nullptr;
    double tempoRate = 1.0;
    double tempoAnchor = 0.0;     // media time of the first sample fed since the tempo graph was built
    long long tempoOutFrames = 0; // frames pulled out of the graph since then
    bool tempoAnchored = false;

    std::mutex trimMutex; // guards trimSerial, trimPts
    int trimSerial = 0;
    double trimPts = -1e300;

    SerialQueue<Chunk> chunks;
    std::atomic<int> eofSerial{-1};
    std::atomic<double> wantedRate{1.0};
    std::atomic<float> gain{1.0f};
    std::atomic<float> leftGain{1.0f};
    std::atomic<float> rightGain{1.0f};
    std::atomic<bool> quit{false};

    std::mutex fillMutex; // guards current, offset (the driver callback's partly played chunk)
    std::optional<SerialQueue<Chunk>::Item> current;
    std::size_t offset = 0;

    std::thread thread;
};

} // namespace nrx
