#pragma once
// Readers for the sysfs and udev texts behind a hidraw node, kept apart from
// libudev so that they can be checked without devices.

#include <cstdint>
#include <optional>
#include <string_view>

namespace rxt {

struct HidIdField {
    uint32_t bus = 0;
    uint16_t vendor = 0;
    uint16_t product = 0;
};

// The hid device's HID_ID property, "bus:vendor:product" in hex
// ("0003:0000320F:00002002"). Nothing when malformed or an id exceeds 16 bits.
std::optional<HidIdField> parseHidId(std::string_view text);

// A hex attribute such as bInterfaceNumber ("01\n") or bcdDevice ("0100\n"):
// surrounding blanks allowed, at most 8 digits, nothing else.
std::optional<uint32_t> parseHexAttribute(std::string_view text);

}  // namespace rxt
