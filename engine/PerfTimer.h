// CPerfTimer: a stopwatch on the steady clock, giving whole elapsed milliseconds.
#pragma once

#include <chrono>
#include <cstdint>

class CPerfTimer {
public:
    CPerfTimer() { Start(); }
    void Start() { start = std::chrono::steady_clock::now(); }
    // Milliseconds since Start, truncated toward zero.
    std::uint32_t ElapsedMs() const {
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        return static_cast<std::uint32_t>(elapsed.count());
    }

private:
    std::chrono::steady_clock::time_point start;
};
