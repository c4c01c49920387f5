#include "bench/program/Contenders.h"

#include "bench/engine/BenchReport.h"
#include "bench/engine/TraceLog.h"
#include "bench/program/PaintTraceLog.h"
#include "bench/program/ProcessControl.h"
#include "bench/program/VirtualDisplay.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr double kFirstPictureTimeout = 20;
constexpr double kExitGrace = 15; // peers end by themselves; this much beyond the clip's seconds is a hang

std::string ReadAll(const std::string& path) {
    std::ifstream file(path);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string SizeLabel(const RunSetup& setup) { return setup.size == WindowSize::Default ? "960x540" : "original"; }

std::string Scratch(const RunSetup& setup, const std::string& name) {
    return (fs::path(setup.workDir) / (setup.clip.Label() + "-" + SizeLabel(setup) + "-" + name)).string();
}

// Settings of a first start, except StartInSrcSize and resuming, in a folder of our own so the user's are
// never touched. Every run plays the clip from its start: resumed, a run would pick up where the one before
// it was stopped and could reach the clip's end inside its measuring time.
std::vector<std::string> PlayerEnvironment(const RunSetup& setup, const std::string& renderer,
                                           const std::string& trace, const std::string& paintTrace,
                                           const std::string& display) {
    const fs::path home = fs::path(setup.workDir) / "home";
    const fs::path config = home / ".config";
    std::error_code ec;
    fs::create_directories(config / "NRX ProductGroup", ec);
    std::ofstream(config / "NRX ProductGroup" / "NRX MediaPlayer.conf")
        << "[Params]\nGlobalParams\\StartInSrcSize=" << (setup.size == WindowSize::Original ? 1 : 0)
        << "\nGlobalParams\\ResumePlayback=0\n";
    std::vector<std::string> env = PrivateHomeEnvironment(home.string(), display);
    env.insert(env.end(),
               {"NRX_TRACE=" + trace, "NRX_PAINT_TRACE=" + paintTrace, "NRX_RENDERER=" + renderer});
    return env;
}

bool FirstPaintSeen(const std::string& paintTrace) {
    std::ifstream file(paintTrace);
    std::string header, line;
    return std::getline(file, header) && std::getline(file, line);
}

// Starts a peer that ends by itself after the clip's seconds; CPU of it and of the X server meanwhile.
bool RunPeer(const Launch& launch, const VirtualDisplay& x, double seconds, RunResult& result,
             std::string& output) {
    const double xBefore = x.CpuSeconds();
    RunningProcess process;
    if (!process.Start(launch)) {
        result.error = launch.args[0] + " could not be started";
        return false;
    }
    Finished finished;
    const bool exited = process.WaitExit(seconds + kExitGrace, finished);
    if (!exited) finished = process.Stop();
    result.cpuSeconds = finished.cpuSeconds + (x.CpuSeconds() - xBefore);
    output = ReadAll(launch.outputFile);
    if (!exited) result.error = launch.args[0] + " did not end by itself";
    return exited;
}

// Plays for `seconds`; with the bars wanted, the pointer moves by a few pixels every quarter second over the
// middle of the screen (where the window is centred), often enough that the cursor never hides. False when
// the player ended meanwhile.
bool KeepPlaying(RunningProcess& process, const RunSetup& setup, VirtualDisplay& x, Finished& finished) {
    if (!setup.barsVisible) return !process.WaitExit(setup.seconds, finished);
    const double end = NowSeconds() + setup.seconds;
    for (int step = 0; NowSeconds() < end; ++step) {
        x.MovePointer(960 + (step % 2) * 4, 540);
        if (process.WaitExit(std::min(0.25, end - NowSeconds()), finished)) return false;
    }
    return true;
}

} // namespace

RunResult RunPlayer(const RunSetup& setup, const std::string& renderer, VirtualDisplay& x) {
    RunResult result;
    const std::string bars = setup.barsVisible ? "-bars" : "";
    const std::string trace = Scratch(setup, renderer + bars + "-engine.csv");
    const std::string paintTrace = Scratch(setup, renderer + bars + "-paint.csv");
    std::error_code ec;
    fs::remove(trace, ec);
    fs::remove(paintTrace, ec);
    Launch launch{{PlayerPath(), setup.clipPath},
                  PlayerEnvironment(setup, renderer, trace, paintTrace, x.Name()),
                  Scratch(setup, renderer + bars + "-output.txt")};

    // Xvfb starts with the pointer in the middle of the screen, where the window opens.
    if (!setup.barsVisible) x.MovePointer(0, 0);
    const double xBefore = x.CpuSeconds();
    RunningProcess process;
    if (!process.Start(launch)) {
        result.error = "the player could not be started from " + launch.args[0];
        return result;
    }
    const double start = NowSeconds();
    while (!FirstPaintSeen(paintTrace) && NowSeconds() - start < kFirstPictureTimeout) SleepSeconds(0.02);
    // Runs the clip's seconds after the first picture, as the peers play that much of the clip after opening
    // it. The player takes a while to end on a signal (its sound library catches it), so the figures are read
    // at this moment: CPU from /proc, frames from the trace lines written before it.
    Finished finished;
    if (!KeepPlaying(process, setup, x, finished)) {
        result.error = "the player ended early with status " + std::to_string(finished.exitCode) + " (see " +
                       launch.outputFile + ")";
        return result;
    }
    const double stopMs = NowSeconds() * 1000.0;
    result.cpuSeconds = ProcessCpuSeconds(process.Pid()) + (x.CpuSeconds() - xBefore);
    process.Stop();

    Trace engineTrace;
    std::set<long long> painted;
    if (!ReadTrace(trace, engineTrace, result.error) || !ReadPaintTrace(paintTrace, stopMs, painted, result.error))
        return result;
    std::erase_if(engineTrace.rows, [stopMs](const TraceRow& row) { return row.wallMs > stopMs; });
    const FrameAccount frames = AccountFrames(engineTrace.rows, painted);
    const TraceSummary summary = SummariseTrace(engineTrace.rows);
    result.presented = frames.presented;
    result.dropped = frames.Dropped();
    result.droppedPercent = frames.DroppedPercent();
    result.hasSync = !summary.offsetsMs.empty();
    result.meanOffsetMs = MeanAbs(summary.offsetsMs);
    result.maxOffsetMs = MaxAbs(summary.offsetsMs);
    result.detail = "engine dropped " + std::to_string(frames.engineDropped) + ", delivered but never painted " +
                    std::to_string(frames.neverPainted);
    result.measured = true;
    return result;
}

RunResult RunMpv(const RunSetup& setup, const VirtualDisplay& x) {
    RunResult result;
    Launch launch{{"mpv", "--no-config", "--vo=x11", "--ao=null", "--end=" + Number(setup.seconds),
                   "--term-status-msg=NRXSTAT ${frame-drop-count} ${decoder-frame-drop-count} "
                   "${estimated-frame-number}"},
                  {"DISPLAY=" + x.Name()},
                  Scratch(setup, "mpv-output.txt")};
    if (setup.size == WindowSize::Default) launch.args.push_back("--geometry=960x540");
    launch.args.push_back(setup.clipPath);
    std::string output;
    if (!RunPeer(launch, x, setup.seconds, result, output)) return result;
    // The status line is rewritten in place; the last one holds the totals.
    const std::regex status(R"(NRXSTAT (\d+) (\d+) (\d+))");
    long long voDrops = -1, decoderDrops = 0, frame = 0;
    for (auto it = std::sregex_iterator(output.begin(), output.end(), status); it != std::sregex_iterator(); ++it) {
        voDrops = std::stoll((*it)[1]);
        decoderDrops = std::stoll((*it)[2]);
        frame = std::stoll((*it)[3]);
    }
    if (voDrops < 0) {
        result.error = "mpv printed no status line (see " + launch.outputFile + ")";
        return result;
    }
    result.dropped = voDrops + decoderDrops;
    result.presented = frame + 1 - result.dropped;
    result.droppedPercent = 100.0 * static_cast<double>(result.dropped) / static_cast<double>(frame + 1);
    result.measured = result.presented > 0;
    if (!result.measured) result.error = "mpv presented no frame";
    return result;
}

RunResult RunFfplay(const RunSetup& setup, const VirtualDisplay& x) {
    RunResult result;
    Launch launch{{"ffplay", "-hide_banner", "-autoexit", "-t", Number(setup.seconds)},
                  {"DISPLAY=" + x.Name(), "SDL_RENDER_DRIVER=opengl"},
                  Scratch(setup, "ffplay-output.txt")};
    if (setup.size == WindowSize::Default) launch.args.insert(launch.args.end(), {"-x", "960", "-y", "540"});
    launch.args.push_back(setup.clipPath);
    std::string output;
    if (!RunPeer(launch, x, setup.seconds, result, output)) return result;
    // "  19.97 A-V: -0.003 fd=   4 ...": the master clock and the frames dropped so far.
    const std::regex status(R"(([0-9.]+) A-V:\s*-?[0-9.]+ fd=\s*(\d+))");
    double clock = -1;
    long long drops = 0;
    for (auto it = std::sregex_iterator(output.begin(), output.end(), status); it != std::sregex_iterator(); ++it) {
        clock = std::stod((*it)[1]);
        drops = std::stoll((*it)[2]);
    }
    if (clock < 0) {
        result.error = "ffplay printed no status line (see " + launch.outputFile + ")";
        return result;
    }
    const long long frames = std::llround(clock * setup.clip.fps);
    result.dropped = drops;
    result.presented = frames - drops;
    result.droppedPercent = frames > 0 ? 100.0 * static_cast<double>(drops) / static_cast<double>(frames) : 0;
    result.measured = result.presented > 0;
    if (!result.measured) result.error = "ffplay presented no frame";
    return result;
}
