#pragma once
// The controls of the mouse performance and key pages this feature drives,
// each name written whole once. A test checks them against the skin.

#include <array>
#include <string_view>

#include "device/device_kind.h"

namespace rxt {

// One DPI level of the performance page.
struct DpiLevelControls {
    int level;  // 1..7
    std::string_view slider;
    std::string_view valueLabel;  // the level's DPI
    std::string_view minLabel;    // the sensor's limits
    std::string_view maxLabel;
    std::string_view colourButton;  // opens the palette; shows the colour
    std::string_view activeCheck;   // makes it the active level
};

// clang-format off
inline constexpr std::array<DpiLevelControls, 7> kDpiLevelControls{{
    {1, "ms_DPI1_slider", "ms_DPI1_label_value", "ms_DPI1_min", "ms_DPI1_max",
     "ms_DPIcolor_btn_1", "dpi_check_1"},
    {2, "ms_DPI2_slider", "ms_DPI2_label_value", "ms_DPI2_min", "ms_DPI2_max",
     "ms_DPIcolor_btn_2", "dpi_check_2"},
    {3, "ms_DPI3_slider", "ms_DPI3_label_value", "ms_DPI3_min", "ms_DPI3_max",
     "ms_DPIcolor_btn_3", "dpi_check_3"},
    {4, "ms_DPI4_slider", "ms_DPI4_label_value", "ms_DPI4_min", "ms_DPI4_max",
     "ms_DPIcolor_btn_4", "dpi_check_4"},
    {5, "ms_DPI5_slider", "ms_DPI5_label_value", "ms_DPI5_min", "ms_DPI5_max",
     "ms_DPIcolor_btn_5", "dpi_check_5"},
    {6, "ms_DPI6_slider", "ms_DPI6_label_value", "ms_DPI6_min", "ms_DPI6_max",
     "ms_DPIcolor_btn_6", "dpi_check_6"},
    {7, "ms_DPI7_slider", "ms_DPI7_label_value", "ms_DPI7_min", "ms_DPI7_max",
     "ms_DPIcolor_btn_7", "dpi_check_7"},
}};
// clang-format on

inline constexpr std::string_view kReportRateCombo = "ms_report_fct_combo";
inline constexpr std::string_view kDebounceSlider = "ms_debouncetime_slider";
inline constexpr std::string_view kDebounceLabel = "ms_debouncetime_label_value";
inline constexpr std::string_view kLiftOffCheck = "ms_line_adjust";
inline constexpr std::string_view kHeight2mmOption = "height2mm";
inline constexpr std::string_view kHeight3mmOption = "height3mm";
inline constexpr std::string_view kHeightCombo = "ms_height_fct_combo";

inline constexpr std::string_view kPointerSpeedSlider = "ms_point_speed_slider";
inline constexpr std::string_view kWheelLinesEdit = "ms_gunlun_speed_edit";
inline constexpr std::string_view kWheelUpButton = "ms_gunlun_speed_up_btn";
inline constexpr std::string_view kWheelDownButton = "ms_gunlun_speed_down_btn";
// Shown where the desktop has no wheel-lines setting of its own.
inline constexpr std::string_view kWheelLinesNote = "ms_gunlun_note";

inline constexpr std::string_view kMouseRestoreButton = "ms_one_profile_default";

// The key page's function panel of each device that has a key page.
struct FunctionPanelControl {
    DeviceKind device;
    std::string_view panel;
};
inline constexpr std::array<FunctionPanelControl, 2> kFunctionPanels{{
    {DeviceKind::Mouse, "ms_tab_function"},
    {DeviceKind::Keyboard, "kb_tab_function"},
}};

}  // namespace rxt
