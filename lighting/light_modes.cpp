#include "lighting/light_modes.h"

#include <charconv>

namespace rxt::lighting {
namespace {

constexpr std::string_view kKeyPrefix = "light_mode_";

}  // namespace

std::span<const std::string_view> modeTexts(LightDevice device) {
    switch (device.device) {
        case DeviceKind::Mouse:
            return kMouseModeTexts;
        case DeviceKind::Mousepad:
            return kMousepadModeTexts;
        case DeviceKind::Keyboard:
            if (!device.keyboard) {
                return {};
            }
            if (*device.keyboard == KeyboardKind::FullColour) {
                return kFullColourModeTexts;
            }
            return kSingleColourModeTexts;
    }
    return {};
}

std::string modeName(std::string_view key) {
    if (key.substr(0, kKeyPrefix.size()) == kKeyPrefix) {
        key.remove_prefix(kKeyPrefix.size());
    }
    std::string name(key);
    for (char& c : name) {
        if (c == '_') {
            c = '-';
        }
    }
    return name;
}

std::optional<int> modeOfName(LightDevice device, std::string_view name) {
    const std::span<const std::string_view> modes = modeTexts(device);
    int number = -1;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (ec == std::errc() && end == name.data() + name.size()) {
        if (number >= 0 && static_cast<size_t>(number) < modes.size()) {
            return number;
        }
        return std::nullopt;
    }
    for (size_t i = 0; i < modes.size(); ++i) {
        if (modeName(modes[i]) == name) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

}  // namespace rxt::lighting
