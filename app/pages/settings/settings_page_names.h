#pragma once
// The controls of the mouse performance and key pages this feature drives,
// each name written whole once. A test checks them against the skin.

#include <array>
#include <string_view>

#include "device/device_kind.h"

namespace rxt {

inline constexpr std::string_view kPointerSpeedSlider = "ms_point_speed_slider";
inline constexpr std::string_view kWheelLinesEdit = "ms_gunlun_speed_edit";

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
