// Plays the large clips through the whole program, with each renderer, in the default window and at
// Original Size, and judges CPU per presented frame, drops and sync against mpv and ffplay measured on the
// same clips, window sizes and X server in the same run.
#include "bench/engine/BenchPaths.h"
#include "bench/engine/BenchReport.h"
#include "bench/engine/ChildProcess.h"
#include "bench/program/Contenders.h"
#include "bench/program/ProcessControl.h"
#include "bench/program/VirtualDisplay.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kDefaultSeconds = 20;

struct Peer {
    const char* label;
    const char* tool;
    RunResult result;
    std::string skipped; // why there is no anchor
};

std::string Name(const RunSetup& setup, const std::string& who, const std::string& what = {}) {
    return setup.clip.Label() + " " + (setup.size == WindowSize::Default ? "960x540" : "original size") + " " +
           who + (what.empty() ? "" : " " + what);
}

void Log(const RunSetup& setup, const std::string& who, const RunResult& r) {
    if (!r.measured) {
        std::fprintf(stderr, "  %s: %s\n", Name(setup, who).c_str(), r.error.c_str());
        return;
    }
    std::fprintf(stderr, "  %s: presented %lld, dropped %lld (%.2f%%), CPU %.2f s", Name(setup, who).c_str(),
                 r.presented, r.dropped, r.droppedPercent, r.cpuSeconds);
    if (r.hasSync) std::fprintf(stderr, ", max |A/V| %.1f ms", r.maxOffsetMs);
    std::fprintf(stderr, "%s%s\n", r.detail.empty() ? "" : ", ", r.detail.c_str());
}

Peer MeasurePeer(const char* label, const char* tool, const RunSetup& setup, const VirtualDisplay& x,
                 RunResult (*run)(const RunSetup&, const VirtualDisplay&)) {
    Peer peer{label, tool, {}, {}};
    if (!ToolAvailable(tool)) {
        peer.skipped = std::string(tool) + " not installed, anchor skipped";
        return peer;
    }
    peer.result = run(setup, x);
    Log(setup, label, peer.result);
    if (!peer.result.measured) peer.skipped = peer.result.error + ", anchor skipped";
    return peer;
}

void PrintAgainst(const std::string& name, double value, const std::string& unit, const Peer& peer, double anchor,
                  Target target) {
    if (!peer.skipped.empty()) {
        PrintUnanchored(name, value, unit, peer.skipped);
        return;
    }
    PrintFigure({name, value, unit, peer.label, anchor, target});
}

// drops at or under 1 % for 30 frames per second, 2 % for 60; the OpenGL renderer is held to it at 30 only.
Target DropTarget(const RunSetup& setup, bool software) {
    if (setup.clip.fps <= 30) return Target::ValueAtMost(1);
    return software ? Target::ValueAtMost(2) : Target{};
}

void Report(const RunSetup& setup, const std::string& who, const RunResult& r, const Peer& peer, double cpuRatio,
            bool software) {
    if (!r.measured) {
        PrintNotMeasured(Name(setup, who, "playback"), r.error);
        return;
    }
    const RunResult& p = peer.result;
    PrintAgainst(Name(setup, who, "CPU per presented frame (player + X)"), r.CpuMsPerFrame(), "ms", peer,
                 p.CpuMsPerFrame(), Target::RatioAtMost(cpuRatio));
    PrintAgainst(Name(setup, who, "dropped frames"), r.droppedPercent, "%", peer, p.droppedPercent,
                 DropTarget(setup, software));
    PrintAgainst(Name(setup, who, "presented frames"), static_cast<double>(r.presented), "frames", peer,
                 static_cast<double>(p.presented), Target{});
    if (!r.hasSync) {
        PrintNotMeasured(Name(setup, who, "A/V offset"), "the engine's trace holds no frame presented in playback");
        return;
    }
    const double period = 1000.0 / setup.clip.fps;
    PrintFigure({Name(setup, who, "max |A/V offset|"), r.maxOffsetMs, "ms", "frame period", period,
                 Target::ValueAtMost(period)});
    PrintFigure({Name(setup, who, "mean |A/V offset|"), r.meanOffsetMs, "ms", "frame period", period, Target{}});
}

// The bars cost a fraction of a millisecond per frame, less than one run differs from the next on a shared
// machine, so hidden and visible runs alternate and each side is judged by its median run.
constexpr int kBarsPairs = 3;

struct BarsSamples {
    std::vector<RunResult> hidden, shown;
};

template <typename Field> double MedianRun(const std::vector<RunResult>& runs, Field field) {
    std::vector<double> values;
    for (const RunResult& r : runs)
        values.push_back(field(r));
    return Median(values);
}

BarsSamples MeasureBars(const RunSetup& setup, const std::string& renderer, const std::string& who,
                        const RunResult& firstHidden, VirtualDisplay& x) {
    RunSetup withBars = setup;
    withBars.barsVisible = true;
    BarsSamples samples;
    if (firstHidden.measured) samples.hidden.push_back(firstHidden);
    for (int pair = 0; pair < kBarsPairs; ++pair) {
        if (pair > 0) {
            const RunResult hidden = RunPlayer(setup, renderer, x);
            Log(setup, who + " bars hidden", hidden);
            if (hidden.measured) samples.hidden.push_back(hidden);
        }
        const RunResult shown = RunPlayer(withBars, renderer, x);
        Log(withBars, who + " bars visible", shown);
        if (shown.measured) samples.shown.push_back(shown);
    }
    return samples;
}

void ReportBars(const RunSetup& setup, const std::string& who, const BarsSamples& s) {
    const std::string name = who + " bars visible";
    if (s.shown.empty() || s.hidden.empty()) {
        PrintNotMeasured(Name(setup, name, "playback"),
                         s.shown.empty() ? "no run with the bars" : "no run without them");
        return;
    }
    const auto cpu = [](const RunResult& r) { return r.CpuMsPerFrame(); };
    const auto drops = [](const RunResult& r) { return r.droppedPercent; };
    PrintFigure({Name(setup, name, "CPU per presented frame, median run (player + X)"),
                 MedianRun(s.shown, cpu), "ms", "bars hidden", MedianRun(s.hidden, cpu),
                 Target::RatioAtMost(1.10)});
    PrintFigure({Name(setup, name, "dropped frames, median run"), MedianRun(s.shown, drops), "%",
                 "bars hidden", MedianRun(s.hidden, drops), Target::ValueAtMost(1)});
    std::vector<double> maxima;
    for (const RunResult& r : s.shown)
        if (r.hasSync) maxima.push_back(r.maxOffsetMs);
    if (maxima.empty()) return;
    const double period = 1000.0 / setup.clip.fps;
    // The worst single frame of each run, median over the runs; the log shows each run's own.
    PrintFigure({Name(setup, name, "max |A/V offset|, median run"), Median(maxima), "ms", "frame period",
                 period, Target::ValueAtMost(period)});
}

} // namespace

int main(int argc, char** argv) {
    // An argument shortens (or lengthens) each run, for a quick look; the figures are judged at 20 s.
    const double seconds = argc > 1 && std::atof(argv[1]) > 0 ? std::atof(argv[1]) : kDefaultSeconds;
    // Sound goes nowhere on every side unless the caller picked a device; mpv is given --ao=null.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    EndChildrenOnSignal();
    const std::string title = "whole-program playback";
    std::error_code ec;
    const fs::path workDir = fs::temp_directory_path() / ("nrx-bench-program-" + std::to_string(getpid()));
    fs::create_directories(workDir, ec);

    VirtualDisplay x;
    std::string error;
    if (!x.Start(error)) return PrintNotMeasured(title, error);
    std::printf("%s: X server %s, load average before %s\n", title.c_str(), x.Name().c_str(), LoadAverage().c_str());

    // NRX_BENCH_ONLY="1080p30 960x540" (any part of a run's name) keeps only the runs it names: a quick
    // before-and-after look at one case. Clips no run needs are not generated.
    const char* only = std::getenv("NRX_BENCH_ONLY");
    const std::string filter = only ? only : "";
    const BenchClip clips[] = {{1280, 720, 30, 60}, {1920, 1080, 30, 60}, {1920, 1080, 60, 60}};
    for (const BenchClip& clip : clips) {
        const auto wanted = [&](WindowSize size) {
            return Name({clip, {}, size, {}, {}, 0}, "").find(filter) != std::string::npos;
        };
        if (!wanted(WindowSize::Default) && !wanted(WindowSize::Original)) continue;
        const std::string path = EnsureClip(clip);
        if (path.empty()) {
            PrintNotMeasured(title + " " + clip.Label(), "the clip could not be generated");
            continue;
        }
        for (WindowSize size : {WindowSize::Default, WindowSize::Original}) {
            if (!wanted(size)) continue;
            const RunSetup setup{clip, path, size, x.Name(), workDir.string(), seconds};
            // One after another, never side by side: each run has the machine (and the X server) to itself.
            const RunResult gdi = RunPlayer(setup, "gdi", x);
            Log(setup, "DGI Plus", gdi);
            const RunResult opengl = RunPlayer(setup, "opengl", x);
            Log(setup, "OpenGL", opengl);
            const Peer mpv = MeasurePeer("mpv --vo=x11", "mpv", setup, x, RunMpv);
            const Peer ffplay = MeasurePeer("ffplay (SDL OpenGL)", "ffplay", setup, x, RunFfplay);
            Report(setup, "DGI Plus", gdi, mpv, 1.3, true);
            Report(setup, "OpenGL", opengl, ffplay, 2.0, false);
            // The bars are on screen whenever the pointer is over the window: 1080p30 in the default window
            // plays again with each renderer, with the pointer kept moving over it and without.
            if (clip.height != 1080 || clip.fps != 30 || size != WindowSize::Default) continue;
            const BarsSamples gdiBars = MeasureBars(setup, "gdi", "DGI Plus", gdi, x);
            const BarsSamples openglBars = MeasureBars(setup, "opengl", "OpenGL", opengl, x);
            ReportBars(setup, "DGI Plus", gdiBars);
            ReportBars(setup, "OpenGL", openglBars);
        }
    }
    std::printf("%s: load average after %s\n", title.c_str(), LoadAverage().c_str());
    if (std::getenv("NRX_BENCH_KEEP"))
        std::fprintf(stderr, "traces and outputs kept in %s\n", workDir.c_str());
    else
        fs::remove_all(workDir, ec);
    return 0;
}
