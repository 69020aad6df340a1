// The stand-in user-interface thread: ordering, sent calls, timers, stopping.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "state/event_loop.h"

namespace rxt {
namespace {

using namespace std::chrono_literals;

TEST(EventLoop, RunsPostedAndSentCallsInOrderOnItsThread) {
    EventLoop loop;
    loop.start();
    std::vector<int> order;
    std::thread::id ran;
    loop.post([&] { order.push_back(1); });
    loop.post([&] { order.push_back(2); });
    EXPECT_TRUE(loop.send([&] {
        order.push_back(3);
        ran = std::this_thread::get_id();
    }));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_NE(ran, std::this_thread::get_id());
}

TEST(EventLoop, ASendFromTheLoopItselfRunsAtOnce) {
    EventLoop loop;
    loop.start();
    bool inner = false;
    EXPECT_TRUE(loop.send([&] { EXPECT_TRUE(loop.send([&] { inner = true; })); }));
    EXPECT_TRUE(inner);
}

TEST(EventLoop, TimersRepeatUntilStopped) {
    EventLoop loop;
    std::atomic<int> fired{0};
    loop.setTimerHandler([&](int id) {
        if (id == 8) {
            loop.stopTimer(8);  // one-shot, as the main window's timer 8
        }
        fired.fetch_add(id == 2 ? 1 : 100);
    });
    loop.start();
    loop.startTimer(2, 20ms);
    loop.startTimer(8, 30ms);
    std::this_thread::sleep_for(300ms);
    loop.stopTimer(2);
    const int seen = fired.load();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(fired.load(), seen);  // nothing fires once stopped
    EXPECT_EQ(seen / 100, 1);       // the one-shot fired once
    EXPECT_GE(seen % 100, 3);       // the periodic one several times
    EXPECT_FALSE(loop.timerActive(8));
}

TEST(EventLoop, StoppingReleasesWaitingSendersWithoutRunningTheirCalls) {
    EventLoop loop;
    loop.start();
    std::atomic<bool> blockerStarted{false};
    loop.post([&] {
        blockerStarted = true;
        std::this_thread::sleep_for(200ms);
    });
    while (!blockerStarted) {
        std::this_thread::sleep_for(1ms);
    }
    bool ran = false;
    std::atomic<bool> result{true};
    std::thread sender([&] { result = loop.send([&] { ran = true; }); });
    std::this_thread::sleep_for(50ms);
    loop.stop();
    sender.join();
    EXPECT_FALSE(result);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(loop.send([] {}));
}

}  // namespace
}  // namespace rxt
