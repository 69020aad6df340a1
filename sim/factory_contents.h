#pragma once
// What each virtual device holds when it leaves the factory, and after a
// ResetDevice.

#include <cstdint>

#include "device/device_kind.h"
#include "sim/device_memory.h"

namespace rxt::sim {

DeviceMemory factoryMemory(DeviceKind kind);

DeviceMemory mouseFactoryMemory();
DeviceMemory mousepadFactoryMemory();
DeviceMemory keyboardFactoryMemory();

// Sizes that differ by kind (in bytes); 0 where the device has no such memory.
inline constexpr size_t kMouseCursorBytes = 4096;
inline constexpr size_t kMousepadFrameBytes = 60;   // 15 lights x 3, or 60 with the pad
inline constexpr size_t kKeyboardFrameBytes = 378;  // 126 keys x 3

}  // namespace rxt::sim
