#include "lighting/light_edit.h"

#include <charconv>
#include <cstdio>

#include "lighting/keyboard_frames.h"
#include "lighting/light_modes.h"

namespace rxt::lighting {
namespace {

std::optional<int> number(std::string_view text) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return v;
}

std::string modeList(LightDevice device) {
    std::string out;
    const auto modes = modeTexts(device);
    for (size_t i = 0; i < modes.size(); ++i) {
        out += (i == 0 ? "" : ", ") + modeName(modes[i]);
    }
    return out;
}

constexpr KeyboardKind kKeyboardKinds[] = {KeyboardKind::FullColour, KeyboardKind::SingleColour};

// What a mode may be, every list named.
std::string allowedModes(LightDevice device) {
    if (device.device == DeviceKind::Keyboard && !device.keyboard) {
        std::string out;
        for (KeyboardKind k : kKeyboardKinds) {
            const LightDevice kb{DeviceKind::Keyboard, k};
            out += modeList(kb) + " (" + lightDeviceName(kb) + "); ";
        }
        return out + "or 0 to " + std::to_string(kKeyboardModes - 1);
    }
    return modeList(device) + ", or 0 to " + std::to_string(modeTexts(device).size() - 1);
}

std::optional<int> modeOf(LightDevice device, std::string_view name) {
    if (device.device != DeviceKind::Keyboard || device.keyboard) {
        return modeOfName(device, name);
    }
    for (KeyboardKind k : kKeyboardKinds) {
        if (const auto mode = modeOfName({DeviceKind::Keyboard, k}, name)) {
            return mode;
        }
    }
    return std::nullopt;
}

bool fixedColour(LightDevice device) {
    return device.device == DeviceKind::Keyboard && device.keyboard == KeyboardKind::SingleColour;
}

}  // namespace

std::string lightDeviceName(LightDevice device) {
    if (device.device != DeviceKind::Keyboard || !device.keyboard) {
        return std::string(kindName(device.device));
    }
    return std::string(keyboardKindName(*device.keyboard)) + " keyboard";
}

LightView lightView(const DeviceImages& images, std::optional<KeyboardKind> keyboard) {
    const ByteImage<kMouseCurrentRecordSize>& r = images.current;
    const LightDevice device{images.kind(), keyboard};
    LightView v;
    v.mode = r.get(rec::kLightMode);
    const auto modes = modeTexts(device);
    if (static_cast<size_t>(v.mode) < modes.size()) {
        v.modeName = modeName(modes[static_cast<size_t>(v.mode)]);
    }
    v.brightness = r.get(rec::kBrightness);
    v.speed = kMaxSpeed - static_cast<int>(r.get(rec::kSpeed));
    v.left = r.get(rec::kDirection) != 0;
    v.fixedColour = fixedColour(device);
    if (v.fixedColour) {
        v.colour = kSingleColourDisplay;
    } else {
        v.colourful = r.get(rec::kColourful) != 0;
        v.colour = {r.get(rec::kRed), r.get(rec::kGreen), r.get(rec::kBlue)};
    }
    return v;
}

std::optional<Rgb> parseColour(std::span<const std::string> words) {
    if (words.size() == 3) {
        Rgb c;
        uint8_t* parts[3] = {&c.r, &c.g, &c.b};
        for (size_t i = 0; i < 3; ++i) {
            const auto n = number(words[i]);
            if (!n || *n < 0 || *n > 255) {
                return std::nullopt;
            }
            *parts[i] = static_cast<uint8_t>(*n);
        }
        return c;
    }
    if (words.size() != 1) {
        return std::nullopt;
    }
    std::string_view hex = words[0];
    if (!hex.empty() && hex[0] == '#') {
        hex.remove_prefix(1);
    }
    if (hex.size() != 6) {
        return std::nullopt;
    }
    uint32_t v = 0;
    const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), v, 16);
    if (ec != std::errc() || end != hex.data() + hex.size()) {
        return std::nullopt;
    }
    return rgbOf(v);
}

std::string colourText(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

std::optional<LightEdit> parseLightEdit(LightDevice device, std::span<const std::string> words,
                                        std::string& error) {
    if (words.empty()) {
        error = "lighting needs a field: " + std::string(kLightFieldNames);
        return std::nullopt;
    }
    const std::string& field = words[0];
    const std::span<const std::string> values = words.subspan(1);
    auto one = [&](std::string_view allowed) -> const std::string* {
        if (values.size() != 1) {
            error = "lighting " + field + " takes one value: " + std::string(allowed);
            return nullptr;
        }
        return &values[0];
    };
    LightEdit e;
    if (field == "mode") {
        const std::string allowed = allowedModes(device);
        const std::string* v = one(allowed);
        if (v == nullptr) {
            return std::nullopt;
        }
        const auto mode = modeOf(device, *v);
        if (!mode) {
            error = "no " + lightDeviceName(device) + " light mode \"" + *v + "\": " + allowed;
            return std::nullopt;
        }
        e.field = LightField::Mode;
        e.value = *mode;
        return e;
    }
    if (field == "brightness" || field == "speed") {
        const bool speed = field == "speed";
        const int max = speed ? kMaxSpeed : kMaxBrightness;
        const std::string allowed =
            "0 to " + std::to_string(max) + (speed ? " (4 is the fastest)" : "");
        const std::string* v = one(allowed);
        if (v == nullptr) {
            return std::nullopt;
        }
        const auto n = number(*v);
        if (!n || *n < 0 || *n > max) {
            error = "lighting " + field + " must be " + allowed + ", not \"" + *v + "\"";
            return std::nullopt;
        }
        e.field = speed ? LightField::Speed : LightField::Brightness;
        e.value = *n;
        return e;
    }
    if (field == "direction") {
        const std::string* v = one("left or right");
        if (v == nullptr) {
            return std::nullopt;
        }
        if (*v != "left" && *v != "right") {
            error = "lighting direction must be left or right, not \"" + *v + "\"";
            return std::nullopt;
        }
        e.field = LightField::Direction;
        e.value = *v == "left" ? 1 : 0;
        return e;
    }
    const bool colourField =
        field == "colourful" || field == "colorful" || field == "color" || field == "colour";
    if (colourField && fixedColour(device)) {
        error = "the single-colour keyboard's colour is fixed: it takes no " + field;
        return std::nullopt;
    }
    if (field == "colourful" || field == "colorful") {
        const std::string* v = one("on or off");
        if (v == nullptr) {
            return std::nullopt;
        }
        if (*v != "on" && *v != "off" && *v != "1" && *v != "0") {
            error = "lighting colourful must be on or off, not \"" + *v + "\"";
            return std::nullopt;
        }
        e.field = LightField::Colourful;
        e.value = *v == "on" || *v == "1" ? 1 : 0;
        return e;
    }
    if (field == "color" || field == "colour") {
        const auto c = parseColour(values);
        if (!c) {
            error = "lighting color takes RRGGBB in hexadecimal or three numbers 0 to 255";
            return std::nullopt;
        }
        e.field = LightField::Colour;
        e.colour = *c;
        return e;
    }
    error = "unknown lighting field \"" + field + "\": " + std::string(kLightFieldNames);
    return std::nullopt;
}

void storeLightEdit(DeviceImages& images, const LightEdit& edit) {
    ByteImage<kMouseCurrentRecordSize>& r = images.current;
    const auto byte = [](int v) { return static_cast<uint8_t>(v); };
    switch (edit.field) {
        case LightField::Mode:
            r.set(rec::kLightMode, byte(edit.value));
            break;
        case LightField::Brightness:
            r.set(rec::kBrightness, byte(edit.value));
            break;
        case LightField::Speed:
            r.set(rec::kSpeed, byte(kMaxSpeed - edit.value));
            break;
        case LightField::Direction:
            r.set(rec::kDirection, edit.value != 0 ? kDirectionLeft : kDirectionRight);
            break;
        case LightField::Colourful:
            r.set(rec::kColourful, edit.value != 0 ? 1 : 0);
            break;
        case LightField::Colour:
            r.set(rec::kRed, edit.colour.r);
            r.set(rec::kGreen, edit.colour.g);
            r.set(rec::kBlue, edit.colour.b);
            r.set(rec::kColourful, 0);
            break;
    }
}

}  // namespace rxt::lighting
