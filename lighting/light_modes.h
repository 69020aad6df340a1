#pragma once
// The light modes of the devices by name: the language keys of the mode
// combos' rows, in the order of the mode byte, and the short names rxtctl
// takes (the key without "light_mode_").

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/device_kind.h"
#include "state/keyboard_kind.h"

namespace rxt::lighting {

inline constexpr std::array<std::string_view, 8> kMouseModeTexts{
    "light_mode_trail",     "light_mode_wave",   "light_mode_colour_cycle", "light_mode_stripes",
    "light_mode_breathing", "light_mode_static", "light_mode_reactive",     "light_mode_off",
};
inline constexpr std::array<std::string_view, 10> kMousepadModeTexts{
    "light_mode_wave",     "light_mode_colour_cycle", "light_mode_pulse", "light_mode_static",
    "light_mode_scanner",  "light_mode_ripple",       "light_mode_sweep", "light_mode_shutter",
    "light_mode_reactive", "light_mode_hold",
};

// The keyboard's two lists: full-colour and single-colour keyboard.
inline constexpr std::array<std::string_view, 17> kFullColourModeTexts{
    "light_mode_wave",          "light_mode_colour_cycle", "light_mode_pulse",
    "light_mode_static",        "light_mode_rainbow",      "light_mode_ripple",
    "light_mode_show",          "light_mode_snake",        "light_mode_custom",
    "light_mode_rain",          "light_mode_row_wave",     "light_mode_fall",
    "light_mode_comet",         "light_mode_rings",        "light_mode_narrow_wave",
    "light_mode_single_ripple", "light_mode_offset_fall",
};
inline constexpr std::array<std::string_view, 17> kSingleColourModeTexts{
    "light_mode_breathing_wave", "light_mode_breathing", "light_mode_static",
    "light_mode_ripple",         "light_mode_show",      "light_mode_snake_breathing",
    "light_mode_custom",         "light_mode_rain",      "light_mode_fall",
    "light_mode_offset_fall",    "light_mode_comet",     "light_mode_keep_1",
    "light_mode_keep_2",         "light_mode_keep_3",    "light_mode_keep_4",
    "light_mode_keep_5",         "light_mode_keep_6",
};

// Whose lighting: the mouse, the mousepad, or the keyboard of one kind,
// whose two lists differ. A keyboard of no known kind (rxtctl before it
// reaches one) has no list of its own.
struct LightDevice {
    // Two constructors, not a defaulted optional: copying an empty optional
    // reads as use of its unset byte to the optimiser.
    constexpr LightDevice(DeviceKind d) : device(d) {}
    constexpr LightDevice(DeviceKind d, std::optional<KeyboardKind> k) : device(d), keyboard(k) {}
    DeviceKind device;
    std::optional<KeyboardKind> keyboard;
};

// The mode keys of a device, in the order of the mode byte; empty for a
// keyboard of no known kind.
std::span<const std::string_view> modeTexts(LightDevice device);

// "light_mode_colour_cycle" -> "colour-cycle".
std::string modeName(std::string_view key);
// The mode byte of a short name or a number; nullopt when the device has no
// such mode.
std::optional<int> modeOfName(LightDevice device, std::string_view name);

// The direction byte a "left" choice stores, the same on both pages: a
// nonzero byte steps the effect positions upward, which moves the patterns
// toward the lower-numbered (left-hand) lights.
inline constexpr uint8_t kDirectionLeft = 1;
inline constexpr uint8_t kDirectionRight = 0;

}  // namespace rxt::lighting
