#pragma once
// The controls of the profile pages, each name written whole once, so that
// a search for a control finds the code that handles it. One row per
// catalogue; a test checks every name against the skin.

#include <array>
#include <optional>
#include <string_view>

#include "device/device_kind.h"
#include "profile/profile_catalogue.h"

namespace rxt {

struct ProfileControls {
    DeviceKind device;
    ProfileKind kind;
    std::string_view list;          // the ProfileList
    std::string_view nameEdit;      // shows and renames the selected entry
    std::string_view renameButton;  // saves the name edit's text
    // The button that shows or hides the rename panel, and the panel; empty
    // for the device catalogues, which have none.
    std::string_view renamePanelButton;
    std::string_view renamePanel;
    std::string_view addButton;
    std::string_view deleteButton;
    std::string_view importButton;
    std::string_view exportButton;
    std::string_view copyButton;
    std::string_view resetButton;
    std::string_view linkCheck;   // the program link check box
    std::string_view linkEdit;    // the linked program's file name
    std::string_view linkRow;     // the row that shows it
    std::string_view linkButton;  // browse for a program
    // Only the mouse device, keyboard device and keyboard lighting
    // catalogues have one; empty otherwise.
    std::string_view cancelLinkButton;
};

// clang-format off
inline constexpr std::array<ProfileControls, 7> kProfileControls{{
    {DeviceKind::Mouse, ProfileKind::Device,
     "ms_device_profile_combo", "ms_device_profile_name_edit", "ms_device_profile_edit_save_btn",
     "", "",
     "ms_pro_device_add_btn", "ms_pro_device_sub_btn", "ms_pro_device_import_btn",
     "ms_pro_device_export_btn", "ms_pro_device_copy_btn", "ms_pro_device_reset_btn",
     "ms_device_profile_link_check", "ms_device_profile_link_edit",
     "ms_device_profile_link_name_hor", "ms_device_profile_link_btn", "ms_device_cancle_link_btn"},
    {DeviceKind::Mouse, ProfileKind::Lighting,
     "ms_deng_profile_combo", "ms_deng_profile_name_edit", "ms_deng_profile_edit_save_btn",
     "ms_pro_deng_edit_btn", "ms_deng_profile_edit",
     "ms_pro_deng_add_btn", "ms_pro_deng_sub_btn", "ms_pro_deng_import_btn",
     "ms_pro_deng_export_btn", "ms_pro_deng_copy_btn", "ms_pro_deng_reset_btn",
     "ms_deng_profile_link_check", "ms_deng_profile_link_edit",
     "ms_deng_profile_link_name_hor", "ms_deng_profile_link_btn", ""},
    {DeviceKind::Mouse, ProfileKind::Key,
     "ms_key_profile_combo", "ms_key_profile_name_edit", "ms_key_profile_edit_save_btn",
     "ms_pro_key_edit_btn", "ms_key_profile_edit",
     "ms_pro_key_add_btn", "ms_pro_key_sub_btn", "ms_pro_key_import_btn",
     "ms_pro_key_export_btn", "ms_pro_key_copy_btn", "ms_pro_key_reset_btn",
     "ms_key_profile_link_check", "ms_key_profile_link_edit",
     "ms_key_profile_link_name_hor", "ms_key_profile_link_btn", ""},
    {DeviceKind::Keyboard, ProfileKind::Device,
     "kb_device_profile_combo", "kb_device_profile_name_edit", "kb_device_profile_edit_save_btn",
     "", "",
     "kb_pro_device_add_btn", "kb_pro_device_sub_btn", "kb_pro_device_import_btn",
     "kb_pro_device_export_btn", "kb_pro_device_copy_btn", "kb_pro_device_reset_btn",
     "kb_device_profile_link_check", "kb_device_profile_link_edit",
     "kb_device_profile_link_name_hor", "kb_device_profile_link_btn", "kb_device_cancle_link_btn"},
    {DeviceKind::Keyboard, ProfileKind::Lighting,
     "kb_deng_profile_combo", "kb_deng_profile_name_edit", "kb_deng_profile_edit_save_btn",
     "kb_pro_deng_edit_btn", "kb_deng_profile_edit",
     "kb_pro_deng_add_btn", "kb_pro_deng_sub_btn", "kb_pro_deng_import_btn",
     "kb_pro_deng_export_btn", "kb_pro_deng_copy_btn", "kb_pro_deng_reset_btn",
     "kb_deng_profile_link_check", "kb_deng_profile_link_edit",
     "kb_deng_profile_link_name_hor", "kb_deng_profile_link_btn", "kb_deng_cancle_link_btn"},
    {DeviceKind::Keyboard, ProfileKind::Key,
     "kb_key_profile_combo", "kb_key_profile_name_edit", "kb_key_profile_edit_save_btn",
     "kb_pro_key_edit_btn", "kb_key_profile_edit",
     "kb_pro_key_add_btn", "kb_pro_key_sub_btn", "kb_pro_key_import_btn",
     "kb_pro_key_export_btn", "kb_pro_key_copy_btn", "kb_pro_key_reset_btn",
     "kb_key_profile_link_check", "kb_key_profile_link_edit",
     "kb_key_profile_link_name_hor", "kb_key_profile_link_btn", ""},
    {DeviceKind::Mousepad, ProfileKind::Lighting,
     "mp_deng_profile_combo", "mp_deng_profile_name_edit", "mp_deng_profile_edit_save_btn",
     "mp_pro_deng_edit_btn", "mp_deng_profile_edit",
     "mp_pro_deng_add_btn", "mp_pro_deng_sub_btn", "mp_pro_deng_import_btn",
     "mp_pro_deng_export_btn", "mp_pro_deng_copy_btn", "mp_pro_deng_reset_btn",
     "mp_deng_profile_link_check", "mp_deng_profile_link_edit",
     "mp_deng_profile_link_name_hor", "mp_deng_profile_link_btn", ""},
}};
// clang-format on

// The show-or-hide button of a page's profile function row, and the row.
struct ProfileSpreadControls {
    DeviceKind device;
    std::string_view button;
    std::string_view panel;
};
inline constexpr std::array<ProfileSpreadControls, 3> kProfileSpreadControls{{
    {DeviceKind::Mouse, "ms_profile_fun_spread_btn", "ms_profile_fun_spead_tab"},
    {DeviceKind::Mousepad, "mp_profile_fun_spread_btn", "mp_profile_fun_spead_tab"},
    {DeviceKind::Keyboard, "kb_profile_fun_spread_btn", "kb_profile_fun_spead_tab"},
}};

// The row of the catalogue.
const ProfileControls& profileControls(const ProfileCatalogue& catalogue);
// The catalogue whose list this is.
std::optional<ProfileCatalogue> catalogueOfList(std::string_view list);

}  // namespace rxt
