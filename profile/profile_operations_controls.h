#pragma once
// The controls of one catalogue on its profile page. Names are the device
// prefix ("ms", "kb", "mp"), the catalogue word ("device", "deng" for
// lighting, "key") and a role: "ms_pro_device_add_btn",
// "kb_deng_profile_name_edit", "mp_deng_profile_link_check" ...

#include <string>
#include <string_view>

#include "profile/profile_catalogue.h"

namespace rxt {

// "device", "deng", "key".
std::string_view catalogueWord(ProfileKind kind);

struct ProfileControls {
    std::string list;          // the ProfileList: "ms_device_profile_combo"
    std::string nameEdit;      // "ms_device_profile_name_edit"
    std::string renameButton;  // "ms_device_profile_edit_save_btn"
    // The button that shows or hides the rename panel, and the panel; empty
    // for the device catalogues, which have none.
    std::string renamePanelButton;  // "ms_pro_deng_edit_btn"
    std::string renamePanel;        // "ms_deng_profile_edit"
    std::string addButton;          // "ms_pro_device_add_btn"
    std::string deleteButton;       // "..._sub_btn"
    std::string importButton;
    std::string exportButton;
    std::string copyButton;
    std::string resetButton;
    std::string linkCheck;   // "ms_device_profile_link_check"
    std::string linkEdit;    // "ms_device_profile_link_edit"
    std::string linkRow;     // "ms_device_profile_link_name_hor"
    std::string linkButton;  // browse: "ms_device_profile_link_btn"
    // Only the mouse device, keyboard device and keyboard lighting
    // catalogues have one; empty otherwise.
    std::string cancelLinkButton;  // "ms_device_cancle_link_btn"
};

ProfileControls profileControls(const ProfileCatalogue& catalogue);

// The show-or-hide button of a page's profile function row and the row:
// "ms_profile_fun_spread_btn" toggles "ms_profile_fun_spead_tab".
std::string profileSpreadButton(DeviceKind device);
std::string profileSpreadPanel(DeviceKind device);

}  // namespace rxt
