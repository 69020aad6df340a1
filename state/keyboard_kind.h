#pragma once
// The two keyboard models and which product id is which. The full-colour
// keyboard streams 126 keys of red, green and blue and has the long mode
// list; the single-colour keyboard streams one level per key. The kind is
// the keyboard variant of the device images: 1 full-colour, 0 single-colour.
//
// Decision: 0x6553, the keyboard whose consumer-control interface the
// listener opens, is the full-colour model; 0x0800 is the single-colour
// model; 0x7200 shares both models' boards and so keeps the kind the last
// keyboard set (single-colour after start).

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace rxt {

enum class KeyboardKind : uint8_t {
    SingleColour = 0,
    FullColour = 1,
};

struct KeyboardModel {
    uint16_t product;
    std::optional<KeyboardKind> kind;  // none: the kind stays as it was
};

inline constexpr std::array<KeyboardModel, 3> kKeyboardModels{{
    {0x6553, KeyboardKind::FullColour},
    {0x0800, KeyboardKind::SingleColour},
    {0x7200, std::nullopt},
}};

// The kind a keyboard with this product id sets; an id of no model keeps it.
constexpr KeyboardKind keyboardKindFor(uint16_t product, KeyboardKind current) {
    for (const KeyboardModel& m : kKeyboardModels) {
        if (m.product == product) {
            return m.kind.value_or(current);
        }
    }
    return current;
}

constexpr KeyboardKind keyboardKindOf(int variant) {
    return variant == 1 ? KeyboardKind::FullColour : KeyboardKind::SingleColour;
}
constexpr int keyboardVariantOf(KeyboardKind kind) {
    return kind == KeyboardKind::FullColour ? 1 : 0;
}

// "full-colour" or "single-colour", as rxtctl names the kind.
constexpr std::string_view keyboardKindName(KeyboardKind kind) {
    return kind == KeyboardKind::FullColour ? "full-colour" : "single-colour";
}

}  // namespace rxt
