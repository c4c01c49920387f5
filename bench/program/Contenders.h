// One measured playback run of each contender: the player with either renderer, mpv and ffplay.
#pragma once

#include "bench/engine/BenchPaths.h"

#include <string>

enum class WindowSize { Default, Original };

struct RunSetup {
    BenchClip clip;
    std::string clipPath;
    WindowSize size = WindowSize::Default;
    std::string display;   // DISPLAY value of the private X server
    std::string workDir;   // scratch folder of this benchmark
    double seconds = 20;   // of playback, after the first picture
    // The pointer kept moving over the middle of the player's window, so its bars stay on screen; otherwise
    // the pointer waits in a corner, away from the window, and the bars are hidden.
    bool barsVisible = false;
};

struct RunResult {
    bool measured = false;
    std::string error;      // why not, when !measured
    long long presented = 0;
    long long dropped = 0;
    double droppedPercent = 0;
    double cpuSeconds = 0;  // the program plus the X server
    // From the engine's trace; the peers leave hasSync clear.
    bool hasSync = false;
    double meanOffsetMs = 0;
    double maxOffsetMs = 0;
    std::string detail;     // a breakdown for the log

    double CpuMsPerFrame() const { return presented > 0 ? 1000.0 * cpuSeconds / static_cast<double>(presented) : 0; }
};

class VirtualDisplay;

// renderer: "gdi" or "opengl" (the view's NRX_RENDERER values).
RunResult RunPlayer(const RunSetup& setup, const std::string& renderer, VirtualDisplay& x);
RunResult RunMpv(const RunSetup& setup, const VirtualDisplay& x);
RunResult RunFfplay(const RunSetup& setup, const VirtualDisplay& x);
