// Playback benchmark. Pacing: how many frames the playback thread presents in a fixed time and how evenly,
// at 23.976, 25, 29.97, 50 and 60 fps, on the synthetic engine (every call gives a new frame: the loop
// alone is timed) and on the real engine (it gives the frame due by its clock), next to a reference loop
// measured in the same run that sleeps the period relatively (each sleep's overshoot adds up).
// Memory: resident set size before and after 1000 open/close cycles of a clip on the real engine.
#include "app/PromptService.h"
#include "document/RedadIzivad.h"
#include "engine/FrameClock.h"
#include "settings/ProgramParams.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#ifdef __linux__
#include <unistd.h>
#endif

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

struct RateCase {
    const char* label;
    float rate;
    const char* clip;
};
const RateCase Rates[] = {{"23.976", 24000.0f / 1001.0f, "pace_24000_1001.mp4"},
                          {"25", 25.0f, "pace_25.mp4"},
                          {"29.97", 30000.0f / 1001.0f, "pace_30000_1001.mp4"},
                          {"50", 50.0f, "pace_50.mp4"},
                          {"60", 60.0f, "pace_60.mp4"}};

struct Intervals {
    std::size_t frames = 0; // presentations inside the window
    double meanMs = 0, sdMs = 0, worstMs = 0;
};

// Presentations counted from the first one on, for `window` after it.
Intervals Summarise(const std::vector<Clock::time_point>& times, Clock::duration window) {
    Intervals result;
    if (times.empty()) return result;
    const Clock::time_point end = times.front() + window;
    std::vector<double> gaps;
    for (std::size_t i = 0; i < times.size() && times[i] < end; ++i) {
        ++result.frames;
        if (i > 0) gaps.push_back(std::chrono::duration<double, std::milli>(times[i] - times[i - 1]).count());
    }
    if (gaps.empty()) return result;
    double sum = 0;
    for (double g : gaps) sum += g;
    result.meanMs = sum / gaps.size();
    double squares = 0;
    for (double g : gaps) {
        squares += (g - result.meanMs) * (g - result.meanMs);
        result.worstMs = std::max(result.worstMs, std::abs(g - result.meanMs));
    }
    result.sdMs = std::sqrt(squares / gaps.size());
    return result;
}

// One player presenting frames; the playback thread's repaint requests are taken directly on that thread
// and time-stamped when the engine delivered a new frame.
struct PacedPlayer {
    std::unique_ptr<CRedadIzivad> player;
    QObject view;
    std::vector<Clock::time_point> times; // written by the playback thread until it is joined
    QString failure;

    bool Start(const QString& module, const QString& clip) {
        player = std::make_unique<CRedadIzivad>();
        player->viewWindow = &view;
        player->engine = std::make_unique<CVideoEngine>(module);
        times.reserve(8000);
        QObject::connect(&player->notifier, &CPlayerNotifier::frameReady, &view, [this](qint64) {
            times.push_back(Clock::now()); // sent for new frames only
            player->FramePainted();
        }, Qt::DirectConnection);
        if (!player->Create()) {
            failure = QStringLiteral("engine objects could not be created");
            return false;
        }
        if (player->OpenFile(clip, true) != 1) {
            failure = QStringLiteral("could not open %1: %2").arg(clip, player->engine->LastOpenError());
            return false;
        }
        player->engine->SetPlayState(PlayState::Playing);
        return true;
    }
    void Finish() {
        if (player) player->StopThread(true);
    }
};

// The reference: the same period slept relatively, as a naive loop would.
std::vector<Clock::time_point> RelativeSleepLoop(std::int32_t periodMs, Clock::duration runFor) {
    std::vector<Clock::time_point> times;
    const Clock::time_point end = Clock::now() + runFor;
    while (Clock::now() < end) {
        times.push_back(Clock::now());
        std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
    }
    return times;
}

long ResidentKiB() {
#ifdef __linux__
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2) return -1;
    return fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024);
#else
    return -1;
#endif
}

void Pacing(int seconds) {
    const auto window = std::chrono::seconds(seconds);
    const QString synthetic = QStringLiteral(NRX_SYNTHETIC_MODULE);
    const QString real = QStringLiteral(NRX_REAL_MODULE);
    std::printf("Pacing over %d s (all runs side by side). Expected = frames the period rule allows in the window;\n"
                "file = frames the file holds in the window. Spread = standard deviation of the intervals.\n\n",
                seconds);

    struct Run {
        const RateCase* rate;
        PacedPlayer synthetic, real;
        std::vector<Clock::time_point> reference;
    };
    std::vector<std::unique_ptr<Run>> runs;
    const QByteArray previousConfig = qgetenv("NRX_SYNTHETIC_CONFIG");
    for (const RateCase& rate : Rates) {
        auto run = std::make_unique<Run>();
        run->rate = &rate;
        // Each synthetic engine takes its configuration when its objects are created.
        qputenv("NRX_SYNTHETIC_CONFIG", QStringLiteral("rate=%1;frames=100000").arg(rate.rate, 0, 'f', 6).toUtf8());
        if (!synthetic.isEmpty()) run->synthetic.Start(synthetic, QStringLiteral("/bench/synthetic.syn"));
        run->real.Start(real, QStringLiteral(NRX_PACE_CLIPS "/") + QLatin1String(rate.clip));
        runs.push_back(std::move(run));
    }
    qputenv("NRX_SYNTHETIC_CONFIG", previousConfig);
    std::vector<std::thread> references;
    for (auto& run : runs)
        references.emplace_back([&run, window] {
            run->reference = RelativeSleepLoop(FramePeriodMs(run->rate->rate), window + 1s);
        });
    std::this_thread::sleep_for(window + 1500ms);
    for (auto& thread : references) thread.join();
    for (auto& run : runs) {
        run->synthetic.Finish();
        run->real.Finish();
    }

    std::printf("%-7s %-9s %6s %6s | %-26s | %-26s | %-26s\n", "fps", "engine", "expect", "file", "presented (ratio expect)",
                "spread ms (ratio to ref)", "relative-sleep ref frames");
    for (auto& run : runs) {
        const std::int32_t period = FramePeriodMs(run->rate->rate);
        // Presentations at 0, p, 2p, ... that fall inside the window.
        const double expected = std::ceil(seconds * 1000.0 / period);
        const double inFile = std::ceil(seconds * run->rate->rate);
        const Intervals reference = Summarise(run->reference, window);
        for (PacedPlayer* paced : {&run->synthetic, &run->real}) {
            const char* name = paced == &run->synthetic ? "synthetic" : "real";
            if (!paced->failure.isEmpty() || !paced->player) {
                std::printf("%-7s %-9s not measured: %s\n", run->rate->label, name,
                            paced->player ? qPrintable(paced->failure) : "no synthetic module in this build");
                continue;
            }
            const Intervals ours = Summarise(paced->times, window);
            const double target = paced == &run->synthetic ? expected : inFile;
            std::printf("%-7s %-9s %6.0f %6.0f | %6zu (%.4f)            | %6.3f (%.2f) worst %6.2f  | %6zu (%.4f of expect)\n",
                        run->rate->label, name, expected, inFile, ours.frames, ours.frames / target, ours.sdMs,
                        reference.sdMs > 0 ? ours.sdMs / reference.sdMs : 0.0, ours.worstMs, reference.frames,
                        reference.frames / expected);
        }
    }
}

// Open, play briefly, stop and close, `cycles` times; the synthetic engine shows what the wrapper and the
// thread keep, the real one adds the decoder.
void Memory(const char* label, const QString& module, const QString& clip, int cycles) {
    PacedPlayer paced;
    if (module.isEmpty() || !paced.Start(module, clip)) {
        std::printf("  %-9s not measured: %s\n", label, module.isEmpty() ? "no module" : qPrintable(paced.failure));
        return;
    }
    CRedadIzivad& player = *paced.player;
    auto cycle = [&] {
        player.OpenFile(clip, true);
        player.engine->SetPlayState(PlayState::Playing);
        std::this_thread::sleep_for(2ms);
        player.StopThread(false);
    };
    for (int i = 0; i < 20; ++i) cycle(); // lets allocators and the decoder reach their steady state
    const long before = ResidentKiB();
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < cycles; ++i) cycle();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const long after = ResidentKiB();
    std::printf("  %-9s RSS before %ld KiB, after %ld KiB, ratio %.4f; %.1f ms per cycle\n", label, before, after,
                before > 0 ? double(after) / before : 0.0, ms / cycles);
    paced.Finish();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Engine creation errors are reported in the output instead of message boxes.
    CPromptService::SetHandler([](const PromptRequest& request) {
        std::printf("(message: %s)\n", qPrintable(QString(request.text).replace('\n', ' ')));
        return PromptAnswer::Ok;
    });
    qputenv("SDL_AUDIODRIVER", qgetenv("SDL_AUDIODRIVER").isEmpty() ? QByteArray("dummy") : qgetenv("SDL_AUDIODRIVER"));
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int cycles = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    Pacing(seconds);
    std::printf("\nMemory over %d open/play/close cycles (after 20 warm-up cycles):\n", cycles);
    Memory("synthetic", QStringLiteral(NRX_SYNTHETIC_MODULE), QStringLiteral("/bench/synthetic.syn"), cycles);
    Memory("real", QStringLiteral(NRX_REAL_MODULE), QStringLiteral(NRX_MEDIA "/h264_aac_640x360_25.mp4"), cycles);
    return 0;
}
