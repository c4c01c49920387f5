// Decode + convert throughput in untimed mode against the ffmpeg tool decoding the same clip to BGRA.
#include "bench/engine/BenchPaths.h"
#include "bench/engine/BenchReport.h"
#include "bench/engine/ChildProcess.h"
#include "bench/engine/EngineHost.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// Both sides run twice and keep their best run: on a shared machine the slower run measures the neighbours.
constexpr int kRuns = 2;
// A module that never reports the end must not hang the whole benchmark run.
constexpr double kGiveUpSeconds = 600;

struct EngineRun {
    double fps = 0;
    long long frames = 0;
    std::string error;
};

EngineRun DecodeAll(CEngineHost& host, IVideoDevice& device, const std::string& path, bool bgra) {
    EngineRun run;
    const auto start = std::chrono::steady_clock::now();
    if (!host.OpenClip(device, path, bgra)) {
        run.error = host.Error();
        return run;
    }
    device.SetPlayState(0, 0);
    double seconds = 0;
    for (;;) {
        const std::int32_t status = host.Read(device, NRX_READ_NEXT);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status == NRX_FRAME_END) break;
        if (status == NRX_FRAME_NEW) ++run.frames;
        if (seconds > kGiveUpSeconds) {
            run.error = "no end of stream after " + std::to_string(run.frames) + " frames in 600 s";
            break;
        }
    }
    device.Close(0);
    run.fps = seconds > 0 ? static_cast<double>(run.frames) / seconds : 0;
    return run;
}

double FfmpegFps(const std::string& path, long long frames) {
    const ProcessResult r = RunProcess(
        {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-i", path, "-vf", "format=bgra", "-f", "null", "-"},
        OutputMode::Silent);
    return r.Succeeded() && r.wallMs > 0 ? static_cast<double>(frames) * 1000.0 / r.wallMs : 0;
}

} // namespace

int main() {
    // Read by the module when it is loaded or a file opened: every ReadFrame(0) then returns the next frame.
    setenv("NRX_UNTIMED", "1", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string title = "decode+convert throughput";
    CEngineHost host;
    if (!host.Load()) return PrintNotMeasured(title, host.Error());
    DevicePtr device = host.CreateDevice();
    if (!device) return PrintNotMeasured(title, host.Error());

    const std::string threads = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
    const BenchClip clips[] = {{1280, 720, 30, 60}, {1920, 1080, 30, 60}, {3840, 2160, 30, 60}};
    int failures = 0;
    for (const BenchClip& clip : clips) {
        const std::string path = EnsureClip(clip);
        const std::string name = title + " " + clip.Label() + " H.264 BGRA";
        if (path.empty()) {
            failures += PrintNotMeasured(name, "clip could not be generated");
            continue;
        }
        EngineRun best;
        double anchor = 0;
        for (int run = 0; run < kRuns; ++run) {
            const EngineRun engine = DecodeAll(host, *device, path, true);
            if (!engine.error.empty()) {
                best = engine;
                break;
            }
            if (engine.fps > best.fps) best = engine;
            anchor = std::max(anchor, FfmpegFps(path, clip.FrameCount()));
        }
        if (!best.error.empty()) {
            failures += PrintNotMeasured(name, best.error);
            continue;
        }
        if (best.frames != clip.FrameCount())
            PrintUnanchored(name + " frames delivered", static_cast<double>(best.frames), "frames",
                            "of " + std::to_string(clip.FrameCount()) + " in the file");
        if (anchor <= 0) {
            PrintUnanchored(name, best.fps, "fps", "ffmpeg failed, anchor skipped");
            continue;
        }
        PrintFigure({name, best.fps, "fps", "ffmpeg -vf format=bgra, threads auto on " + threads + " cores", anchor,
                     Target::RatioAtLeast(0.9)});
    }

    // The player asks for 24-bit frames; shown against the same anchor so the cost of the format is visible.
    const BenchClip hd{1920, 1080, 30, 60};
    const std::string path = EnsureClip(hd);
    if (!path.empty()) {
        const EngineRun engine = DecodeAll(host, *device, path, false);
        const double anchor = FfmpegFps(path, hd.FrameCount());
        const std::string name = title + " " + hd.Label() + " H.264 BGR24";
        if (!engine.error.empty())
            failures += PrintNotMeasured(name, engine.error);
        else
            PrintFigure({name, engine.fps, "fps", "ffmpeg -vf format=bgra", anchor, Target::RatioAtLeast(0.9)});
    }
    return failures == 0 ? 0 : 1;
}
