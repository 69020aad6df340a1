#pragma once
// Program links of catalogue entries: the page's link check box, browse
// button and cancel button tie the selected entry to a program (link flag
// "1" and the program's full path) or untie it (flag "0", path " "). The
// watchers then switch to the entry while that program is in front.
// UI thread; every operation acts on the list's selected entry and does
// nothing when the list has none.

#include <optional>
#include <string>
#include <string_view>

#include "app/pages/profile/profile_page_context.h"
#include "app/ui/file_dialog.h"
#include "app/ui/skin_ui.h"
#include "profile/profile_catalogue.h"
#include "profile/program_path.h"

namespace rxt {

// The link check box was checked or cleared by the user.
void LinkCheckChanged(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue,
                      bool checked);
// The browse button.
void BrowseLink(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);
// The cancel button (mouse device, keyboard device, keyboard lighting).
void CancelLink(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);

// Shows entry [index]'s link: checked box, the program's file name and the
// link row when linked; a cleared box and no name otherwise.
void showProgramLink(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue, int index);

// Whether some entry of the catalogue's list (the selected one included) is
// linked to the program.
bool programAlreadyLinked(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue,
                          std::string_view program);

// Where the program dialog opens.
inline constexpr std::string_view kProgramsFolder = "/usr/bin";

// The open dialog of the browse and link operations (executables), the
// open dialog of Import and the save dialog of Export (the catalogue's
// described extension, in the data folder; Export suggests the entry's
// name). Built with ui::describedFileDialog, as every page's dialogs are.
ui::FileDialogOptions programFileDialog();
ui::FileDialogOptions profileFileDialog(const ProfileCatalogue& catalogue);
ui::FileDialogOptions profileExportDialog(const ProfileCatalogue& catalogue,
                                          std::string_view profileName);
// "filter_mouse_device_profile" ...: the text key describing its files.
std::string profileFilterKey(const ProfileCatalogue& catalogue);

}  // namespace rxt
