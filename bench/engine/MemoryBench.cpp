// Resident memory across 1000 open/read/close cycles: what a long playlist session leaves behind.
#include "bench/engine/BenchPaths.h"
#include "bench/engine/BenchReport.h"
#include "bench/engine/ChildProcess.h"
#include "bench/engine/EngineHost.h"

#include <cstdlib>
#include <malloc.h>
#include <vector>

namespace {

constexpr int kCycles = 1000;

// Freed heap pages handed back first, so the figure shows what is still held, not allocator caching.
long TrimmedRssKb() {
    malloc_trim(0);
    return CurrentRssKb();
}

} // namespace

int main() {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Each cycle gets its frame at once instead of waiting for the clock.
    setenv("NRX_UNTIMED", "1", 1);
    const BenchClip clip{1280, 720, 30, 60};
    const std::string name = "RSS growth over 1000 open/read/close cycles " + clip.Label();
    CEngineHost host;
    if (!host.Load()) return PrintNotMeasured(name, host.Error());
    DevicePtr device = host.CreateDevice();
    if (!device) return PrintNotMeasured(name, host.Error());
    const std::string path = EnsureClip(clip);
    if (path.empty()) return PrintNotMeasured(name, "clip could not be generated");

    const auto cycle = [&] {
        if (!host.OpenClip(*device, path)) return false;
        device->SetPlayState(0, 0);
        host.Read(*device, NRX_READ_NEXT);
        device->Close(0);
        return true;
    };
    const long cold = TrimmedRssKb();
    // The first open pages in the code of every demuxer's probe and of the decoders, and builds their static
    // tables: several megabytes of shared library pages that stay whatever the session does. The session's
    // start is taken after it, so the figure speaks of what repeated opening accumulates.
    if (!cycle()) return PrintNotMeasured(name, "first open: " + host.Error());
    const long rawBefore = CurrentRssKb();
    const long before = TrimmedRssKb();
    // RSS after each tenth of the cycles tells a leak (steady growth) from a one-time cache (a step).
    std::vector<double> cycleMarks, rssMarks;
    for (int i = 1; i <= kCycles; ++i) {
        if (i % (kCycles / 10) == 0) {
            cycleMarks.push_back(i);
            rssMarks.push_back(TrimmedRssKb());
        }
        if (!cycle()) return PrintNotMeasured(name, "cycle " + std::to_string(i) + ": " + host.Error());
    }
    const long rawAfter = CurrentRssKb();
    const long after = TrimmedRssKb();
    PrintFigure({name, (after - before) / 1024.0, "MB", "RSS after the first open/close", before / 1024.0,
                 Target::ValueAtMost(10)});
    PrintUnanchored("  RSS growth per cycle from cycle 100 on", Slope(cycleMarks, rssMarks), "KB",
                    "steady growth here is a leak of about that much per open");
    PrintUnanchored(name + " counted from before any open", (after - cold) / 1024.0, "MB",
                    "includes the first open's code pages and decoder tables, for information");
    PrintUnanchored(name + " without malloc_trim", (rawAfter - rawBefore) / 1024.0, "MB",
                    "allocator caches included, for information");
    return 0;
}
