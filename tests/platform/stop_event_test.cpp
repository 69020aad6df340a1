#include "platform/stop_event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace rxt {
namespace {

using namespace std::chrono_literals;

TEST(StopEvent, StartsClearAndStaysSetUntilReset) {
    StopEvent e;
    EXPECT_FALSE(e.isSet());
    EXPECT_FALSE(e.waitFor(1ms));
    EXPECT_FALSE(e.waitFor(0ms));
    e.set();
    EXPECT_TRUE(e.isSet());
    // Manual reset: every wait sees it, however many.
    EXPECT_TRUE(e.waitFor(1ms));
    EXPECT_TRUE(e.waitFor(0ms));
    EXPECT_TRUE(e.waitFor(1ms));
    e.set();
    EXPECT_TRUE(e.isSet());
    e.reset();
    EXPECT_FALSE(e.isSet());
    EXPECT_FALSE(e.waitFor(1ms));
}

TEST(StopEvent, TimedWaitRunsItsTimeWhenNotSet) {
    StopEvent e;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(e.waitFor(30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

TEST(StopEvent, SetReleasesEveryWaitingThreadPromptly) {
    StopEvent e;
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            if (e.waitFor(60s)) {
                ++released;
            }
        });
    }
    std::thread plain([&] { e.wait(); });
    std::this_thread::sleep_for(20ms);
    e.set();
    for (auto& t : waiters) {
        t.join();
    }
    plain.join();
    EXPECT_EQ(released.load(), 4);
    // Far below the 60 s the waits allowed.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
}

TEST(StopEvent, WorkerLoopPollingOneMillisecondEndsOnSet) {
    StopEvent stop;
    std::atomic<int> passes{0};
    std::thread worker([&] {
        stop.reset();  // as workers do when they start
        while (!stop.waitFor(1ms)) {
            ++passes;
        }
    });
    while (passes.load() < 3) {
        std::this_thread::yield();
    }
    stop.set();
    worker.join();
    EXPECT_GE(passes.load(), 3);
}

TEST(StopEvent, WakeEndsOneWaitWithoutSettingTheEvent) {
    StopEvent e;
    // A wake before the wait is kept for it (a sleeper registers, then checks,
    // then waits: an arrival in between is not lost).
    e.wake();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(e.waitFor(60s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    EXPECT_FALSE(e.isSet());
    // Consumed: the next wait runs its time.
    EXPECT_FALSE(e.waitFor(20ms));
    std::thread sleeper([&] { EXPECT_FALSE(e.waitFor(60s)); });
    std::this_thread::sleep_for(20ms);
    e.wake();
    sleeper.join();
    EXPECT_FALSE(e.isSet());
}

}  // namespace
}  // namespace rxt
