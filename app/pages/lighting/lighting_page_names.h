#pragma once
// The controls of the mouse and mousepad lighting pages, each name written
// whole once. The two pages are twins that differ in the prefix (and in the
// mouse's extra direction buttons); a test checks both against the skin.

#include <array>
#include <span>
#include <string_view>

#include "device/device_kind.h"
#include "lighting/light_modes.h"
#include "lighting/light_tables.h"

namespace rxt {

struct LightingPageNames {
    DeviceKind device;
    std::span<const std::string_view> modes;  // rows of the mode combo
    size_t previewControls;
    std::string_view modeCombo;
    std::string_view modeSwitch;  // tab layout put on page 0 by the refresh
    std::string_view lightSlider;
    std::string_view speedSlider;
    std::string_view palette;
    std::string_view colourButton;  // shows the colour
    std::string_view editR;
    std::string_view editG;
    std::string_view editB;
    std::string_view sevenColourCheck;
    std::string_view fxlCheck;
    std::string_view fxrCheck;
    std::string_view fxlButton;  // mouse only; empty for the mousepad
    std::string_view fxrButton;
    std::string_view presetPrefix;   // plus 0..29
    std::string_view previewPrefix;  // plus 0..previewControls - 1
    // The groups of the enable tables.
    std::string_view fxLayout;
    std::string_view colourLayout;
    std::string_view sevenColourLayout;
    std::string_view speedLayout;
    std::string_view lightLayout;  // mouse only
    std::string_view sameMode;
};

inline constexpr LightingPageNames kMouseLightingNames{
    DeviceKind::Mouse,
    lighting::kMouseModeTexts,
    lighting::kMouseControls,
    "ms_deng_combo_modeSelect0",
    "ms_deng_mode_switch",
    "ms_deng_light_slider",
    "ms_deng_speed_slider",
    "ms_deng_Color_Pallet",
    "ms_Deng_colordp_btn",
    "ms_Deng_edit_R",
    "ms_Deng_edit_G",
    "ms_Deng_edit_B",
    "ms_Deng_7color_check",
    "ms_Deng_FXL_check",
    "ms_Deng_FXR_check",
    "ms_Deng_FXL_btn",
    "ms_Deng_FXR_btn",
    "ms_Deng_color_btn_",
    "ms_dkey_",
    "ms_deng_fx_layout",
    "ms_deng_color_layout",
    "ms_deng_7colorselect_layout",
    "ms_deng_speed_layout",
    "ms_deng_light_layout",
    "ms_deng_same_mode",
};

inline constexpr LightingPageNames kMousepadLightingNames{
    DeviceKind::Mousepad,
    lighting::kMousepadModeTexts,
    lighting::kMousepadLeds,
    "mp_deng_combo_modeSelect",
    "mp_deng_mode_switch",
    "mp_deng_light_slider",
    "mp_deng_speed_slider",
    "mp_deng_Color_Pallet",
    "mp_Deng_colordp_btn",
    "mp_Deng_edit_R",
    "mp_Deng_edit_G",
    "mp_Deng_edit_B",
    "mp_Deng_7color_check",
    "mp_Deng_FXL_check",
    "mp_Deng_FXR_check",
    "",
    "",
    "mp_Deng_color_btn_",
    "mp_dkey_",
    "mp_deng_fx_layout",
    "mp_deng_color_layout",
    "mp_deng_7colorselect_layout",
    "mp_deng_speed_layout",
    "",
    "mp_deng_same_mode",
};

// The on-board profile controls of the two pages.
inline constexpr std::string_view kMouseOnboardPrefix = "ms_profile_";  // plus 0..4
inline constexpr std::string_view kMousepadOnboardCombo = "mp_deng_combo_profile";
inline constexpr std::string_view kMousepadRestoreButton = "mp_one_profile_default";

}  // namespace rxt
