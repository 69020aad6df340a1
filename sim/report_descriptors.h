#pragma once
// The HID report descriptors the virtual devices present. Each is what a real
// device of the kind would carry on that interface, so that the client parses
// them exactly as it parses a hidraw node's.

#include <cstdint>
#include <span>

namespace rxt::sim {

// Report ids used on numbered interfaces.
inline constexpr uint8_t kSystemControlReportId = 2;
inline constexpr uint8_t kConsumerReportId = 3;
// The configuration collection always uses the command report id (4).

// Vendor configuration collection alone: report id 4, 63 data bytes in and out.
std::span<const uint8_t> configDescriptor();
// Consumer control alone, without report ids: one 16-bit array slot.
std::span<const uint8_t> consumerDescriptor();
// Configuration collection, consumer control (report id 3) and system control
// (report id 2) on one interface, as keyboards often have them.
std::span<const uint8_t> keyboardComboDescriptor();
// Boot-protocol mouse: 5 buttons, X, Y, wheel; no report ids.
std::span<const uint8_t> bootMouseDescriptor();
// Boot-protocol keyboard: modifiers, 6 key slots, 5 LEDs out; no report ids.
std::span<const uint8_t> bootKeyboardDescriptor();

}  // namespace rxt::sim
