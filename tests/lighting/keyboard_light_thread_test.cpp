// The keyboard light thread and the sync thread: what a pass streams and
// shows, the skips while absent or in the sync, and the sync's frames.

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "lighting/keyboard_light_thread.h"

namespace rxt::lighting {
namespace {

using namespace std::chrono_literals;

struct Sent {
    void add(std::span<const uint8_t> bytes) {
        std::lock_guard lock(mutex);
        frames.emplace_back(bytes.begin(), bytes.end());
    }
    size_t count() {
        std::lock_guard lock(mutex);
        return frames.size();
    }
    std::vector<uint8_t> last() {
        std::lock_guard lock(mutex);
        return frames.empty() ? std::vector<uint8_t>{} : frames.back();
    }
    std::mutex mutex;
    std::vector<std::vector<uint8_t>> frames;
};

struct Keys : KeyboardLightSink {
    void showKeys(const KeyDisplay& d) override {
        std::lock_guard lock(mutex);
        shown.push_back(d);
    }
    size_t count() {
        std::lock_guard lock(mutex);
        return shown.size();
    }
    std::mutex mutex;
    std::vector<KeyDisplay> shown;
};

struct Previews : PreviewSink {
    uint32_t visibleControls() const override { return visible; }
    void show(const PreviewFrame& f) override {
        std::lock_guard lock(mutex);
        frames.push_back(f);
    }
    uint32_t visible = ~0u;
    std::mutex mutex;
    std::vector<PreviewFrame> frames;
};

void setHead(DeviceImages& images, uint8_t mode, uint8_t brightness, Rgb c,
             bool colourful = false) {
    images.current.set(rec::kLightMode, mode);
    images.current.set(rec::kBrightness, brightness);
    images.current.set(rec::kSpeed, 0);
    images.current.set(rec::kDirection, 1);
    images.current.set(rec::kColourful, colourful ? 1 : 0);
    images.current.set(rec::kRed, c.r);
    images.current.set(rec::kGreen, c.g);
    images.current.set(rec::kBlue, c.b);
}

struct Rig {
    Rig() {
        link.setConnected(true);
        ctx.link = &link;
        ctx.images = &images;
        ctx.requests = &requests;
        ctx.handOffs = &handOffs;
        ctx.kind = [this] { return kind; };
        ctx.readLayout = [this](std::span<uint8_t> out) {
            std::copy(layout.begin(), layout.end(), out.begin());
        };
        ctx.stream = [this](std::span<const uint8_t> b) {
            sent.add(b);
            return 1;
        };
        ctx.display = &keys;
        ctx.timing = {0ms, 5ms};
    }
    // Runs the thread until pred holds (at most 2 s); true when it did.
    template <class Pred>
    bool runUntil(Pred pred, std::chrono::milliseconds atLeast = 0ms) {
        StopEvent stop;
        std::thread t([&] { runKeyboardLight(ctx, stop); });
        std::this_thread::sleep_for(atLeast);
        bool met = false;
        for (int i = 0; i < 400 && !(met = pred()); ++i) {
            std::this_thread::sleep_for(5ms);
        }
        const auto asked = Clock::now();
        stop.set();
        t.join();
        stopTook = Clock::now() - asked;
        return met;
    }

    KeyboardKind kind = KeyboardKind::FullColour;
    DeviceLink link;
    DeviceImages images{DeviceKind::Keyboard};
    EffectRequests requests;
    KeyHandOffs handOffs;
    std::array<uint8_t, kFullColourFrameBytes> layout{};
    Sent sent;
    Keys keys;
    KeyboardLightContext ctx;
    Clock::duration stopTook{};
};

TEST(KeyboardLightTables, Delays) {
    EXPECT_EQ(keyboardDelay(0, 0), 2ms);
    for (uint8_t m : {4, 7, 12}) {
        EXPECT_EQ(keyboardDelay(m, 0), 3ms);
    }
    EXPECT_EQ(keyboardDelay(1, 0), 9ms);
    EXPECT_EQ(keyboardDelay(16, 0), 9ms);
    const std::array<int, 4> rest{13, 27, 37, 45};
    for (uint8_t s = 1; s <= 4; ++s) {
        EXPECT_EQ(keyboardDelay(5, s), std::chrono::milliseconds(rest[s - 1]));
    }
    EXPECT_EQ(keyboardDelay(250, 250), 45ms);  // bad bytes stay inside the table
}

TEST(KeyboardLightFrame, StreamsTheKindsFrameAndShowsItOnce) {
    Rig rig;
    setHead(rig.images, 3, 4, {10, 20, 30});
    KeyboardEffectState state;
    keyboardLightFrame(rig.ctx, state);
    ASSERT_EQ(rig.sent.count(), 1u);
    std::vector<uint8_t> f = rig.sent.last();
    ASSERT_EQ(f.size(), kFullColourFrameBytes);
    EXPECT_EQ(f[0], 10 * 255 / 256);
    EXPECT_EQ(f[3 * 17], 0);  // no key maps to 17
    EXPECT_EQ(rig.keys.count(), 1u);
    EXPECT_EQ(rig.keys.shown[0].colour[0], 0xFF0A141Eu);
    EXPECT_EQ(state.frameCounter, 1);

    rig.kind = KeyboardKind::SingleColour;
    setHead(rig.images, 2, 4, {10, 20, 30});
    keyboardLightFrame(rig.ctx, state);
    f = rig.sent.last();
    ASSERT_EQ(f.size(), kSingleColourFrameBytes);
    EXPECT_EQ(f[0], 255);
    EXPECT_EQ(rig.keys.shown.back().colour[0], argbOf(kSingleColourDisplay));
    EXPECT_EQ(state.frameCounter, 2);
}

TEST(KeyboardLightFrame, TakesResetsHandOffsAndTheLayout) {
    Rig rig;
    setHead(rig.images, 5, 4, {255, 255, 255});
    KeyboardEffectState state;
    rig.requests.requestReset();
    keyboardLightFrame(rig.ctx, state);
    EXPECT_GT(state.heat[109], 0);  // the ripple's start points were set

    setHead(rig.images, 9, 4, {255, 255, 255});
    rig.handOffs.give(52);
    keyboardLightFrame(rig.ctx, state);
    EXPECT_GT(state.heat[51], 0);

    setHead(rig.images, kFullColourCustomMode, 4, {0, 0, 0});
    rig.layout[3 * kFullColourKeyMap[44]] = 200;
    keyboardLightFrame(rig.ctx, state);
    EXPECT_EQ(rig.sent.last()[3 * kFullColourKeyMap[44]], 200 * 255 / 256);

    // Mode 2's wrap goes back into the record's cycle byte.
    setHead(rig.images, 2, 4, {1, 1, 1});
    state.globalPosition = 127;
    keyboardLightFrame(rig.ctx, state);
    EXPECT_EQ(rig.images.current.get(rec::kPreviewCycle), 1);
}

TEST(KeyboardLightThread, StreamsWhileConnectedAndStopsAtOnce) {
    Rig rig;
    setHead(rig.images, 3, 4, {1, 2, 3});
    EXPECT_TRUE(rig.runUntil([&] { return rig.sent.count() >= 3; }));
    EXPECT_LT(rig.stopTook, 200ms);
}

TEST(KeyboardLightThread, SkipsWhileAbsentOrInTheSync) {
    Rig rig;
    setHead(rig.images, 3, 4, {1, 2, 3});
    rig.link.setInLightSync(true);
    EXPECT_FALSE(rig.runUntil([&] { return rig.sent.count() > 0; }, 100ms));
    rig.link.setInLightSync(false);
    rig.link.setConnected(false);
    EXPECT_FALSE(rig.runUntil([&] { return rig.sent.count() > 0; }, 100ms));
    EXPECT_EQ(rig.keys.count(), 0u);
}

struct SyncRig {
    SyncRig() {
        for (DeviceLink* l : {&mouse, &mousepad, &keyboard}) {
            l->setConnected(true);
        }
        ctx.mouse = &mouse;
        ctx.mousepad = &mousepad;
        ctx.keyboard = &keyboard;
        ctx.record = &record;
        ctx.streamKeyboard = [this](std::span<const uint8_t> b) {
            kbSent.add(b);
            return 1;
        };
        ctx.streamMousepad = [this](std::span<const uint8_t> b) {
            padSent.add(b);
            return 1;
        };
        ctx.mousePreview = &mousePreview;
        ctx.keys = &keys;
        ctx.idleSleep = 1000ms;
    }
    void setRecord(uint8_t mode, uint8_t brightness, Rgb c, bool colourful = false) {
        const std::array<uint8_t, 8> head{mode, brightness, 0,  1, uint8_t(colourful),
                                          c.r,  c.g,        c.b};
        record.copyIn(0, head);
    }
    DeviceLink mouse, mousepad, keyboard;
    ByteImage<kLightingHeadSize> record;
    Sent kbSent, padSent;
    Previews mousePreview;
    Keys keys;
    SyncContext ctx;
};

TEST(LightSync, StaticAndCycleFillEveryLedOfTheMembers) {
    SyncRig rig;
    rig.setRecord(3, 4, {100, 50, 25});
    LightSettings s = syncSettings(rig.record);
    EXPECT_EQ(s.mode, 3);
    EXPECT_TRUE(s.up);
    EXPECT_EQ(s.colour, (Rgb{100, 50, 25}));
    SyncState state;
    SyncFrames f = syncFrame(state, s, {true, true, true});
    const Rgb lit = scale({100, 50, 25}, 255);
    for (size_t k = 0; k < kKeyCount; ++k) {
        EXPECT_EQ(f.keyboard[3 * k], lit.r);
        EXPECT_EQ(f.keyboard[3 * k + 2], lit.b);
    }
    EXPECT_EQ(f.mousepad.bytes()[44], lit.b);
    EXPECT_EQ(f.mousepad.sendSize, kMousepadColourBytes);
    EXPECT_TRUE(f.mouse.has(19));

    // Left out of the sync, a device gets nothing.
    f = syncFrame(state, s, {false, false, true});
    EXPECT_EQ(f.keyboard, (std::array<uint8_t, kFullColourFrameBytes>{}));
    EXPECT_EQ(f.mouse.touched, 0u);

    s.mode = 1;
    s.colourful = true;
    f = syncFrame(state, s, {true, false, false});
    EXPECT_EQ(state.position, 1);
    EXPECT_EQ(f.keyboard[3 * 125 + 1], scale(kColourWheel[1], 255).g);
}

TEST(LightSync, WaveColoursByColumn) {
    LightSettings s;
    s.mode = 0;
    s.brightness = 4;
    s.up = true;
    s.colourful = true;
    SyncState state;
    const SyncFrames f = syncFrame(state, s, {true, true, true});
    // Key 52 is in column 11; its frame position comes from the key map.
    const Rgb c11 = scale(kColourWheel[1 + 77], 255);
    EXPECT_EQ(f.keyboard[3 * kFullColourKeyMap[52]], c11.r);
    EXPECT_EQ(f.keyboard[3 * kFullColourKeyMap[52] + 1], c11.g);
    const Rgb c3 = scale(kColourWheel[1 + 21], 255);
    EXPECT_EQ(f.mouse.colour[kMouseLedGroups[3][0]], argbOf(c3));
    EXPECT_EQ(f.mousepad.leds[14], scale(kColourWheel[1 + 98], 255));
}

TEST(LightSync, ThreadStreamsToTheMembersOnly) {
    SyncRig rig;
    rig.setRecord(3, 4, {9, 8, 7});
    rig.keyboard.setInLightSync(true);
    rig.mousepad.setInLightSync(true);
    StopEvent stop;
    std::thread t([&] { runLightSync(rig.ctx, stop); });
    for (int i = 0; i < 200 && (rig.kbSent.count() < 2 || rig.padSent.count() < 2); ++i) {
        std::this_thread::sleep_for(5ms);
    }
    stop.set();
    t.join();
    EXPECT_GE(rig.kbSent.count(), 2u);
    EXPECT_EQ(rig.kbSent.last().size(), kFullColourFrameBytes);
    EXPECT_EQ(rig.padSent.last().size(), kMousepadColourBytes);
    EXPECT_EQ(rig.padSent.last()[0], 9 * 256 / 256);
    EXPECT_TRUE(rig.mousePreview.frames.empty());
    EXPECT_GE(rig.keys.count(), 2u);
}

TEST(LightSync, TheMousePreviewGetsOnlyItsVisibleControls) {
    SyncRig rig;
    rig.setRecord(3, 4, {9, 8, 7});
    rig.mouse.setInLightSync(true);
    rig.mousePreview.visible = 0x5;
    StopEvent stop;
    SyncState state;
    ASSERT_FALSE(lightSyncPass(rig.ctx, state, stop));
    ASSERT_EQ(rig.mousePreview.frames.size(), 1u);
    EXPECT_EQ(rig.mousePreview.frames[0].touched, 0x5u);
    EXPECT_EQ(rig.mousePreview.frames[0].colour[2], 0xFF090807u);
    EXPECT_EQ(rig.kbSent.count() + rig.padSent.count(), 0u);  // neither is a member
}

TEST(LightSync, OutsideTheSyncItSleepsUntilADeviceEntersIt) {
    SyncRig rig;
    rig.setRecord(3, 4, {9, 8, 7});
    rig.ctx.idleSleep = 60s;
    StopEvent stop;
    std::thread t([&] { runLightSync(rig.ctx, stop); });
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(rig.kbSent.count(), 0u);
    // Entering the sync ends the sleep at once, well inside its 60 s bound.
    rig.keyboard.setInLightSync(true);
    for (int i = 0; i < 400 && rig.kbSent.count() < 2; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_GE(rig.kbSent.count(), 2u);
    rig.keyboard.setInLightSync(false);
    std::this_thread::sleep_for(20ms);
    const auto asked = Clock::now();
    stop.set();
    t.join();
    EXPECT_LT(Clock::now() - asked, 5s);
}

TEST(LightSync, IdleWithoutMembersOrDevices) {
    SyncRig rig;
    rig.setRecord(3, 4, {9, 8, 7});
    StopEvent stop;
    std::thread t([&] { runLightSync(rig.ctx, stop); });
    std::this_thread::sleep_for(60ms);
    // Nobody in the sync: nothing; then no device at all: the long sleep,
    // which the stop event still cuts short.
    EXPECT_EQ(rig.kbSent.count() + rig.padSent.count(), 0u);
    for (DeviceLink* l : {&rig.mouse, &rig.mousepad, &rig.keyboard}) {
        l->setConnected(false);
        l->setInLightSync(true);
    }
    std::this_thread::sleep_for(60ms);
    const auto asked = Clock::now();
    stop.set();
    t.join();
    EXPECT_LT(Clock::now() - asked, 200ms);
    EXPECT_EQ(rig.kbSent.count() + rig.padSent.count(), 0u);
}

}  // namespace
}  // namespace rxt::lighting
