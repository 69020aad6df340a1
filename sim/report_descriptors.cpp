#include "sim/report_descriptors.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace rxt::sim {
namespace {

// Short items: the prefix byte, then its data bytes.
constexpr auto kConfig = std::to_array<uint8_t>({
    0x06, 0x1C, 0xFF,  // Usage Page (vendor 0xFF1C)
    0x09, 0x92,        // Usage (0x92)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x04,        //   Report ID (4)
    0x09, 0x01,        //   Usage (1)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x02,        //   Usage (2)
    0x95, 0x3F,        //   Report Count (63)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
});

template <size_t... N>
constexpr auto concat(const std::array<uint8_t, N>&... parts) {
    std::array<uint8_t, (N + ...)> out{};
    size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), out.begin() + at), at += N), ...);
    return out;
}

constexpr auto kConsumerHead = std::to_array<uint8_t>({
    0x05, 0x0C,  // Usage Page (Consumer)
    0x09, 0x01,  // Usage (Consumer Control)
    0xA1, 0x01,  // Collection (Application)
});

constexpr auto kConsumerReportIdItem = std::to_array<uint8_t>({
    0x85, kConsumerReportId,  // Report ID (3)
});

// Array slot over usages 1..0xFFF; 0 is outside the logical range and so
// means "nothing pressed", which is how a key release is reported.
constexpr auto kConsumerBody = std::to_array<uint8_t>({
    0x15, 0x01,        //   Logical Minimum (1)
    0x26, 0xFF, 0x0F,  //   Logical Maximum (0xFFF)
    0x19, 0x01,        //   Usage Minimum (1)
    0x2A, 0xFF, 0x0F,  //   Usage Maximum (0xFFF)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x00,        //   Input (Data, Array, Absolute)
    0xC0,              // End Collection
});

constexpr auto kSystemControl = std::to_array<uint8_t>({
    0x05, 0x01,                    // Usage Page (Generic Desktop)
    0x09, 0x80,                    // Usage (System Control)
    0xA1, 0x01,                    // Collection (Application)
    0x85, kSystemControlReportId,  //   Report ID (2)
    0x19, 0x81,                    //   Usage Minimum (System Power Down)
    0x29, 0x83,                    //   Usage Maximum (System Wake Up)
    0x15, 0x00,                    //   Logical Minimum (0)
    0x25, 0x01,                    //   Logical Maximum (1)
    0x75, 0x01,                    //   Report Size (1)
    0x95, 0x03,                    //   Report Count (3)
    0x81, 0x02,                    //   Input (Data, Variable, Absolute)
    0x95, 0x05,                    //   Report Count (5)
    0x81, 0x01,                    //   Input (Constant): padding to a byte
    0xC0,                          // End Collection
});

constexpr auto kConsumer = concat(kConsumerHead, kConsumerBody);
constexpr auto kKeyboardCombo =
    concat(kConfig, kConsumerHead, kConsumerReportIdItem, kConsumerBody, kSystemControl);

constexpr auto kBootMouse = std::to_array<uint8_t>({
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x02,  // Usage (Mouse)
    0xA1, 0x01,  // Collection (Application)
    0x09, 0x01,  //   Usage (Pointer)
    0xA1, 0x00,  //   Collection (Physical)
    0x05, 0x09,  //     Usage Page (Button)
    0x19, 0x01,  //     Usage Minimum (1)
    0x29, 0x05,  //     Usage Maximum (5)
    0x15, 0x00,  //     Logical Minimum (0)
    0x25, 0x01,  //     Logical Maximum (1)
    0x95, 0x05,  //     Report Count (5)
    0x75, 0x01,  //     Report Size (1)
    0x81, 0x02,  //     Input (Data, Variable, Absolute)
    0x95, 0x01,  //     Report Count (1)
    0x75, 0x03,  //     Report Size (3)
    0x81, 0x01,  //     Input (Constant)
    0x05, 0x01,  //     Usage Page (Generic Desktop)
    0x09, 0x30,  //     Usage (X)
    0x09, 0x31,  //     Usage (Y)
    0x09, 0x38,  //     Usage (Wheel)
    0x15, 0x81,  //     Logical Minimum (-127)
    0x25, 0x7F,  //     Logical Maximum (127)
    0x75, 0x08,  //     Report Size (8)
    0x95, 0x03,  //     Report Count (3)
    0x81, 0x06,  //     Input (Data, Variable, Relative)
    0xC0,        //   End Collection
    0xC0,        // End Collection
});

constexpr auto kBootKeyboard = std::to_array<uint8_t>({
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x06,        // Usage (Keyboard)
    0xA1, 0x01,        // Collection (Application)
    0x05, 0x07,        //   Usage Page (Keyboard)
    0x19, 0xE0,        //   Usage Minimum (Left Control)
    0x29, 0xE7,        //   Usage Maximum (Right GUI)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x08,        //   Report Count (8)
    0x81, 0x02,        //   Input (Data, Variable, Absolute): modifiers
    0x95, 0x01,        //   Report Count (1)
    0x75, 0x08,        //   Report Size (8)
    0x81, 0x01,        //   Input (Constant): reserved byte
    0x95, 0x05,        //   Report Count (5)
    0x75, 0x01,        //   Report Size (1)
    0x05, 0x08,        //   Usage Page (LEDs)
    0x19, 0x01,        //   Usage Minimum (Num Lock)
    0x29, 0x05,        //   Usage Maximum (Kana)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0x95, 0x01,        //   Report Count (1)
    0x75, 0x03,        //   Report Size (3)
    0x91, 0x01,        //   Output (Constant): padding
    0x95, 0x06,        //   Report Count (6)
    0x75, 0x08,        //   Report Size (8)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x05, 0x07,        //   Usage Page (Keyboard)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x00,  //   Usage Maximum (255)
    0x81, 0x00,        //   Input (Data, Array, Absolute): key slots
    0xC0,              // End Collection
});

}  // namespace

std::span<const uint8_t> configDescriptor() {
    return kConfig;
}
std::span<const uint8_t> consumerDescriptor() {
    return kConsumer;
}
std::span<const uint8_t> keyboardComboDescriptor() {
    return kKeyboardCombo;
}
std::span<const uint8_t> bootMouseDescriptor() {
    return kBootMouse;
}
std::span<const uint8_t> bootKeyboardDescriptor() {
    return kBootKeyboard;
}

}  // namespace rxt::sim
