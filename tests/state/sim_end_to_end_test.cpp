// The device state against the simulator through the real simulated bus:
// reads fill the images as the devices hold them, plug and unplug give the
// page reactions, notifications re-read, edits are written back.

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "sim/virtual_bus.h"
#include "state/headless_window.h"
#include "state/window_messages.h"
#include "support/recording_ui.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using sim::MemoryArea;

constexpr auto kGenerous = 8000ms;

// Records page refreshes into the same event list as the observers below,
// so that their order can be checked.
class EventRecorder : public test::RecordingUi {
  public:
    void report(const WindowEvent& event) override {
        test::RecordingUi::report(event);
        if (std::holds_alternative<event::PageRefresh>(event)) {
            note(describe(event));
        }
    }
    void note(std::string event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::string> events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

template <size_t N>
std::vector<uint8_t> bytesOf(const ByteImage<N>& image, size_t offset = 0, size_t n = N) {
    std::vector<uint8_t> out(n);
    image.copyOut(offset, out);
    return out;
}

class SimEndToEnd : public ::testing::Test {
  protected:
    SimEndToEnd()
        : home_("HOME", folder_.path().string()),
          config_("XDG_CONFIG_HOME", (folder_.path() / ".config").string()) {}

    void SetUp() override {
        ASSERT_TRUE(bus.ok()) << bus.error();
        window.context().onNotification = [this](DeviceKind kind, uint16_t usage) {
            ui.note("notify " + std::string(kindName(kind)) + " " + std::to_string(usage));
        };
        window.events().setOnRead([this](DeviceKind kind, bool all) {
            ui.note(std::string(all ? "read all " : "refresh ") + std::string(kindName(kind)));
        });
    }
    void TearDown() override { window.stop(kGenerous); }

    void plugAndStart(std::initializer_list<DeviceKind> kinds) {
        for (DeviceKind kind : kinds) {
            ASSERT_TRUE(sim().plug(kind)) << kindName(kind);
        }
        window.start();
        for (DeviceKind kind : kinds) {
            const std::string tab = std::string(kindName(kind)) + " tab";
            ASSERT_TRUE(ui.waitFor("show " + tab, kGenerous)) << tab;
        }
        // The keyboard is connected 100 ms after its tab shows.
        const auto until = Clock::now() + kGenerous;
        for (DeviceKind kind : kinds) {
            while (!window.links().connected(kind) && Clock::now() < until) {
                std::this_thread::sleep_for(5ms);
            }
            ASSERT_TRUE(window.links().connected(kind)) << kindName(kind);
        }
    }

    // Runs on the window's loop, as the main window's own handlers do.
    void onLoop(std::function<void()> fn) { ASSERT_TRUE(window.loop().send(std::move(fn))); }
    void message(int m) {
        onLoop([&] { window.events().onMessage(m); });
    }

    sim::Simulator& sim() { return bus.simulator(); }
    std::vector<uint8_t> dump(DeviceKind kind, MemoryArea area, size_t offset, size_t n) {
        return sim().dump(kind, area, offset, n).value_or(std::vector<uint8_t>{});
    }
    std::vector<sim::LogEntry> commandsSince(DeviceKind kind, uint64_t from) {
        std::vector<sim::LogEntry> out;
        for (const auto& e : sim().log(kind, from)) {
            if (e.command) {
                out.push_back(e);
            }
        }
        return out;
    }

    test::TempFolder folder_;
    test::ScopedEnv home_;
    test::ScopedEnv config_;
    sim::VirtualBus bus{{.plugAll = false, .makeDefault = false, .controlSocket = false}};
    DeviceImageSet images;
    EventRecorder ui;
    HeadlessWindow window{bus.backend(), images, ui};
};

TEST_F(SimEndToEnd, ReadAllFillsTheImagesExactlyAsTheDevicesHoldThem) {
    plugAndStart({DeviceKind::Mouse, DeviceKind::Mousepad, DeviceKind::Keyboard});
    message(kMsgMouseReadAll);
    message(kMsgMouseRefresh);
    message(kMsgMousepadReadAll);
    message(kMsgKeyboardReadAll);

    const DeviceImages& mouse = images.mouse;
    EXPECT_EQ(bytesOf(mouse.info), dump(DeviceKind::Mouse, MemoryArea::Info, 0, 33));
    EXPECT_EQ(bytesOf(mouse.defaultKeys), dump(DeviceKind::Mouse, MemoryArea::KeyTable, 0, 512));
    for (size_t b = 0; b < kKeyBankCount; ++b) {
        EXPECT_EQ(bytesOf(mouse.banks[b]), dump(DeviceKind::Mouse, MemoryArea::Banks, b * 126, 512))
            << "mouse bank " << b;
    }
    std::vector<uint8_t> live = dump(DeviceKind::Mouse, MemoryArea::Records, 0, 52);
    ASSERT_EQ(live.size(), 52u);
    live[0] = 0;
    EXPECT_EQ(bytesOf(mouse.current), live);

    const DeviceImages& pad = images.mousepad;
    EXPECT_EQ(bytesOf(pad.info), dump(DeviceKind::Mousepad, MemoryArea::Info, 0, 33));
    for (size_t i = 0; i < kRecordCount; ++i) {
        EXPECT_EQ(bytesOf(pad.records, i * 64, 56),
                  dump(DeviceKind::Mousepad, MemoryArea::Records, i * 64, 56))
            << "mousepad record " << i;
    }
    const uint8_t index = dump(DeviceKind::Mousepad, MemoryArea::Records, 0, 1).at(0);
    std::vector<uint8_t> current = dump(DeviceKind::Mousepad, MemoryArea::Records, index * 64, 21);
    current[0] = index;
    EXPECT_EQ(bytesOf(pad.current, 0, 21), current);

    const DeviceImages& keyboard = images.keyboard;
    EXPECT_EQ(bytesOf(keyboard.info), dump(DeviceKind::Keyboard, MemoryArea::Info, 0, 33));
    const size_t table = 3u * keyboard.info.get(info::kKeyCount);
    ASSERT_GT(table, 0u);
    ASSERT_LE(table, 512u);
    EXPECT_EQ(window.links()[DeviceKind::Keyboard].blockSize(), table);
    EXPECT_EQ(bytesOf(keyboard.defaultKeys, 0, table),
              dump(DeviceKind::Keyboard, MemoryArea::KeyTable, 0, table));
    EXPECT_EQ(bytesOf(keyboard.banks[0], 0, table),
              dump(DeviceKind::Keyboard, MemoryArea::Banks, 0, table));
}

TEST_F(SimEndToEnd, KeyboardWith170KeysProceedsAnd171Stops) {
    plugAndStart({DeviceKind::Keyboard});
    const uint8_t k170[1] = {170};
    ASSERT_TRUE(sim().poke(DeviceKind::Keyboard, MemoryArea::Info, info::kKeyCount, k170));
    message(kMsgKeyboardReadAll);
    EXPECT_EQ(window.links()[DeviceKind::Keyboard].blockSize(), 510);
    EXPECT_FALSE(ui.has("message message_text_11"));

    const uint8_t k171[1] = {171};
    ASSERT_TRUE(sim().poke(DeviceKind::Keyboard, MemoryArea::Info, info::kKeyCount, k171));
    const uint64_t from = sim().nextLogSeq(DeviceKind::Keyboard);
    message(kMsgKeyboardReadAll);
    EXPECT_TRUE(ui.has("message message_text_11"));
    const auto sent = commandsSince(DeviceKind::Keyboard, from);
    ASSERT_EQ(sent.size(), 2u);  // BeginSession, ReadInfo, and nothing after
    EXPECT_EQ(sent[0].code, 1);
    EXPECT_EQ(sent[1].code, 3);
    EXPECT_EQ(window.links()[DeviceKind::Keyboard].blockSize(), 510);
}

TEST_F(SimEndToEnd, MousepadAtIndexThreeGetsRecordThree) {
    plugAndStart({DeviceKind::Mousepad});
    const uint8_t three[1] = {3};
    ASSERT_TRUE(sim().poke(DeviceKind::Mousepad, MemoryArea::Records, 0, three));
    message(kMsgMousepadReadAll);
    std::vector<uint8_t> expected = dump(DeviceKind::Mousepad, MemoryArea::Records, 3 * 64, 21);
    expected[0] = 3;
    EXPECT_EQ(bytesOf(images.mousepad.current, 0, 21), expected);
}

TEST_F(SimEndToEnd, UnplugAndReplugGiveThePageReactions) {
    plugAndStart({DeviceKind::Mouse, DeviceKind::Mousepad, DeviceKind::Keyboard});
    ASSERT_TRUE(ui.waitFor("refresh mouse keys", kGenerous));  // timer 8 has read the mouse
    // The arrivals selected each tab once already.
    const size_t kbSelected = ui.count("select keyboard tab");
    const size_t mpSelected = ui.count("select mousepad tab");

    ASSERT_TRUE(sim().unplug(DeviceKind::Mouse));
    ASSERT_TRUE(ui.waitFor("hide mouse tab", kGenerous));
    ASSERT_TRUE(ui.waitForCount("select keyboard tab", kbSelected + 1, kGenerous));
    EXPECT_FALSE(window.links().connected(DeviceKind::Mouse));

    ASSERT_TRUE(sim().unplug(DeviceKind::Keyboard));
    ASSERT_TRUE(ui.waitFor("hide keyboard tab", kGenerous));
    ASSERT_TRUE(ui.waitForCount("select mousepad tab", mpSelected + 1, kGenerous));
    EXPECT_FALSE(ui.has("window hide"));

    ASSERT_TRUE(sim().unplug(DeviceKind::Mousepad));
    ASSERT_TRUE(ui.waitFor("hide mousepad tab", kGenerous));
    ASSERT_TRUE(ui.waitFor("window hide", kGenerous));  // it was the only one left
    EXPECT_FALSE(ui.has("post 3077"));

    ASSERT_TRUE(sim().plug(DeviceKind::Mouse));
    ASSERT_TRUE(ui.waitForCount("show mouse tab", 2, kGenerous));
    // Timer 8 reads the re-plugged mouse.
    ASSERT_TRUE(ui.waitForCount("refresh mouse keys", 2, kGenerous));
    EXPECT_TRUE(window.links().connected(DeviceKind::Mouse));
    ASSERT_TRUE(sim().unplug(DeviceKind::Mouse));
    ASSERT_TRUE(ui.waitFor("post 3077", kGenerous));  // the only device

    ASSERT_TRUE(sim().plug(DeviceKind::Keyboard));
    ASSERT_TRUE(ui.waitForCount("show keyboard tab", 2, kGenerous));
    ASSERT_TRUE(ui.waitForCount("window show", 2, kGenerous));
    ASSERT_TRUE(sim().plug(DeviceKind::Mousepad));
    ASSERT_TRUE(ui.waitForCount("show mousepad tab", 2, kGenerous));
    const auto until = Clock::now() + kGenerous;
    while (!(window.links().connected(DeviceKind::Keyboard) &&
             window.links().connected(DeviceKind::Mousepad)) &&
           Clock::now() < until) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(window.links().connected(DeviceKind::Keyboard));
    EXPECT_TRUE(window.links().connected(DeviceKind::Mousepad));
}

TEST_F(SimEndToEnd, ReadAllNotificationIsHandledBeforeTheNextReportIsRead) {
    plugAndStart({DeviceKind::Mouse});
    ASSERT_TRUE(ui.waitFor("refresh mouse keys", kGenerous));  // timer 8 is done
    std::this_thread::sleep_for(300ms);  // the listener has its interface open
    const size_t before = ui.events().size();
    ASSERT_TRUE(sim().switchProfile(DeviceKind::Mouse, 2));
    ASSERT_TRUE(sim().switchProfile(DeviceKind::Mouse, 3));

    const auto until = Clock::now() + kGenerous;
    auto seen = [&] {
        std::vector<std::string> e = ui.events();
        return std::vector<std::string>(e.begin() + static_cast<ptrdiff_t>(before), e.end());
    };
    while (seen().size() < 6 && Clock::now() < until) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(seen(),
              (std::vector<std::string>{"notify mouse 1026", "read all mouse", "refresh mouse",
                                        "notify mouse 1026", "read all mouse", "refresh mouse"}));
}

TEST_F(SimEndToEnd, ThreeChangesWithinATickGiveOneWriteRecord) {
    plugAndStart({DeviceKind::Mouse});
    ASSERT_TRUE(ui.waitFor("refresh mouse keys", kGenerous));
    std::this_thread::sleep_for(250ms);
    const uint64_t from = sim().nextLogSeq(DeviceKind::Mouse);
    onLoop([&] {
        for (uint8_t v : {0x10, 0x20, 0x30}) {
            images.mouse.current.set(rec::kDpiLevel1, v);
            window.writeBack().markPending(DeviceKind::Mouse);
        }
    });
    std::this_thread::sleep_for(400ms);  // several ticks of timer 2
    const auto sent = commandsSince(DeviceKind::Mouse, from);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].code, 6);
    EXPECT_EQ(sent[0].length, 56);
    EXPECT_EQ(sent[0].offset, 0);
    EXPECT_EQ(dump(DeviceKind::Mouse, MemoryArea::Records, rec::kDpiLevel1, 1).at(0), 0x30);
}

TEST_F(SimEndToEnd, SwitchingToTheCurrentOnDeviceProfileOnlyReadsTheIndex) {
    plugAndStart({DeviceKind::Mouse});
    ASSERT_TRUE(ui.waitFor("refresh mouse keys", kGenerous));
    const uint8_t current = dump(DeviceKind::Mouse, MemoryArea::Records, 0, 1).at(0);
    const uint64_t from = sim().nextLogSeq(DeviceKind::Mouse);
    onLoop([&] { window.writeBack().switchOnDeviceProfile(DeviceKind::Mouse, current); });
    const auto sent = commandsSince(DeviceKind::Mouse, from);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].code, 5);
    EXPECT_EQ(sent[0].length, 1);
    EXPECT_EQ(sent[0].offset, 0);
}

TEST_F(SimEndToEnd, MousepadRestoreIsFollowedASecondLaterByACompleteRead) {
    plugAndStart({DeviceKind::Mousepad});
    ASSERT_TRUE(ui.waitFor("refresh mousepad lighting", kGenerous));  // timer 12
    const uint64_t from = sim().nextLogSeq(DeviceKind::Mousepad);
    onLoop([&] { window.writeBack().restoreDefaults(DeviceKind::Mousepad); });
    const auto sent = commandsSince(DeviceKind::Mousepad, from);
    ASSERT_GE(sent.size(), 10u);
    EXPECT_EQ(sent[0].code, 13);
    EXPECT_EQ(sent[1].code, 1);
    EXPECT_EQ(sent.back().code, 2);
    const double waited = sent[1].timeMs - sent[0].timeMs;
    EXPECT_GE(waited, 950.0);
    EXPECT_LT(waited, 5000.0);
    size_t records = 0;
    for (const auto& e : sent) {
        records += e.code == 5 ? 1 : 0;
    }
    EXPECT_EQ(records, 6u);  // five records and the index
}

TEST_F(SimEndToEnd, StopEndsEveryWorkerWithinItsBound) {
    plugAndStart({DeviceKind::Mouse, DeviceKind::Mousepad, DeviceKind::Keyboard});
    std::this_thread::sleep_for(700ms);  // first reads done, listeners in their reads
    const auto started = Clock::now();
    EXPECT_TRUE(window.stop(kGenerous));
    EXPECT_LT(Clock::now() - started, 1500ms);  // 500 ms read + a poll, loaded machine
    EXPECT_EQ(window.workers().running(), 0u);
}

}  // namespace
}  // namespace rxt
