#include "bench/engine/BenchPaths.h"

#include "bench/engine/ChildProcess.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path ExecutableDir() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path() : self.parent_path();
}

std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : "";
}

} // namespace

std::string EngineModulePath() {
    const std::string named = FromEnvironment("NRX_ENGINE_MODULE");
    if (!named.empty()) return named;
    return (ExecutableDir().parent_path() / "engines" / "libnrxvideoengine.so").string();
}

std::string BenchClip::FileName() const {
    return "h264_aac_" + std::to_string(width) + "x" + std::to_string(height) + "_" + std::to_string(fps) + "_" +
           std::to_string(seconds) + "s.mp4";
}

std::string BenchClip::Label() const {
    return std::to_string(height) + "p" + std::to_string(fps);
}

std::string EnsureClip(const BenchClip& clip) {
    std::string dirName = FromEnvironment("NRX_BENCH_MEDIA");
    const fs::path dir = dirName.empty() ? ExecutableDir().parent_path().parent_path() / "bench-media" : fs::path(dirName);
    const fs::path target = dir / clip.FileName();
    std::error_code ec;
    if (fs::exists(target, ec)) return target.string();
    fs::create_directories(dir, ec);

    // Written under a temporary name and renamed, so an interrupted run never leaves a truncated clip cached.
    const fs::path partial = dir / (clip.FileName() + ".part.mp4");
    const std::string size = std::to_string(clip.width) + "x" + std::to_string(clip.height);
    const std::string duration = std::to_string(clip.seconds);
    std::fprintf(stderr, "generating %s (one time, cached in %s)\n", clip.FileName().c_str(), dir.c_str());
    const ProcessResult result = RunProcess(
        {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
         "testsrc2=s=" + size + ":r=" + std::to_string(clip.fps) + ":d=" + duration, "-f", "lavfi", "-i",
         "sine=frequency=440:beep_factor=4:sample_rate=48000:duration=" + duration, "-c:v", "libx264", "-preset",
         "veryfast", "-crf", "20", "-pix_fmt", "yuv420p", "-g", "250", "-keyint_min", "250", "-sc_threshold", "0",
         "-c:a", "aac", "-b:a", "128k", "-ac", "2", "-shortest", "-movflags", "+faststart", partial.string()},
        OutputMode::Inherit);
    if (!result.Succeeded()) {
        std::fprintf(stderr, "ffmpeg could not generate %s\n", target.c_str());
        fs::remove(partial, ec);
        return "";
    }
    fs::rename(partial, target, ec);
    return ec ? "" : target.string();
}
