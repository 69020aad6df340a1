#pragma once
// The in-memory images of each device's memory. The pages, the profile files
// and the uploads address them by offset; the read sequences fill them and
// the write-back sends the current record back.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/device_kind.h"
#include "state/byte_image.h"

namespace rxt {

inline constexpr size_t kInfoRecordSize = 33;
inline constexpr size_t kKeyTableSize = 512;
inline constexpr size_t kKeyBankCount = 5;
inline constexpr size_t kRecordCount = 5;
inline constexpr size_t kRecordStride = 64;  // record i lives at device offset 64 x i
inline constexpr size_t kRecordTableSize = kRecordCount * kRecordStride;
inline constexpr size_t kRecordTransferSize = 56;  // bytes of a record read or written
inline constexpr size_t kMouseCurrentRecordSize = 52;
inline constexpr size_t kSmallCurrentRecordSize = 21;  // mousepad and keyboard
inline constexpr size_t kLightingHeadSize = 8;

// Offsets into the information record.
namespace info {
inline constexpr size_t kKeyCount = 5;       // keyboard: the key table is 3 x this
inline constexpr size_t kMacroMemory = 6;    // units of 128 bytes
inline constexpr size_t kSensorId = 9;       // mouse, 16-bit little-endian
inline constexpr size_t kDpiIncrement = 11;  // mouse
inline constexpr size_t kLowestDpi = 13;     // mouse, 16-bit little-endian
}  // namespace info

// Offsets into the current record (and the stored records).
namespace rec {
inline constexpr size_t kIndex = 0;
inline constexpr size_t kLightMode = 1;
inline constexpr size_t kBrightness = 2;
inline constexpr size_t kSpeed = 3;  // 4 minus the slider value
inline constexpr size_t kDirection = 4;
inline constexpr size_t kColourful = 5;
inline constexpr size_t kRed = 6;
inline constexpr size_t kGreen = 7;
inline constexpr size_t kBlue = 8;
// Mouse only.
inline constexpr size_t kPreviewCycle = 9;
inline constexpr size_t kReportRate = 14;
inline constexpr size_t kDpiLevel1 = 15;  // levels 1..4 at 15..18
inline constexpr size_t kActiveDpiLevel = 19;
inline constexpr size_t kDpiLevel5 = 20;   // levels 5..7 at 20..22
inline constexpr size_t kDpiColours = 23;  // 7 x (red, green, blue)
inline constexpr size_t kDebounce = 44;
inline constexpr size_t kLiftOffOn = 48;
inline constexpr size_t kLiftOffHeight = 49;
}  // namespace rec

constexpr size_t currentRecordSize(DeviceKind kind) {
    return kind == DeviceKind::Mouse ? kMouseCurrentRecordSize : kSmallCurrentRecordSize;
}

class DeviceImages {
  public:
    explicit DeviceImages(DeviceKind kind) : kind_(kind) {}
    DeviceImages(const DeviceImages&) = delete;
    DeviceImages& operator=(const DeviceImages&) = delete;

    DeviceKind kind() const { return kind_; }
    size_t currentSize() const { return currentRecordSize(kind_); }

    ByteImage<kInfoRecordSize> info;
    // The mousepad has no key tables; its two stay zero.
    ByteImage<kKeyTableSize> defaultKeys;
    std::array<ByteImage<kKeyTableSize>, kKeyBankCount> banks;
    ByteImage<kRecordTableSize> records;
    // Sized for the mouse; the others use the first 21 bytes.
    ByteImage<kMouseCurrentRecordSize> current;

    uint8_t currentIndex() const { return current.get(rec::kIndex); }

    // Copies the current record (currentSize() bytes) into the record table at
    // the index held in its byte 0. An index outside 0..4 (from a device or a
    // profile file) stores nothing and returns false.
    bool storeCurrentRecord();
    // The same into record [index] whatever byte 0 holds.
    bool storeCurrentRecordAt(size_t index);
    // Copies record [index] into the current record and sets byte 0 to the
    // index. False, and nothing changes, for an index outside 0..4.
    bool loadCurrentRecord(size_t index);

    std::array<uint8_t, kRecordStride> record(size_t index) const;
    // Writes data at the start of record [index] (at most 64 bytes).
    void setRecord(size_t index, std::span<const uint8_t> data);

    // The lighting head, bytes 1..8 of the current record.
    std::array<uint8_t, kLightingHeadSize> lightingHead() const;

  private:
    DeviceKind kind_;
};

// Every image the process keeps, plus the two process-wide values that go
// with them: the lighting head shared by a same-mode copy and the keyboard
// variant set by keyboard discovery.
class DeviceImageSet {
  public:
    DeviceImageSet() = default;
    DeviceImageSet(const DeviceImageSet&) = delete;
    DeviceImageSet& operator=(const DeviceImageSet&) = delete;

    DeviceImages& of(DeviceKind kind);
    const DeviceImages& of(DeviceKind kind) const;

    DeviceImages mouse{DeviceKind::Mouse};
    DeviceImages mousepad{DeviceKind::Mousepad};
    DeviceImages keyboard{DeviceKind::Keyboard};

    ByteImage<kLightingHeadSize> sharedLightingHead;

    // 0 or 1: picks the keyboard model's default files and layouts.
    int keyboardVariant() const { return keyboardVariant_.load(); }
    void setKeyboardVariant(int v) { keyboardVariant_.store(v); }

  private:
    std::atomic<int> keyboardVariant_{0};
};

// The process-wide images, zero at start and never freed.
DeviceImageSet& deviceImages();

}  // namespace rxt
