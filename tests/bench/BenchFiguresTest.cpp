// The benchmarks' figure lines, statistics, trace reading and child processes, checked on known inputs.
#include "bench/engine/BenchReport.h"
#include "bench/engine/ChildProcess.h"
#include "bench/engine/TraceLog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

class TempFile {
public:
    explicit TempFile(const std::string& text)
        : path(std::filesystem::temp_directory_path() / ("nrx-bench-test-" + std::to_string(::getpid()) + ".csv")) {
        std::ofstream(path) << text;
    }
    ~TempFile() { std::filesystem::remove(path); }
    std::string Path() const { return path.string(); }

private:
    std::filesystem::path path;
};

} // namespace

TEST(Bench, VerdictsJudgeTheRightQuantity) {
    // Throughput judged on the ratio: 180 of 200 fps is exactly the 0.9 bound.
    EXPECT_EQ(FormatFigure({"fps", 180, "fps", "ffmpeg", 200, Target::RatioAtLeast(0.9)}),
              "fps: 180 fps | ffmpeg: 200 fps | ratio 0.9 | target ratio >= 0.9: met");
    EXPECT_NE(FormatFigure({"fps", 150, "fps", "ffmpeg", 200, Target::RatioAtLeast(0.9)})
                  .find("MISSED by 16.7%"), std::string::npos);
    // Memory judged on the value, whatever the anchor: a lean anchor must not fail a figure under its limit.
    EXPECT_NE(FormatFigure({"rss", 150, "MB", "ffmpeg", 50, Target::ValueAtMost(200)}).find(": met"),
              std::string::npos);
    EXPECT_NE(FormatFigure({"rss", 260, "MB", "ffmpeg", 300, Target::ValueAtMost(200)}).find("MISSED by 30%"),
              std::string::npos);
}

TEST(Bench, VerdictsSurviveZeroBoundsAndAnchors) {
    const std::string dropped = FormatFigure({"dropped", 3, "frames", "frames", 0, Target::ValueAtMost(0)});
    EXPECT_NE(dropped.find("ratio n/a"), std::string::npos);
    EXPECT_NE(dropped.find(": MISSED"), std::string::npos);
    EXPECT_EQ(dropped.find("inf"), std::string::npos);
    EXPECT_EQ(FormatFigure({"info", 0.25, "", "anchor", 1, Target{}}), "info: 0.25  | anchor: 1  | ratio 0.25");
}

TEST(Bench, Statistics) {
    EXPECT_DOUBLE_EQ(Median({4, 1, 3, 2}), 2.5);
    EXPECT_DOUBLE_EQ(Median({}), 0);
    EXPECT_DOUBLE_EQ(MeanAbs({-2, 2, -5, 5}), 3.5);
    // Offsets drifting by 4 ms per minute around noise that cancels out.
    EXPECT_NEAR(Slope({0, 0.5, 1, 1.5}, {1, 1, 5, 7}), 4.4, 1e-9);
    EXPECT_DOUBLE_EQ(Slope({2, 2, 2}, {1, 5, 9}), 0); // no spread in time: no trend, not a division by zero
    EXPECT_DOUBLE_EQ(Slope({1}, {1}), 0);
}

TEST(Bench, TraceKeepsOnlyPresentationsOfTheTimedMode) {
    const TempFile file("wall_ms,mode,status,frame,pts_ms,clock_ms,decode_ms,dropped_total\n"
                        "990,0,1,1,33.3,36.3,5,1\n"      // frame 0 was never shown
                        "1000,0,1,1,33.3,36.3,5,1\n"     // the same frame presented twice counts once
                        "1033,0,0,0,0,35,1,0\n"          // no new frame: not a presentation
                        "1066,0,1,2,66.6,63.6,4,1\n"
                        "1100,1,1,40,1333,1333,20,0\n"   // a seek: not a presentation
                        "garbage line\n"
                        "1133,0,1,4,133.3,140.3,4,nan\n" // non-numeric drop count
                        "1166,0,1,5,166.6,nan,4,2\n"     // no clock
                        "1200,0,1,6,200,203,4,2\n");
    Trace trace;
    std::string error;
    ASSERT_TRUE(ReadTrace(file.Path(), trace, error)) << error;
    EXPECT_EQ(trace.malformedLines, 3);
    const TraceSummary s = SummariseTrace(trace.rows);
    EXPECT_EQ(s.presented, 3);
    ASSERT_EQ(s.offsetsMs.size(), 4u);
    EXPECT_NEAR(s.offsetsMs[0], -3, 1e-9);
    EXPECT_NEAR(s.offsetsMs[2], 3, 1e-9);
    EXPECT_DOUBLE_EQ(s.offsetsMs[3], -3);
    EXPECT_DOUBLE_EQ(s.wallMinutes[3], 210.0 / 60000.0);
    EXPECT_EQ(s.skipped, 4);        // frames 0 and 3..5 were never shown
    EXPECT_EQ(s.moduleDropped, 2);
}

TEST(Bench, TraceWithoutDataIsAnError) {
    Trace trace;
    std::string error;
    EXPECT_FALSE(ReadTrace("/nonexistent/nrx-trace.csv", trace, error));
    EXPECT_NE(error.find("no trace"), std::string::npos);
    const TempFile headerOnly("wall_ms,mode,status,frame,pts_ms,clock_ms,decode_ms,dropped_total\n");
    EXPECT_FALSE(ReadTrace(headerOnly.Path(), trace, error));
    EXPECT_NE(error.find("no data line"), std::string::npos);
}

TEST(Bench, ChildProcessesReportExitAndEnvironment) {
    EXPECT_EQ(RunProcess({"sh", "-c", "exit 3"}, OutputMode::Silent).exitCode, 3);
    const ProcessResult missing = RunProcess({"nrx-no-such-program-here"}, OutputMode::Silent);
    EXPECT_FALSE(missing.started);
    EXPECT_FALSE(missing.Succeeded());
    // An added variable replaces ours rather than appearing twice, where the first copy would win.
    setenv("NRX_BENCH_PROBE", "ours", 1);
    EXPECT_TRUE(RunProcess({"sh", "-c", "test \"$NRX_BENCH_PROBE\" = theirs"}, OutputMode::Silent,
                           {"NRX_BENCH_PROBE=theirs"}).Succeeded());
    EXPECT_FALSE(ToolAvailable("nrx-no-such-program-here"));
}
