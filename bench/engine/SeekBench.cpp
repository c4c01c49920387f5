// Frame-exact seeking: SetPosition + ReadFrame(1) to random frames of a 1080p30 clip with 250-frame GOPs
// against mpv's exact seek on the same clip, repeated single backward steps on 720p, and how long a play/pause
// press takes while an exact seek decodes on another thread.
#include "bench/engine/BenchPaths.h"
#include "bench/engine/BenchReport.h"
#include "bench/engine/ChildProcess.h"
#include "bench/engine/EngineHost.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSeeks = 25;
constexpr int kBackSteps = 40;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Timings {
    std::vector<double> ms;
    int wrongFrames = 0; // ReadFrame(1) delivered a frame other than the one set
    std::string error;
};

// Time of SetPosition(frame) + ReadFrame(1), and whether the frame delivered is the one asked for.
bool TimedSeek(CEngineHost& host, IVideoDevice& device, std::int64_t frame, Timings& timings) {
    const auto start = Clock::now();
    device.SetPosition(0, frame);
    const std::int32_t status = host.Read(device, NRX_READ_POSITION);
    const double ms = MsSince(start);
    if (status != NRX_FRAME_NEW) {
        timings.error = "ReadFrame(1) to frame " + std::to_string(frame) + " gave status " + std::to_string(status);
        return false;
    }
    timings.ms.push_back(ms);
    if (host.CurrentFrame(device) != frame) ++timings.wrongFrames;
    return true;
}

bool OpenPaused(CEngineHost& host, IVideoDevice& device, const std::string& path, Timings& timings) {
    if (!host.OpenClip(device, path)) {
        timings.error = host.Error();
        return false;
    }
    device.SetPlayState(0, 1);
    return true;
}

Timings RandomSeeks(CEngineHost& host, IVideoDevice& device, const std::string& path,
                    const std::vector<std::int64_t>& targets) {
    Timings timings;
    if (!OpenPaused(host, device, path, timings)) return timings;
    Timings warmUp;
    TimedSeek(host, device, 0, warmUp);
    for (std::int64_t target : targets)
        if (!TimedSeek(host, device, target, timings)) break;
    device.Close(0);
    return timings;
}

Timings BackwardSteps(CEngineHost& host, IVideoDevice& device, const std::string& path, std::int64_t from) {
    Timings timings;
    if (!OpenPaused(host, device, path, timings)) return timings;
    Timings landing;
    if (!TimedSeek(host, device, from, landing)) {
        timings.error = landing.error;
    } else {
        for (std::int64_t frame = from - 1; frame > from - 1 - kBackSteps; --frame)
            if (!TimedSeek(host, device, frame, timings)) break;
    }
    device.Close(0);
    return timings;
}

// mpv's exact seek: a run that starts at the target with precise seeking, less a run that starts at 0,
// so process start-up and opening cancel out. Median over the same targets as the engine's.
double MpvSeekMs(const std::string& path, const std::vector<std::int64_t>& targets, int fps) {
    auto run = [&](double seconds) {
        char start[32];
        std::snprintf(start, sizeof start, "--start=%.6f", seconds);
        return RunProcess({"mpv", "--no-config", "--really-quiet", "--untimed", "--vo=null", "--ao=null",
                           "--hr-seek=yes", "--frames=1", start, path},
                          OutputMode::Silent);
    };
    std::vector<double> differences;
    for (std::int64_t target : targets) {
        const ProcessResult fromStart = run(0);
        const ProcessResult seeked = run(static_cast<double>(target) / fps);
        if (!fromStart.Succeeded() || !seeked.Succeeded()) return 0;
        differences.push_back(seeked.wallMs - fromStart.wallMs);
    }
    return Median(differences);
}

// Space pressed while paused during an exact seek, as the player's two threads do it: ReadFrame(1) runs on a
// thread of its own, and once it is decoding, SetPlayState(0) is timed from its call to its return. Each
// target lies late in its GOP, so the read decodes for a second or more. A press that found the read already
// over (it never should) is not counted.
Timings SpaceDuringSeeks(CEngineHost& host, IVideoDevice& device, const std::string& path,
                         const std::vector<std::int64_t>& targets) {
    Timings timings;
    if (!OpenPaused(host, device, path, timings)) return timings;
    for (std::int64_t target : targets) {
        device.SetPlayState(0, 1);
        device.SetPosition(0, target);
        std::atomic<bool> started{false}, returned{false};
        std::int32_t status = NRX_FRAME_END;
        std::thread reader([&] {
            started = true;
            status = host.Read(device, NRX_READ_POSITION);
            returned = true;
        });
        while (!started) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // well into the decode
        const bool inFlight = !returned;
        const auto start = Clock::now();
        device.SetPlayState(0, 0);
        const double ms = MsSince(start);
        reader.join();
        if (status != NRX_FRAME_NEW) {
            timings.error = "ReadFrame(1) to frame " + std::to_string(target) + " gave status " + std::to_string(status);
            break;
        }
        if (inFlight) timings.ms.push_back(ms);
        if (host.CurrentFrame(device) != target) ++timings.wrongFrames;
    }
    device.Close(0);
    return timings;
}

void ReportExactness(const std::string& name, const Timings& t) {
    if (t.wrongFrames > 0)
        PrintUnanchored(name + " wrong frames delivered", t.wrongFrames, "seeks",
                        "of " + std::to_string(t.ms.size()) + " landed off the frame set");
}

} // namespace

int main() {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    CEngineHost host;
    if (!host.Load()) return PrintNotMeasured("seek", host.Error());
    DevicePtr device = host.CreateDevice();
    if (!device) return PrintNotMeasured("seek", host.Error());
    int failures = 0;

    const BenchClip hd{1920, 1080, 30, 60};
    const std::string hdPath = EnsureClip(hd);
    const std::string seekName = "seek to a random frame " + hd.Label() + " GOP 250, median";
    if (hdPath.empty()) {
        failures += PrintNotMeasured(seekName, "clip could not be generated");
    } else {
        std::mt19937 random(20261206); // the same targets every run, so runs compare
        std::uniform_int_distribution<std::int64_t> pick(1, hd.FrameCount() - 1);
        std::vector<std::int64_t> targets;
        for (int i = 0; i < kSeeks; ++i) targets.push_back(pick(random));
        const Timings engine = RandomSeeks(host, *device, hdPath, targets);
        if (!engine.error.empty()) {
            failures += PrintNotMeasured(seekName, engine.error);
        } else if (!ToolAvailable("mpv")) {
            PrintUnanchored(seekName, Median(engine.ms), "ms", "mpv not installed, anchor skipped");
        } else {
            const double mpv = MpvSeekMs(hdPath, targets, hd.fps);
            if (mpv <= 0)
                PrintUnanchored(seekName, Median(engine.ms), "ms", "mpv failed, anchor skipped");
            else
                PrintFigure({seekName, Median(engine.ms), "ms", "mpv --hr-seek=yes", mpv, Target::RatioAtMost(1)});
        }
        ReportExactness(seekName, engine);
    }

    const BenchClip sd{1280, 720, 30, 60};
    const std::string sdPath = EnsureClip(sd);
    const std::string stepName = "backward step SetPosition(c-1) " + sd.Label() + ", median";
    if (sdPath.empty()) {
        failures += PrintNotMeasured(stepName, "clip could not be generated");
    } else {
        // Frame 1200 lies 200 frames past a keyframe: without kept frames every step decodes ~200 frames.
        const Timings steps = BackwardSteps(host, *device, sdPath, 1200);
        if (!steps.error.empty()) {
            failures += PrintNotMeasured(stepName, steps.error);
        } else {
            PrintFigure({stepName, Median(steps.ms), "ms", "limit", 50, Target::ValueAtMost(50)});
            ReportExactness(stepName, steps);
        }
    }

    const std::string spaceName = "Space pressed during an exact seek on " + hd.Label() + " with 250-frame GOPs -> state changed";
    if (hdPath.empty()) {
        failures += PrintNotMeasured(spaceName, "clip could not be generated");
    } else {
        std::vector<std::int64_t> lateInGop;
        for (std::int64_t keyFrame = 0; keyFrame + 235 < hd.FrameCount(); keyFrame += 250)
            lateInGop.push_back(keyFrame + 235);
        const Timings presses = SpaceDuringSeeks(host, *device, hdPath, lateInGop);
        if (!presses.error.empty()) {
            failures += PrintNotMeasured(spaceName, presses.error);
        } else if (presses.ms.empty()) {
            failures += PrintNotMeasured(spaceName, "every seek was over before the press");
        } else {
            const std::string of = ", median of " + std::to_string(presses.ms.size());
            PrintFigure({spaceName + of, Median(presses.ms), "ms", "limit", 50, Target::ValueAtMost(50)});
            PrintUnanchored(spaceName + ", slowest", MaxAbs(presses.ms), "ms", "no target");
            ReportExactness(spaceName, presses);
        }
    }
    return failures == 0 ? 0 : 1;
}
