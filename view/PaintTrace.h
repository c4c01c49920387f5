// CPaintTrace: an optional CSV log of every video paint, for measuring what actually reached the screen.
#pragma once

#include <cstdint>
#include <cstdio>

// Written only when NRX_PAINT_TRACE names a file; otherwise every call returns at once. One line per paint:
// "wall_ms,frame,new_frame,draw_ms" with wall_ms on the same steady clock as the engine's NRX_TRACE, so the
// two files can be matched frame by frame.
class CPaintTrace {
public:
    CPaintTrace();
    ~CPaintTrace();
    CPaintTrace(const CPaintTrace&) = delete;
    CPaintTrace& operator=(const CPaintTrace&) = delete;

    bool On() const { return file_ != nullptr; }
    void Line(std::int64_t frame, bool newFrame, std::uint32_t drawMs);

private:
    std::FILE* file_ = nullptr;
};
