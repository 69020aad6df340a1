#include "device/device_kind.h"

namespace rxt {
namespace {

constexpr std::array<std::string_view, 3> kPrefixes{"ms", "mp", "kb"};
constexpr std::array<std::string_view, 3> kNames{"mouse", "mousepad", "keyboard"};

}  // namespace

std::string_view kindPrefix(DeviceKind kind) {
    return kPrefixes[static_cast<size_t>(kind)];
}

std::string_view kindName(DeviceKind kind) {
    return kNames[static_cast<size_t>(kind)];
}

std::optional<DeviceKind> kindFromName(std::string_view name) {
    for (DeviceKind k : kAllDeviceKinds) {
        if (kindName(k) == name) {
            return k;
        }
    }
    return std::nullopt;
}

std::optional<DeviceKind> kindOfDevice(uint16_t vendor, uint16_t product) {
    const auto& kb = identityOf(DeviceKind::Keyboard);
    if (vendor == kb.vendor) {
        for (uint16_t p : kKeyboardProducts) {
            if (p == product) {
                return DeviceKind::Keyboard;
            }
        }
    }
    for (DeviceKind k : {DeviceKind::Mouse, DeviceKind::Mousepad}) {
        if (identityOf(k).vendor == vendor && identityOf(k).product == product) {
            return k;
        }
    }
    return std::nullopt;
}

std::optional<DeviceKind> kindOfConfigInterface(uint16_t vendor, uint16_t product,
                                                uint16_t usagePage, uint16_t usage) {
    if (usagePage != kConfigUsagePage || usage != kConfigUsage) {
        return std::nullopt;
    }
    return kindOfDevice(vendor, product);
}

}  // namespace rxt
