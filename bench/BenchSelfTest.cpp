// The measuring instruments checked against known answers, so that a figure
// in the table is wrong only if the program is: /proc readings that move
// when CPU is used, percentiles by nearest rank, the launcher passing its
// command line whole, and the check for a redraw that only moves the cursor.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "FirstScreen.h"

namespace {

using namespace bench;
using std::chrono::milliseconds;

// Uses this much CPU time in the calling thread, however busy the machine is.
void burnCpu(milliseconds span) {
    const auto threadCpu = [] {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    };
    const auto end = threadCpu() + span;
    while (threadCpu() < end) {
    }
}

TEST(ProcessReadings, CpuTimeFollowsWorkAndNotSleep) {
    const CpuReading start = cpuOf(::getpid());
    burnCpu(milliseconds(50));
    const CpuReading busy = cpuOf(::getpid()) - start;
    EXPECT_GE(busy.schedMilliseconds, 50.0);
    EXPECT_LE(busy.schedMilliseconds, 60.0);

    const CpuReading beforeSleep = cpuOf(::getpid());
    std::this_thread::sleep_for(milliseconds(50));
    const CpuReading asleep = cpuOf(::getpid()) - beforeSleep;
    EXPECT_LT(asleep.schedMilliseconds, 5.0);
    EXPECT_GE(asleep.contextSwitches, 1) << "a sleep is a wake-up that must be counted";
}

TEST(ProcessReadings, CpuOfEveryThreadCounts) {
    const CpuReading start = cpuOf(::getpid());
    std::atomic<bool> burnt = false;
    std::atomic<bool> read = false;
    std::thread helper([&] {
        burnCpu(milliseconds(50));
        burnt = true;
        while (!read) std::this_thread::sleep_for(milliseconds(1));
    });
    while (!burnt) std::this_thread::sleep_for(milliseconds(1));
    const CpuReading used = cpuOf(::getpid()) - start;
    read = true;
    helper.join();
    EXPECT_GE(used.schedMilliseconds, 50.0);
}

TEST(ProcessReadings, PeakMemoryGrowsWithTouchedPages) {
    const long before = peakResidentKilobytes(::getpid());
    ASSERT_GT(before, 0);
    std::vector<char> block(64 << 20, 1);
    EXPECT_GE(peakResidentKilobytes(::getpid()), before + (60 << 10)) << static_cast<int>(block[12345]);
}

TEST(Samples, PercentileIsTheNearestRank) {
    std::vector<double> values;
    for (int i = 100; i >= 1; --i) values.push_back(i);
    EXPECT_EQ(percentile(values, 50), 50);
    EXPECT_EQ(percentile(values, 99), 99);
    EXPECT_EQ(percentile(values, 100), 100);
    EXPECT_EQ(percentile(values, 0), 1);
    EXPECT_EQ(percentile({7}, 99), 7);
    EXPECT_EQ(percentile({1, 2, 3, 1000}, 99), 1000) << "p99 of few samples is the largest";
}

TEST(Samples, MedianOfOddAndEvenCounts) {
    EXPECT_EQ(median({5, 1, 3}), 3);
    EXPECT_EQ(median({4, 1, 3, 2}), 2.5);
    EXPECT_EQ(maximum({2, 9, 4}), 9);
}

TEST(RedrawCheck, CursorMovesOnly) {
    EXPECT_TRUE(onlyMovesTheCursor(""));
    EXPECT_TRUE(onlyMovesTheCursor("\x1b[21;36H"));
    EXPECT_TRUE(onlyMovesTheCursor("\x1b[?25l\x1b[1;1H\x1b[?25h"));
    EXPECT_FALSE(onlyMovesTheCursor("\x1b[21;36HK"));
    EXPECT_FALSE(onlyMovesTheCursor("\x1b[0m"));
    EXPECT_FALSE(onlyMovesTheCursor("\x1b[2J\x1b[H"));
}

TEST(Launcher, ArgumentsAndDirectoryReachTheCommand) {
    FullDataDirectory directory;
    const FirstScreen shown =
        timeFirstScreen({"/bin/sh", "-c", "printf '%s|' \"$1\" \"$(pwd)\"", "sh", "DVD Bibliothek"}, directory.path(),
                        [&](VtermScreen& screen) {
                            return showsAnywhere(screen, "DVD Bibliothek|" + directory.path() + "|");
                        });
    ASSERT_TRUE(shown.complete);
    EXPECT_EQ(shown.bytes, std::string("DVD Bibliothek|").size() + directory.path().size() + 1);
    EXPECT_GT(shown.milliseconds, 0.0);
}

TEST(Launcher, ScreenThatNeverCompletesIsReportedAndEnded) {
    FullDataDirectory directory;
    const auto start = std::chrono::steady_clock::now();
    const FirstScreen shown = timeFirstScreen({"/bin/sleep", "30"}, directory.path(),
                                              [](VtermScreen&) { return false; }, milliseconds(300));
    EXPECT_FALSE(shown.complete);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
