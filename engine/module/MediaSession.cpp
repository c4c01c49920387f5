#include "engine/module/MediaSession.h"

#include "engine/module/EngineLog.h"

extern "C" {
#include <libavutil/display.h>
}

#include <chrono>
#include <cmath>
#include <utility>

namespace nrx {

namespace {
using namespace std::chrono_literals;

constexpr double kFullyDecodedBeforeTarget = 30;  // frames before a seek target decoded even if unreferenced
constexpr int kMaxSide = 16384;

double Seconds(std::int64_t ts, AVRational tb) { return ts == AV_NOPTS_VALUE ? NAN : ts * av_q2d(tb); }

// Clockwise quarter turns that make the picture upright, from the stream's display matrix.
int RotationOf(const AVStream* st) {
    const std::uint8_t* matrix = av_stream_get_side_data(st, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    if (!matrix) return 0;
    const double angle = av_display_rotation_get(reinterpret_cast<const std::int32_t*>(matrix));
    if (std::isnan(angle)) return 0;
    int turn = static_cast<int>(std::lround(-angle / 90.0)) * 90 % 360;
    return turn < 0 ? turn + 360 : turn;
}

} // namespace

std::unique_ptr<MediaSession> MediaSession::Open(const std::string& path, const SessionOptions& options,
                                                 std::string& error) {
    std::unique_ptr<MediaSession> session(new MediaSession());
    if (!session->OpenFile(path, options, error)) return nullptr;
    session->Start();
    return session;
}

int MediaSession::InterruptCallback(void* self) { return static_cast<MediaSession*>(self)->quit ? 1 : 0; }

bool MediaSession::OpenFile(const std::string& path, const SessionOptions& options, std::string& error) {
    untimed = options.untimed;
    bgra = options.bgra;
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        error = "Out of memory.";
        return false;
    }
    raw->interrupt_callback = {&MediaSession::InterruptCallback, this};
    if (const int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); rc < 0) {
        error = "Cannot open \"" + path + "\": " + AvErrorText(rc);
        return false; // avformat_open_input frees the context on failure
    }
    format.reset(raw);
    if (const int rc = avformat_find_stream_info(format.get(), nullptr); rc < 0) {
        error = "\"" + path + "\" is not a playable media file: " + AvErrorText(rc);
        return false;
    }
    const int v = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int a = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, v >= 0 ? v : -1, nullptr, 0);
    if (v >= 0) videoStream = format->streams[v];
    if (a >= 0 && avcodec_find_decoder(format->streams[a]->codecpar->codec_id)) audioStream = format->streams[a];
    if (!videoStream && !audioStream) {
        error = "\"" + path + "\" holds no picture or sound this component can decode.";
        return false;
    }
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (format->streams[i] != videoStream && format->streams[i] != audioStream)
            format->streams[i]->discard = AVDISCARD_ALL;

    if (format->start_time != AV_NOPTS_VALUE) formatStart = static_cast<double>(format->start_time) / AV_TIME_BASE;
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        duration = static_cast<double>(format->duration) / AV_TIME_BASE;
    if (!SetupVideo(error)) return false;
    // Untimed reading is for decoding pictures as fast as they come; sound played at its own speed would
    // fill its queue and hold the demuxer back. A file that is only sound still needs it for its length.
    if (audioStream && untimed && !still) {
        audioStream->discard = AVDISCARD_ALL;
        audioStream = nullptr;
    }

    if (audioStream) {
        audio = std::make_unique<AudioPipeline>(audioStream, audioPackets, MakeSdlAudioOutput(),
                                                [this](double t, int s) { OnAudioTime(t, s); });
        std::string audioError;
        if (!audio->Start(audioError)) {
            EngineLog::Write("warning", audioError + " Playing without sound.");
            audio.reset();
            audioStream->discard = AVDISCARD_ALL;
            audioStream = nullptr;
            if (still) {
                error = audioError;
                return false;
            }
        } else {
            audio->SetVolume(options.volume);
            audio->SetBalance(options.balance);
            audio->SetRate(options.rate);
        }
    }
    clock.speed = options.rate;
    clock.Set(startPts, Now(), 0);
    currentPts = startPts;
    return true;
}

bool MediaSession::SetupVideo(std::string& error) {
    const AVCodec* decoder = videoStream ? avcodec_find_decoder(videoStream->codecpar->codec_id) : nullptr;
    const bool cover = videoStream && (videoStream->disposition & AV_DISPOSITION_ATTACHED_PIC);
    if (videoStream && !decoder) {
        if (!audioStream) {
            error = std::string("No decoder for the video codec \"") + avcodec_get_name(videoStream->codecpar->codec_id) + "\".";
            return false;
        }
        EngineLog::Write("warning", "No decoder for the video codec; showing a black picture.");
    }
    int width = 640, height = 360, rotation = 0;
    if (videoStream && decoder) {
        const AVCodecParameters* par = videoStream->codecpar;
        if (par->width <= 0 || par->height <= 0 || par->width > kMaxSide || par->height > kMaxSide) {
            error = "The picture size " + std::to_string(par->width) + "x" + std::to_string(par->height) +
                    " is not playable (at most 16384 pixels a side).";
            return false;
        }
        videoCodec.reset(avcodec_alloc_context3(decoder));
        if (!videoCodec || avcodec_parameters_to_context(videoCodec.get(), par) < 0) {
            error = "Cannot set up the video decoder.";
            return false;
        }
        videoCodec->pkt_timebase = videoStream->time_base;
        videoCodec->thread_count = 0;
        videoCodec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        if (const int rc = avcodec_open2(videoCodec.get(), decoder, nullptr); rc < 0) {
            error = "Cannot open the video decoder: " + AvErrorText(rc);
            return false;
        }
        width = par->width;
        height = par->height;
        const AVRational sar = av_guess_sample_aspect_ratio(format.get(), videoStream, nullptr);
        if (sar.num > 0 && sar.den > 0 && sar.num != sar.den)
            width = static_cast<int>(std::lround(static_cast<double>(width) * sar.num / sar.den));
        rotation = RotationOf(videoStream);
        if (rotation == 90 || rotation == 270) std::swap(width, height);
        width = std::clamp(width, 1, kMaxSide);
    }
    still = !videoStream || !decoder || cover;
    if (!still) {
        const AVRational rate = av_guess_frame_rate(format.get(), videoStream, nullptr);
        if (rate.num > 0 && rate.den > 0 && av_q2d(rate) >= 1.0 && av_q2d(rate) <= 1000.0) fps = av_q2d(rate);
        const double start = Seconds(videoStream->start_time, videoStream->time_base);
        startPts = std::isnan(start) ? 0.0 : start;
        const double streamDuration = Seconds(videoStream->duration, videoStream->time_base);
        if (duration <= 0 && !std::isnan(streamDuration)) duration = streamDuration;
        frameCount = videoStream->nb_frames > 0 ? videoStream->nb_frames : std::llround(duration * fps);
    } else {
        if (audioStream) {
            const double start = Seconds(audioStream->start_time, audioStream->time_base);
            startPts = std::isnan(start) ? 0.0 : start;
        }
        frameCount = std::llround(duration * fps);
        if (cover && videoCodec) {
            PacketPtr pic = MakePacket();
            FramePtr frame = MakeFrame();
            if (av_packet_ref(pic.get(), &videoStream->attached_pic) >= 0 &&
                avcodec_send_packet(videoCodec.get(), pic.get()) >= 0 && avcodec_send_packet(videoCodec.get(), nullptr) >= 0 &&
                avcodec_receive_frame(videoCodec.get(), frame.get()) >= 0)
                stillPicture = std::move(frame);
            else
                EngineLog::Write("warning", "The cover picture cannot be decoded; showing a black picture.");
        }
        if (videoStream) videoStream->discard = AVDISCARD_ALL;
        videoStream = nullptr;
        videoCodec.reset();
    }
    frameCount = std::max<std::int64_t>(frameCount, 1);
    return converter.Setup(width, height, rotation, bgra ? 32 : 24, error);
}

void MediaSession::Start() {
    demuxThread = std::thread([this] { DemuxLoop(); });
    if (videoStream) videoThread = std::thread([this] { VideoLoop(); });
}

MediaSession::~MediaSession() {
    Abort();
    if (demuxThread.joinable()) demuxThread.join();
    if (videoThread.joinable()) videoThread.join();
    audio.reset();
}

void MediaSession::Abort() {
    quit = true;
    {
        std::lock_guard lock(demuxMutex);
        demuxWake.notify_all();
    }
    videoPackets.Abort();
    audioPackets.Abort();
    frames.Abort();
    if (audio) audio->Abort();
}

double MediaSession::Now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void MediaSession::DemuxLoop() {
    PacketPtr packet = MakePacket();
    int current = 0;
    bool ended = false;
    bool justSought = false;
    double soughtTo = 0.0;
    while (!quit) {
        {
            std::unique_lock lock(demuxMutex);
            if (ended && !seekPending) demuxWake.wait_for(lock, 100ms);
            if (quit) break;
            if (seekPending) {
                seekPending = false;
                current = seekSerial;
                soughtTo = seekTo;
                lock.unlock();
                const auto ts = static_cast<std::int64_t>(soughtTo * AV_TIME_BASE);
                // Back to the very start of a stream format (which resynchronises on any byte) needs no
                // timestamp search, which damage could mislead.
                const bool toStart = soughtTo <= startPts + 1e-6 && (format->iformat->flags & AVFMT_TS_DISCONT) &&
                                     av_seek_frame(format.get(), -1, 0, AVSEEK_FLAG_BYTE) >= 0;
                if (!toStart && avformat_seek_file(format.get(), -1, INT64_MIN, ts, ts, 0) < 0 &&
                    av_seek_frame(format.get(), -1, ts, AVSEEK_FLAG_BACKWARD) < 0 && !SeekByBytes(soughtTo))
                    EngineLog::Write("warning", "Seeking failed; continuing from where reading stood.");
                ended = false;
                justSought = true;
                continue;
            }
        }
        if (ended) continue;
        const int rc = av_read_frame(format.get(), packet.get());
        if (rc == AVERROR(EAGAIN)) {
            std::this_thread::sleep_for(5ms);
            continue;
        }
        // A timestamp search misled by damage can leave reading at the very end; the byte guess gets a second go.
        if (rc < 0 && justSought && SeekByBytes(soughtTo)) {
            justSought = false;
            continue;
        }
        justSought = false;
        if (rc < 0) {
            if (rc != AVERROR_EOF && !quit) EngineLog::Write("warning", "Reading stopped: " + AvErrorText(rc));
            ended = true;
            if (videoStream) videoPackets.Push(PacketPtr(), current);
            if (audio) audioPackets.Push(PacketPtr(), current);
            continue;
        }
        const std::size_t size = static_cast<std::size_t>(packet->size) + 1;
        if (videoStream && packet->stream_index == videoStream->index) {
            videoPackets.Push(std::exchange(packet, MakePacket()), current, size);
        } else if (audio && packet->stream_index == audioStream->index) {
            audioPackets.Push(std::exchange(packet, MakePacket()), current, size);
        } else {
            av_packet_unref(packet.get());
        }
        if (!packet) packet = MakePacket();
        else av_packet_unref(packet.get());
    }
}

// Damaged files can defeat the timestamp search; their bytes are then assumed evenly spread over time.
// A guess that lands after the target is corrected by ReadFrame(1), which asks again earlier.
bool MediaSession::SeekByBytes(double pts) {
    const std::int64_t size = format->pb ? avio_size(format->pb) : -1;
    if (size <= 0 || duration <= 0) return false;
    const double share = std::clamp((pts - formatStart) / duration, 0.0, 1.0);
    const auto pos = static_cast<std::int64_t>(share * 0.95 * static_cast<double>(size));
    return av_seek_frame(format.get(), -1, pos, AVSEEK_FLAG_BYTE) >= 0;
}

void MediaSession::VideoLoop() {
    FramePtr frame = MakeFrame();
    int current = -1;
    double lastPts = NAN;
    while (!quit) {
        auto item = videoPackets.Pop(100ms);
        if (!item) continue;
        if (item->serial != current) {
            current = item->serial;
            avcodec_flush_buffers(videoCodec.get());
            lastPts = NAN;
        }
        const bool end = !item->value;
        // Far before a seek target, frames nothing refers to are not worth decoding; the last stretch is
        // decoded in full so that backward steps find it in the recent-frame store.
        bool skip = false;
        if (!end && item->serial == skipSerial) {
            const AVPacket* p = item->value.get();
            const double pts = Seconds(p->pts != AV_NOPTS_VALUE ? p->pts : p->dts, videoStream->time_base);
            skip = !std::isnan(pts) && pts < skipBefore;
        }
        videoCodec->skip_frame = skip ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        const int sent = avcodec_send_packet(videoCodec.get(), end ? nullptr : item->value.get());
        if (sent < 0 && sent != AVERROR_EOF && !end)
            EngineLog::Write("warning", "A damaged video packet was skipped: " + AvErrorText(sent));
        while (!quit && avcodec_receive_frame(videoCodec.get(), frame.get()) >= 0) {
            double pts = Seconds(frame->best_effort_timestamp, videoStream->time_base);
            // Frames without a timestamp follow their predecessor by one nominal period.
            if (std::isnan(pts)) pts = std::isnan(lastPts) ? startPts : lastPts + 1.0 / fps;
            // Without a duration from the container a frame is assumed to last as long as the gap before it,
            // which is what keeps the last picture of a slow clip up for its time.
            if (DurationField(frame.get()) <= 0 && !std::isnan(lastPts) && pts > lastPts)
                DurationField(frame.get()) = std::llround((pts - lastPts) / av_q2d(videoStream->time_base));
            lastPts = pts;
            FramePtr out = MakeFrame();
            av_frame_move_ref(out.get(), frame.get());
            frames.Push(VideoFrame{std::move(out), pts}, current);
        }
        if (end) {
            frames.Push(VideoFrame{}, current);
            avcodec_flush_buffers(videoCodec.get());
        }
    }
}

void MediaSession::OnAudioTime(double mediaTime, int s) {
    std::lock_guard lock(clockMutex);
    if (s != clock.serial || clock.paused) return;
    clock.Set(SteerClock(clock.At(Now()), mediaTime), Now(), s);
}

double MediaSession::ClockTime() {
    std::lock_guard lock(clockMutex);
    return clock.At(Now()) - startPts;
}

int MediaSession::StartSeek(std::int64_t frame) {
    const int s = serial + 1;
    serial = s;
    const double pts = PtsOfFrame(frame, startPts, fps);
    skipBefore = pts - kFullyDecodedBeforeTarget / fps;
    skipSerial = s;
    // Queues are emptied here, before the demux thread seeks, so nothing stale is handed out meanwhile.
    videoPackets.Flush(s);
    audioPackets.Flush(s);
    frames.Flush(s);
    if (audio) audio->Flush(s, pts);
    {
        std::lock_guard lock(clockMutex);
        clock.Set(pts, Now(), s);
        if (!still) clock.SetPaused(true, Now());
    }
    if (audio && !still) audio->SetPaused(true);
    {
        std::lock_guard lock(demuxMutex);
        seekPending = true;
        seekTo = pts;
        seekSerial = s;
        demuxWake.notify_all();
    }
    discardBelow = frame;
    shownSinceSeek = false;
    resync = false;
    repositionOnPlay = false;
    return s;
}

void MediaSession::SetPosition(std::int64_t frame) {
    std::lock_guard lock(control);
    target = std::clamp<std::int64_t>(frame, 0, frameCount - 1);
    // While playing there is no ReadFrame(1) to follow: the jump starts now and ReadFrame(0) picks it up.
    if (playState == 0) StartSeek(target);
}

void MediaSession::Skip(std::int64_t delta) {
    std::lock_guard lock(control);
    const std::int64_t from = currentIndex;
    const std::int64_t to = delta > 0 ? (from > INT64_MAX - delta ? INT64_MAX : from + delta)
                                      : (from < INT64_MIN - delta ? 0 : from + delta);
    target = std::clamp<std::int64_t>(to, 0, frameCount - 1);
    if (playState == 0) StartSeek(target);
}

void MediaSession::SetPlayState(int state) {
    std::lock_guard lock(control);
    if (state == 2) {
        ApplyPlayState(1);
        playState = 2;
        target = 0;
        StartSeek(0);
        currentIndex = 0;
        currentPts = startPts;
        return;
    }
    ApplyPlayState(state);
}

void MediaSession::ApplyPlayState(int state) {
    playState = state;
    lastPlayingRead = NAN; // time spent paused is no standstill
    const bool paused = state != 0;
    // Frames stepped to while paused left the sound behind; playing resumes from the frame after them.
    if (!paused && (resync || repositionOnPlay) && shownSinceSeek) StartSeek(currentIndex + 1);
    // Until the first picture after opening or a jump is on screen, clock and sound wait for it.
    if (!paused && !still && !shownSinceSeek) return;
    {
        std::lock_guard lock(clockMutex);
        clock.SetPaused(paused, Now());
    }
    if (audio) audio->SetPaused(paused);
}

// Clock and sound have locks of their own; the picking state is not involved.
void MediaSession::SetRate(double rate) {
    {
        std::lock_guard lock(clockMutex);
        clock.SetSpeed(rate, Now());
    }
    if (audio) audio->SetRate(rate);
}

void MediaSession::SetVolume(int volume) {
    if (audio) audio->SetVolume(volume);
}

void MediaSession::SetBalance(int balance) {
    if (audio) audio->SetBalance(balance);
}

} // namespace nrx
