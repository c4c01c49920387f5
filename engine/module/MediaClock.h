// The playback clock as a small value type plus the pure decisions that pace frames against it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace nrx {

// A media time that advances with wall time at `speed` unless paused. Times are seconds; `serial`
// tells which seek generation set it, so a value from before a seek is recognised as stale.
struct MediaClock {
    double pts = 0.0;    // media time at the moment `setAt`
    double setAt = 0.0;  // wall time (seconds) when pts was taken
    double speed = 1.0;
    bool paused = true;
    int serial = 0;

    double At(double now) const {
        if (paused || std::isnan(pts)) return pts;
        return pts + (now - setAt) * speed;
    }
    void Set(double mediaTime, double now, int newSerial) {
        pts = mediaTime;
        setAt = now;
        serial = newSerial;
    }
    // Changing speed or pausing re-anchors first so the media time stays continuous.
    void SetSpeed(double newSpeed, double now) {
        pts = At(now);
        setAt = now;
        speed = newSpeed;
    }
    void SetPaused(bool p, double now) {
        pts = At(now);
        setAt = now;
        paused = p;
    }
    // Takes the wall time from `stoppedAt` to `now` out of a running clock, so media time continues from
    // where it stood at `stoppedAt`. A clock set after `stoppedAt` (by the sound) cannot tell whether that
    // was before the standstill or after it, when the sound resumed where it stopped; it is put back to
    // `onScreen`, the picture shown last, which the sound accompanied.
    void SkipStandstill(double stoppedAt, double now, double onScreen) {
        if (paused) return;
        pts = setAt <= stoppedAt && !std::isnan(pts) ? At(stoppedAt) : onScreen;
        setAt = now;
    }
};

// What ReadFrame(0) does with the head of the frame queue.
enum class FrameAction { Wait, Show, Drop };

// The head frame is shown once the clock is within half a frame period of it, which centres the
// presentation error on zero for a caller polling once per period. It is dropped only when the frame after
// it is due already: a caller that woke late shows the head up to a period late and works the lag off over
// the next polls, since a frame missing from motion is seen where a few milliseconds of lateness are not.
// nextPts is NaN when the following frame is not decoded yet.
inline FrameAction DecideFrame(double headPts, double nextPts, double clock, double period) {
    if (std::isnan(clock) || std::isnan(headPts)) return FrameAction::Show;
    const double slack = period * 0.5;
    if (headPts > clock + slack) return FrameAction::Wait;
    if (!std::isnan(nextPts) && nextPts <= clock) return FrameAction::Drop;
    return FrameAction::Show;
}

// Where the clock should stand when the sound reports `heard` while the running clock says `predicted`.
// The driver's callbacks arrive with jitter of a good part of a frame period; following each report
// would shake the clock and make frames drop. Small errors are corrected a little at each report, which
// keeps the clock locked to the sound without drift; a large error (a jump, an underrun, or a process that
// stood still, whose sound resumes where it stopped while the clock ran on) is taken at once.
inline double SteerClock(double predicted, double heard) {
    if (std::isnan(predicted)) return heard;
    const double error = heard - predicted;
    if (std::abs(error) > 0.08) return heard;
    return predicted + error * 0.05;
}

// Whether a pause of `gap` seconds between two reads while playing means the process stood still (the
// machine suspended, the process stopped) rather than a caller running a little late. The clock kept running
// meanwhile; racing through the missed time would show it as a burst of dropped frames, so the standstill is
// taken out of the clock instead (MediaClock::SkipStandstill) and playback continues from where it stopped.
// A caller polls once a frame period; a quarter of a second covers the hiccups of a busy machine at any rate.
inline bool ReadsStoodStill(double gap, double period) { return gap > std::max(4.0 * period, 0.25); }

// Frame number of a presentation time, counted from the stream's first timestamp.
inline std::int64_t FrameIndexOf(double pts, double startPts, double fps) {
    if (std::isnan(pts) || fps <= 0) return 0;
    const double n = std::floor((pts - startPts) * fps + 0.5);
    return n < 0 ? 0 : static_cast<std::int64_t>(n);
}

inline double PtsOfFrame(std::int64_t frame, double startPts, double fps) {
    return startPts + static_cast<double>(frame) / fps;
}

} // namespace nrx
