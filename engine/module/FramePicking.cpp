// Which frame ReadFrame delivers: the one due by the clock, exactly the one set, the still picture or the
// current one again, and the recent-frame cache that serves backward steps.
//
// ReadFrame runs on the device's reading thread while other threads pause, stop, move or query the session.
// It holds `control` only while it looks at or changes the picking state; every wait for decoded frames and
// every conversion happens with the lock given up, and what it decided before is checked again after.
#include "engine/module/MediaSession.h"

#include <chrono>
#include <cmath>
#include <utility>

namespace nrx {

namespace {
using namespace std::chrono_literals;

constexpr std::size_t kHeadStartFrames = 3; // decoded ahead before the first picture after opening or a jump
constexpr auto kExactSeekBudget = 8s;       // a seek never waits longer, whatever the file
constexpr double kLongestFrame = 10.0;      // seconds; a damaged duration must not hold the end back for long
} // namespace

template <typename F>
auto MediaSession::Unlocked(Lock& lock, F&& wait) {
    lock.unlock();
    struct Relock {
        Lock& lock;
        ~Relock() { lock.lock(); }
    } relock{lock};
    return wait();
}

int MediaSession::ReadFrame(int mode, const PictureSettings& settings, std::string& error) {
    if (quit) return NRX_FRAME_END;
    Lock lock(control);
    if (mode == 2) return Refresh(lock, settings, error);
    if (still) return ReadStill(lock, mode == 1, settings, error);
    return mode == 1 ? ReadExact(lock, settings, error) : ReadNext(lock, settings, error);
}

// `current` and the converter belong to the reading thread alone, so the lock is not needed here.
int MediaSession::Refresh(Lock& lock, const PictureSettings& settings, std::string& error) {
    lock.unlock();
    if (!current && !still) return NRX_FRAME_NONE;
    if (!current) converter.FillBlack();
    else if (!converter.Convert(current.get(), settings, error)) return NRX_FRAME_END;
    converter.UpdateHeader(settings.flip);
    return NRX_FRAME_NEW;
}

// Converts with the lock given up, then records the frame as the one in the buffer. When another thread
// started a seek meanwhile (a stop, a jump), the frame is still what the buffer holds, but it does not count as
// the new generation's first picture: that one anchors the clock when it comes.
int MediaSession::Show(Lock& lock, FramePtr frame, double pts, int ofSerial, bool startsClock,
                       const PictureSettings& settings, std::string& error) {
    const bool converted = Unlocked(lock, [&] { return converter.Convert(frame.get(), settings, error); });
    if (!converted) return NRX_FRAME_END;
    const std::int64_t span = DurationField(frame.get());
    const double lasts = span > 0 ? static_cast<double>(span) * av_q2d(videoStream->time_base) : 1.0 / fps;
    currentEnd = pts + std::min(lasts, kLongestFrame);
    current = std::move(frame);
    currentPts = pts;
    currentIndex = IndexOf(pts);
    if (serial != ofSerial) return NRX_FRAME_NEW;
    shownSinceSeek = true;
    if (startsClock) StartClock(pts, ofSerial);
    return NRX_FRAME_NEW;
}

int MediaSession::ReadStill(Lock& lock, bool exact, const PictureSettings& settings, std::string& error) {
    if (exact) {
        StartSeek(target);
        currentPts = PtsOfFrame(target, startPts, fps);
        currentIndex = target;
    } else if (shownSinceSeek) {
        double now;
        {
            std::lock_guard clockLock(clockMutex);
            now = clock.At(Now());
        }
        currentPts = now;
        currentIndex = std::min(IndexOf(now), frameCount - 1);
        // Without a sound device the clock alone carries the file to its end.
        const bool soundDone = audio && audio->PlaysSound() && audio->Drained();
        if (!audio || soundDone || now - startPts >= duration) return NRX_FRAME_END;
        return NRX_FRAME_NONE;
    }
    shownSinceSeek = true;
    lock.unlock();
    if (stillPicture) return converter.Convert(stillPicture.get(), settings, error) ? NRX_FRAME_NEW : NRX_FRAME_END;
    converter.FillBlack();
    converter.UpdateHeader(settings.flip);
    return NRX_FRAME_NEW;
}

int MediaSession::ReadNext(Lock& lock, const PictureSettings& settings, std::string& error) {
    if (resync) StartSeek(currentIndex + 1);
    const double period = 1.0 / fps;
    NoticeStandstill(period);
    for (;;) {
        if (quit) return NRX_FRAME_END;
        // The first frame after opening or a jump is worth a short wait; later ones are polled.
        if (!shownSinceSeek || untimed) Unlocked(lock, [&] { frames.WaitFor(1, untimed ? 5000ms : 2000ms); });
        // The first picture also waits, for a few periods at most, until the decoder is some frames ahead: the
        // first moments of playback compete with the window being built and drawn, and a decoder already
        // ahead absorbs that instead of handing out the next pictures late.
        if (!shownSinceSeek && !untimed) {
            const auto headStart = std::chrono::milliseconds(std::lround(kHeadStartFrames * 1000.0 / fps));
            Unlocked(lock, [&] { frames.WaitFor(kHeadStartFrames, headStart); });
        }
        if (quit) return NRX_FRAME_END;
        const int s = serial;
        double clockNow;
        {
            std::lock_guard clockLock(clockMutex);
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
        return Show(lock, std::move(item->value.frame), item->value.pts, s, first, settings, error);
    }
}

void MediaSession::NoticeStandstill(double period) {
    const double now = Now();
    const bool timed = playState == 0 && shownSinceSeek && !untimed;
    if (timed && ReadsStoodStill(now - lastPlayingRead, period)) {
        std::lock_guard clockLock(clockMutex);
        clock.SkipStandstill(lastPlayingRead, now, currentPts);
    }
    lastPlayingRead = timed ? now : NAN;
}

// Chases the frame chosen by SetPosition. Another thread may move the target or start a seek of its own (a
// stop, a jump while playing) while this waits; the chase then starts over for the new target.
int MediaSession::ReadExact(Lock& lock, const PictureSettings& settings, std::string& error) {
    // A seek this read did not start itself may already be on its way to the target.
    bool othersSeek = true;
    for (;;) {
        const std::int64_t want = target;
        // A frame converted while another thread moved the target or sought elsewhere is not the one wanted
        // now: the chase goes on.
        const auto superseded = [&](int status, int ofSerial) {
            if (status != NRX_FRAME_NEW || (target == want && serial == ofSerial)) return false;
            othersSeek = serial != ofSerial;
            return true;
        };
        double cachedPts = 0.0;
        if (FramePtr cached = recent.Recall(want, cachedPts)) {
            resync = true;
            const int s = serial;
            const int status = Show(lock, std::move(cached), cachedPts, s, false, settings, error);
            if (superseded(status, s)) continue;
            return status;
        }
        const bool seekInFlight = othersSeek && !shownSinceSeek && discardBelow == want && !resync;
        const bool stepAhead = !resync && shownSinceSeek && want > currentIndex && want - currentIndex <= 2 * fps + 1;
        if (!seekInFlight && !stepAhead) StartSeek(want);
        discardBelow = 0;
        int chasing = serial;
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
            chasing = StartSeek(std::max<std::int64_t>(0, IndexOf(PtsOfFrame(want, startPts, fps) - back)));
            discardBelow = 0;
            return true;
        };
        bool firstOfSeek = !stepAhead;
        bool moved = false;
        while (!quit && std::chrono::steady_clock::now() < deadline) {
            Unlocked(lock, [&] { frames.WaitFor(1, 100ms); });
            if (target != want || serial != chasing) {
                moved = true;
                othersSeek = serial != chasing;
                break;
            }
            auto item = frames.Pop(0ms);
            if (!item || item->serial != chasing) continue;
            if (!item->value.frame) {
                if (firstOfSeek && retry()) continue;
                break; // the end came first: show the last frame there is
            }
            const std::int64_t index = IndexOf(item->value.pts);
            if (firstOfSeek && index > want && retry()) continue;
            firstOfSeek = false;
            recent.Remember(index, item->value.frame.get(), item->value.pts);
            if (index < want) {
                last = std::move(item->value.frame);
                lastPts = item->value.pts;
                continue;
            }
            if (stepAhead) repositionOnPlay = true;
            const int status = Show(lock, std::move(item->value.frame), item->value.pts, chasing, true, settings, error);
            if (superseded(status, chasing)) {
                moved = true;
                break;
            }
            return status;
        }
        if (moved) continue;
        if (quit) return NRX_FRAME_END;
        if (last) {
            const int status = Show(lock, std::move(last), lastPts, chasing, true, settings, error);
            if (superseded(status, chasing)) continue;
            return status;
        }
        if (!current) error = "No frame could be decoded at this position.";
        return current ? NRX_FRAME_NONE : NRX_FRAME_END;
    }
}

// Anchors the clock to the first picture after opening or a jump, so that it is shown on time and the
// frames after it are not late from the start; the sound starts with it.
void MediaSession::StartClock(double pts, int s) {
    {
        std::lock_guard clockLock(clockMutex);
        clock.Set(pts, Now(), s);
        clock.SetPaused(playState != 0, Now());
    }
    if (audio && playState == 0) audio->SetPaused(false);
}

} // namespace nrx
