// The playback thread's frame period: the period rule and a pacer that keeps presentations on a fixed
// schedule of the steady clock, so that sleeping adds no drift of its own.
#pragma once

#include <chrono>
#include <cstdint>

// 1000 ÷ frame rate, truncated to whole milliseconds (25 -> 40, 29.97 -> 33). A rate that is not a
// positive finite number counts as 1.0; the result is at least 1 ms so a bogus huge rate cannot spin.
std::int32_t FramePeriodMs(float frameRate);

// Decides when the next period ends; the thread sleeps until then. The sleep is the period less the time
// since the period began, so a 15 ms decode in a 40 ms period leaves 25 ms and a decode of 40 ms or more
// leaves none. Each period begins where the previous one was due to end, so a late wake-up also comes out
// of the next sleep: N periods take N × period, with no drift from sleep overshoot. When the
// loop falls a whole period behind (slow decode, a pause) the schedule restarts from now instead of
// presenting a burst of frames to catch up.
class CFramePacer {
public:
    using Clock = std::chrono::steady_clock;

    // Called when a period begins (before the decode); returns the time at which it ends.
    Clock::time_point BeginPeriod(Clock::time_point now, std::int32_t periodMs);
    // Forgets the schedule (after a pause, a stop or anything that is not steady playing).
    void Reset() { scheduled = false; }

private:
    bool scheduled = false;
    Clock::time_point periodEnd{};
};
