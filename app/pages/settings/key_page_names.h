#pragma once
// The controls of the two key pages, each name written whole once. The
// pages are twins that differ in their prefix; a test checks the names
// against the skin.

#include <array>
#include <string_view>

#include "device/device_kind.h"

namespace rxt {

struct KeyPageNames {
    DeviceKind device;
    std::string_view optionTab;       // the page's option tab
    std::string_view keyPrefix;       // "ms_key_" / "kb_key_" plus n: the buttons or keys
    std::string_view panel;           // the function panel
    std::string_view rowPanelPrefix;  // plus the chooser's row: its parameter panel
    std::string_view chooser;         // the main chooser
    std::string_view buttonCombo;     // 0x10 rows
    std::string_view horizontalCombo;
    std::string_view verticalCombo;
    std::string_view dpiCombo;
    std::string_view mediaCombo;
    std::string_view systemCombo;
    std::string_view macroCombo;
    std::string_view playModeCombo;
    std::string_view gunCombo;  // mouse only
    std::string_view shortcutCombo;
    std::string_view fireFirstEdit;
    std::string_view fireSecondEdit;
    std::string_view horizontalDistanceEdit;
    std::string_view verticalDistanceEdit;
    std::string_view horizontalHighEdit;
    std::string_view verticalHighEdit;
    std::string_view verticalLowEdit;
    std::string_view horizontalLowEdit;
    std::string_view captureEdit;
    std::string_view countEdit;
    std::string_view saveButton;     // ApplyFunction
    std::string_view defaultButton;  // the key back to its default
    std::string_view applyButton;    // macros and bank to the device
};

// clang-format off
inline constexpr KeyPageNames kMouseKeyPage{
    DeviceKind::Mouse, "ms_key_Op_tab", "ms_key_", "ms_tab_function", "ms_tab_function_",
    "ms_key_fct_combo", "ms_key_fct_combo_11", "ms_key_fct_combo_12", "ms_key_fct_combo_13",
    "ms_key_fct_combo_14", "ms_key_fct_combo_21", "ms_key_fct_combo_22", "ms_key_fct_combo_23",
    "ms_key_fct_combo_24", "ms_key_fct_combo_25", "ms_key_fct_combo_26",
    "ms_key_fct_edit_11", "ms_key_fct_edit_12", "ms_key_fct_edit_15", "ms_key_fct_edit_16",
    "ms_key_fct_edit_17", "ms_key_fct_edit_18", "ms_key_fct_edit_19", "ms_key_fct_edit_20",
    "ms_key_fct_edit_21", "ms_key_fct_edit_25",
    "ms_key_butt_keysave", "ms_key_butt_keydefalut", "ms_key_butt_prosave",
};
inline constexpr KeyPageNames kKeyboardKeyPage{
    DeviceKind::Keyboard, "kb_key_Op_tab", "kb_key_", "kb_tab_function", "kb_tab_function_",
    "kb_key_fct_combo", "kb_key_fct_combo_11", "kb_key_fct_combo_12", "kb_key_fct_combo_13",
    "kb_key_fct_combo_14", "kb_key_fct_combo_21", "kb_key_fct_combo_22", "kb_key_fct_combo_23",
    "kb_key_fct_combo_24", "", "kb_key_fct_combo_26",
    "kb_key_fct_edit_11", "kb_key_fct_edit_12", "kb_key_fct_edit_15", "kb_key_fct_edit_16",
    "kb_key_fct_edit_17", "kb_key_fct_edit_18", "kb_key_fct_edit_19", "kb_key_fct_edit_20",
    "kb_key_fct_edit_21", "kb_key_fct_edit_25",
    "kb_key_butt_keysave", "kb_key_butt_keydefalut", "kb_key_butt_prosave",
};
// clang-format on

// The mouse buttons' pictures ("ms_key_<n>_0"): normal and hover images.
struct ButtonPicture {
    std::string_view control;
    std::string_view normal;
    std::string_view hover;
};
inline constexpr std::array<ButtonPicture, 7> kMouseButtonPictures{{
    {"ms_key_0_0", "ms/key_left_normal.png", "ms/key_left_down.png"},
    {"ms_key_1_0", "ms/key_wheel_normal.png", "ms/key_wheel_down.png"},
    {"ms_key_2_0", "ms/key_right_normal.png", "ms/key_right_down.png"},
    {"ms_key_3_0", "ms/key_forward_normal.png", "ms/key_forward_down.png"},
    {"ms_key_4_0", "ms/key_back_normal.png", "ms/key_back_down.png"},
    {"ms_key_5_0", "ms/key_dpi_normal.png", "ms/key_dpi_down.png"},
    {"ms_key_6_0", "ms/key_dpi_normal.png", "ms/key_dpi_down.png"},
}};

// Texts of the chooser rows, by PanelFunction, and of the sub-choosers
// without a table of their own.
inline constexpr std::array<std::string_view, 12> kFunctionRowTexts{
    "fct_default", "fct_mouse_button", "fct_horizontal_swing", "fct_vertical_swing",
    "fct_dpi",     "fct_fire_key",     "fct_single_key",       "fct_multimedia",
    "fct_system",  "fct_macro",        "fct_gun_scheme",       "fct_shortcut",
};
inline constexpr std::array<std::string_view, 2> kHorizontalDirectionTexts{"fct_direction_left",
                                                                           "fct_direction_right"};
inline constexpr std::array<std::string_view, 2> kVerticalDirectionTexts{"fct_direction_up",
                                                                         "fct_direction_down"};
inline constexpr std::array<std::string_view, 5> kPlayModeTexts{
    "fct_play_mode_0", "fct_play_mode_1", "fct_play_mode_2", "fct_play_mode_3", "fct_play_mode_4"};

}  // namespace rxt
