#pragma once
// The bodies of the mouse and the mousepad light threads: each pass waits a
// pace set by the device's speed, skips while the device is absent or in the
// cross-device sync, and runs the frame routine of the mode. The mousepad
// thread streams each frame; the mouse thread only animates the preview.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>

#include "device/device_link.h"
#include "lighting/effect_state.h"
#include "lighting/frames.h"
#include "platform/stop_event.h"
#include "state/device_images.h"

namespace rxt::lighting {

// Where a light thread's preview goes. Called on the light thread.
class PreviewSink {
  public:
    virtual ~PreviewSink() = default;
    // Bit i set: control i is shown and worth drawing.
    virtual uint32_t visibleControls() const = 0;
    // One frame's tints, handed over whole.
    virtual void show(const PreviewFrame& frame) = 0;
};

// Milliseconds between mousepad frames, by mode (0..8) and speed; only the
// first five entries of a row are reachable (speed 0..4).
inline constexpr size_t kDelayRowLength = 15;
inline constexpr std::array<std::array<uint8_t, kDelayRowLength>, 9> kMousepadDelays = [] {
    std::array<std::array<uint8_t, kDelayRowLength>, 9> t{};
    for (auto& row : t) {
        row = {9, 13, 17, 21, 25, 25, 25, 25, 25, 25, 25, 25, 25, 25, 25};
    }
    return t;
}();
std::chrono::milliseconds mousepadDelay(uint8_t mode, uint8_t speed);

// The pauses of a pass besides the pace, by mode.
std::chrono::milliseconds mouseExtraPause(uint8_t mode);
std::chrono::milliseconds mousepadExtraPause(uint8_t mode, uint8_t speed);

struct LightThreadTiming {
    std::chrono::milliseconds startDelay{3000};
    std::chrono::milliseconds absentSleep{2000};  // bound of one sleep while absent
    // A pass in a mode with no routine ends with this rest: nothing to send
    // until another mode is chosen, which the next pass then finds.
    std::chrono::milliseconds idleModeRest{100};
};

struct LightThreadContext {
    DeviceLink* link = nullptr;  // connected and in-sync flags
    DeviceImages* images = nullptr;
    EffectRequests* requests = nullptr;
    PreviewSink* preview = nullptr;  // may be null
    // Mousepad: sends one frame (StreamFrame from offset 0).
    std::function<int(std::span<const uint8_t>)> stream;
    LightThreadTiming timing;
};

// Sleeps until ready() holds (false) or the stop comes (true). The links
// wake the sleeper when they connect or enter the light sync, so a thread
// with nothing to do costs no wake-ups; `bound` limits each single sleep.
bool sleepUntil(StopEvent& stop, std::initializer_list<DeviceLink*> links,
                const std::function<bool()>& ready, std::chrono::milliseconds bound);

// While the device is absent the thread sleeps until it arrives. Polling at
// the pace instead cost dozens of wake-ups a second with nothing attached.
bool sleepWhileAbsent(DeviceLink& link, StopEvent& stop, std::chrono::milliseconds bound);

// The pace of a streaming thread: each pass's delay is shortened by what the
// previous sleep overshot, so that the passes keep their delay on average
// instead of losing a wake-up's latency on every frame.
class PassPacer {
  public:
    // True when the thread is to end.
    bool sleep(StopEvent& stop, std::chrono::milliseconds delay);
    std::chrono::steady_clock::duration debt() const { return debt_; }

  private:
    std::chrono::steady_clock::duration debt_{};
};

void runMouseLight(const LightThreadContext& ctx, StopEvent& stop);
void runMousepadLight(const LightThreadContext& ctx, StopEvent& stop);

// One pass's frame after its pauses (tests, benchmarks): takes the requests,
// runs the routine, streams and hands the preview on.
void mouseLightFrame(const LightThreadContext& ctx, EffectState& state);
// The pause the frame asked for (mode 7's turns), 0 otherwise.
std::chrono::milliseconds mousepadLightFrame(const LightThreadContext& ctx, EffectState& state);

}  // namespace rxt::lighting
