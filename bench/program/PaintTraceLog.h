// Reads the view's paint trace (NRX_PAINT_TRACE) and matches it with the engine's trace: which delivered
// frames reached the screen and which were lost on the way.
#pragma once

#include "bench/engine/TraceLog.h"

#include <set>
#include <string>

// Frame numbers of every paint that drew a frame up to untilMs (the traces' steady clock); false with error
// when there is none.
bool ReadPaintTrace(const std::string& path, double untilMs, std::set<long long>& paintedFrames, std::string& error);

struct FrameAccount {
    long long presented = 0;     // distinct frames painted
    long long engineDropped = 0; // frame numbers the engine never delivered, between the first and last painted
    long long neverPainted = 0;  // delivered by the engine, overwritten before a paint showed them
    long long Dropped() const { return engineDropped + neverPainted; }
    double DroppedPercent() const {
        const long long span = presented + Dropped();
        return span > 0 ? 100.0 * static_cast<double>(Dropped()) / static_cast<double>(span) : 0;
    }
};

// Counts over the frames from the first painted one to the last.
FrameAccount AccountFrames(const std::vector<TraceRow>& engineRows, const std::set<long long>& paintedFrames);
