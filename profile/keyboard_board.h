#pragma once
// The keyboard's keys as the pages know them: key controls "kb_key_0" ..
// "kb_key_125", each standing for one physical key of a full-size board. A
// key map per keyboard model gives each control its position in the
// device's key table and light frames (entry at 3 x position); 126 marks a
// control the model has no key for.
//
// Variant 1 is the full-colour keyboard, 0 the single-colour one
// (state/keyboard_kind.h); they number their keys differently. The maps are
// the light tables' (lighting/keyboard_tables.h).

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "lighting/keyboard_tables.h"

namespace rxt {

inline constexpr size_t kKeyControlCount = lighting::kKeyCount;
inline constexpr uint8_t kNoKeyPosition = lighting::kNoKey;

// Control index -> position, per keyboard variant.
using lighting::kFullColourKeyMap;
using lighting::kSingleColourKeyMap;
const std::array<uint8_t, kKeyControlCount>& keyMapOf(int keyboardVariant);

// Groups the default lighting layouts are painted by.
enum class KeyGroup : uint8_t {
    Escape,
    FunctionRow,  // F1..F12 and the three keys after them
    Digits,       // the number row
    Letters,
    Punctuation,
    Editing,     // Backspace, Tab, Enter, Caps Lock, Space
    Modifier,    // Shift, Ctrl, Alt, GUI, Fn
    Navigation,  // Insert .. Page Down, arrows, Menu
    Keypad,
};

// Modifier mask bits of a key function (p1 of kind 0x20).
namespace modifier {
inline constexpr uint8_t kLeftCtrl = 0x01;
inline constexpr uint8_t kLeftShift = 0x02;
inline constexpr uint8_t kLeftAlt = 0x04;
inline constexpr uint8_t kLeftGui = 0x08;
inline constexpr uint8_t kRightCtrl = 0x10;
inline constexpr uint8_t kRightShift = 0x20;
inline constexpr uint8_t kRightAlt = 0x40;
}  // namespace modifier

struct BoardKey {
    uint8_t control;  // kb_key_<control>
    uint8_t row;      // 0 (Esc row) .. 5 (Space row)
    KeyGroup group;
    std::string_view name;
    // Standard function: modifier mask and keyboard usage (both 0 for Fn,
    // which the keyboard handles itself).
    uint8_t modifiers;
    uint8_t usage;
    // One of the W, A, S, D or arrow keys.
    bool gamingKey;
};

// Every key of the board, row by row.
std::span<const BoardKey> boardKeys();

}  // namespace rxt
