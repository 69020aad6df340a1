#pragma once
// One step of a macro and its record text "delayLow,delayHigh,code,value,
// pressed,name", the single form in which the editor rows and the macro files
// keep a step.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rxt {

// Action kinds (the low 7 bits of a step's code).
inline constexpr uint8_t kActionButton = 1;
inline constexpr uint8_t kActionMoveHorizontal = 4;  // bit 7: left
inline constexpr uint8_t kActionMoveVertical = 5;    // bit 7: up
inline constexpr uint8_t kActionModifier = 9;
inline constexpr uint8_t kActionKey = 10;
// Bit 7 of a code: press (buttons, keys) or left/up (moves).
inline constexpr uint8_t kActionDirectionBit = 0x80;

struct MacroAction {
    uint16_t delay = 0;  // ms after this step
    uint8_t code = 0;
    uint8_t value = 0;
    uint16_t pressed = 0;  // shown by the editor only
    std::string name;      // language key of the step's name; no comma

    uint8_t kind() const { return code & 0x7F; }
    bool direction() const { return (code & kActionDirectionBit) != 0; }
    // Kinds below 9 are mouse steps, the others keyboard steps.
    bool isMouseStep() const { return kind() < kActionModifier; }
    bool isMove() const { return kind() == kActionMoveHorizontal || kind() == kActionMoveVertical; }

    bool operator==(const MacroAction&) const = default;
};

// The five numbers of a record as stored, before they are put together.
struct ActionRecordFields {
    uint8_t delayLow = 0;
    uint8_t delayHigh = 0;
    uint8_t code = 0;
    uint8_t value = 0;
    uint16_t pressed = 0;
    std::string name;

    MacroAction action() const;
};

// Parses from the right: the name after the last comma, then pressed, value,
// code, delay high and delay low, each after the then-last comma. nullopt
// when any of the five commas is missing.
std::optional<ActionRecordFields> ParseActionRecord(std::string_view text);
std::optional<MacroAction> parseAction(std::string_view text);

std::string FormatActionRecord(const MacroAction& action);

// The decimal reading of one record field: leading blanks and a sign
// accepted, stopping at the first other character, no digits reading as 0.
long recordNumber(std::string_view text);

}  // namespace rxt
