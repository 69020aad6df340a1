#pragma once
// The rows of the key pages' choosers: which function each row of the main
// chooser stands for (mouse and keyboard differ in order), and the entries
// and language keys of the sub-choosers (buttons, DPI steps, shortcuts,
// multimedia, system functions, play modes, gun schemes).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "device/device_kind.h"
#include "settings/key_assignment.h"

namespace rxt {

// What a row of the main chooser offers.
enum class PanelFunction : uint8_t {
    Default,
    MouseButton,
    HorizontalSwing,
    VerticalSwing,
    DpiStep,
    FireKey,
    SingleKey,
    Multimedia,
    System,
    Macro,
    GunScheme,
    Shortcut,
};

inline constexpr std::array<PanelFunction, 12> kMouseChooserRows{
    PanelFunction::Default,       PanelFunction::MouseButton, PanelFunction::HorizontalSwing,
    PanelFunction::VerticalSwing, PanelFunction::DpiStep,     PanelFunction::FireKey,
    PanelFunction::SingleKey,     PanelFunction::Multimedia,  PanelFunction::System,
    PanelFunction::Macro,         PanelFunction::GunScheme,   PanelFunction::Shortcut,
};
inline constexpr std::array<PanelFunction, 11> kKeyboardChooserRows{
    PanelFunction::Default,         PanelFunction::SingleKey,     PanelFunction::MouseButton,
    PanelFunction::HorizontalSwing, PanelFunction::VerticalSwing, PanelFunction::DpiStep,
    PanelFunction::FireKey,         PanelFunction::Multimedia,    PanelFunction::System,
    PanelFunction::Macro,           PanelFunction::Shortcut,
};

std::span<const PanelFunction> chooserRows(DeviceKind device);
std::optional<PanelFunction> chooserFunction(DeviceKind device, int row);
// -1 when the device's chooser has no such row (the keyboard's gun scheme).
int chooserRow(DeviceKind device, PanelFunction function);

// A sub-chooser row: the entry it writes and the language key of its name.
struct FunctionRow {
    KeyAssignment entry;
    std::string_view name;
};

// clang-format off
inline constexpr std::array<FunctionRow, 5> kButtonFunctionRows{{
    {{FunctionKind::MouseButton, 0x01, 0}, "mouse_key_left"},
    {{FunctionKind::MouseButton, 0x04, 0}, "mouse_key_middle"},
    {{FunctionKind::MouseButton, 0x02, 0}, "mouse_key_right"},
    {{FunctionKind::MouseButton, 0x10, 0}, "mouse_key_forward"},
    {{FunctionKind::MouseButton, 0x08, 0}, "mouse_key_back"},
}};

inline constexpr std::array<FunctionRow, 3> kDpiStepRows{{
    {{FunctionKind::DpiStep, 1, 0}, "mouse_key_DPI_add"},
    {{FunctionKind::DpiStep, 2, 0}, "mouse_key_DPI_sub"},
    {{FunctionKind::DpiStep, 3, 0}, "mouse_key_DPI_loop"},
}};

// Left Ctrl with a key.
inline constexpr uint8_t kShortcutModifier = 0x01;
inline constexpr std::array<FunctionRow, 11> kShortcutRows{{
    {{FunctionKind::Key, kShortcutModifier, 0x12}, "combo_open"},
    {{FunctionKind::Key, kShortcutModifier, 0x11}, "combo_new"},
    {{FunctionKind::Key, kShortcutModifier, 0x1D}, "combo_revocation"},
    {{FunctionKind::Key, kShortcutModifier, 0x16}, "combo_save"},
    {{FunctionKind::Key, kShortcutModifier, 0x06}, "combo_copy"},
    {{FunctionKind::Key, kShortcutModifier, 0x1B}, "combo_cut"},
    {{FunctionKind::Key, kShortcutModifier, 0x19}, "combo_paste"},
    {{FunctionKind::Key, kShortcutModifier, 0x09}, "combo_finde"},
    {{FunctionKind::Key, kShortcutModifier, 0x04}, "combo_all"},
    {{FunctionKind::Key, kShortcutModifier, 0x2D}, "combo_narrow"},
    {{FunctionKind::Key, kShortcutModifier, 0x2E}, "combo_magnify"},
}};

// Consumer usage: low byte in p1, high byte in p2.
constexpr FunctionRow media(uint16_t usage, std::string_view name) {
    return {{FunctionKind::Multimedia, static_cast<uint8_t>(usage & 0xFF),
             static_cast<uint8_t>(usage >> 8)}, name};
}
inline constexpr std::array<FunctionRow, 18> kMultimediaRows{{
    media(0x0183, "media_text"), media(0x00CD, "media_play"), media(0x00B7, "media_stop"),
    media(0x00B6, "media_prev"), media(0x00B5, "media_next"), media(0x00EA, "media_vol_sub"),
    media(0x00E9, "media_vol_add"), media(0x00E2, "media_mute"), media(0x0223, "web_text"),
    media(0x0227, "web_refresh"), media(0x0226, "wed_stop"), media(0x0224, "wed_back"),
    media(0x0225, "wed_forward"), media(0x022A, "wed_favorite"), media(0x0221, "web_search"),
    media(0x0194, "media_mypc"), media(0x0192, "media_calc"), media(0x018A, "media_mail"),
}};

inline constexpr std::array<FunctionRow, 3> kSystemRows{{
    {{FunctionKind::System, 0x01, 0}, "system_power"},
    {{FunctionKind::System, 0x02, 0}, "system_sleep"},
    {{FunctionKind::System, 0x04, 0}, "system_wake_up"},
}};

inline constexpr std::array<FunctionRow, 4> kGunSchemeRows{{
    {{FunctionKind::GunScheme, 0, 0}, "GUN_1"},
    {{FunctionKind::GunScheme, 1, 0}, "GUN_2"},
    {{FunctionKind::GunScheme, 2, 0}, "GUN_3"},
    {{FunctionKind::GunScheme, 3, 0}, "GUN_4"},
}};
// clang-format on

// Swing directions: row 1 sets bit 7 of p2.
inline constexpr uint8_t kSwingDirectionBit = 0x80;
inline constexpr std::array<std::string_view, 2> kHorizontalSwingNames{"mouse_key_left_Swing",
                                                                       "mouse_key_right_Swing"};
inline constexpr std::array<std::string_view, 2> kVerticalSwingNames{"mouse_key_up_Swing",
                                                                     "mouse_key_down_Swing"};
inline constexpr std::string_view kFireKeyName = "mouse_key_fire_key";

// Play modes 0..3 are the device's; row 4 plays the macro a counted number
// of times (kind 0x71).
inline constexpr int kPlayModeRows = 5;
inline constexpr int kCountedPlayMode = 4;

// The names of kinds the pages do not offer.
inline constexpr std::string_view kSniperName = "mouse_key_sniper";       // 0xA0
inline constexpr std::string_view kOtherKindName = "mouse_key_DPI_loop";  // kinds not named
inline constexpr uint8_t kKindConsumerAlias = 0x21;                       // labelled as 0x30
inline constexpr uint8_t kKindSniper = 0xA0;
// Kinds whose labels are left as they are.
inline constexpr std::array<uint8_t, 5> kUnlabelledKinds{0x15, 0x50, 0x60, 0xB0, 0xC0};

// The row of a table whose entry matches on the parts the label rules
// compare (p1 for buttons and DPI steps, p1 and p2 for the others).
std::optional<size_t> mouseButtonRow(uint8_t p1);
std::optional<size_t> dpiStepRow(uint8_t p1);
std::optional<size_t> shortcutRow(uint8_t p1, uint8_t p2);
std::optional<size_t> multimediaRow(uint8_t p1, uint8_t p2);
std::optional<size_t> systemRow(uint8_t p1, uint8_t p2);

}  // namespace rxt
