#include "lighting/light_threads.h"

#include <algorithm>

#include "lighting/mouse_frames.h"
#include "lighting/mousepad_frames.h"
#include "platform/debug_log.h"

namespace rxt::lighting {
namespace {

using std::chrono::milliseconds;

// True when the thread is to end. The stop event is the sleep, so a thread
// ends at once whatever pause it is in.
bool pause(StopEvent& stop, milliseconds ms) {
    return stop.waitFor(ms);
}

constexpr milliseconds kHiddenPreviewPause{250};

uint8_t clampedSpeed(uint8_t speed) {
    return std::min<uint8_t>(speed, kDelayRowLength - 1);
}

}  // namespace

bool sleepUntil(StopEvent& stop, std::initializer_list<DeviceLink*> links,
                const std::function<bool()>& ready, milliseconds bound) {
    // Registered before the check: a wake between the two is kept.
    for (DeviceLink* link : links) {
        link->addStateWaiter(stop);
    }
    bool stopped = false;
    while (!stopped && !ready()) {
        stopped = pause(stop, bound);
    }
    for (DeviceLink* link : links) {
        link->removeStateWaiter(stop);
    }
    return stopped;
}

bool sleepWhileAbsent(DeviceLink& link, StopEvent& stop, milliseconds bound) {
    return sleepUntil(
        stop, {&link}, [&link] { return link.connected(); }, bound);
}

bool PassPacer::sleep(StopEvent& stop, milliseconds delay) {
    using Duration = std::chrono::steady_clock::duration;
    const auto start = std::chrono::steady_clock::now();
    const Duration asked = Duration(delay) - std::min<Duration>(debt_, delay);
    const bool stopped = stop.waitUntil(start + asked);
    const Duration over = std::chrono::steady_clock::now() - start - asked;
    // Never owed more than one delay: a thread that was held up (a slow
    // exchange, a busy machine) does not race to catch up.
    debt_ = std::clamp<Duration>(over, Duration::zero(), Duration(delay));
    return stopped;
}

milliseconds mousepadDelay(uint8_t mode, uint8_t speed) {
    const size_t row = std::min<size_t>(mode, kMousepadDelays.size() - 1);
    return milliseconds(kMousepadDelays[row][clampedSpeed(speed)]);
}

milliseconds mouseExtraPause(uint8_t mode) {
    switch (mode) {
        case 0:
            return milliseconds(40);
        case 3:
            return milliseconds(20);
        case 4:
            return milliseconds(5);
        default:
            return milliseconds(0);
    }
}

milliseconds mousepadExtraPause(uint8_t mode, uint8_t speed) {
    const int s = clampedSpeed(speed);
    switch (mode) {
        case 4:
            return milliseconds(10 * s + 100);
        case 5:
            return milliseconds(50);
        case 7:
            return milliseconds(5 * s + 50);
        default:
            return milliseconds(0);
    }
}

void mouseLightFrame(const LightThreadContext& ctx, EffectState& state) {
    const LightSettings settings = LightSettings::of(*ctx.images);
    const EffectRequests::Taken taken = ctx.requests->take();
    if (taken.reset) {
        state.reset();
        armTrail(state, settings.up);
    }
    if (taken.flash) {
        state.startFlash(taken.flashAt);
    }
    const uint32_t visible = ctx.preview != nullptr ? ctx.preview->visibleControls() : 0;
    const PreviewFrame frame = mouseFrame(state, settings, visible);
    if (ctx.preview != nullptr) {
        ctx.preview->show(frame);
    }
}

milliseconds mousepadLightFrame(const LightThreadContext& ctx, EffectState& state) {
    const LightSettings settings = LightSettings::of(*ctx.images);
    const EffectRequests::Taken taken = ctx.requests->take();
    if (taken.reset) {
        state.reset();
        state.matrixFaultLogged = false;
        if (settings.mode == 5) {
            armRipple(state);
        }
    }
    if (taken.flash) {
        state.startFlash(taken.flashAt);
    }
    const MousepadFrame frame = mousepadFrame(state, settings, Clock::now());
    if (frame.cycleAdvanced) {
        ctx.images->current.set(rec::kPreviewCycle, frame.cycle);
    }
    if (frame.sendSize > 0 && ctx.stream) {
        // A failed frame is not sent again: the next one is computed from the
        // advanced state.
        const auto bytes = frame.bytes();
        ctx.stream(std::span<const uint8_t>(bytes).first(frame.sendSize));
    }
    if (ctx.preview != nullptr && frame.lit != 0) {
        ctx.preview->show(frame.preview());
    }
    return frame.pause;
}

void runMouseLight(const LightThreadContext& ctx, StopEvent& stop) {
    if (pause(stop, ctx.timing.startDelay)) {
        return;
    }
    EffectState state;
    while (!pause(stop, milliseconds(1))) {
        const unsigned speed = clampedSpeed(ctx.images->current.get(rec::kSpeed));
        if (pause(stop, milliseconds(2 * speed + 3)) || pause(stop, milliseconds(10 * speed))) {
            return;
        }
        if (!ctx.link->connected()) {
            if (sleepWhileAbsent(*ctx.link, stop, ctx.timing.absentSleep)) {
                return;
            }
            continue;
        }
        if (ctx.link->inLightSync()) {
            continue;
        }
        // The frames only animate the preview: with none of its controls on
        // screen (the window hidden) the thread rests at the painter's
        // recheck pace instead of the effect's, some 90 wake-ups a second.
        if (ctx.preview != nullptr && ctx.preview->visibleControls() == 0) {
            if (pause(stop, kHiddenPreviewPause)) {
                return;
            }
            ctx.preview->show(PreviewFrame{});  // lets the painter look again
            continue;
        }
        const uint8_t mode = ctx.images->current.get(rec::kLightMode);
        if (mode >= kMouseModes) {
            debugLog("鼠标灯光线程设定2");
        }
        if (pause(stop, mouseExtraPause(mode))) {
            return;
        }
        mouseLightFrame(ctx, state);
    }
}

void runMousepadLight(const LightThreadContext& ctx, StopEvent& stop) {
    if (pause(stop, ctx.timing.startDelay)) {
        return;
    }
    EffectState state;
    PassPacer pacer;
    for (;;) {
        const uint8_t mode = ctx.images->current.get(rec::kLightMode);
        const uint8_t speed = ctx.images->current.get(rec::kSpeed);
        // The pass's wait for the stop event is its pace.
        if (pacer.sleep(stop, mousepadDelay(mode, speed))) {
            return;
        }
        if (!ctx.link->connected()) {
            if (sleepWhileAbsent(*ctx.link, stop, ctx.timing.absentSleep)) {
                return;
            }
            continue;
        }
        if (ctx.link->inLightSync()) {
            continue;
        }
        if (mode >= kMousepadModes - 1) {
            if (pause(stop, ctx.timing.idleModeRest)) {
                return;
            }
            continue;
        }
        if (pause(stop, mousepadExtraPause(mode, speed))) {
            return;
        }
        if (pause(stop, mousepadLightFrame(ctx, state))) {
            return;
        }
    }
}

}  // namespace rxt::lighting
