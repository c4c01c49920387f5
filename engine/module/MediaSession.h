// One open media file: demuxing and decoding threads, the master clock, frame pacing and exact seeking.
#pragma once

#include "engine/module/AudioPipeline.h"
#include "engine/module/FFmpegPtr.h"
#include "engine/module/FrameConverter.h"
#include "engine/module/MediaClock.h"
#include "engine/module/SerialQueue.h"

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
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

// Threads: ReadFrame and the setters are called by the device object, which serialises them; Abort may be
// called from any thread at any time to make a waiting ReadFrame return promptly.
class MediaSession {
public:
    static std::unique_ptr<MediaSession> Open(const std::string& path, const SessionOptions& options,
                                              std::string& error);
    ~MediaSession();
    MediaSession(const MediaSession&) = delete;
    MediaSession& operator=(const MediaSession&) = delete;

    void Abort();
    // Returns NRX_FRAME_NEW, NRX_FRAME_NONE or NRX_FRAME_END; `error` is set when END means a failure.
    int ReadFrame(int mode, const PictureSettings& settings, std::string& error);
    void SetPosition(std::int64_t frame);
    void SetPlayState(int state);
    void SetRate(double rate);
    void SetVolume(int volume);
    void SetBalance(int balance);

    FrameConverter& Converter() { return converter; }
    double FrameRate() const { return fps; }
    std::int64_t FrameCount() const { return frameCount; }
    double Duration() const { return duration; }
    std::int64_t CurrentFrame() const { return currentIndex; }
    // A video stream that decodes, or cover art; false for sound only (the buffer stays black).
    bool HasPicture() const { return !still || stillPicture != nullptr; }
    // Presentation time of the frame in the buffer and the master clock, both from the stream's start.
    double CurrentTime() const;
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

    int StartSeek(std::int64_t target);
    int ReadNext(const PictureSettings& settings, std::string& error);
    int ReadExact(const PictureSettings& settings, std::string& error);
    int ReadStill(bool exact, const PictureSettings& settings, std::string& error);
    int Show(FramePtr frame, double pts, const PictureSettings& settings, std::string& error);
    void NoticeStandstill(double period);
    void Remember(const AVFrame* frame, double pts);
    FramePtr Recall(std::int64_t index, double& pts);
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

    std::mutex clockMutex; // guards clock
    MediaClock clock;

    // Only the ReadFrame caller (under the device's lock) touches the fields below.
    int playState = 2;
    std::int64_t target = 0;       // frame chosen by SetPosition
    std::int64_t discardBelow = 0; // frames of the current generation below this index are skipped
    bool shownSinceSeek = false;
    bool resync = false;           // the buffer came from the cache: the stream must be repositioned
    bool repositionOnPlay = false; // stepped forward while paused: sound must catch up before playing
    FramePtr current;              // source of the frame in the buffer, kept for ReadFrame(2)
    double currentPts = 0.0;
    double currentEnd = 0.0;       // when the frame in the buffer has had its whole duration
    double lastPlayingRead = NAN;  // wall time of the last ReadFrame(0) while playing
    std::atomic<std::int64_t> currentIndex{0};
    std::atomic<std::int64_t> dropped{0};
    struct Recent {
        std::int64_t index;
        double pts;
        FramePtr frame;
    };
    std::deque<Recent> recent; // recently decoded frames, oldest first, for fast backward steps
    std::size_t recentBytes = 0;
};

} // namespace nrx
