// Pinning the process to the processors of the AffinityMask setting, and leaving it alone for useless masks.
#include "app/Affinity.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <sched.h>
#include <thread>

namespace {
cpu_set_t AffinityOf(pid_t tid) {
    cpu_set_t set;
    CPU_ZERO(&set);
    sched_getaffinity(tid, sizeof(set), &set);
    return set;
}

// Puts the process's original affinity back whatever a test did.
class AppAffinity : public ::testing::Test {
protected:
    void SetUp() override { original = AffinityOf(0); }
    void TearDown() override { sched_setaffinity(0, sizeof(original), &original); }
    cpu_set_t original;
};
} // namespace

TEST(AppAffinityMask, ProcessorsAreTheSetBitsBelowTheMachinesCount) {
    EXPECT_EQ(ProcessorsInMask(15, 2), (std::vector<int>{0, 1}));
    EXPECT_EQ(ProcessorsInMask(0b1010, 8), (std::vector<int>{1, 3}));
    EXPECT_EQ(ProcessorsInMask(0x80000000u, 64), (std::vector<int>{31}));
    EXPECT_TRUE(ProcessorsInMask(0, 8).empty());
    EXPECT_TRUE(ProcessorsInMask(0xF0, 4).empty());
}

TEST_F(AppAffinity, MaskOneConfinesEveryThreadIncludingOnesStartedBefore) {
    std::mutex lock; // guards checked
    std::condition_variable cv;
    bool checked = false;
    pid_t workerTid = 0;
    std::thread worker([&] {
        std::unique_lock<std::mutex> hold(lock);
        workerTid = gettid();
        cv.notify_all();
        cv.wait(hold, [&] { return checked; });
    });
    {
        std::unique_lock<std::mutex> hold(lock);
        cv.wait(hold, [&] { return workerTid != 0; });
    }
    ASSERT_TRUE(ApplyAffinityMask(1));
    const cpu_set_t mine = AffinityOf(0);
    const cpu_set_t workers = AffinityOf(workerTid);
    {
        std::lock_guard<std::mutex> hold(lock);
        checked = true;
    }
    cv.notify_all();
    worker.join();
    EXPECT_EQ(CPU_COUNT(&mine), 1);
    EXPECT_TRUE(CPU_ISSET(0, &mine));
    EXPECT_EQ(CPU_COUNT(&workers), 1);
    EXPECT_TRUE(CPU_ISSET(0, &workers));
}

TEST_F(AppAffinity, MasksSelectingNoProcessorOfTheMachineChangeNothing) {
    ASSERT_TRUE(ApplyAffinityMask(1)); // a known, narrow starting point
    for (std::uint32_t mask : {0u, 0x80000000u}) {
        if (sysconf(_SC_NPROCESSORS_CONF) > 31) GTEST_SKIP() << "this machine has a processor 31";
        EXPECT_FALSE(ApplyAffinityMask(mask));
        const cpu_set_t now = AffinityOf(0);
        EXPECT_EQ(CPU_COUNT(&now), 1);
        EXPECT_TRUE(CPU_ISSET(0, &now));
    }
}
