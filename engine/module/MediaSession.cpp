#include "engine/module/MediaSession.h"

#include "engine/module/EngineLog.h"

extern "C" {
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
}

#include <chrono>
#include <cmath>
#include <utility>

namespace nrx {

namespace {
using namespace std::chrono_literals;

constexpr std::size_t kRecentBytes = 48u << 20; // recently decoded frames kept for backward steps
constexpr std::size_t kHeadStartFrames = 3; // decoded ahead before the first picture after opening or a jump
constexpr double kFullyDecodedBeforeTarget = 30;  // frames before a seek target decoded even if unreferenced
constexpr int kMaxSide = 16384;
constexpr auto kExactSeekBudget = 8s;           // a seek never waits longer, whatever the file
constexpr double kLongestFrame = 10.0;          // seconds; a damaged duration must not hold the end back for long

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

// The frame's duration field, in its stream's time base (0 when unknown); later FFmpeg versions renamed it.
std::int64_t& DurationField(AVFrame* f) {
#if LIBAVUTIL_VERSION_MAJOR >= 58
    return f->duration;
#else
    return f->pkt_duration;
#endif
}

std::size_t FrameBytes(const AVFrame* f) {
    const int size = av_image_get_buffer_size(static_cast<AVPixelFormat>(f->format), f->width, f->height, 1);
    return size > 0 ? static_cast<std::size_t>(size) : 1;
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

double MediaSession::CurrentTime() const { return currentPts - startPts; }

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
    target = std::clamp<std::int64_t>(frame, 0, frameCount - 1);
    // While playing there is no ReadFrame(1) to follow: the jump starts now and ReadFrame(0) picks it up.
    if (playState == 0) StartSeek(target);
}

void MediaSession::SetPlayState(int state) {
    if (state == 2) {
        SetPlayState(1);
        playState = 2;
        target = 0;
        StartSeek(0);
        currentIndex = 0;
        currentPts = startPts;
        return;
    }
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

int MediaSession::ReadFrame(int mode, const PictureSettings& settings, std::string& error) {
    if (quit) return NRX_FRAME_END;
    if (mode == 2) {
        if (!current && !still) return NRX_FRAME_NONE;
        if (!current) converter.FillBlack();
        else if (!converter.Convert(current.get(), settings, error)) return NRX_FRAME_END;
        converter.UpdateHeader(settings.flip);
        return NRX_FRAME_NEW;
    }
    if (still) return ReadStill(mode == 1, settings, error);
    return mode == 1 ? ReadExact(settings, error) : ReadNext(settings, error);
}

int MediaSession::Show(FramePtr frame, double pts, const PictureSettings& settings, std::string& error) {
    if (!converter.Convert(frame.get(), settings, error)) return NRX_FRAME_END;
    const std::int64_t span = DurationField(frame.get());
    const double lasts = span > 0 ? static_cast<double>(span) * av_q2d(videoStream->time_base) : 1.0 / fps;
    currentEnd = pts + std::min(lasts, kLongestFrame);
    current = std::move(frame);
    currentPts = pts;
    currentIndex = IndexOf(pts);
    shownSinceSeek = true;
    return NRX_FRAME_NEW;
}

int MediaSession::ReadStill(bool exact, const PictureSettings& settings, std::string& error) {
    if (exact) {
        StartSeek(target);
        currentPts = PtsOfFrame(target, startPts, fps);
        currentIndex = target;
    } else if (shownSinceSeek) {
        {
            std::lock_guard lock(clockMutex);
            currentPts = clock.At(Now());
        }
        currentIndex = std::min(IndexOf(currentPts), frameCount - 1);
        // Without a sound device the clock alone carries the file to its end.
        const bool soundDone = audio && audio->PlaysSound() && audio->Drained();
        if (!audio || soundDone || currentPts - startPts >= duration) return NRX_FRAME_END;
        return NRX_FRAME_NONE;
    }
    shownSinceSeek = true;
    if (stillPicture) return converter.Convert(stillPicture.get(), settings, error) ? NRX_FRAME_NEW : NRX_FRAME_END;
    converter.FillBlack();
    converter.UpdateHeader(settings.flip);
    return NRX_FRAME_NEW;
}

int MediaSession::ReadNext(const PictureSettings& settings, std::string& error) {
    if (resync) StartSeek(currentIndex + 1);
    const double period = 1.0 / fps;
    NoticeStandstill(period);
    for (;;) {
        if (quit) return NRX_FRAME_END;
        // The first frame after opening or a jump is worth a short wait; later ones are polled.
        if (!shownSinceSeek || untimed) frames.WaitFor(1, untimed ? 5000ms : 2000ms);
        // The first picture also waits, for a few periods at most, until the decoder is some frames ahead: the
        // first moments of playback compete with the window being built and drawn, and a decoder already
        // ahead absorbs that instead of handing out the next pictures late.
        if (!shownSinceSeek && !untimed)
            frames.WaitFor(kHeadStartFrames, std::chrono::milliseconds(std::lround(kHeadStartFrames * 1000.0 / fps)));
        const int s = serial;
        double clockNow;
        {
            std::lock_guard lock(clockMutex);
            clockNow = clock.At(Now());
        }
        struct Look {
            bool empty = true, stale = false, end = false;
            double head = NAN, next = NAN;
        };
        const Look look = frames.Peek([&](const auto* a, const auto* b) {
            Look l;
            if (!a) return l;
            l.empty = false;
            l.stale = a->serial != s;
            l.end = !a->value.frame;
            l.head = a->value.pts;
            if (b && b->value.frame) l.next = b->value.pts;
            return l;
        });
        if (look.empty) return NRX_FRAME_NONE;
        if (look.stale) {
            frames.Pop(0ms);
            continue;
        }
        if (look.end) {
            if (untimed) return NRX_FRAME_END;
            // No picture came before the end: the sound must not wait for one.
            if (!shownSinceSeek) StartClock(clockNow, s);
            const bool soundLeft = audio && audio->PlaysSound() && !audio->Drained() && playState == 0 &&
                                   clockNow < currentPts + 2.0;
            // The last picture stays for its whole duration; the end comes after it, not with its start.
            const bool pictureLeft = shownSinceSeek && playState == 0 && clockNow < currentEnd;
            return soundLeft || pictureLeft ? NRX_FRAME_NONE : NRX_FRAME_END;
        }
        if (IndexOf(look.head) < discardBelow) {
            frames.Pop(0ms);
            continue;
        }
        FrameAction action = FrameAction::Show;
        if (!untimed && shownSinceSeek) {
            if (playState != 0) return NRX_FRAME_NONE;
            action = DecideFrame(look.head, look.next, clockNow, period);
        }
        if (action == FrameAction::Wait) return NRX_FRAME_NONE;
        auto item = frames.Pop(0ms);
        if (!item) return NRX_FRAME_NONE;
        if (action == FrameAction::Drop) {
            ++dropped;
            continue;
        }
        const bool first = !shownSinceSeek;
        const int status = Show(std::move(item->value.frame), item->value.pts, settings, error);
        if (first) StartClock(currentPts, s);
        return status;
    }
}

void MediaSession::NoticeStandstill(double period) {
    const double now = Now();
    const bool timed = playState == 0 && shownSinceSeek && !untimed;
    if (timed && ReadsStoodStill(now - lastPlayingRead, period)) {
        std::lock_guard lock(clockMutex);
        clock.SkipStandstill(lastPlayingRead, now, currentPts);
    }
    lastPlayingRead = timed ? now : NAN;
}

int MediaSession::ReadExact(const PictureSettings& settings, std::string& error) {
    const std::int64_t want = target;
    double cachedPts = 0.0;
    if (FramePtr cached = Recall(want, cachedPts)) {
        resync = true;
        return Show(std::move(cached), cachedPts, settings, error);
    }
    const bool seekInFlight = !shownSinceSeek && discardBelow == want && !resync;
    const bool stepAhead = !resync && shownSinceSeek && want > currentIndex && want - currentIndex <= 2 * fps + 1;
    if (!seekInFlight && !stepAhead) StartSeek(want);
    discardBelow = 0;
    const auto deadline = std::chrono::steady_clock::now() + kExactSeekBudget;
    FramePtr last;
    double lastPts = 0.0;
    // Demuxers that land after the target, or at the end, are asked again 1, 2, 4 and 8 s earlier and
    // finally from the start.
    int retries = 0;
    const auto retry = [&] {
        if (retries >= 5 || want == 0) return false;
        ++retries;
        const double back = retries < 5 ? static_cast<double>(1 << (retries - 1)) : 1e12;
        StartSeek(std::max<std::int64_t>(0, IndexOf(PtsOfFrame(want, startPts, fps) - back)));
        discardBelow = 0;
        return true;
    };
    bool firstOfSeek = !stepAhead;
    while (!quit && std::chrono::steady_clock::now() < deadline) {
        const int s = serial;
        auto item = frames.Pop(100ms);
        if (!item || item->serial != s) continue;
        if (!item->value.frame) {
            if (firstOfSeek && retry()) continue;
            break; // the end came first: show the last frame there is
        }
        const std::int64_t index = IndexOf(item->value.pts);
        if (firstOfSeek && index > want && retry()) continue;
        firstOfSeek = false;
        if (index < want) {
            Remember(item->value.frame.get(), item->value.pts);
            last = std::move(item->value.frame);
            lastPts = item->value.pts;
            continue;
        }
        Remember(item->value.frame.get(), item->value.pts);
        if (stepAhead) repositionOnPlay = true;
        const int status = Show(std::move(item->value.frame), item->value.pts, settings, error);
        StartClock(currentPts, serial);
        return status;
    }
    if (quit) return NRX_FRAME_END;
    if (last) {
        const int status = Show(std::move(last), lastPts, settings, error);
        StartClock(currentPts, serial);
        return status;
    }
    if (!current) error = "No frame could be decoded at this position.";
    return current ? NRX_FRAME_NONE : NRX_FRAME_END;
}

// Anchors the clock to the first picture after opening or a jump, so that it is shown on time and the
// frames after it are not late from the start; the sound starts with it.
void MediaSession::StartClock(double pts, int s) {
    {
        std::lock_guard lock(clockMutex);
        clock.Set(pts, Now(), s);
        clock.SetPaused(playState != 0, Now());
    }
    if (audio && playState == 0) audio->SetPaused(false);
}

void MediaSession::Remember(const AVFrame* frame, double pts) {
    const std::int64_t index = IndexOf(pts);
    for (const auto& entry : recent)
        if (entry.index == index) return;
    FramePtr copy(av_frame_clone(frame));
    if (!copy) return;
    recentBytes += FrameBytes(copy.get());
    recent.push_back(Recent{index, pts, std::move(copy)});
    while (recentBytes > kRecentBytes && recent.size() > 1) {
        recentBytes -= FrameBytes(recent.front().frame.get());
        recent.pop_front();
    }
}

FramePtr MediaSession::Recall(std::int64_t index, double& pts) {
    for (const auto& entry : recent)
        if (entry.index == index) {
            pts = entry.pts;
            return FramePtr(av_frame_clone(entry.frame.get()));
        }
    return nullptr;
}

} // namespace nrx
