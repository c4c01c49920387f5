// Open to first frame on a local 1080p file, against the ffmpeg tool decoding its first frame.
#include "bench/engine/BenchPaths.h"
#include "bench/engine/BenchReport.h"
#include "bench/engine/ChildProcess.h"
#include "bench/engine/EngineHost.h"

#include <chrono>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kOpens = 20;
// Longer than any sane open; a module stuck in "no new frame" ends the measurement instead of hanging it.
constexpr double kGiveUpMs = 5000;

// Open, play, and poll ReadFrame(0) the way the player does until the first frame is in the buffer.
double OpenToFirstFrameMs(CEngineHost& host, IVideoDevice& device, const std::string& path, std::string& error) {
    const auto start = Clock::now();
    if (!host.OpenClip(device, path)) {
        error = host.Error();
        return -1;
    }
    device.SetPlayState(0, 0);
    double ms = 0;
    for (;;) {
        const std::int32_t status = host.Read(device, NRX_READ_NEXT);
        ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (status == NRX_FRAME_NEW) break;
        if (status == NRX_FRAME_END || ms > kGiveUpMs) {
            error = "no first frame (status " + std::to_string(status) + ")";
            ms = -1;
            break;
        }
    }
    device.Close(0);
    return ms;
}

} // namespace

int main() {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const BenchClip clip{1920, 1080, 30, 60};
    const std::string name = "open to first frame " + clip.Label() + ", median of 20";
    CEngineHost host;
    if (!host.Load()) return PrintNotMeasured(name, host.Error());
    DevicePtr device = host.CreateDevice();
    if (!device) return PrintNotMeasured(name, host.Error());
    const std::string path = EnsureClip(clip);
    if (path.empty()) return PrintNotMeasured(name, "clip could not be generated");

    std::vector<double> engine, ffmpeg;
    // Interleaved, so both sides see the same page cache and the same neighbours.
    for (int i = 0; i < kOpens; ++i) {
        std::string error;
        const double ms = OpenToFirstFrameMs(host, *device, path, error);
        if (ms < 0) return PrintNotMeasured(name, error);
        engine.push_back(ms);
        const ProcessResult tool = RunProcess(
            {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-i", path, "-frames:v", "1", "-f", "null", "-"},
            OutputMode::Silent);
        if (tool.Succeeded()) ffmpeg.push_back(tool.wallMs);
    }
    if (ffmpeg.empty()) {
        PrintUnanchored(name, Median(engine), "ms", "ffmpeg failed, anchor skipped");
        return 0;
    }
    PrintFigure({name, Median(engine), "ms", "ffmpeg -frames:v 1", Median(ffmpeg), Target::RatioAtMost(2)});
    return 0;
}
