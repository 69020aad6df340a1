#pragma once
// The controls of the two macro pages, each name written whole once. The
// keyboard page is the mouse page's twin with the prefix "kb_". A test checks
// them against the skin.

#include <array>
#include <string_view>

#include "device/device_kind.h"

namespace rxt {

// A mouse button's insert button, the panel it opens and the press and
// release buttons in it.
struct MacroInsertButtonControls {
    std::string_view button;
    std::string_view panel;
    std::string_view press;
    std::string_view release;
};

// A pointer move's insert button and the edit holding its distance.
struct MacroMoveButtonControls {
    std::string_view button;
    std::string_view distanceEdit;
};

struct MacroPageControls {
    DeviceKind device;
    std::string_view optionTab;  // the page's option tab

    std::string_view nameList;  // the macro names in catalogue order
    std::string_view stepList;  // the steps of the selected macro; rows keep their records
    std::string_view nameEdit;
    std::string_view saveOrCancel;  // shown exactly while an unsaved edit is in progress
    std::string_view stepEditor;    // page 0 empty, 1 key step, 2 mouse step
    std::string_view keyCombo;
    std::string_view directionCombo;  // row 0 release, row 1 press
    std::string_view keyDelayEdit;
    std::string_view mouseCombo;
    std::string_view mouseDelayEdit;
    std::string_view distancePanel;
    std::string_view distanceEdit;
    std::string_view fixedDelayCheck;
    std::string_view keyboardCheck;
    std::string_view clickCheck;
    std::string_view wheelCheck;
    std::string_view moveCheck;
    std::string_view addButton;
    std::string_view deleteMacroButton;
    std::string_view renameButton;
    std::string_view saveButton;
    std::string_view cancelButton;
    std::string_view upButton;
    std::string_view downButton;
    std::string_view topButton;
    std::string_view bottomButton;
    std::string_view deleteStepButton;
    std::string_view deleteAllButton;
    std::string_view recordButton;
    std::string_view importButton;
    std::string_view exportButton;
    std::string_view savedLabel;      // shown after a save
    std::string_view unsavedLabel;    // hidden after a save
    std::string_view windowOnlyNote;  // where only the program's own window is watched
    // left, middle, right, forward, back
    std::array<MacroInsertButtonControls, 5> inserts;
    // left, right, up, down
    std::array<MacroMoveButtonControls, 4> moves;
};

// clang-format off
inline constexpr MacroPageControls kMouseMacroControls{
    DeviceKind::Mouse,
    "ms_macro_Op_tab",
    "ms_MacroName_list",
    "ms_Macro_list",
    "ms_macro_edit_macroname",
    "ms_macro_tab_saveorcancel",
    "ms_tab_macro_edit",
    "ms_macro_combo_keyselect",
    "ms_macro_combo_upordown",
    "ms__macro_edit_ActionDelay",
    "ms_macro_combo_mouselect",
    "ms__macro_edit_mou_action_delay",
    "ms_macro_tab_mou_pointer_skewing",
    "ms_macro_edit_mou_pointer_skewing",
    "ms_macro_check_time",
    "ms_macro_keyboard_event",
    "ms_macro_mouse_click",
    "ms_macro_mouse_roller",
    "ms_macro_mouse_move",
    "ms_macro_btn_name_add",
    "ms_macro_btn_name_sub",
    "ms_macro_btn_savemacroname",
    "ms_macro_btn_save",
    "ms_macro_btn_cancel",
    "ms_macro_btn_up",
    "ms_macro_btn_down",
    "ms_macro_btn_uptop",
    "ms_macro_btn_downbottom",
    "ms_macro_btn_delete",
    "ms_macro_btn_deleteall",
    "ms_macro_btn_redio",
    "ms_macro_btn_import",
    "ms_macro_btn_export",
    "ms_MacroName",
    "ms_MacroMouseEvent",
    "ms_macro_window_only_note",
    {{
        {"ms_macro_inset_leftkey_btn", "ms_macro_inset_leftkey_tab", "ms_macro_inset_leftkeydown_btn", "ms_macro_inset_leftkeyup_btn"},
        {"ms_macro_inset_moudlekey_btn", "ms_macro_inset_moudlekey_tab", "ms_macro_inset_moudlekeydown_btn", "ms_macro_inset_moudlekeyup_btn"},
        {"ms_macro_inset_rightkey_btn", "ms_macro_inset_rightkey_tab", "ms_macro_inset_rightkeydown_btn", "ms_macro_inset_rightkeyup_btn"},
        {"ms_macro_inset_forwardkey_btn", "ms_macro_inset_forwardkey_tab", "ms_macro_inset_forwardkeydown_btn", "ms_macro_inset_forwardkeyup_btn"},
        {"ms_macro_inset_backkey_btn", "ms_macro_inset_backkey_tab", "ms_macro_inset_backkeydown_btn", "ms_macro_inset_backkeyup_btn"},
    }},
    {{
        {"ms_macro_inset_moveleftkey_btn", "ms_mouse_x_left_edit"},
        {"ms_macro_inset_moverightkey_btn", "ms_mouse_x_right_edit"},
        {"ms_macro_inset_moveupkey_btn", "ms_mouse_y_up_edit"},
        {"ms_macro_inset_movedownkey_btn", "ms_mouse_y_down_edit"},
    }},
};
inline constexpr MacroPageControls kKeyboardMacroControls{
    DeviceKind::Keyboard,
    "kb_macro_Op_tab",
    "kb_MacroName_list",
    "kb_Macro_list",
    "kb_macro_edit_macroname",
    "kb_macro_tab_saveorcancel",
    "kb_tab_macro_edit",
    "kb_macro_combo_keyselect",
    "kb_macro_combo_upordown",
    "kb__macro_edit_ActionDelay",
    "kb_macro_combo_mouselect",
    "kb__macro_edit_mou_action_delay",
    "kb_macro_tab_mou_pointer_skewing",
    "kb_macro_edit_mou_pointer_skewing",
    "kb_macro_check_time",
    "kb_macro_keyboard_event",
    "kb_macro_mouse_click",
    "kb_macro_mouse_roller",
    "kb_macro_mouse_move",
    "kb_macro_btn_name_add",
    "kb_macro_btn_name_sub",
    "kb_macro_btn_savemacroname",
    "kb_macro_btn_save",
    "kb_macro_btn_cancel",
    "kb_macro_btn_up",
    "kb_macro_btn_down",
    "kb_macro_btn_uptop",
    "kb_macro_btn_downbottom",
    "kb_macro_btn_delete",
    "kb_macro_btn_deleteall",
    "kb_macro_btn_redio",
    "kb_macro_btn_import",
    "kb_macro_btn_export",
    "kb_MacroName",
    "kb_MacroMouseEvent",
    "kb_macro_window_only_note",
    {{
        {"kb_macro_inset_leftkey_btn", "kb_macro_inset_leftkey_tab", "kb_macro_inset_leftkeydown_btn", "kb_macro_inset_leftkeyup_btn"},
        {"kb_macro_inset_moudlekey_btn", "kb_macro_inset_moudlekey_tab", "kb_macro_inset_moudlekeydown_btn", "kb_macro_inset_moudlekeyup_btn"},
        {"kb_macro_inset_rightkey_btn", "kb_macro_inset_rightkey_tab", "kb_macro_inset_rightkeydown_btn", "kb_macro_inset_rightkeyup_btn"},
        {"kb_macro_inset_forwardkey_btn", "kb_macro_inset_forwardkey_tab", "kb_macro_inset_forwardkeydown_btn", "kb_macro_inset_forwardkeyup_btn"},
        {"kb_macro_inset_backkey_btn", "kb_macro_inset_backkey_tab", "kb_macro_inset_backkeydown_btn", "kb_macro_inset_backkeyup_btn"},
    }},
    {{
        {"kb_macro_inset_moveleftkey_btn", "kb_mouse_x_left_edit"},
        {"kb_macro_inset_moverightkey_btn", "kb_mouse_x_right_edit"},
        {"kb_macro_inset_moveupkey_btn", "kb_mouse_y_up_edit"},
        {"kb_macro_inset_movedownkey_btn", "kb_mouse_y_down_edit"},
    }},
};
// clang-format on

inline constexpr std::array<const MacroPageControls*, 2> kMacroPages{&kMouseMacroControls,
                                                                     &kKeyboardMacroControls};

// The image "ms_macro_btn_uptop" shows while the editing buttons are enabled
// and while they are not.
inline constexpr std::string_view kTopButtonImageAttribute = "normalimage";
inline constexpr std::string_view kTopButtonEnabledImage = "file='common/up_top_over.png'";
inline constexpr std::string_view kTopButtonDisabledImage = "file='common/unuse.png'";

}  // namespace rxt
