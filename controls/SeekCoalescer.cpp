#include "controls/SeekCoalescer.h"

std::optional<std::int64_t> CSeekCoalescer::Offer(std::int64_t position) {
    if (inFlight) {
        pending = position;
        return std::nullopt;
    }
    inFlight = true;
    return position;
}

std::optional<std::int64_t> CSeekCoalescer::Served() {
    if (!pending) {
        inFlight = false;
        return std::nullopt;
    }
    const std::int64_t next = *pending;
    pending.reset();
    return next; // stays in flight: the next request is out now
}
