// The playback thread's command events and its frame clock.
#include "engine/Event.h"
#include "engine/FrameClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>

using namespace std::chrono_literals;

// One wait takes one signal; a second signal before it does not queue up, and of several signalled events
// the lowest index wins while the others stay signalled.
TEST(EngineEvents, SignalIsConsumedByExactlyOneWaitLowestIndexFirst) {
    CEvent stop, step, refresh;
    step.SetEvent();
    step.SetEvent();
    stop.SetEvent();
    EXPECT_EQ(WaitForAny({&stop, &step, &refresh}, 0), 0);
    EXPECT_EQ(WaitForAny({&stop, &step, &refresh}, 0), 1);
    EXPECT_EQ(WaitForAny({&stop, &step, &refresh}, 0), WAIT_TIMEOUT_INDEX);
    refresh.SetEvent();
    refresh.ResetEvent();
    EXPECT_EQ(WaitForAny({&refresh}, 10), WAIT_TIMEOUT_INDEX);
}

TEST(EngineEvents, SignalFromAnotherThreadWakesAnUnlimitedWait) {
    CEvent first, second;
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        second.SetEvent();
    });
    EXPECT_EQ(WaitForAny({&first, &second}, WAIT_INFINITE_MS), 1);
    setter.join();

    std::thread again([&] { first.SetEvent(); });
    first.Lock();
    again.join();
    EXPECT_EQ(WaitForAny({&first}, 0), WAIT_TIMEOUT_INDEX);
}

TEST(EngineEvents, OneSignalReleasesOnlyOneOfTwoWaiters) {
    CEvent event;
    std::atomic<int> woken{0};
    auto wait = [&] {
        if (WaitForAny({&event}, 300) == 0) ++woken;
    };
    std::thread a(wait), b(wait);
    std::this_thread::sleep_for(20ms);
    event.SetEvent();
    a.join();
    b.join();
    EXPECT_EQ(woken, 1);
}

TEST(EngineEvents, PingPongNeverLosesASignal) {
    // A signal racing the waiter's registration would leave one side waiting for ever.
    CEvent ping, pong;
    constexpr int rounds = 20000;
    std::thread partner([&] {
        for (int i = 0; i < rounds && WaitForAny({&ping}, 5000) == 0; ++i) pong.SetEvent();
    });
    int answered = 0;
    for (int i = 0; i < rounds; ++i, ++answered) {
        ping.SetEvent();
        if (WaitForAny({&pong}, 5000) != 0) break;
    }
    partner.join();
    EXPECT_EQ(answered, rounds);
}

TEST(FrameClock, PeriodIsThousandOverRateTruncated) {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    // 1 is the rate without a file; nonsense rates from a component must neither divide by zero nor spin.
    const std::pair<float, int> periods[] = {{25.0f, 40}, {29.97f, 33}, {23.976f, 41}, {60.0f, 16}, {1.0f, 1000},
                                             {0.0f, 1000}, {-5.0f, 1000}, {nan, 1000}, {inf, 1000}, {1e6f, 1}};
    for (const auto& [rate, ms] : periods) EXPECT_EQ(FramePeriodMs(rate), ms) << rate;
}

TEST(FrameClock, LateWakeUpsDoNotDrift) {
    CFramePacer pacer;
    const auto t0 = CFramePacer::Clock::time_point{} + 1h;
    auto end = pacer.BeginPeriod(t0, 40);
    for (int frame = 1; frame < 1500; ++frame) end = pacer.BeginPeriod(end + 3ms, 40); // every wake-up 3 ms late
    EXPECT_EQ(end, t0 + 60s);
}

TEST(FrameClock, DecodeTimeComesOutOfTheSleepAndAWholePeriodBehindRestarts) {
    CFramePacer pacer;
    const auto t0 = CFramePacer::Clock::time_point{} + 1h;
    // The period counts from its start: a 15 ms decode leaves 25 ms of sleep.
    EXPECT_EQ(pacer.BeginPeriod(t0, FramePeriodMs(25.0f)), t0 + 40ms);
    // Falling a whole period behind restarts the periods instead of bursting to catch up.
    EXPECT_EQ(pacer.BeginPeriod(t0 + 100ms, 40), t0 + 140ms);
    pacer.Reset();
    EXPECT_EQ(pacer.BeginPeriod(t0 + 141ms, 40), t0 + 181ms);
}
