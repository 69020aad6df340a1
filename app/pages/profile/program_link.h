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
#include "app/ui/skin_ui.h"
#include "profile/profile_catalogue.h"
#include "profile/program_path.h"

namespace rxt {

// The link check box was checked or cleared by the user.
void LinkCheckChanged(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue, bool checked);
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

// The open dialog of the browse and link operations (executables), and the
// open and save dialogs of Import and Export (the catalogue's extension).
ui::FileDialogOptions programFileDialog();
ui::FileDialogOptions profileFileDialog(const ProfileCatalogue& catalogue);

}  // namespace rxt
