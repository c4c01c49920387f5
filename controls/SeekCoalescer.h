// CSeekCoalescer: lets a seek bar follow the mouse without flooding whoever serves the seeks. At most one
// request is out at a time; moves made meanwhile collapse into one pending request, the newest position winning.
#pragma once

#include <cstdint>
#include <optional>

class CSeekCoalescer {
public:
    // A new position from the user. Returns it when it should be sent now; otherwise it waits as the pending one.
    std::optional<std::int64_t> Offer(std::int64_t position);
    // The consumer finished the request it had. Returns the pending position to send next, if any.
    std::optional<std::int64_t> Served();

private:
    bool inFlight = false;
    std::optional<std::int64_t> pending;
};
