#include "platform/x11_keysyms.h"

namespace rxt {

std::optional<VirtualKey> virtualKeyOfKeysym(uint32_t keysym) {
    if (keysym >= 'a' && keysym <= 'z') {
        return VirtualKey{static_cast<uint16_t>(keysym - 'a' + 0x41), false};
    }
    if ((keysym >= 'A' && keysym <= 'Z') || (keysym >= '0' && keysym <= '9')) {
        return VirtualKey{static_cast<uint16_t>(keysym), false};
    }
    for (const KeysymRow& row : kKeysymTable) {
        if (row.keysym == keysym) {
            return VirtualKey{row.virtualKey, row.extended};
        }
    }
    return std::nullopt;
}

std::optional<MouseButtonMessages> mouseMessagesOfButton(unsigned button) {
    switch (button) {
        case 1:
            return MouseButtonMessages{0x0201, 0x0202, 0};
        case 2:
            return MouseButtonMessages{0x0207, 0x0208, 0};
        case 3:
            return MouseButtonMessages{0x0204, 0x0205, 0};
        case 8:
            return MouseButtonMessages{0x020B, 0x020C, 1};
        case 9:
            return MouseButtonMessages{0x020B, 0x020C, 2};
        default:
            return std::nullopt;
    }
}

}  // namespace rxt
