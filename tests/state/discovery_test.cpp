// The detection and listener threads on a fake bus: attach, removal and
// still-present reactions, interface matching, keyboard variants,
// notifications, hot-plug waking and stopping.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "state/device_workers.h"
#include "state/window_messages.h"
#include "support/fake_device_trio.h"
#include "support/recording_ui.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::FakeCommandDevice;
using test::FakeDeviceTrio;
using test::RecordingUi;

constexpr auto kGenerous = 5000ms;

// Calls of `want` in this order in `calls` (others may come between).
::testing::AssertionResult inOrder(const std::vector<std::string>& calls,
                                   const std::vector<std::string>& want) {
    size_t at = 0;
    for (const std::string& c : calls) {
        if (at < want.size() && c == want[at]) {
            ++at;
        }
    }
    if (at == want.size()) {
        return ::testing::AssertionSuccess();
    }
    std::string all;
    for (const std::string& c : calls) {
        all += "\n  " + c;
    }
    return ::testing::AssertionFailure()
           << "missing \"" << want[at] << "\" in order; calls:" << all;
}

class Discovery : public ::testing::Test {
  protected:
    Discovery()
        : home_("HOME", folder_.path().string()),
          config_("XDG_CONFIG_HOME", (folder_.path() / ".config").string()) {}

    void TearDown() override { workers.stop(kGenerous); }

    void writeSelect(const char* ini, const char* section, int index) {
        const auto dir =
            folder_.path() / "Documents" / "RX-T7100 GamingMouse" / std::string(ini).substr(0, 2);
        std::filesystem::create_directories(dir);
        std::ofstream(dir / ini) << "[" << section << "]\nselect=" << index << "\n";
    }

    // A consumer-control interface of the device, served by its own fake.
    void plugConsumer(DeviceKind kind, FakeCommandDevice& device, const std::string& path) {
        const DeviceIdentity& id = identityOf(kind);
        HidNodeInfo node;
        node.path = path;
        node.vendor = id.vendor;
        node.product = id.product;
        node.interfaceNumber = 2;
        node.descriptor = test::consumerDescriptor();
        trio.route(path, &device);
        trio.backend->addNode(node);
    }

    static std::vector<uint8_t> notification(uint16_t usage) {
        return {test::kConsumerReportId, static_cast<uint8_t>(usage & 0xFF),
                static_cast<uint8_t>(usage >> 8)};
    }

    test::TempFolder folder_;
    test::ScopedEnv home_;
    test::ScopedEnv config_;
    // A test's consumer interfaces outlive the workers that TearDown stops.
    FakeCommandDevice consumer;
    FakeCommandDevice otherConsumer;
    FakeDeviceTrio trio;
    DeviceImageSet images;
    RecordingUi ui;
    HotplugWaker waker;
    DiscoveryContext context{*trio.links, images, ui, waker, {}, {}};
    DeviceWorkers workers{context};
};

TEST_F(Discovery, MouseArrivalOpensTheLinkAndShowsItsPage) {
    writeSelect("msProfile.ini", "PROFILEDEVICESELECT", 2);
    trio.plug(DeviceKind::Mouse);
    workers.start();

    ASSERT_TRUE(ui.waitFor("show mouse panel", kGenerous));
    EXPECT_TRUE(trio.link(DeviceKind::Mouse).connected());
    EXPECT_EQ(trio.link(DeviceKind::Mouse).device().devicePath(),
              FakeDeviceTrio::pathOf(DeviceKind::Mouse));
    EXPECT_TRUE(inOrder(ui.calls(), {"profile mouse device 2", "timer 8 500", "show mouse tab",
                                     "select mouse tab", "show mouse panel"}));
    // The mouse was there on the first pass: the waiting instance is woken.
    EXPECT_TRUE(ui.waitFor("activation", kGenerous));
}

TEST_F(Discovery, MousepadAndKeyboardArrivalReactions) {
    writeSelect("mpProfile.ini", "PROFILEDENGSELECT", 1);
    writeSelect("kbProfile.ini", "PROFILEDEVICESELECT", 3);
    trio.plug(DeviceKind::Mousepad);
    trio.plug(DeviceKind::Keyboard);
    workers.start();

    ASSERT_TRUE(ui.waitFor("timer 7 100", kGenerous));
    ASSERT_TRUE(ui.waitFor("window show", kGenerous));
    EXPECT_TRUE(inOrder(ui.calls(), {"show mousepad tab", "select mousepad tab",
                                     "profile mousepad lighting 1", "timer 7 100"}));
    EXPECT_TRUE(inOrder(ui.calls(), {"show keyboard tab", "select keyboard tab",
                                     "load keyboard device 3", "profile keyboard device 3",
                                     "timer 7 100", "show keyboard panel", "window show"}));
    EXPECT_TRUE(trio.link(DeviceKind::Keyboard).connected());
    EXPECT_EQ(images.keyboardVariant(), 1);  // product 0x6553
    EXPECT_FALSE(ui.has("activation"));      // no mouse
}

TEST_F(Discovery, KeyboardVariantFollowsTheProduct) {
    images.setKeyboardVariant(1);
    trio.plug(DeviceKind::Keyboard, 0x0800);
    workers.start();
    ASSERT_TRUE(ui.waitFor("window show", kGenerous));
    EXPECT_EQ(images.keyboardVariant(), 0);

    EXPECT_EQ(keyboardVariantFor(0x7200, 0), 0);
    EXPECT_EQ(keyboardVariantFor(0x7200, 1), 1);
    EXPECT_EQ(keyboardVariantFor(0x6553, 0), 1);
}

TEST_F(Discovery, KeyboardOfTheThirdProductIsAcceptedAndKeepsTheVariant) {
    trio.plug(DeviceKind::Keyboard, 0x7200);
    workers.start();
    ASSERT_TRUE(ui.waitFor("window show", kGenerous));
    EXPECT_TRUE(trio.link(DeviceKind::Keyboard).connected());
    EXPECT_EQ(images.keyboardVariant(), 0);
}

TEST_F(Discovery, AnotherInterfaceOfTheDeviceIsOpenedRejectedAndSkipped) {
    plugConsumer(DeviceKind::Mouse, consumer, "fake/a-mouse-consumer");  // enumerated first
    trio.plug(DeviceKind::Mouse);
    workers.start(false);

    ASSERT_TRUE(ui.waitFor("show mouse tab", kGenerous));
    EXPECT_EQ(trio.link(DeviceKind::Mouse).device().devicePath(),
              FakeDeviceTrio::pathOf(DeviceKind::Mouse));
    EXPECT_GE(trio.backend->openCount("fake/a-mouse-consumer"), 1);
}

TEST_F(Discovery, UnpluggingTheOnlyDeviceHidesTheWindow) {
    trio.plug(DeviceKind::Mousepad);
    workers.start();
    ASSERT_TRUE(ui.waitFor("show mousepad tab", kGenerous));
    trio.unplug(DeviceKind::Mousepad);
    ASSERT_TRUE(ui.waitFor("window hide", kGenerous));
    EXPECT_TRUE(inOrder(ui.calls(), {"hide mousepad tab", "window hide"}));
    EXPECT_FALSE(trio.link(DeviceKind::Mousepad).connected());
    EXPECT_FALSE(trio.link(DeviceKind::Mousepad).device().isOpen());
}

TEST_F(Discovery, UnpluggingTheOnlyMousePostsItsMessage) {
    trio.plug(DeviceKind::Mouse);
    workers.start();
    ASSERT_TRUE(ui.waitFor("show mouse tab", kGenerous));
    trio.link(DeviceKind::Mouse).setInLightSync(true);
    trio.unplug(DeviceKind::Mouse);
    ASSERT_TRUE(ui.waitFor("post 3077", kGenerous));
    EXPECT_TRUE(inOrder(ui.calls(), {"hide mouse tab", "post 3077"}));
    EXPECT_FALSE(trio.link(DeviceKind::Mouse).inLightSync());
}

TEST_F(Discovery, UnpluggingOneOfTwoShowsTheOthersPage) {
    trio.plug(DeviceKind::Mouse);
    trio.plug(DeviceKind::Keyboard);
    workers.start();
    ASSERT_TRUE(ui.waitFor("show mouse tab", kGenerous));
    ASSERT_TRUE(ui.waitFor("window show", kGenerous));
    // With another device present the same-mode button shows.
    ASSERT_TRUE(ui.waitFor("show keyboard same mode", kGenerous));

    trio.unplug(DeviceKind::Mouse);
    ASSERT_TRUE(ui.waitFor("hide mouse tab", kGenerous));
    ASSERT_TRUE(ui.waitFor("select keyboard tab", kGenerous));
    EXPECT_FALSE(ui.has("post 3077"));
    ASSERT_TRUE(ui.waitFor("hide keyboard same mode", kGenerous));

    trio.plug(DeviceKind::Mouse);
    ASSERT_TRUE(ui.waitForCount("show mouse panel", 2, kGenerous));
    trio.unplug(DeviceKind::Keyboard);
    ASSERT_TRUE(ui.waitFor("hide keyboard tab", kGenerous));
    ASSERT_TRUE(ui.waitFor("select mouse tab", kGenerous));
    EXPECT_FALSE(ui.has("window hide")) << ::testing::PrintToString(ui.calls());
}

TEST_F(Discovery, NotificationsBecomeSentMessagesHandledBeforeTheNextRead) {
    // The configuration interface first, so that detection never opens the
    // consumer interface the listener holds.
    trio.plug(DeviceKind::Mouse);
    plugConsumer(DeviceKind::Mouse, consumer, "fake/mouse-consumer");
    std::atomic<int> handling{0};
    std::atomic<bool> overlapped{false};
    ui.onMessage = [&](int) {
        if (handling.fetch_add(1) != 0) {
            overlapped = true;
        }
        std::this_thread::sleep_for(150ms);  // a re-read takes its time
        handling.fetch_sub(1);
    };
    workers.start();
    // Wait until the listener holds the interface open.
    const auto until = Clock::now() + kGenerous;
    while (trio.backend->openCount("fake/mouse-consumer") == 0 && Clock::now() < until) {
        std::this_thread::sleep_for(5ms);
    }
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(consumer.sendUnsolicited(notification(kNotifyReadAll)));
    ASSERT_TRUE(consumer.sendUnsolicited(notification(kNotifyRefresh)));
    ASSERT_TRUE(consumer.sendUnsolicited(notification(kNotifyEffect)));
    ASSERT_TRUE(consumer.sendUnsolicited(notification(0x00E9)));  // volume up: no action

    ASSERT_TRUE(ui.waitFor("effects mouse", kGenerous));
    EXPECT_TRUE(
        inOrder(ui.calls(), {"send 2305", "sent 2305", "send 2306", "sent 2306", "effects mouse"}));
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(ui.count("send 2305"), 1u);
    EXPECT_EQ(ui.count("send 2306"), 1u);
}

TEST_F(Discovery, KeyboardListenerSendsTheKeyboardMessages) {
    // The fake serves one connection per interface: the mousepad goes first so
    // that its detection stops at it and never opens the keyboard's interfaces.
    trio.plug(DeviceKind::Mousepad);
    trio.plug(DeviceKind::Keyboard);
    plugConsumer(DeviceKind::Keyboard, consumer, "fake/keyboard-consumer");
    workers.start();
    const auto until = Clock::now() + kGenerous;
    while (trio.backend->openCount("fake/keyboard-consumer") == 0 && Clock::now() < until) {
        std::this_thread::sleep_for(5ms);
    }
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(consumer.sendUnsolicited(notification(kNotifyEffect)));
    ASSERT_TRUE(consumer.sendUnsolicited(notification(kNotifyRefresh)));
    ASSERT_TRUE(consumer.sendUnsolicited(notification(kNotifyReadAll)));
    ASSERT_TRUE(ui.waitFor("sent 2817", kGenerous));
    EXPECT_TRUE(inOrder(ui.calls(), {"send 2818", "send 2817"}));
    EXPECT_FALSE(ui.has("effects mouse"));
}

TEST_F(Discovery, StopEndsEveryWorkerWithinAReadTimeoutAndAPoll) {
    plugConsumer(DeviceKind::Mouse, consumer, "fake/mouse-consumer");
    plugConsumer(DeviceKind::Keyboard, otherConsumer, "fake/keyboard-consumer");
    trio.plug(DeviceKind::Mouse);
    trio.plug(DeviceKind::Keyboard);
    trio.plug(DeviceKind::Mousepad);
    workers.start();
    ASSERT_TRUE(ui.waitFor("window show", kGenerous));
    ASSERT_TRUE(ui.waitFor("show mousepad tab", kGenerous));
    std::this_thread::sleep_for(300ms);  // listeners are in their reads

    const auto started = Clock::now();
    EXPECT_TRUE(workers.stop(kGenerous));
    const auto took = Clock::now() - started;
    EXPECT_EQ(workers.running(), 0u);
    // One 500 ms read plus one poll, with room for a loaded machine.
    EXPECT_LT(took, 1500ms);
}

TEST_F(Discovery, AFailingBusKeepsTheThreadsLookingUntilTheDeviceCanBeFound) {
    trio.backend->failEnumerate = true;
    trio.plug(DeviceKind::Mouse);
    workers.start(false);
    std::this_thread::sleep_for(300ms);  // several failed passes
    EXPECT_EQ(workers.running(), 5u);
    EXPECT_FALSE(ui.has("show mouse tab"));
    // The bus works now (udev ready, the simulator started): the next pass
    // finds the mouse, and the listener opens its interface too.
    trio.backend->failEnumerate = false;
    EXPECT_TRUE(ui.waitFor("show mouse tab", kGenerous));
    EXPECT_TRUE(ui.waitFor("activation", kGenerous));  // first working pass
    // The threads still end on their stop events.
    const auto stopping = Clock::now();
    EXPECT_TRUE(workers.stop(kGenerous));
    EXPECT_EQ(workers.running(), 0u);
    EXPECT_LT(Clock::now() - stopping, 1500ms);
}

TEST_F(Discovery, ABusChangeWakesDetectionAtOnce) {
    workers.start();
    ASSERT_TRUE(workers.hotplugWatching());
    std::this_thread::sleep_for(200ms);  // the first passes found nothing and sleep 1 s
    const auto plugged = Clock::now();
    trio.plug(DeviceKind::Mouse);
    ASSERT_TRUE(ui.waitFor("show mouse tab", kGenerous));
    // Polling alone would take until the end of the 1 s sleep.
    EXPECT_LT(ui.firstTime("show mouse tab") - plugged, 700ms);
}

TEST_F(Discovery, ABusChangeWakesAnIdleListenerAtOnce) {
    trio.plug(DeviceKind::Mouse);
    workers.start();
    ASSERT_TRUE(ui.waitFor("show mouse tab", kGenerous));
    std::this_thread::sleep_for(300ms);  // the listener found nothing and sleeps 1 s
    const auto plugged = Clock::now();
    plugConsumer(DeviceKind::Mouse, consumer, "fake/mouse-consumer");
    const auto until = plugged + kGenerous;
    while (trio.backend->openCount("fake/mouse-consumer") == 0 && Clock::now() < until) {
        std::this_thread::sleep_for(2ms);
    }
    ASSERT_GT(trio.backend->openCount("fake/mouse-consumer"), 0);
    EXPECT_LT(Clock::now() - plugged, 600ms);
}

TEST_F(Discovery, AKeyboardSharingItsNodeWithOtherCollectionsStaysAttached) {
    HidNodeInfo node = test::configNode("fake/combo", 0x0C45, 0x6553);
    node.descriptor = test::configAndConsumerDescriptor();
    trio.route("fake/combo", &trio.device(DeviceKind::Keyboard));
    trio.backend->addNode(node);
    workers.start();
    ASSERT_TRUE(ui.waitFor("window show", kGenerous));
    EXPECT_EQ(trio.link(DeviceKind::Keyboard).device().devicePath(), "fake/combo&col01");
    std::this_thread::sleep_for(500ms);  // several 100 ms probes
    EXPECT_FALSE(ui.has("hide keyboard tab"));
    EXPECT_TRUE(trio.link(DeviceKind::Keyboard).connected());
    trio.backend->removeNode("fake/combo");
    EXPECT_TRUE(ui.waitFor("hide keyboard tab", kGenerous));
}

}  // namespace
}  // namespace rxt
