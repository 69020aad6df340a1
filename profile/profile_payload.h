#pragma once
// Byte layouts of the profile data files' payloads (after the 16-byte
// header). Each is a raw copy of regions of the device images; the payload
// length is fixed by the catalogue that reads the file.

#include <cstddef>

#include "lighting/keyboard_custom_layouts.h"
#include "state/device_images.h"

namespace rxt::payload {

inline constexpr size_t kKeyBankBytes = kKeyTableSize;  // key bank 0, 3 bytes per key
inline constexpr size_t kStoredRecordBytes = kRecordStride;

// Mouse stored record: bytes past the current record carry the host settings.
inline constexpr size_t kPointerSpeedByte = 52;
inline constexpr size_t kWheelLinesByte = 53;

// Keyboard lighting payload: stored record, custom layout index (32-bit
// little-endian), five custom colour layouts.
inline constexpr size_t kLayoutCount = KeyboardCustomLayouts::kCount;
inline constexpr size_t kLayoutBytes = KeyboardCustomLayouts::kLayoutSize;
inline constexpr size_t kLayoutIndexOffset = kStoredRecordBytes;
inline constexpr size_t kLayoutsOffset = kLayoutIndexOffset + 4;
inline constexpr size_t kKeyboardLightingBytes = kLayoutsOffset + kLayoutCount * kLayoutBytes;

// Per catalogue.
inline constexpr size_t kMouseDeviceBytes = kKeyBankBytes + kStoredRecordBytes;
inline constexpr size_t kMouseLightingBytes = kStoredRecordBytes;
inline constexpr size_t kKeyBytes = kKeyBankBytes;  // mouse key, keyboard key
inline constexpr size_t kKeyboardDeviceBytes = kKeyBankBytes + kKeyboardLightingBytes;
inline constexpr size_t kMousepadLightingBytes = kStoredRecordBytes;

static_assert(kKeyboardLightingBytes == 1958);
static_assert(kKeyboardDeviceBytes == 2470);
static_assert(kMouseDeviceBytes == 576);

}  // namespace rxt::payload
