// Loops split over the kept helper threads: every task once, nested and concurrent loops,
// failures, and a forked child that has none of the helpers.

#include "ParallelFor.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace kadivo::test {
namespace {

// Runs a loop of `count` tasks and says whether each ran exactly once.
bool EachTaskOnce(int count) {
    std::vector<std::atomic<int>> runs(static_cast<std::size_t>(count));
    ParallelFor(count, [&](int i) { ++runs[static_cast<std::size_t>(i)]; });
    for (const std::atomic<int>& r : runs)
        if (r != 1) return false;
    return true;
}

TEST(ParallelFor, RunsEveryTaskOnceLoopAfterLoop) {
    for (int round = 0; round < 300; ++round)
        for (int count : {0, 1, 2, 3, 17, 256}) ASSERT_TRUE(EachTaskOnce(count)) << count << " tasks, round " << round;
}

// Counts the threads that ever ran a task: a thread's first task makes its counter. Thread
// ids cannot tell, as a new thread may take an ended one's id.
std::atomic<int> threadsSeen{0};
struct SeenThread {
    SeenThread() { ++threadsSeen; }
};
thread_local SeenThread seenThread;

TEST(ParallelFor, KeepsItsHelpersFromLoopToLoop) {
    const int before = threadsSeen;
    for (int round = 0; round < 100; ++round)
        ParallelFor(8, [&](int) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            (void)&seenThread;
        });
    EXPECT_LE(threadsSeen - before, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
}

TEST(ParallelFor, NestedAndConcurrentLoopsFinish) {
    std::atomic<int> inner{0};
    ParallelFor(6, [&](int) { ParallelFor(5, [&](int) { ++inner; }); });
    EXPECT_EQ(inner, 30);

    std::atomic<bool> allOnce{true};
    std::vector<std::thread> callers;
    for (int c = 0; c < 4; ++c)
        callers.emplace_back([&] {
            for (int round = 0; round < 200; ++round)
                if (!EachTaskOnce(33)) allOnce = false;
        });
    for (std::thread& caller : callers) caller.join();
    EXPECT_TRUE(allOnce);
}

TEST(ParallelFor, ThrowsTheFailureOnceAllTasksHaveEndedAndStaysUsable) {
    std::atomic<int> running{0}, ranAfterThrow{0};
    EXPECT_THROW(ParallelFor(64,
                             [&](int i) {
                                 ++running;
                                 if (i == 3) throw std::runtime_error("task 3");
                                 std::this_thread::sleep_for(std::chrono::microseconds(100));
                                 --running;
                             }),
                 std::runtime_error);
    EXPECT_EQ(running, 1);  // only the failed task never came back
    ParallelFor(10, [&](int) { ++ranAfterThrow; });
    EXPECT_EQ(ranAfterThrow, 10);
}

TEST(ParallelFor, AForkedChildRunsItsLoopsWithoutTheHelpers) {
    ASSERT_TRUE(EachTaskOnce(16));  // the helpers exist in this process
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(20);
        ::_exit(EachTaskOnce(1000) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the child hung or crashed";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace kadivo::test
