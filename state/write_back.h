#pragma once
// How edits of the images reach the devices: the periodic write-back of the
// current records, the immediate writes (active DPI level, on-device profile
// switch, restore defaults), the upload sequence frame, the same-mode copy of
// the lighting head and streamed light frames. Everything but the streamed
// frames runs on the UI thread.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "device/device_kind.h"
#include "state/device_images.h"
#include "state/device_links.h"
#include "state/ui_reactions.h"

namespace rxt {

class SystemPointer;

// The uploads of key tables, macros and cursor data, framed by the upload
// sequence. Each returns whether it was complete; a failed cursor upload
// keeps the mouse's macros and bank from being sent after it.
class DeviceUploads {
  public:
    virtual ~DeviceUploads() = default;
    virtual bool uploadKeyboard() = 0;
    virtual bool uploadMouseCursors() = 0;
    virtual bool uploadMouse() = 0;
};

// Frame sizes of the software light effects.
inline constexpr size_t kKeyboardColourFrameSize = 378;  // 126 keys x RGB
inline constexpr size_t kKeyboardValueFrameSize = 126;   // one byte per key
inline constexpr size_t kMousepadFrameSize = 45;         // 15 lights x RGB

// The system's own default speed, and the slider position that shows it
// (speed = position x 2 + 2), so that slider and system agree.
inline constexpr int kMouseDefaultPointerSpeed = 10;
inline constexpr int kMouseDefaultPointerSlider = (kMouseDefaultPointerSpeed - 2) / 2;
inline constexpr int kMouseDefaultWheelLines = 3;
inline constexpr std::chrono::milliseconds kMousepadResetSettle{1000};

class WriteBack {
  public:
    WriteBack(DeviceLinks& links, DeviceImageSet& images, UiReactions& ui);

    void setUploads(DeviceUploads* uploads) { uploads_ = uploads; }
    void setSystemPointer(SystemPointer* pointer) { pointer_ = pointer; }
    // The wait between a mousepad reset and its re-read (tests shorten it).
    void setMousepadResetSettle(std::chrono::milliseconds wait) { resetSettle_ = wait; }

    // Told of every write of a current record (kind, result): the periodic
    // write-back, the active DPI level.
    void setOnRecordWritten(std::function<void(DeviceKind, int)> observer) {
        onRecordWritten_ = std::move(observer);
    }

    // Set by the pages after each change of a current record.
    void markPending(DeviceKind kind) { pending_[index(kind)].store(true); }
    bool pending(DeviceKind kind) const { return pending_[index(kind)].load(); }

    // Timer 2, every 100 ms: writes each pending current record (keyboard,
    // mouse, mousepad) and clears its flag whatever the result.
    void tick();

    // WriteRecord of the current record, padded to 56 bytes, at offset 0.
    int writeCurrentRecord(DeviceKind kind);

    // Level 1..7 (others are ignored): byte 19 of the mouse record, saved,
    // light sync left, written at once.
    void setActiveDpiLevel(int level);

    // Mouse and mousepad: makes record n the device's current one. Nothing is
    // sent for n outside 0..4, and only the index is read when n is already
    // current. The keyboard has no on-device profiles and is ignored.
    void switchOnDeviceProfile(DeviceKind kind, int n);

    // Keyboard: key table and macros; mouse: cursor data, then (when that was
    // complete) key table and macros; framed by the progress messages.
    // Returns -1 for both kinds.
    int uploadSequence(DeviceKind kind);

    // Copies the source's lighting head to the other two current records and
    // the shared head. False (and "同步失败" in the debug log) for a value
    // that is no device kind.
    bool sameMode(DeviceKind source);

    // Mouse: host pointer settings back to their defaults, then ResetDevice.
    // Mousepad: ResetDevice, a 1 s wait, then message 2561 (read all).
    void restoreDefaults(DeviceKind kind);

    // One light frame from offset 0. Safe from the light threads.
    int streamFrame(DeviceKind kind, std::span<const uint8_t> frame);

  private:
    static size_t index(DeviceKind kind) { return static_cast<size_t>(kind); }

    DeviceLinks& links_;
    DeviceImageSet& images_;
    UiReactions& ui_;
    DeviceUploads* uploads_ = nullptr;
    SystemPointer* pointer_ = nullptr;
    std::chrono::milliseconds resetSettle_ = kMousepadResetSettle;
    std::array<std::atomic<bool>, 3> pending_{};
    std::function<void(DeviceKind, int)> onRecordWritten_;
};

}  // namespace rxt
