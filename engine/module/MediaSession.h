// One open media file: demuxing and decoding threads, the master clock, frame pacing and exact seeking.
#pragma once

#include "engine/module/AudioPipeline.h"
#include "engine/module/FFmpegPtr.h"
#include "engine/module/FrameConverter.h"
#include "engine/module/MediaClock.h"
#include "engine/module/RecentFrames.h"
#include "engine/module/SerialQueue.h"

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace nrx {

struct SessionOptions {
    bool bgra = false;
    bool untimed = false; // ReadFrame(0) hands out every next frame at once
    int volume = 100;
    int balance = 0;
    double rate = 1.0;
};

// Threads: one caller at a time runs ReadFrame (the device's playback thread); the setters and getters may
// be called from any other thread while it runs and never wait for a decode: ReadFrame holds `control` only
// to look at and change the picking state, never while it waits for decoded frames or converts one. A
// change made meanwhile (a stop, a new position, a jump while playing) is seen by the waiting ReadFrame as
// soon as it wakes. Abort may be called from any thread at any time to make a waiting ReadFrame return.
class MediaSession {
public:
    static std::unique_ptr<MediaSession> Open(const std::string& path, const SessionOptions& options,
                                              std::string& error);
    ~MediaSession();
    MediaSession(const MediaSession&) = delete;
    MediaSession& operator=(const MediaSession&) = delete;

    void Abort();
    // Returns NRX_FRAME_NEW, NRX_FRAME_NONE or NRX_FRAME_END; `error` is set when END means a failure.
    // Only ReadFrame writes the converter's buffer.
    int ReadFrame(int mode, const PictureSettings& settings, std::string& error);
    void SetPosition(std::int64_t frame);
    // Moves the position by delta frames from the frame in the buffer.
    void Skip(std::int64_t delta);
    void SetPlayState(int state);
    void SetRate(double rate);
    void SetVolume(int volume);
    void SetBalance(int balance);

    // The converter's size, layout, buffer and header addresses are fixed when the file opens.
    const FrameConverter& Converter() const { return converter; }
    FrameConverter& Converter() { return converter; }
    double FrameRate() const { return fps; }
    std::int64_t FrameCount() const { return frameCount; }
    double Duration() const { return duration; }
    std::int64_t CurrentFrame() const { return currentIndex; }
    // A video stream that decodes, or cover art; false for sound only (the buffer stays black).
    bool HasPicture() const { return !still || stillPicture != nullptr; }
    // Presentation time of the frame in the buffer and the master clock, both from the stream's start.
    double CurrentTime() const { return currentPts - startPts; }
    double ClockTime();
    std::int64_t DroppedFrames() const { return dropped; }

private:
    struct VideoFrame {
        FramePtr frame; // null marks the end of the stream
        double pts = 0.0;
    };

    MediaSession() = default;
    bool OpenFile(const std::string& path, const SessionOptions& options, std::string& error);
    bool SetupVideo(std::string& error);
    void Start();
    void DemuxLoop();
    void VideoLoop();
    bool SeekByBytes(double pts);
    static int InterruptCallback(void* self);

    using Lock = std::unique_lock<std::mutex>;
    // Callers hold `control`.
    int StartSeek(std::int64_t target);
    void ApplyPlayState(int state);
    // The frame picking (FramePicking.cpp); `lock` holds `control` and is given up while waiting or converting.
    int ReadNext(Lock& lock, const PictureSettings& settings, std::string& error);
    int ReadExact(Lock& lock, const PictureSettings& settings, std::string& error);
    int ReadStill(Lock& lock, bool exact, const PictureSettings& settings, std::string& error);
    int Refresh(Lock& lock, const PictureSettings& settings, std::string& error);
    int Show(Lock& lock, FramePtr frame, double pts, int ofSerial, bool startsClock, const PictureSettings& settings,
             std::string& error);
    template <typename F>
    static auto Unlocked(Lock& lock, F&& wait);
    void NoticeStandstill(double period);
    void StartClock(double pts, int serial);
    void OnAudioTime(double mediaTime, int serial);
    double Now() const;
    std::int64_t IndexOf(double pts) const { return FrameIndexOf(pts, startPts, fps); }

    FormatPtr format;
    CodecPtr videoCodec;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    std::unique_ptr<AudioPipeline> audio;
    FrameConverter converter;
    bool still = false;      // audio-only file: one picture (cover art or black) for the whole file
    FramePtr stillPicture;   // the cover art, when there is one
    bool untimed = false;
    bool bgra = false;

    double fps = 25.0;
    double startPts = 0.0;    // first video timestamp (the first audio one for audio-only files)
    double formatStart = 0.0; // the container's start time
    double duration = 0.0;
    std::int64_t frameCount = 0;

    // Bounded in bytes so a paused high-rate file does not pile up memory.
    SerialQueue<PacketPtr> videoPackets{2000, 16u << 20};
    SerialQueue<PacketPtr> audioPackets{2000, 4u << 20};
    SerialQueue<VideoFrame> frames{4};

    std::mutex demuxMutex; // guards seekPending, seekTo, seekSerial (the request to the demux thread)
    std::condition_variable demuxWake;
    bool seekPending = false;
    double seekTo = 0.0;
    int seekSerial = 0;

    std::atomic<bool> quit{false};
    std::atomic<int> serial{0};          // generation of the latest seek request
    std::atomic<int> skipSerial{-1};     // the seek whose early unreferenced frames are skipped ...
    std::atomic<double> skipBefore{0.0}; // ... before this time
    std::thread demuxThread, videoThread;

    // Lock order: control, then clockMutex, demuxMutex, a queue's own lock or the sound pipeline's; none of
    // those is ever held while taking control. The device object may hold its state lock when it calls in.
    std::mutex clockMutex; // guards clock
    MediaClock clock;

    // Guards the picking state below (shared by ReadFrame and the setters). Held for short hand-overs only:
    // never across a wait for decoded frames or a conversion.
    std::mutex control;
    int playState = 2;
    std::int64_t target = 0;       // frame chosen by SetPosition
    std::int64_t discardBelow = 0; // frames of the current generation below this index are skipped
    bool shownSinceSeek = false;
    bool resync = false;           // the buffer came from the cache: the stream must be repositioned
    bool repositionOnPlay = false; // stepped forward while paused: sound must catch up before playing
    double currentEnd = 0.0;       // when the frame in the buffer has had its whole duration
    double lastPlayingRead = NAN;  // wall time of the last ReadFrame(0) while playing
    RecentFrames recent{48u << 20}; // recently decoded frames, for fast backward steps
    // Written under `control`, read without it by the getters.
    std::atomic<std::int64_t> currentIndex{0};
    std::atomic<double> currentPts{0.0};
    std::atomic<std::int64_t> dropped{0};

    // Only the ReadFrame caller touches these (ReadFrame calls never overlap).
    FramePtr current; // source of the frame in the buffer, kept for ReadFrame(2)
};

} // namespace nrx
