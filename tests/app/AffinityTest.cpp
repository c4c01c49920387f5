// Pinning the process to the processors of the AffinityMask setting, and leaving it alone for useless masks.
#include "app/Affinity.h"

#include <future>
#include <gtest/gtest.h>
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
    EXPECT_EQ(ProcessorsInMask(0b1011, 2), (std::vector<int>{0, 1}));
    EXPECT_EQ(ProcessorsInMask(0x80000000u, 64), (std::vector<int>{31}));
    // A mask naming no processor of the machine leaves the affinity alone.
    EXPECT_TRUE(ProcessorsInMask(0xF0, 4).empty());
    EXPECT_FALSE(ApplyAffinityMask(0));
}

TEST_F(AppAffinity, MaskOneConfinesEveryThreadIncludingOnesStartedBefore) {
    std::promise<pid_t> started;
    std::promise<void> checked;
    std::thread worker([&, done = checked.get_future()] {
        started.set_value(gettid());
        done.wait();
    });
    const pid_t workerTid = started.get_future().get();
    const bool applied = ApplyAffinityMask(1);
    const cpu_set_t mine = AffinityOf(0), workers = AffinityOf(workerTid);
    checked.set_value();
    worker.join();
    ASSERT_TRUE(applied);
    EXPECT_EQ(CPU_COUNT(&mine), 1);
    EXPECT_TRUE(CPU_ISSET(0, &mine));
    EXPECT_EQ(CPU_COUNT(&workers), 1);
    EXPECT_TRUE(CPU_ISSET(0, &workers));
}
