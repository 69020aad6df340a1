#pragma once
// The lighting bytes of a current record as the lighting pages show them,
// and one change of them given as words ("mode wave", "color ff8000"): what
// rxtctl prints and sets, on its own or through the running program's pages.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "lighting/light_modes.h"
#include "lighting/light_tables.h"
#include "state/device_images.h"
#include "state/keyboard_kind.h"

namespace rxt::lighting {

// The page's scales: brightness is the slider (0..4); speed is the slider
// too, 4 minus the stored byte, so 4 is the fastest.
inline constexpr int kMaxBrightness = 4;
inline constexpr int kMaxSpeed = 4;

// A slider's value within 0..max.
inline int sliderLevel(int64_t value, int max) {
    return value < 0 ? 0 : value > max ? max : static_cast<int>(value);
}

struct LightView {
    int mode = 0;
    std::string modeName;  // empty when the device's modes have no names or the byte is past them
    int brightness = 0;
    int speed = 0;  // the slider's value
    bool left = false;
    bool colourful = false;
    Rgb colour;
    // The single-colour keyboard shows one colour whatever the record holds.
    bool fixedColour = false;
};

// The keyboard's kind names its modes; without it they stay unnamed.
LightView lightView(const DeviceImages& images,
                    std::optional<KeyboardKind> keyboard = std::nullopt);

// "mouse", "mousepad", "full-colour keyboard", "single-colour keyboard" or
// "keyboard".
std::string lightDeviceName(LightDevice device);

enum class LightField { Mode, Brightness, Speed, Direction, Colourful, Colour };

struct LightEdit {
    LightField field = LightField::Mode;
    int value = 0;  // mode byte, slider value, 1 for left or colourful
    Rgb colour;
};

// The field names, for usage texts.
inline constexpr std::string_view kLightFieldNames =
    "mode|brightness|speed|direction|colourful|color";

// FIELD VALUE... for the lighting of `device`; nullopt with a message
// naming what is allowed. For a keyboard of no known kind it is a check
// only: a mode of either list and a colour pass, and the words are parsed
// again once the kind is known.
std::optional<LightEdit> parseLightEdit(LightDevice device, std::span<const std::string> words,
                                        std::string& error);

// The bytes the page stores for the edit: a colour also clears colourful.
void storeLightEdit(DeviceImages& images, const LightEdit& edit);

// "ff8000", "#FF8000" or three numbers 0..255.
std::optional<Rgb> parseColour(std::span<const std::string> words);
std::string colourText(Rgb c);  // "ff8000"

}  // namespace rxt::lighting
