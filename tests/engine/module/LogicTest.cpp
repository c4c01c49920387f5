// Pure decisions of the engine fed with synthetic values: frame pacing, the clock, volume and tempo steps.
#include "engine/module/AudioPipeline.h"
#include "engine/module/MediaClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

using namespace nrx;

TEST(EngineLogic, FramePacingAgainstTheClock) {
    const double period = 0.04;
    EXPECT_EQ(DecideFrame(1.00, 1.04, 0.95, period), FrameAction::Wait);  // early
    EXPECT_EQ(DecideFrame(1.00, 1.04, 0.99, period), FrameAction::Show);  // within half a period
    EXPECT_EQ(DecideFrame(1.00, 1.04, 1.035, period), FrameAction::Show); // late, but its successor is not due
    EXPECT_EQ(DecideFrame(1.00, 1.04, 1.04, period), FrameAction::Drop);  // the next one is due already
    EXPECT_EQ(DecideFrame(1.00, NAN, 5.0, period), FrameAction::Show);    // late, but nothing newer yet
    EXPECT_EQ(DecideFrame(1.00, 1.04, NAN, period), FrameAction::Show);   // no clock: never stall
}

TEST(EngineLogic, ClockRunsPausesAndChangesSpeedContinuously) {
    MediaClock c;
    c.Set(10.0, 100.0, 1);
    EXPECT_DOUBLE_EQ(c.At(105.0), 10.0) << "a new clock is paused";
    c.SetPaused(false, 100.0);
    EXPECT_DOUBLE_EQ(c.At(102.0), 12.0);
    c.SetSpeed(2.0, 102.0);
    EXPECT_DOUBLE_EQ(c.At(103.0), 14.0);
    c.SetPaused(true, 103.0);
    EXPECT_DOUBLE_EQ(c.At(200.0), 14.0);
    c.SetPaused(false, 200.0);
    EXPECT_DOUBLE_EQ(c.At(200.5), 15.0);
    EXPECT_EQ(FrameIndexOf(10.0 + 3 / 29.97, 10.0, 29.97), 3);
    EXPECT_EQ(FrameIndexOf(9.0, 10.0, 25.0), 0);
    EXPECT_EQ(FrameIndexOf(PtsOfFrame(1234, 0.5, 23.976), 0.5, 23.976), 1234);
}

// A process stopped for 5 s (a suspended laptop) must continue where it stopped, not race through the 5 s.
TEST(EngineLogic, StandstillIsTakenOutOfTheClock) {
    const struct {
        double gap, period;
        bool stood;
    } gaps[] = {{0.04, 0.04, false}, {0.12, 0.04, false}, {0.30, 0.04, true}, {5.0, 0.04, true},
                {0.30, 0.1, false},  {0.45, 0.1, true},   {NAN, 0.04, false}};
    for (const auto& g : gaps) EXPECT_EQ(ReadsStoodStill(g.gap, g.period), g.stood) << g.gap << " " << g.period;

    MediaClock c;
    c.Set(10.0, 100.0, 1);
    c.SetPaused(false, 100.0);
    c.SkipStandstill(101.0, 106.0, 10.96); // last read at 101 s, stopped, resumed at 106 s
    EXPECT_DOUBLE_EQ(c.At(106.0), 11.0);
    EXPECT_DOUBLE_EQ(c.At(106.5), 11.5);
    c.Set(12.0, 107.2, 1); // the sound set it after the last read: back to the picture on screen
    c.SkipStandstill(107.0, 112.0, 11.96);
    EXPECT_DOUBLE_EQ(c.At(112.0), 11.96);
    c.SetPaused(true, 112.0);
    c.SkipStandstill(112.0, 200.0, 1.0);
    EXPECT_DOUBLE_EQ(c.At(200.0), 11.96) << "a paused clock has no standstill to skip";
    // The sound side: after a standstill the sound resumes where it stopped, far behind the running clock,
    // and its time is taken at once.
    EXPECT_DOUBLE_EQ(SteerClock(16.0, 11.0), 11.0);
}

// Volume steps are even in loudness; a rate past the tempo filter's range is made of stages inside it.
TEST(EngineLogic, VolumeStepsAndTempoStages) {
    EXPECT_NEAR(VolumeGain(80) / VolumeGain(79), VolumeGain(30) / VolumeGain(29), 1e-9);
    for (double rate : {0.1, 0.3, 0.5, 1.0, 2.5, 4.0}) {
        const auto stages = TempoStages(rate);
        EXPECT_NEAR(std::accumulate(stages.begin(), stages.end(), 1.0, std::multiplies<>()), rate, 1e-9);
        for (double s : stages) EXPECT_TRUE(s >= 0.5 && s <= 2.0) << rate;
    }
}
