#include "bench/program/PaintTraceLog.h"

#include <cstdio>
#include <fstream>

bool ReadPaintTrace(const std::string& path, double untilMs, std::set<long long>& paintedFrames, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "no paint trace written to " + path;
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        double wall = 0;
        long long frame = -1;
        if (std::sscanf(line.c_str(), "%lf,%lld", &wall, &frame) == 2 && frame >= 0 && wall <= untilMs)
            paintedFrames.insert(frame);
    }
    if (paintedFrames.empty()) {
        error = "the player painted no frame (see " + path + ")";
        return false;
    }
    return true;
}

FrameAccount AccountFrames(const std::vector<TraceRow>& engineRows, const std::set<long long>& paintedFrames) {
    FrameAccount account;
    if (paintedFrames.empty()) return account;
    const long long first = *paintedFrames.begin();
    const long long last = *paintedFrames.rbegin();
    std::set<long long> delivered;
    for (const TraceRow& row : engineRows)
        if (row.mode == 0 && row.status == 1 && row.frame >= first && row.frame <= last) delivered.insert(row.frame);
    // A painted frame is delivered by definition, even when its trace line was cut off by the end of the run.
    delivered.insert(paintedFrames.begin(), paintedFrames.end());
    account.presented = static_cast<long long>(paintedFrames.size());
    account.engineDropped = (last - first + 1) - static_cast<long long>(delivered.size());
    account.neverPainted = static_cast<long long>(delivered.size()) - account.presented;
    return account;
}
