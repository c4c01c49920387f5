// Real-time playback as the player's thread drives it: A/V sync at 0.5x, 1x and 2x from the engine's trace,
// frames never shown at 1080p30 and 1080p60, and the peak memory of a 1080p playback.
//
// Each scenario runs in a child process of this program, so that it gets its own trace file, its own
// peak RSS and a module loaded fresh.
#include "bench/engine/BenchPaths.h"
#include "bench/engine/BenchReport.h"
#include "bench/engine/ChildProcess.h"
#include "bench/engine/EngineHost.h"
#include "bench/engine/TraceLog.h"
#include "engine/FrameClock.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The player's loop with the player's own pacer: ReadFrame(0), then sleep until the whole-millisecond frame
// period that began before the read is over (periods follow one another on the steady clock).
int PlayLikeThePlayer(const std::string& path, float rate, double seconds) {
    CEngineHost host;
    if (!host.Load()) {
        std::fprintf(stderr, "%s\n", host.Error().c_str());
        return 2;
    }
    DevicePtr device = host.CreateDevice();
    if (!device || !host.OpenClip(*device, path)) {
        std::fprintf(stderr, "%s\n", host.Error().c_str());
        return 2;
    }
    device->SetRate(0, rate);
    device->SetPlayState(0, 0);
    float fps = 25;
    device->GetFrameRate(0, 0, &fps);
    const std::int32_t period = FramePeriodMs(fps);
    CFramePacer pacer;
    const auto start = Clock::now();
    while (std::chrono::duration<double>(Clock::now() - start).count() < seconds) {
        const auto periodEnd = pacer.BeginPeriod(Clock::now(), period);
        if (host.Read(*device, NRX_READ_NEXT) == NRX_FRAME_END) break;
        std::this_thread::sleep_until(periodEnd);
    }
    device->Close(0);
    return 0;
}

struct Scenario {
    BenchClip clip;
    float rate;
    double seconds; // wall-clock cap; playback also ends with the clip
    std::string Label() const {
        char text[32];
        std::snprintf(text, sizeof text, "%g", rate);
        return clip.Label() + " at " + text + "x";
    }
};

struct ScenarioResult {
    bool ok = false;
    std::string error;
    TraceSummary summary;
    long peakRssKb = 0;
};

// With NRX_BENCH_TRACE_DIR set, each scenario's trace is kept there for whoever has to explain a figure.
void KeepTrace(const std::string& trace, const Scenario& scenario) {
    const char* dir = std::getenv("NRX_BENCH_TRACE_DIR");
    if (!dir || !*dir) return;
    std::string name = "trace-" + scenario.Label() + ".csv";
    for (char& c : name)
        if (c == ' ') c = '-';
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    std::filesystem::copy_file(trace, std::filesystem::path(dir) / name,
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) std::fprintf(stderr, "could not keep the trace in %s: %s\n", dir, ec.message().c_str());
}

ScenarioResult RunScenario(const Scenario& scenario) {
    ScenarioResult result;
    const std::string path = EnsureClip(scenario.clip);
    if (path.empty()) {
        result.error = "clip could not be generated";
        return result;
    }
    const std::string trace = (std::filesystem::temp_directory_path() /
                               ("nrx-bench-trace-" + std::to_string(getpid()) + ".csv")).string();
    std::error_code ec;
    std::filesystem::remove(trace, ec);
    const ProcessResult child = RunProcess(
        {"/proc/self/exe", "--play", path, std::to_string(scenario.rate), std::to_string(scenario.seconds)},
        OutputMode::Inherit, {"NRX_TRACE=" + trace});
    if (!child.Succeeded()) {
        result.error = "playback child failed (exit " + std::to_string(child.exitCode) + ")";
        return result;
    }
    Trace rows;
    const bool read = ReadTrace(trace, rows, result.error);
    KeepTrace(trace, scenario);
    std::filesystem::remove(trace, ec);
    if (!read) return result;
    if (rows.malformedLines > 0)
        std::fprintf(stderr, "%s: %d malformed trace lines ignored\n", scenario.Label().c_str(), rows.malformedLines);
    result.summary = SummariseTrace(rows.rows);
    if (result.summary.presented == 0) {
        result.error = "no frame was presented by ReadFrame(0)";
        return result;
    }
    result.peakRssKb = child.peakRssKb;
    result.ok = true;
    return result;
}

void PrintSync(const Scenario& s, const TraceSummary& t, bool full) {
    const double period = 1000.0 / s.clip.fps;
    const std::string name = "A/V sync " + s.Label() + " |video pts - audio clock|";
    const std::string anchor = "frame period";
    PrintFigure({name + " mean", MeanAbs(t.offsetsMs), "ms", anchor, period,
                 full ? Target::ValueAtMost(15) : Target{}});
    PrintFigure({name + " max", MaxAbs(t.offsetsMs), "ms", anchor, period,
                 Target::RatioAtMost(full ? 1.0 : 2.0)});
    if (full) {
        const double trend = Slope(t.wallMinutes, t.offsetsMs);
        PrintFigure({"A/V drift " + s.Label() + " |trend of pts - clock| per minute", std::fabs(trend), "ms/min",
                     "limit", 5, Target::ValueAtMost(5)});
    }
}

void PrintSkipped(const Scenario& s, const TraceSummary& t, bool mustBeZero) {
    const std::string name = "frames never shown " + s.Label() + " real time";
    PrintFigure({name + " (ratio = fraction)", static_cast<double>(t.skipped), "frames",
                 "frames in the played span", static_cast<double>(t.skipped + t.presented),
                 mustBeZero ? Target::ValueAtMost(0) : Target{}});
    if (t.moduleDropped != t.skipped)
        PrintUnanchored("  the module's own dropped count " + s.Label(), static_cast<double>(t.moduleDropped),
                        "frames", "differs from the frames never shown");
}

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (argc == 5 && std::strcmp(argv[1], "--play") == 0)
        return PlayLikeThePlayer(argv[2], std::strtof(argv[3], nullptr), std::strtod(argv[4], nullptr));

    const BenchClip hd30{1920, 1080, 30, 60};
    const BenchClip hd60{1920, 1080, 60, 60};
    int failures = 0;

    const Scenario normal{hd30, 1.0f, 75};
    const ScenarioResult r = RunScenario(normal);
    if (!r.ok) {
        failures += PrintNotMeasured("playback " + normal.Label(), r.error);
    } else {
        PrintSync(normal, r.summary, true);
        PrintSkipped(normal, r.summary, true);
        const std::string path = EnsureClip(hd30);
        const ProcessResult ffmpeg = RunProcess(
            {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-i", path, "-vf", "format=bgra", "-f", "null", "-"},
            OutputMode::Silent);
        PrintFigure({"peak RSS playing " + normal.Label(), r.peakRssKb / 1024.0, "MB",
                     "ffmpeg decoding it to BGRA", ffmpeg.peakRssKb / 1024.0, Target::ValueAtMost(200)});
    }

    for (const Scenario& s : {Scenario{hd30, 0.5f, 40}, Scenario{hd30, 2.0f, 40}}) {
        const ScenarioResult result = RunScenario(s);
        if (!result.ok)
            failures += PrintNotMeasured("playback " + s.Label(), result.error);
        else
            PrintSync(s, result.summary, false);
    }

    const Scenario fast{hd60, 1.0f, 75};
    const ScenarioResult f = RunScenario(fast);
    if (!f.ok)
        failures += PrintNotMeasured("playback " + fast.Label(), f.error);
    else
        PrintSkipped(fast, f.summary, false);
    return failures == 0 ? 0 : 1;
}
