#pragma once
// The controls of the keyboard lighting page, each name written whole once;
// a test checks them against the skin. The key controls ("kb_key_" plus n)
// are shared with the key page: a click belongs to this page while the
// lighting option is selected.

#include <string_view>

namespace rxt {

struct KeyboardLightingNames {
    std::string_view fullModeCombo = "kb_deng_combo_modeSelect";
    std::string_view singleModeCombo = "kb_deng_onecolor_combo_modeSelect";
    std::string_view lightSlider = "kb_deng_light_slider";
    std::string_view speedSlider = "kb_deng_speed_slider";
    std::string_view palette = "kb_deng_Color_Pallet";
    std::string_view colourButton = "kb_Deng_colordp_btn";
    std::string_view customColourButton = "kb_Deng_custom_colordp_btn";
    std::string_view editR = "kb_Deng_edit_R";
    std::string_view editG = "kb_Deng_edit_G";
    std::string_view editB = "kb_Deng_edit_B";
    std::string_view sevenColourCheck = "kb_Deng_7color_check";
    std::string_view fxlCheck = "kb_Deng_FXL_check";
    std::string_view fxrCheck = "kb_Deng_FXR_check";
    std::string_view layoutCombo = "kb_deng_combo_curtom_count";
    std::string_view allBrightCheck = "kb_Deng_all_bright_check";
    std::string_view allOffCheck = "kb_Deng_all_kill_check";
    std::string_view presetPrefix = "kb_Deng_color_btn_";  // plus 0..29
    std::string_view keyPrefix = "kb_key_";                // plus 0..125
    std::string_view sameMode = "kb_deng_same_mode";
    // The option that gives key clicks to this page, and the key page's,
    // while which the keys show no light.
    std::string_view lightingOption = "kb_deng_Op_tab";
    std::string_view keyOption = "kb_key_Op_tab";
    // The groups of the enable tables and the refresh.
    std::string_view fxLayout = "kb_deng_fx_layout";
    std::string_view colourLayout = "kb_deng_color_layout";
    std::string_view sevenColourLayout = "kb_deng_7colorselect_layout";
    std::string_view speedLayout = "kb_deng_speed_layout";
    std::string_view colourDisplayLayout = "kb_deng_color_display_layout";
    // The three custom layouts, shown in the custom mode instead.
    std::string_view customSelectLayout = "kb_deng_custom_select_layout";
    std::string_view rgbLayout = "kb_deng_rgb_layout";
    std::string_view colourLump = "kb_deng_color_lump";
};

inline constexpr KeyboardLightingNames kKeyboardLightingNames{};

// The other two pages' same-mode buttons, which enter the sync from there.
inline constexpr std::string_view kMouseSameMode = "ms_deng_same_mode";
inline constexpr std::string_view kMousepadSameMode = "mp_deng_same_mode";

}  // namespace rxt
