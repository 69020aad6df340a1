#pragma once
// The controls of the mouse's cursor-scheme page, each name written whole
// once. The bullet options are "ms_bullet_op_0" .. "ms_bullet_op_29".

#include <array>
#include <string>
#include <string_view>

#include "macro/cursor_schemes.h"

namespace rxt {

struct CursorPageControls {
    std::string_view optionTab;
    std::array<std::string_view, kCursorSchemes> schemes;
    std::string_view bulletPrefix;
    std::string_view previous;
    std::string_view next;
    std::string_view editArea;  // enabled while a bullet is selected
    std::string_view delayEdit;
    std::string_view xEdit;
    std::string_view xCheck;  // selected: to the left
    std::string_view yEdit;
    std::string_view yCheck;  // selected: up
    std::string_view saveButton;
    std::string_view resetButton;
    std::string_view importButton;
    std::string_view exportButton;
};

inline constexpr CursorPageControls kCursorControls{
    "ms_cursor_Op_tab",
    {"ms_gun_op_0", "ms_gun_op_1", "ms_gun_op_2", "ms_gun_op_3"},
    "ms_bullet_op_",
    "bullet_selected_prev",
    "bullet_selected_next",
    "cursor_edit_layout",
    "ms_cursor_delay_eidt",
    "ms_cursor_x_eidt",
    "ms_cursor_x_check",
    "ms_cursor_y_eidt",
    "ms_cursor_y_check",
    "ms_bulletdate_save_btn",
    "ms_bulletdate_reset_btn",
    "ms_bulletdate_import_btn",
    "ms_bulletdate_export_btn",
};

inline std::string bulletControl(int bullet) {
    return std::string(kCursorControls.bulletPrefix) + std::to_string(bullet);
}

// The axis options' texts by their state.
inline constexpr std::string_view kMoveLeftText = "mouse_move_to_left_text";
inline constexpr std::string_view kMoveRightText = "mouse_move_to_right_text";
inline constexpr std::string_view kMoveUpText = "mouse_move_to_up_text";
inline constexpr std::string_view kMoveDownText = "mouse_move_to_down_text";

}  // namespace rxt
