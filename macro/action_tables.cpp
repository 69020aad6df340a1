#include "macro/action_tables.h"

#include "macro/macro_action.h"

namespace rxt {

std::optional<size_t> macroKeyRowOfVirtualKey(uint16_t virtualKey) {
    for (size_t r = 0; r < kMacroKeyRows; ++r) {
        if (kKeyTable[r].virtualKey == virtualKey) {
            return r;
        }
    }
    return std::nullopt;
}

std::optional<size_t> macroKeyRowOfStep(uint8_t kind, uint8_t value) {
    for (size_t r = 0; r < kMacroKeyRows; ++r) {
        const KeyRow& row = kKeyTable[r];
        if ((kind == kActionKey && row.usage != 0 && row.usage == value) ||
            (kind == kActionModifier && row.usage == 0 && row.modifier == value)) {
            return r;
        }
    }
    return std::nullopt;
}

std::optional<size_t> mouseRowOfStep(uint8_t code, uint8_t value) {
    for (size_t r = 0; r < kMouseButtonRows; ++r) {
        if (kMouseActionTable[r].code == code && kMouseActionTable[r].value == value) {
            return r;
        }
    }
    const bool bit7 = (code & kActionDirectionBit) != 0;
    switch (code & 0x7F) {
        case kActionMoveHorizontal:
            return bit7 ? kMouseMoveRowLeft : kMouseMoveRowRight;
        case kActionMoveVertical:
            return bit7 ? kMouseMoveRowUp : kMouseMoveRowDown;
        default:
            return std::nullopt;
    }
}

}  // namespace rxt
