// Reads the engine's per-ReadFrame trace (NRX_TRACE) and turns it into what the sync and smoothness
// figures are made of: presentations with their offset from the clock, and the frames never shown.
#pragma once

#include <string>
#include <vector>

// One line "wall_ms,mode,status,frame,pts_ms,clock_ms,decode_ms,dropped_total".
struct TraceRow {
    double wallMs = 0;
    int mode = 0;
    int status = 0;
    long long frame = 0;
    double ptsMs = 0;
    double clockMs = 0;
    double decodeMs = 0;
    long long droppedTotal = 0;
};

struct TraceSummary {
    std::vector<double> offsetsMs;  // video pts - clock, per frame presented by ReadFrame(0)
    std::vector<double> wallMinutes; // when each of those was presented, from the first one
    long long presented = 0;        // distinct frames
    long long skipped = 0;          // frame numbers from 0 to the last presented that never were
    long long moduleDropped = 0;    // the module's own count at the last line
};

struct Trace {
    std::vector<TraceRow> rows;
    int malformedLines = 0; // lines that are neither the header nor eight numbers
};

// False with a message in error when the file cannot be read or holds no data line.
bool ReadTrace(const std::string& path, Trace& trace, std::string& error);
TraceSummary SummariseTrace(const std::vector<TraceRow>& rows);
