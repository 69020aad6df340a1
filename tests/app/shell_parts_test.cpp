#include <gtest/gtest.h>
#include <pthread.h>
#include <mutex>
#include <set>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "app/shell/feature_set.h"
#include "app/shell/notify_router.h"
#include "app/shell/ui_courier.h"
#include "app/shell/worker_claims.h"
#include "app/shell/worker_threads.h"
#include "app/ui/memory_ui.h"

namespace rxt::shell {
namespace {

using namespace std::chrono_literals;

TEST(IndexedName, SplitsTheTrailingNumber) {
    EXPECT_EQ(splitIndexedName("kb_key_37"), std::make_pair(std::string("kb_key_"), 37));
    EXPECT_EQ(splitIndexedName("ms_DPIcolor_btn_7"),
              std::make_pair(std::string("ms_DPIcolor_btn_"), 7));
    EXPECT_EQ(splitIndexedName("dpi_check_1")->second, 1);
    EXPECT_FALSE(splitIndexedName("ms_tab").has_value());
    EXPECT_FALSE(splitIndexedName("").has_value());
    EXPECT_FALSE(splitIndexedName("kb_key_99999999999999999999").has_value());
    EXPECT_EQ(splitIndexedName("42"), std::make_pair(std::string(), 42));
}

TEST(NotifyRouter, WholeNamesWinAndPrefixesTakeOnlyTheirOwnNumbers) {
    NotifyRouter router;
    std::vector<std::string> seen;
    auto record = [&](std::string tag) {
        return [&seen, tag](const ui::Notification& n, int index) {
            seen.push_back(tag + ":" + n.sender + ":" + std::to_string(index));
        };
    };
    router.onIndexed("click", "kb_key_", record("key"));
    router.on("click", "kb_key_5", record("five"));
    router.onIndexed("itemselect", "kb_key_fct_combo_", record("combo"));

    EXPECT_TRUE(router.route({"click", "kb_key_37", 0}));
    EXPECT_TRUE(router.route({"click", "kb_key_5", 0}));
    EXPECT_FALSE(router.route({"click", "kb_key_fct_combo_23", 0}));  // not a key
    EXPECT_TRUE(router.route({"itemselect", "kb_key_fct_combo_23", 0}));
    EXPECT_FALSE(router.route({"selectchanged", "kb_key_37", 1}));  // other type
    EXPECT_FALSE(router.route({"click", "kb_key_", 0}));            // no number
    EXPECT_EQ(seen, (std::vector<std::string>{"key:kb_key_37:37", "five:kb_key_5:-1",
                                              "combo:kb_key_fct_combo_23:23"}));
    EXPECT_TRUE(router.handles("click", "kb_key_0"));
    EXPECT_FALSE(router.handles("click", "ms_key_0"));
}

TEST(WorkerThreads, EachSlotRunsOneThreadThatEndsOnItsStopEvent) {
    WorkerThreads workers;
    std::atomic<int> ended{0};
    for (size_t i = 0; i < kWorkerSlots; ++i) {
        ASSERT_TRUE(workers.start(static_cast<WorkerSlot>(i), [&](StopEvent& stop) {
            while (!stop.waitFor(1ms)) {
            }
            ++ended;
        }));
    }
    EXPECT_FALSE(workers.startIdle(WorkerSlot::LightSync));  // taken
    EXPECT_EQ(workers.running(), kWorkerSlots);
    workers.signalAll();
    EXPECT_EQ(workers.waitAll(5000ms), WaitResult::AllEnded);
    workers.close();
    EXPECT_EQ(ended.load(), static_cast<int>(kWorkerSlots));
    EXPECT_EQ(workers.abandoned(), 0u);
    // Closed slots can be started again.
    EXPECT_TRUE(workers.startIdle(WorkerSlot::LightSync));
}

TEST(WorkerThreads, EachThreadCarriesItsSlotsOwnName) {
    WorkerThreads workers;
    std::mutex mutex;
    std::set<std::string> names;
    for (size_t i = 0; i < kWorkerSlots; ++i) {
        ASSERT_TRUE(workers.start(static_cast<WorkerSlot>(i), [&](StopEvent&) {
            char name[16] = {};
            pthread_getname_np(pthread_self(), name, sizeof name);
            std::lock_guard lock(mutex);
            names.insert(name);
        }));
    }
    EXPECT_EQ(workers.waitAll(5000ms), WaitResult::AllEnded);
    workers.close();
    // Distinct after the kernel's 15-byte cut, so top tells them apart.
    EXPECT_EQ(names.size(), kWorkerSlots);
    EXPECT_EQ(names.count("rxt-mp-light"), 1u);
}

TEST(WorkerThreads, StopSignalledBeforeTheThreadRunsIsNotLost) {
    WorkerThreads workers;
    workers.signalAll();  // an earlier run's stop must not end the next one
    std::atomic<bool> sawSetAtStart{true};
    ASSERT_TRUE(workers.start(WorkerSlot::MouseLight, [&](StopEvent& stop) {
        sawSetAtStart = stop.isSet();
        stop.wait();
    }));
    workers.signalAll();
    EXPECT_EQ(workers.waitAll(5000ms), WaitResult::AllEnded);
    workers.close();
}

TEST(WorkerThreads, WaitTimesOutOnAHungWorkerAndLetsItGo) {
    StopEvent release;
    {
        WorkerThreads workers;
        ASSERT_TRUE(workers.startIdle(WorkerSlot::KeyboardDetection));
        ASSERT_TRUE(workers.start(WorkerSlot::MouseKeyFollowsApp,
                                  [&](StopEvent&) { release.waitFor(10s); }));
        workers.signalAll();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(workers.waitAll(100ms), WaitResult::TimedOut);
        EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
        EXPECT_EQ(workers.running(), 1u);
        workers.close();
        EXPECT_EQ(workers.abandoned(), 1u);
    }
    release.set();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(waitResultText(WaitResult::TimedOut), "所有对象处于非激发状态，超时\n");
    EXPECT_EQ(workerExitText(WorkerSlot::MouseListener), "鼠标同步线程设定测试退出");
}

TEST(UiCourier, SendWaitsForTheUiThreadAndCloseReleasesIt) {
    ui::MemoryUi ui;
    UiCourier courier(ui);
    int value = 0;
    std::atomic<bool> sent{false};
    std::thread worker([&] {
        EXPECT_TRUE(courier.send([&] { value = 7; }));
        sent = true;
    });
    while (!sent) {
        ui.processEvents();
        std::this_thread::sleep_for(1ms);
    }
    worker.join();
    EXPECT_EQ(value, 7);

    // Closed while a worker waits: the call never runs, the worker goes on.
    std::atomic<bool> ran{false};
    std::atomic<int> result{-1};
    std::thread late([&] { result = courier.send([&] { ran = true; }) ? 1 : 0; });
    std::this_thread::sleep_for(20ms);
    courier.close();
    late.join();
    ui.processEvents();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(ran);
    courier.post([&] { ran = true; });
    ui.processEvents();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace rxt::shell

namespace rxt::shell {
namespace {

struct CountingFeature : PageFeature {
    explicit CountingFeature(std::optional<WorkerSlot> slot) : owns(slot) {}
    void claimWorkers(WorkerClaims& claims) override {
        if (owns) {
            claims.claim(*owns, [this](StopEvent&) { ++ran; });
        }
    }
    void onEvent(const WindowEvent& event) override {
        refreshes += std::holds_alternative<event::PageRefresh>(event);
    }
    std::optional<WorkerSlot> owns;
    int refreshes = 0;
    int ran = 0;
};

TEST(FeatureSet, EveryFeatureHearsEachEventAndClaimsItsOwnSlot) {
    CountingFeature lights(WorkerSlot::MouseLight);
    CountingFeature profiles(WorkerSlot::MouseDeviceFollowsApp);
    FeatureSet set;
    set.add(lights);
    set.add(profiles);
    set.onEvent(event::PageRefresh{Page::MouseMain});
    EXPECT_EQ(lights.refreshes, 1);
    EXPECT_EQ(profiles.refreshes, 1);
    WorkerClaims claims;
    set.claimWorkers(claims);
    auto body = claims.take(WorkerSlot::MouseLight);
    ASSERT_TRUE(body.has_value());
    StopEvent stop;
    (*body)(stop);
    EXPECT_EQ(lights.ran, 1);
    EXPECT_EQ(profiles.ran, 0);
    EXPECT_TRUE(claims.claimed(WorkerSlot::MouseDeviceFollowsApp));
    EXPECT_FALSE(claims.take(WorkerSlot::LightSync).has_value());
    EXPECT_FALSE(claims.take(WorkerSlot::MouseLight).has_value());  // taken once
}

TEST(FeatureSet, TwoFeaturesClaimingOneSlotOrAWindowSlotAreRefused) {
    CountingFeature first(WorkerSlot::MouseLight);
    CountingFeature second(WorkerSlot::MouseLight);
    FeatureSet set;
    set.add(first);
    set.add(second);
    WorkerClaims claims;
    EXPECT_THROW(set.claimWorkers(claims), std::logic_error);
    WorkerClaims window;
    EXPECT_THROW(window.claim(WorkerSlot::MouseListener, [](StopEvent&) {}), std::logic_error);
    EXPECT_THROW(window.claim(static_cast<WorkerSlot>(kWorkerSlots), [](StopEvent&) {}),
                 std::logic_error);
}

TEST(NotifyRouter, ASecondRouteForTheSameControlIsRefused) {
    NotifyRouter router;
    int first = 0;
    router.on("click", "ms_pro_device_add_btn", [&](const ui::Notification&, int) { ++first; });
    EXPECT_THROW(router.on("click", "ms_pro_device_add_btn", [](const ui::Notification&, int) {}),
                 std::logic_error);
    router.onIndexed("click", "kb_key_", [](const ui::Notification&, int) {});
    EXPECT_THROW(router.onIndexed("click", "kb_key_", [](const ui::Notification&, int) {}),
                 std::logic_error);
    // The same name for another notification is another route.
    EXPECT_NO_THROW(
        router.on("setfocus", "ms_pro_device_add_btn", [](const ui::Notification&, int) {}));
    // The first route stays.
    EXPECT_TRUE(router.route({"click", "ms_pro_device_add_btn", 0}));
    EXPECT_EQ(first, 1);
}

}  // namespace
}  // namespace rxt::shell
