#include "engine/module/RecentFrames.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace nrx {

namespace {
std::size_t FrameBytes(const AVFrame* f) {
    const int size = av_image_get_buffer_size(static_cast<AVPixelFormat>(f->format), f->width, f->height, 1);
    return size > 0 ? static_cast<std::size_t>(size) : 1;
}
} // namespace

void RecentFrames::Remember(std::int64_t index, const AVFrame* frame, double pts) {
    for (const auto& entry : entries)
        if (entry.index == index) return;
    FramePtr copy(av_frame_clone(frame));
    if (!copy) return;
    bytes += FrameBytes(copy.get());
    entries.push_back(Entry{index, pts, std::move(copy)});
    while (bytes > maxBytes && entries.size() > 1) {
        bytes -= FrameBytes(entries.front().frame.get());
        entries.pop_front();
    }
}

FramePtr RecentFrames::Recall(std::int64_t index, double& pts) const {
    for (const auto& entry : entries)
        if (entry.index == index) {
            pts = entry.pts;
            return FramePtr(av_frame_clone(entry.frame.get()));
        }
    return nullptr;
}

} // namespace nrx
