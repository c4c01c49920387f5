// The benchmark's matching of the engine's trace with the view's paint trace: presented, dropped by the
// engine, delivered but never painted, and the cut at the moment the run was stopped.
#include "bench/program/PaintTraceLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

TraceRow Delivered(long long frame, int status = 1, int mode = 0) {
    TraceRow row;
    row.mode = mode;
    row.status = status;
    row.frame = frame;
    return row;
}

} // namespace

TEST(BenchFrameAccount, FramesAreCountedBetweenTheFirstAndLastPaint) {
    // Frames 0..9 delivered except 4 and 5 (engine drops); 7 delivered but overwritten before a paint;
    // 12 delivered after the last paint, which is outside the measured stretch. A "no new frame" read of 4 and
    // a step (mode 1) to 5 do not count as deliveries during playback.
    std::vector<TraceRow> rows;
    for (long long f : {0, 1, 2, 3, 6, 7, 8, 9, 12}) rows.push_back(Delivered(f));
    rows.push_back(Delivered(4, 0));
    rows.push_back(Delivered(5, 1, 1));
    const std::set<long long> painted{0, 1, 2, 3, 6, 8, 9};
    const FrameAccount account = AccountFrames(rows, painted);
    EXPECT_EQ(account.presented, 7);
    EXPECT_EQ(account.engineDropped, 2);
    EXPECT_EQ(account.neverPainted, 1);
    EXPECT_EQ(account.Dropped(), 3);
    EXPECT_DOUBLE_EQ(account.DroppedPercent(), 30.0);
}

TEST(BenchFrameAccount, APaintedFrameCountsAsDeliveredEvenWithoutItsTraceLine) {
    // The run is stopped with a signal: the engine's last line may be missing while the paint made it to disk.
    const std::vector<TraceRow> rows{Delivered(10), Delivered(11)};
    const FrameAccount account = AccountFrames(rows, {10, 11, 12});
    EXPECT_EQ(account.presented, 3);
    EXPECT_EQ(account.Dropped(), 0);
    EXPECT_DOUBLE_EQ(AccountFrames(rows, {}).DroppedPercent(), 0.0) << "no paint: no stretch, no division by zero";
}

TEST(BenchFrameAccount, PaintTraceIsReadUpToTheStopAndRejectedWhenEmpty) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("nrx-paint-trace-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "paint.csv").string();
    std::ofstream(path) << "wall_ms,frame,new_frame,draw_ms\n"
                        << "100.5,0,1,2\n"
                        << "101.0,-1,1,2\n" // frame number unreadable: not a presented frame
                        << "140.0,1,1,3\n"
                        << "140.2,1,0,0\n"  // a repaint of the same frame
                        << "not a line\n"
                        << "180.0,2,1,2\n";
    std::set<long long> painted;
    std::string error;
    ASSERT_TRUE(ReadPaintTrace(path, 150.0, painted, error)) << error;
    EXPECT_EQ(painted, (std::set<long long>{0, 1})) << "the paint after the stop must not count";

    painted.clear();
    EXPECT_FALSE(ReadPaintTrace(path, 50.0, painted, error));
    EXPECT_NE(error.find("painted no frame"), std::string::npos) << error;
    EXPECT_FALSE(ReadPaintTrace((dir / "missing.csv").string(), 1e9, painted, error));
    std::filesystem::remove_all(dir);
}
