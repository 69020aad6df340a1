#pragma once
// The three devices and how each is recognised on the bus.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace rxt {

enum class DeviceKind : uint8_t { Mouse = 0, Mousepad = 1, Keyboard = 2 };

inline constexpr std::array<DeviceKind, 3> kAllDeviceKinds{DeviceKind::Mouse, DeviceKind::Mousepad,
                                                           DeviceKind::Keyboard};

struct DeviceIdentity {
    uint16_t vendor;
    uint16_t product;
    uint16_t usage;
    uint16_t usagePage;
};

// The configuration interface every device answers commands on.
inline constexpr uint16_t kConfigUsagePage = 0xFF1C;
inline constexpr uint16_t kConfigUsage = 0x0092;
// The consumer-control interface that carries the change notifications.
inline constexpr uint16_t kConsumerUsagePage = 0x000C;
inline constexpr uint16_t kConsumerUsage = 0x0001;

// Indexed by DeviceKind: the identity the links are given at start-up.
inline constexpr std::array<DeviceIdentity, 3> kDeviceIdentities{{
    {0x320F, 0x2002, kConfigUsage, kConfigUsagePage},
    {0x0C45, 0x5004, kConfigUsage, kConfigUsagePage},
    {0x0C45, 0x6553, kConfigUsage, kConfigUsagePage},
}};

// Keyboard variants: the first is the one the link starts with.
inline constexpr std::array<uint16_t, 3> kKeyboardProducts{0x6553, 0x0800, 0x7200};

constexpr const DeviceIdentity& identityOf(DeviceKind kind) {
    return kDeviceIdentities[static_cast<size_t>(kind)];
}

// "ms", "mp", "kb": prefixes of control names, folders and files.
std::string_view kindPrefix(DeviceKind kind);
// "mouse", "mousepad", "keyboard".
std::string_view kindName(DeviceKind kind);
std::optional<DeviceKind> kindFromName(std::string_view name);

// The kind whose device these ids belong to (any keyboard variant), whatever
// the interface.
std::optional<DeviceKind> kindOfDevice(uint16_t vendor, uint16_t product);
// The kind whose configuration interface this is: device ids and the
// configuration usage page and usage.
std::optional<DeviceKind> kindOfConfigInterface(uint16_t vendor, uint16_t product,
                                                uint16_t usagePage, uint16_t usage);

}  // namespace rxt
