#pragma once
// The keyboard light thread, which runs the keyboard's frame routines and
// streams each frame, and the cross-device sync thread, which plays one
// effect on all three devices in step while they are in the sync. Both hand
// the window one batched update per frame through their sinks; the records,
// the custom layouts and the sync record are atomic bytes read once a frame.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "device/device_link.h"
#include "lighting/effect_state.h"
#include "lighting/keyboard_frames.h"
#include "lighting/light_threads.h"
#include "platform/stop_event.h"
#include "state/byte_image.h"
#include "state/device_images.h"

namespace rxt::lighting {

// Where the key controls' display goes; called on the light thread.
class KeyboardLightSink {
  public:
    virtual ~KeyboardLightSink() = default;
    virtual void showKeys(const KeyDisplay& display) = 0;
};

// Keys clicked on the page in full-colour mode 9, taken by the light thread
// before its next frame. Any thread.
class KeyHandOffs {
  public:
    void give(uint8_t key) {
        if (key < kKeyCount) {
            keys_[key].store(true, std::memory_order_release);
        }
    }
    template <class F>
    void take(F f) {
        for (size_t k = 0; k < kKeyCount; ++k) {
            if (keys_[k].exchange(false, std::memory_order_acq_rel)) {
                f(static_cast<uint8_t>(k));
            }
        }
    }

  private:
    std::array<std::atomic<bool>, kKeyCount> keys_{};
};

// Milliseconds between keyboard frames by mode (0..16) and speed.
inline constexpr std::array<std::array<uint8_t, kDelayRowLength>, kKeyboardModes> kKeyboardDelays =
    [] {
        std::array<std::array<uint8_t, kDelayRowLength>, kKeyboardModes> t{};
        for (size_t m = 0; m < t.size(); ++m) {
            const uint8_t first = m == 0 ? 2 : (m == 4 || m == 7 || m == 12) ? 3 : 9;
            t[m] = {first, 13, 27, 37, 45, 45, 45, 45, 45, 45, 45, 45, 45, 45, 45};
        }
        return t;
    }();
std::chrono::milliseconds keyboardDelay(uint8_t mode, uint8_t speed);

struct KeyboardLightContext {
    DeviceLink* link = nullptr;
    DeviceImages* images = nullptr;
    EffectRequests* requests = nullptr;  // resets of the record's mode
    KeyHandOffs* handOffs = nullptr;     // may be null
    std::function<KeyboardKind()> kind;
    // Copies the current custom layout (378 bytes).
    std::function<void(std::span<uint8_t>)> readLayout;
    // Sends one frame (StreamFrame over the keyboard link).
    std::function<int(std::span<const uint8_t>)> stream;
    KeyboardLightSink* display = nullptr;  // may be null
    LightThreadTiming timing{std::chrono::milliseconds(1000), std::chrono::milliseconds(100)};
};

void runKeyboardLight(const KeyboardLightContext& ctx, StopEvent& stop);
// One pass's frame after its pauses: requests, routine, sender, display,
// frame counter.
void keyboardLightFrame(const KeyboardLightContext& ctx, KeyboardEffectState& state);

// The sync's three frames of one pass.
struct SyncFrames {
    std::array<uint8_t, kFullColourFrameBytes> keyboard{};
    PreviewFrame mouse;
    MousepadFrame mousepad;
};
struct SyncState {
    uint8_t position = 0;
};
struct SyncMembers {
    bool keyboard = false;
    bool mouse = false;
    bool mousepad = false;
};
// The frames of the sync record's mode; devices not in the sync are left
// out. Modes past 3 give nothing.
SyncFrames syncFrame(SyncState& state, const LightSettings& settings, SyncMembers members);

// The sync record as lighting settings (its bytes are record bytes 1 to 8).
LightSettings syncSettings(const ByteImage<kLightingHeadSize>& record);

struct SyncContext {
    DeviceLink* mouse = nullptr;
    DeviceLink* mousepad = nullptr;
    DeviceLink* keyboard = nullptr;
    const ByteImage<kLightingHeadSize>* record = nullptr;
    std::function<int(std::span<const uint8_t>)> streamKeyboard;
    std::function<int(std::span<const uint8_t>)> streamMousepad;
    PreviewSink* mousePreview = nullptr;  // each may be null
    PreviewSink* mousepadPreview = nullptr;
    KeyboardLightSink* keys = nullptr;
    std::chrono::milliseconds idleSleep{1000};  // none of the devices connected
};

void runLightSync(const SyncContext& ctx, StopEvent& stop);
// One pass after its pace; true when the stop event ended it.
bool lightSyncPass(const SyncContext& ctx, SyncState& state, StopEvent& stop);

}  // namespace rxt::lighting
