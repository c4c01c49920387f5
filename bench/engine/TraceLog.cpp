#include "bench/engine/TraceLog.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>

namespace {

bool ParseRow(const std::string& line, TraceRow& row) {
    const int fields = std::sscanf(line.c_str(), "%lf,%d,%d,%lld,%lf,%lf,%lf,%lld", &row.wallMs, &row.mode,
                                   &row.status, &row.frame, &row.ptsMs, &row.clockMs, &row.decodeMs,
                                   &row.droppedTotal);
    return fields == 8 && std::isfinite(row.ptsMs) && std::isfinite(row.clockMs);
}

} // namespace

bool ReadTrace(const std::string& path, Trace& trace, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "no trace written to " + path;
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line.rfind("wall_ms", 0) == 0) continue;
        TraceRow row;
        if (ParseRow(line, row))
            trace.rows.push_back(row);
        else
            ++trace.malformedLines;
    }
    if (trace.rows.empty()) {
        error = "the trace " + path + " holds no data line";
        return false;
    }
    return true;
}

TraceSummary SummariseTrace(const std::vector<TraceRow>& rows) {
    TraceSummary summary;
    std::set<long long> shown;
    double firstWall = -1;
    for (const TraceRow& row : rows) {
        if (row.mode != 0 || row.status != 1) continue;
        if (firstWall < 0) firstWall = row.wallMs;
        summary.offsetsMs.push_back(row.ptsMs - row.clockMs);
        summary.wallMinutes.push_back((row.wallMs - firstWall) / 60000.0);
        shown.insert(row.frame);
    }
    summary.presented = static_cast<long long>(shown.size());
    if (!shown.empty())
        summary.skipped = (*shown.rbegin() + 1) - static_cast<long long>(shown.size());
    if (!rows.empty()) summary.moduleDropped = rows.back().droppedTotal;
    return summary;
}
