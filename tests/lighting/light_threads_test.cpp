// The mouse and mousepad light threads: what each pass sends or previews,
// the skips while absent or in the sync, and a prompt end on the stop event.

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "lighting/light_threads.h"

namespace rxt::lighting {
namespace {

using namespace std::chrono_literals;

struct Recorder : PreviewSink {
    uint32_t visibleControls() const override { return visible; }
    void show(const PreviewFrame& frame) override {
        std::lock_guard lock(mutex);
        frames.push_back(frame);
    }
    size_t count() {
        std::lock_guard lock(mutex);
        return frames.size();
    }
    uint32_t visible = (1u << kMouseControls) - 1;
    std::mutex mutex;
    std::vector<PreviewFrame> frames;
};

struct Rig {
    Rig() {
        link.setConnected(true);
        ctx.link = &link;
        ctx.images = &images;
        ctx.requests = &requests;
        ctx.preview = &preview;
        ctx.timing = {0ms, 5ms};
        ctx.stream = [this](std::span<const uint8_t> bytes) {
            std::lock_guard lock(mutex);
            sent.emplace_back(bytes.begin(), bytes.end());
            return 1;
        };
    }
    size_t sentCount() {
        std::lock_guard lock(mutex);
        return sent.size();
    }
    // Runs body until pred holds (or 2 s pass); true when it did.
    template <class Body, class Pred>
    bool runUntil(Body body, Pred pred) {
        StopEvent stop;
        std::thread t([&] { body(ctx, stop); });
        bool met = false;
        for (int i = 0; i < 100 && !(met = pred()); ++i) {
            std::this_thread::sleep_for(5ms);
        }
        const auto asked = Clock::now();
        stop.set();
        t.join();
        stopTook = Clock::now() - asked;
        return met;
    }

    DeviceLink link;
    DeviceImages images{DeviceKind::Mousepad};
    EffectRequests requests;
    Recorder preview;
    LightThreadContext ctx;
    std::mutex mutex;
    std::vector<std::vector<uint8_t>> sent;
    Clock::duration stopTook{};
};

TEST(LightThreadTables, DelaysAndPauses) {
    EXPECT_EQ(mousepadDelay(0, 0), 9ms);
    EXPECT_EQ(mousepadDelay(8, 4), 25ms);
    EXPECT_EQ(mousepadDelay(200, 200), 25ms);  // bad bytes stay inside the table
    EXPECT_EQ(mousepadExtraPause(4, 2), 120ms);
    EXPECT_EQ(mousepadExtraPause(5, 0), 50ms);
    EXPECT_EQ(mousepadExtraPause(7, 4), 70ms);
    EXPECT_EQ(mousepadExtraPause(3, 4), 0ms);
    EXPECT_EQ(mouseExtraPause(0), 40ms);
    EXPECT_EQ(mouseExtraPause(3), 20ms);
    EXPECT_EQ(mouseExtraPause(4), 5ms);
    EXPECT_EQ(mouseExtraPause(5), 0ms);
}

TEST(PassPacer, KeepsTheDelayOnAverageWithoutRunningAhead) {
    using namespace std::chrono;
    StopEvent stop;
    PassPacer pacer;
    const auto start = steady_clock::now();
    constexpr int kPasses = 40;
    for (int i = 0; i < kPasses; ++i) {
        ASSERT_FALSE(pacer.sleep(stop, 2ms));
        // What is owed never exceeds one delay, whatever the machine's load.
        EXPECT_GE(pacer.debt(), steady_clock::duration::zero());
        EXPECT_LE(pacer.debt(), steady_clock::duration(2ms));
    }
    // Shortened sleeps only pay back overshoot: the passes never come
    // faster than their delay, less the one delay that may be owed.
    EXPECT_GE(steady_clock::now() - start, milliseconds(2 * kPasses - 2));

    stop.set();
    const auto before = steady_clock::now();
    EXPECT_TRUE(pacer.sleep(stop, 1000ms));
    EXPECT_LT(steady_clock::now() - before, 500ms);
}

TEST(MousepadLightThread, StreamsStaticFramesOfSixtyBytes) {
    Rig rig;
    rig.images.current.set(rec::kLightMode, 3);
    rig.images.current.set(rec::kBrightness, 4);
    rig.images.current.set(rec::kRed, 7);
    EXPECT_TRUE(rig.runUntil(runMousepadLight, [&] { return rig.sentCount() >= 3; }));
    std::lock_guard lock(rig.mutex);
    ASSERT_EQ(rig.sent[0].size(), 60u);
    EXPECT_EQ(rig.sent[0][42], 7);
    EXPECT_EQ(rig.sent[0][59], 0);
    EXPECT_LT(rig.stopTook, 500ms);
}

TEST(MousepadLightThread, PulseOnlyPreviews) {
    Rig rig;
    rig.images.current.set(rec::kLightMode, 2);
    EXPECT_TRUE(rig.runUntil(runMousepadLight, [&] { return rig.preview.count() >= 3; }));
    EXPECT_EQ(rig.sentCount(), 0u);
}

TEST(MousepadLightThread, NothingWhileAbsentOrInSync) {
    Rig rig;
    rig.images.current.set(rec::kLightMode, 3);
    rig.link.setConnected(false);
    rig.runUntil(runMousepadLight, [] { return false; });
    EXPECT_EQ(rig.sentCount(), 0u);
    rig.link.setConnected(true);
    rig.link.setInLightSync(true);
    rig.runUntil(runMousepadLight, [] { return false; });
    EXPECT_EQ(rig.sentCount(), 0u);
}

TEST(MousepadLightThread, AModeWithNothingToSendRestsUntilAnotherIsChosen) {
    Rig rig;
    rig.images.current.set(rec::kLightMode, 9);
    int polls = 0;
    EXPECT_TRUE(rig.runUntil(runMousepadLight, [&] {
        if (++polls == 40) {
            EXPECT_EQ(rig.sentCount(), 0u);
            rig.images.current.set(rec::kLightMode, 3);
        }
        return rig.sentCount() >= 1;
    }));
    EXPECT_GE(polls, 40);
    EXPECT_LT(rig.stopTook, 500ms);
}

TEST(MousepadLightThread, AnArrivalEndsTheAbsentSleepAtOnce) {
    Rig rig;
    rig.images.current.set(rec::kLightMode, 3);
    rig.ctx.timing.absentSleep = 60s;
    rig.link.setConnected(false);
    std::thread arrival([&] {
        std::this_thread::sleep_for(50ms);
        rig.link.setConnected(true);
    });
    // Streaming starts well inside the 60 s bound of one absent sleep.
    EXPECT_TRUE(rig.runUntil(runMousepadLight, [&] { return rig.sentCount() >= 1; }));
    arrival.join();
    // And a stop still ends the absent sleep at once.
    rig.link.setConnected(false);
    rig.runUntil(runMouseLight, [] { return true; });
    EXPECT_LT(rig.stopTook, 5s);
}

TEST(MousepadLightThread, AFailedFrameIsNotSentAgain) {
    Rig rig;
    rig.images.current.set(rec::kLightMode, 1);
    rig.images.current.set(rec::kBrightness, 4);
    rig.ctx.stream = [&](std::span<const uint8_t> bytes) {
        std::lock_guard lock(rig.mutex);
        rig.sent.emplace_back(bytes.begin(), bytes.end());
        return 0;  // no reply
    };
    EXPECT_TRUE(rig.runUntil(runMousepadLight, [&] { return rig.sentCount() >= 2; }));
    std::lock_guard lock(rig.mutex);
    EXPECT_NE(rig.sent[0], rig.sent[1]);  // the next frame, not the same again
}

TEST(MousepadLightThread, ResetOfModeFiveArmsTheRipple) {
    Rig rig;
    rig.images.current.set(rec::kLightMode, 5);
    EffectState state;
    rig.requests.requestReset();
    mousepadLightFrame(rig.ctx, state);
    EXPECT_EQ(state.levels[7], 4);  // the middle starts at 0, one frame on
    EXPECT_EQ(state.levels[0], 20);
}

TEST(MousepadLightThread, PulseWrapWritesTheCycleByte) {
    Rig rig;
    rig.images.current.set(rec::kLightMode, 2);
    rig.images.current.set(rec::kDirection, 1);
    EffectState state;
    state.position = 127;
    mousepadLightFrame(rig.ctx, state);
    EXPECT_EQ(rig.images.current.get(rec::kPreviewCycle), 1);
}

TEST(MouseLightThread, PreviewsAndNeverStreams) {
    Rig rig;
    rig.images.current.set(rec::kLightMode, 5);
    EXPECT_TRUE(rig.runUntil(runMouseLight, [&] { return rig.preview.count() >= 3; }));
    EXPECT_EQ(rig.sentCount(), 0u);
    std::lock_guard lock(rig.preview.mutex);
    EXPECT_EQ(rig.preview.frames[0].touched, (1u << kMouseControls) - 1);
}

TEST(MouseLightThread, TheFlashFollowsTheTrigger) {
    Rig rig;
    rig.images.current.set(rec::kLightMode, 6);
    EffectState state;
    mouseLightFrame(rig.ctx, state);
    rig.requests.trigger();
    mouseLightFrame(rig.ctx, state);
    EXPECT_TRUE(state.flash.active);
    std::lock_guard lock(rig.preview.mutex);
    EXPECT_EQ(rig.preview.frames[0].touched, 0u);
    EXPECT_EQ(rig.preview.frames[1].touched, 0x7FFFu);
}

TEST(MouseLightThread, WithNothingOnScreenItOnlyAsksNowAndThen) {
    Rig rig;
    rig.preview.visible = 0;
    rig.runUntil(runMouseLight, [] { return false; });  // about half a second
    // Empty frames only, a few a second, for the painter to look again.
    EXPECT_LE(rig.preview.count(), 4u);
    for (const PreviewFrame& f : rig.preview.frames) {
        EXPECT_EQ(f.touched, 0u);
    }
    rig.preview.frames.clear();
    rig.preview.visible = 1;
    EXPECT_TRUE(rig.runUntil(runMouseLight, [&] { return rig.preview.count() >= 3; }));
}

TEST(MouseLightThread, StopsDuringTheStartDelay) {
    Rig rig;
    rig.ctx.timing.startDelay = 3000ms;
    rig.runUntil(runMouseLight, [] { return true; });
    EXPECT_LT(rig.stopTook, 500ms);
    EXPECT_EQ(rig.preview.count(), 0u);
}

}  // namespace
}  // namespace rxt::lighting
