// Recently decoded frames kept by number, so that backward steps are served without decoding again.
#pragma once

#include "engine/module/FFmpegPtr.h"

#include <cstddef>
#include <cstdint>
#include <deque>

namespace nrx {

// Bounded in bytes; the oldest frames go first. Not thread-safe: the frame picker alone uses it.
class RecentFrames {
public:
    explicit RecentFrames(std::size_t maxBytes) : maxBytes(maxBytes) {}
    // Keeps a reference to frame `index` unless that number is kept already.
    void Remember(std::int64_t index, const AVFrame* frame, double pts);
    // A new reference to frame `index` and its pts, or null when it is not kept.
    FramePtr Recall(std::int64_t index, double& pts) const;

private:
    struct Entry {
        std::int64_t index;
        double pts;
        FramePtr frame;
    };
    std::size_t maxBytes;
    std::deque<Entry> entries; // oldest first
    std::size_t bytes = 0;
};

} // namespace nrx
