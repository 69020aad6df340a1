#pragma once
// Finds a device's interface the way the discovery threads do: walk the
// enumeration, open each candidate of the right vendor, keep the first whose
// ids and top-level usage match.

#include <cstdint>
#include <span>
#include <string>

#include "device/device_kind.h"
#include "device/hid_device.h"

namespace rxt {

struct InterfaceMatch {
    uint16_t vendor = 0;
    std::span<const uint16_t> products;  // any of these
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

// The configuration interface of a kind; the keyboard accepts every variant.
InterfaceMatch configInterfaceMatch(DeviceKind kind);
// The consumer-control interface that carries a device's change notifications.
InterfaceMatch consumerInterfaceMatch(DeviceKind kind);

enum class FindResult { Found, NotFound, EnumerationFailed };

struct FindReport {
    FindResult result = FindResult::NotFound;
    int candidates = 0;     // interfaces of the right vendor and product tried
    std::string openError;  // last failure to open one of them, if any
};

// Enumerates on device and opens the first matching interface on it, which
// stays open on success. The path list is freed before returning.
FindReport findAndOpen(HidDevice& device, const InterfaceMatch& match, bool write);

}  // namespace rxt
