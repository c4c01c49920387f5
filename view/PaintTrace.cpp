#include "view/PaintTrace.h"

#include <chrono>
#include <cstdlib>

CPaintTrace::CPaintTrace() {
    const char* path = std::getenv("NRX_PAINT_TRACE");
    if (!path || !*path) return;
    file_ = std::fopen(path, "w");
    if (file_) std::fputs("wall_ms,frame,new_frame,draw_ms\n", file_);
}

CPaintTrace::~CPaintTrace() {
    if (file_) std::fclose(file_);
}

void CPaintTrace::Line(std::int64_t frame, bool newFrame, std::uint32_t drawMs) {
    if (!file_) return;
    const double wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
    std::fprintf(file_, "%.3f,%lld,%d,%u\n", wall, static_cast<long long>(frame), newFrame ? 1 : 0, drawMs);
    // Flushed per line: a measuring run ends the program with a signal, and every line must be on disk by then.
    std::fflush(file_);
}
