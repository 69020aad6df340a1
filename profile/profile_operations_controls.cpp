#include "profile/profile_operations_controls.h"

namespace rxt {

std::string_view catalogueWord(ProfileKind kind) {
    switch (kind) {
        case ProfileKind::Device:
            return "device";
        case ProfileKind::Lighting:
            return "deng";
        case ProfileKind::Key:
            return "key";
    }
    return "device";
}

ProfileControls profileControls(const ProfileCatalogue& catalogue) {
    const std::string p(kindPrefix(catalogue.device()));
    const std::string w(catalogueWord(catalogue.kind()));
    const std::string pw = p + "_" + w;
    const std::string pro = p + "_pro_" + w;
    ProfileControls c;
    c.list = pw + "_profile_combo";
    c.nameEdit = pw + "_profile_name_edit";
    c.renameButton = pw + "_profile_edit_save_btn";
    if (catalogue.kind() != ProfileKind::Device) {
        c.renamePanelButton = pro + "_edit_btn";
        c.renamePanel = pw + "_profile_edit";
    }
    c.addButton = pro + "_add_btn";
    c.deleteButton = pro + "_sub_btn";
    c.importButton = pro + "_import_btn";
    c.exportButton = pro + "_export_btn";
    c.copyButton = pro + "_copy_btn";
    c.resetButton = pro + "_reset_btn";
    c.linkCheck = pw + "_profile_link_check";
    c.linkEdit = pw + "_profile_link_edit";
    c.linkRow = pw + "_profile_link_name_hor";
    c.linkButton = pw + "_profile_link_btn";
    const bool hasCancel =
        (catalogue.device() == DeviceKind::Mouse && catalogue.kind() == ProfileKind::Device) ||
        (catalogue.device() == DeviceKind::Keyboard && catalogue.kind() != ProfileKind::Key);
    if (hasCancel) {
        c.cancelLinkButton = pw + "_cancle_link_btn";
    }
    return c;
}

std::string profileSpreadButton(DeviceKind device) {
    return std::string(kindPrefix(device)) + "_profile_fun_spread_btn";
}

std::string profileSpreadPanel(DeviceKind device) {
    return std::string(kindPrefix(device)) + "_profile_fun_spead_tab";
}

}  // namespace rxt
