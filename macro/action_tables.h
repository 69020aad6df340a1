#pragma once
// The codes and display names of every keyboard key (KeyTable) and mouse
// action (MouseActionTable), shared by the key assignment, the macro editor
// and the recorder.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace rxt {

// Key kinds of KeyTable rows.
inline constexpr uint8_t kKeyKindKeyboard = 0x20;
inline constexpr uint8_t kKeyKindConsumer = 0x30;  // 16-bit usage: low in modifier, high in usage
inline constexpr uint8_t kKeyKindSystem = 0x40;    // the system-control bit in modifier

struct KeyRow {
    uint16_t virtualKey;  // Windows virtual-key code (0x101: keypad Enter)
    uint8_t kind;
    uint8_t modifier;
    uint8_t usage;
    std::string_view name;
};

// The virtual-key code the recorder gives the keypad Enter key.
inline constexpr uint16_t kVkKeypadEnter = 0x101;

namespace detail {
inline constexpr KeyRow kb(uint16_t vk, uint8_t modifier, uint8_t usage, std::string_view name) {
    return {vk, kKeyKindKeyboard, modifier, usage, name};
}
inline constexpr KeyRow cc(uint16_t vk, uint16_t usage, std::string_view name) {
    return {vk, kKeyKindConsumer, static_cast<uint8_t>(usage & 0xFF),
            static_cast<uint8_t>(usage >> 8), name};
}
inline constexpr KeyRow sc(uint16_t vk, uint8_t bit, std::string_view name) {
    return {vk, kKeyKindSystem, bit, 0, name};
}
}  // namespace detail

// clang-format off
inline constexpr std::array<KeyRow, 125> kKeyTable{{
    detail::kb(0xA2, 0x01, 0, "keyboard_key_LCtrl"), detail::kb(0xA0, 0x02, 0, "keyboard_key_LShift"),
    detail::kb(0xA4, 0x04, 0, "keyboard_key_LAlt"), detail::kb(0x5B, 0x08, 0, "keyboard_key_LWin"),
    detail::kb(0xA3, 0x10, 0, "keyboard_key_RCtrl"), detail::kb(0xA1, 0x20, 0, "keyboard_key_RShift"),
    detail::kb(0xA5, 0x40, 0, "keyboard_key_RAlt"), detail::kb(0x5C, 0x80, 0, "keyboard_key_RWin"),
    detail::kb(0x41, 0, 0x04, "keyboard_key_A"), detail::kb(0x42, 0, 0x05, "keyboard_key_B"),
    detail::kb(0x43, 0, 0x06, "keyboard_key_C"), detail::kb(0x44, 0, 0x07, "keyboard_key_D"),
    detail::kb(0x45, 0, 0x08, "keyboard_key_E"), detail::kb(0x46, 0, 0x09, "keyboard_key_F"),
    detail::kb(0x47, 0, 0x0A, "keyboard_key_G"), detail::kb(0x48, 0, 0x0B, "keyboard_key_H"),
    detail::kb(0x49, 0, 0x0C, "keyboard_key_I"), detail::kb(0x4A, 0, 0x0D, "keyboard_key_J"),
    detail::kb(0x4B, 0, 0x0E, "keyboard_key_K"), detail::kb(0x4C, 0, 0x0F, "keyboard_key_L"),
    detail::kb(0x4D, 0, 0x10, "keyboard_key_M"), detail::kb(0x4E, 0, 0x11, "keyboard_key_N"),
    detail::kb(0x4F, 0, 0x12, "keyboard_key_O"), detail::kb(0x50, 0, 0x13, "keyboard_key_P"),
    detail::kb(0x51, 0, 0x14, "keyboard_key_Q"), detail::kb(0x52, 0, 0x15, "keyboard_key_R"),
    detail::kb(0x53, 0, 0x16, "keyboard_key_S"), detail::kb(0x54, 0, 0x17, "keyboard_key_T"),
    detail::kb(0x55, 0, 0x18, "keyboard_key_U"), detail::kb(0x56, 0, 0x19, "keyboard_key_V"),
    detail::kb(0x57, 0, 0x1A, "keyboard_key_W"), detail::kb(0x58, 0, 0x1B, "keyboard_key_X"),
    detail::kb(0x59, 0, 0x1C, "keyboard_key_Y"), detail::kb(0x5A, 0, 0x1D, "keyboard_key_Z"),
    detail::kb(0x31, 0, 0x1E, "keyboard_key_1"), detail::kb(0x32, 0, 0x1F, "keyboard_key_2"),
    detail::kb(0x33, 0, 0x20, "keyboard_key_3"), detail::kb(0x34, 0, 0x21, "keyboard_key_4"),
    detail::kb(0x35, 0, 0x22, "keyboard_key_5"), detail::kb(0x36, 0, 0x23, "keyboard_key_6"),
    detail::kb(0x37, 0, 0x24, "keyboard_key_7"), detail::kb(0x38, 0, 0x25, "keyboard_key_8"),
    detail::kb(0x39, 0, 0x26, "keyboard_key_9"), detail::kb(0x30, 0, 0x27, "keyboard_key_0"),
    detail::kb(0x0D, 0, 0x28, "keyboard_key_Enter"), detail::kb(0x1B, 0, 0x29, "keyboard_key_Esc"),
    detail::kb(0x08, 0, 0x2A, "keyboard_key_BackSpace"), detail::kb(0x09, 0, 0x2B, "keyboard_key_Tab"),
    detail::kb(0x20, 0, 0x2C, "keyboard_key_Space"),
    detail::kb(0xBD, 0, 0x2D, "keyboard_key_-"), detail::kb(0xBB, 0, 0x2E, "keyboard_key_="),
    detail::kb(0xDB, 0, 0x2F, "keyboard_key_["), detail::kb(0xDD, 0, 0x30, "keyboard_key_]"),
    detail::kb(0xDC, 0, 0x31, "keyboard_key_xiegang"),
    detail::kb(0xBA, 0, 0x33, "keyboard_key_;"), detail::kb(0xDE, 0, 0x34, "keyboard_key_'"),
    detail::kb(0xC0, 0, 0x35, "keyboard_key_`"), detail::kb(0xBC, 0, 0x36, "keyboard_key_<"),
    detail::kb(0xBE, 0, 0x37, "keyboard_key_."), detail::kb(0xBF, 0, 0x38, "keyboard_key_/"),
    detail::kb(0x14, 0, 0x39, "keyboard_key_Caplk"),
    detail::kb(0x70, 0, 0x3A, "keyboard_key_F1"), detail::kb(0x71, 0, 0x3B, "keyboard_key_F2"),
    detail::kb(0x72, 0, 0x3C, "keyboard_key_F3"), detail::kb(0x73, 0, 0x3D, "keyboard_key_F4"),
    detail::kb(0x74, 0, 0x3E, "keyboard_key_F5"), detail::kb(0x75, 0, 0x3F, "keyboard_key_F6"),
    detail::kb(0x76, 0, 0x40, "keyboard_key_F7"), detail::kb(0x77, 0, 0x41, "keyboard_key_F8"),
    detail::kb(0x78, 0, 0x42, "keyboard_key_F9"), detail::kb(0x79, 0, 0x43, "keyboard_key_F10"),
    detail::kb(0x7A, 0, 0x44, "keyboard_key_F11"), detail::kb(0x7B, 0, 0x45, "keyboard_key_F12"),
    detail::kb(0x2C, 0, 0x46, "keyboard_key_Print Scr"), detail::kb(0x91, 0, 0x47, "keyboard_key_Scroll Lock"),
    detail::kb(0x13, 0, 0x48, "keyboard_key_Pause"), detail::kb(0x2D, 0, 0x49, "keyboard_key_Insert"),
    detail::kb(0x24, 0, 0x4A, "keyboard_key_Home"), detail::kb(0x21, 0, 0x4B, "keyboard_key_Page Up"),
    detail::kb(0x2E, 0, 0x4C, "keyboard_key_Delete"), detail::kb(0x23, 0, 0x4D, "keyboard_key_End"),
    detail::kb(0x22, 0, 0x4E, "keyboard_key_Page Down"), detail::kb(0x27, 0, 0x4F, "keyboard_key_Right"),
    detail::kb(0x25, 0, 0x50, "keyboard_key_Left"), detail::kb(0x28, 0, 0x51, "keyboard_key_Down"),
    detail::kb(0x26, 0, 0x52, "keyboard_key_Up"),
    detail::kb(0x90, 0, 0x53, "keyboard_key_Num Lock"), detail::kb(0x6F, 0, 0x54, "keyboard_key_Num /"),
    detail::kb(0x6A, 0, 0x55, "keyboard_key_Num *"), detail::kb(0x6D, 0, 0x56, "keyboard_key_Num -"),
    detail::kb(0x6B, 0, 0x57, "keyboard_key_Num +"), detail::kb(0x101, 0, 0x58, "keyboard_key_Num Enter"),
    detail::kb(0x61, 0, 0x59, "keyboard_key_Num 1"), detail::kb(0x62, 0, 0x5A, "keyboard_key_Num 2"),
    detail::kb(0x63, 0, 0x5B, "keyboard_key_Num 3"), detail::kb(0x64, 0, 0x5C, "keyboard_key_Num 4"),
    detail::kb(0x65, 0, 0x5D, "keyboard_key_Num 5"), detail::kb(0x66, 0, 0x5E, "keyboard_key_Num 6"),
    detail::kb(0x67, 0, 0x5F, "keyboard_key_Num 7"), detail::kb(0x68, 0, 0x60, "keyboard_key_Num 8"),
    detail::kb(0x69, 0, 0x61, "keyboard_key_Num 9"), detail::kb(0x60, 0, 0x62, "keyboard_key_Num 0"),
    detail::kb(0x6E, 0, 0x63, "keyboard_key_Decimal"), detail::kb(0x5D, 0, 0x65, "keyboard_key_App"),
    detail::cc(0xB7, 0x0192, "keyboard_key_Launch App2"), detail::cc(0xAC, 0x0223, "keyboard_key_Browaer Home"),
    detail::cc(0xB3, 0x00CD, "keyboard_key_Media Play Pause"), detail::cc(0xAA, 0x0221, "keyboard_key_Browser Search"),
    detail::cc(0xB4, 0x018A, "keyboard_key_Launch Mail"), detail::cc(0xAF, 0x00E9, "keyboard_key_Volume Up"),
    detail::cc(0xAD, 0x00E2, "keyboard_key_Volume Mute"), detail::cc(0xB2, 0x00B7, "keyboard_key_Media Stop"),
    detail::cc(0xAE, 0x00EA, "keyboard_key_Volume Down"), detail::cc(0xAB, 0x022A, "keyboard_key_Browser Favorites"),
    detail::cc(0xA7, 0x0225, "keyboard_key_Browser ForWard"), detail::cc(0xA6, 0x0224, "keyboard_key_Browser Back"),
    detail::cc(0xB1, 0x00B6, "keyboard_key_Media Prev Track"), detail::cc(0xB0, 0x00B5, "keyboard_key_Media Next Track"),
    detail::cc(0xB6, 0x0194, "keyboard_key_Computer"), detail::cc(0xA8, 0x0227, "keyboard_key_Browser Refresh"),
    detail::cc(0xB5, 0x0183, "keyboard_key_Launch Media Select"), detail::cc(0xB5, 0x0183, "keyboard_key_Launch Media Select"),
    detail::sc(0x103, 0x01, "keyboard_key_Power"), detail::sc(0x104, 0x02, "keyboard_key_Sleep"),
    detail::sc(0x105, 0x04, "keyboard_key_Wakeup"),
}};
// clang-format on

// Macros use the first rows only (the total less the 21 consumer and system
// rows).
inline constexpr size_t kMacroKeyRows = kKeyTable.size() - 21;

struct MouseActionRow {
    uint16_t message;  // Windows mouse message id (moves: 4 and 5)
    uint8_t kind;
    uint8_t value;
    uint8_t code;
    std::string_view name;
};

// Windows mouse message ids the recorder sees.
inline constexpr uint16_t kMsgLeftDown = 0x0201;
inline constexpr uint16_t kMsgLeftUp = 0x0202;
inline constexpr uint16_t kMsgRightDown = 0x0204;
inline constexpr uint16_t kMsgRightUp = 0x0205;
inline constexpr uint16_t kMsgMiddleDown = 0x0207;
inline constexpr uint16_t kMsgMiddleUp = 0x0208;
inline constexpr uint16_t kMsgXDown = 0x020B;
inline constexpr uint16_t kMsgXUp = 0x020C;
inline constexpr uint16_t kMsgWheel = 0x020A;
inline constexpr uint16_t kMsgMouseMove = 0x0200;

// clang-format off
inline constexpr std::array<MouseActionRow, 15> kMouseActionTable{{
    {kMsgLeftDown, 0x10, 0x01, 0x81, "mouse_key_left"},
    {kMsgLeftUp, 0x10, 0x01, 0x01, "mouse_key_left"},
    {kMsgRightDown, 0x10, 0x02, 0x81, "mouse_key_right"},
    {kMsgRightUp, 0x10, 0x02, 0x01, "mouse_key_right"},
    {kMsgMiddleDown, 0x10, 0x04, 0x81, "mouse_key_middle"},
    {kMsgMiddleUp, 0x10, 0x04, 0x01, "mouse_key_middle"},
    {kMsgXDown, 0x10, 0x10, 0x81, "mouse_key_forward"},
    {kMsgXUp, 0x10, 0x10, 0x01, "mouse_key_forward"},
    {kMsgXDown, 0x10, 0x08, 0x81, "mouse_key_back"},
    {kMsgXUp, 0x10, 0x08, 0x01, "mouse_key_back"},
    {0x0004, 0x15, 0, 0x84, "mouse_move_to_left_text"},
    {0x0004, 0x15, 0, 0x04, "mouse_move_to_right_text"},
    {0x0005, 0x15, 0, 0x85, "mouse_move_to_up_text"},
    {0x0005, 0x15, 0, 0x05, "mouse_move_to_down_text"},
    {kMsgWheel, 0x12, 0, 0, "mouse_cursor_text"},
}};
// clang-format on

// Rows 0..9 are buttons; rows 10..13 pointer moves.
inline constexpr size_t kMouseButtonRows = 10;
inline constexpr size_t kMouseMoveRowLeft = 10;
inline constexpr size_t kMouseMoveRowRight = 11;
inline constexpr size_t kMouseMoveRowUp = 12;
inline constexpr size_t kMouseMoveRowDown = 13;
inline constexpr size_t kMouseEditorRows = 14;
// Recorded mouse messages: left, right and middle press and release.
inline constexpr size_t kMouseRecordedRows = 6;

// The first macro key row (0..103) with that virtual-key code.
std::optional<size_t> macroKeyRowOfVirtualKey(uint16_t virtualKey);
// The first macro key row whose usage (kind 10) or modifier mask (kind 9)
// equals the value.
std::optional<size_t> macroKeyRowOfStep(uint8_t kind, uint8_t value);
// The mouse editor row a mouse step shows (0..13), as the editor chooses it.
std::optional<size_t> mouseRowOfStep(uint8_t code, uint8_t value);

}  // namespace rxt
