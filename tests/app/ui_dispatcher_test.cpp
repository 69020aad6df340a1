// Work marshalled to the UI thread: order, waiting senders, and shutdown
// releasing them.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "app/ui/ui_dispatcher.h"

using namespace std::chrono_literals;
using rxt::ui::UiDispatcher;

namespace {

TEST(UiDispatcher, PostedCallsRunInOrderOnTheUiThreadOnly) {
    std::atomic<int> wakes{0};
    UiDispatcher d([&] { ++wakes; });
    std::vector<int> ran;
    d.post([&] { ran.push_back(1); });
    std::thread([&] { d.post([&] { ran.push_back(2); }); }).join();
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(wakes, 1);  // both wait for the one pass the first wake asked for
    EXPECT_TRUE(d.hasPending());
    EXPECT_EQ(d.runPending(), 2u);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_FALSE(d.hasPending());
    d.post([&] { ran.push_back(3); });
    EXPECT_EQ(wakes, 2);
}

TEST(UiDispatcher, ACallQueuedDuringARunningPassWakesTheLoopAgain) {
    // The running call may sit in a nested loop (a modal box) that only a
    // new wake reaches: what is queued meanwhile must not wait for it.
    std::atomic<int> wakes{0};
    UiDispatcher d([&] { ++wakes; });
    std::vector<int> ran;
    d.post([&] {
        std::thread([&] {
            d.post([&] { ran.push_back(2); });
            d.post([&] { ran.push_back(3); });
        }).join();
        EXPECT_EQ(wakes, 2);
        EXPECT_EQ(d.runPending(), 2u);  // the nested loop's pass
        ran.push_back(1);
    });
    EXPECT_EQ(wakes, 1);
    EXPECT_EQ(d.runPending(), 1u);
    EXPECT_EQ(ran, (std::vector<int>{2, 3, 1}));
}

TEST(UiDispatcher, CallsQueuedWhileRunningRunInTheSamePass) {
    UiDispatcher d;
    std::vector<int> ran;
    d.post([&] {
        ran.push_back(1);
        d.post([&] { ran.push_back(3); });
        // A nested pass (a modal loop) runs what is queued meanwhile.
        d.post([&] { ran.push_back(2); });
    });
    EXPECT_EQ(d.runPending(), 3u);
    EXPECT_EQ(ran, (std::vector<int>{1, 3, 2}));
}

TEST(UiDispatcher, SendOnTheUiThreadRunsAtOnce) {
    UiDispatcher d;
    bool ran = false;
    EXPECT_TRUE(d.send([&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(d.send({}));
}

TEST(UiDispatcher, SenderWaitsUntilTheUiThreadHasRunTheCall) {
    UiDispatcher d;
    std::atomic<bool> ran{false};
    auto sender = std::async(std::launch::async, [&] { return d.send([&] { ran = true; }); });
    // Nothing runs the call until the UI thread takes it.
    EXPECT_EQ(sender.wait_for(50ms), std::future_status::timeout);
    ASSERT_TRUE(d.waitForWork(5s));
    d.runPending();
    EXPECT_TRUE(sender.get());
    EXPECT_TRUE(ran);
}

TEST(UiDispatcher, CloseReleasesWaitingSendersAndDropsLaterWork) {
    UiDispatcher d;
    bool ran = false;
    auto sender = std::async(std::launch::async, [&] { return d.send([&] { ran = true; }); });
    ASSERT_TRUE(d.waitForWork(5s));
    d.close();
    EXPECT_FALSE(sender.get());  // released, not run
    EXPECT_FALSE(ran);
    d.post([&] { ran = true; });
    EXPECT_FALSE(std::async(std::launch::async, [&] { return d.send([&] { ran = true; }); }).get());
    EXPECT_FALSE(d.send([&] { ran = true; }));  // on the UI thread too
    EXPECT_EQ(d.runPending(), 0u);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(d.closed());

    d.reopen();
    d.post([&] { ran = true; });
    EXPECT_EQ(d.runPending(), 1u);
    EXPECT_TRUE(ran);
}

TEST(UiDispatcher, ACallAlreadyRunningIsWaitedForEvenAfterClose) {
    UiDispatcher d;
    std::atomic<bool> inside{false};
    std::atomic<bool> finish{false};
    auto sender = std::async(std::launch::async, [&] {
        return d.send([&] {
            inside = true;
            while (!finish) {
                std::this_thread::sleep_for(1ms);
            }
        });
    });
    ASSERT_TRUE(d.waitForWork(5s));
    std::thread ui([&] {
        d.setUiThread(std::this_thread::get_id());
        d.runPending();
    });
    while (!inside) {
        std::this_thread::sleep_for(1ms);
    }
    d.close();
    EXPECT_EQ(sender.wait_for(30ms), std::future_status::timeout);
    finish = true;
    EXPECT_TRUE(sender.get());  // it did run
    ui.join();
}

TEST(UiDispatcher, ManySendersFromManyThreads) {
    UiDispatcher d;
    std::atomic<bool> stop{false};
    int counter = 0;  // only touched on the UI thread
    std::thread ui([&] {
        d.setUiThread(std::this_thread::get_id());
        while (!stop) {
            d.waitForWork(10ms);
            d.runPending();
        }
    });
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                ASSERT_TRUE(d.send([&] { ++counter; }));
            }
        });
    }
    for (auto& w : workers) {
        w.join();
    }
    stop = true;
    ui.join();
    EXPECT_EQ(counter, 800);
}

}  // namespace
