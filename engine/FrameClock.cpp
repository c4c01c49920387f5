#include "engine/FrameClock.h"

#include <cmath>

std::int32_t FramePeriodMs(float frameRate) {
    const double rate = std::isfinite(frameRate) && frameRate > 0.0f ? frameRate : 1.0;
    const double period = std::trunc(1000.0 / rate);
    if (period < 1.0) return 1;
    if (period > 3600.0 * 1000.0) return 3600 * 1000; // keeps the cast defined for absurdly small rates
    return static_cast<std::int32_t>(period);
}

CFramePacer::Clock::time_point CFramePacer::BeginPeriod(Clock::time_point now, std::int32_t periodMs) {
    const auto period = std::chrono::milliseconds(periodMs);
    const bool onSchedule = scheduled && now >= periodEnd && now - periodEnd < period;
    const Clock::time_point start = onSchedule ? periodEnd : now;
    periodEnd = start + period;
    scheduled = true;
    return periodEnd;
}
