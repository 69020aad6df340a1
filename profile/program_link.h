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

#include "app/ui/skin_ui.h"
#include "profile/profile_catalogue.h"
#include "profile/profile_data.h"

namespace rxt {

// The link check box was checked or cleared by the user.
void LinkCheckChanged(const ProfileContext& ctx, const ProfileCatalogue& catalogue, bool checked);
// The browse button.
void BrowseLink(const ProfileContext& ctx, const ProfileCatalogue& catalogue);
// The cancel button (mouse device, keyboard device, keyboard lighting).
void CancelLink(const ProfileContext& ctx, const ProfileCatalogue& catalogue);

// Shows entry [index]'s link: checked box, the program's file name and the
// link row when linked; a cleared box and no name otherwise.
void showProgramLink(const ProfileContext& ctx, const ProfileCatalogue& catalogue, int index);

// Whether some entry of the catalogue (the selected one included) is linked
// to the program, comparing the whole path without regard to case.
bool programAlreadyLinked(const ProfileContext& ctx, const ProfileCatalogue& catalogue,
                          std::string_view program);

// The path a link stores for a chosen program: the executable it leads to
// (symbolic links resolved, as the running program's path will be);
// nullopt when the choice is no usable program path (not absolute, or with
// characters the catalogue cannot hold).
std::optional<std::string> linkablePath(std::string_view chosen);

// The file name part shown in the link edit.
std::string programFileName(std::string_view path);

// The open dialog of the browse and link operations (executables), and the
// open and save dialogs of Import and Export (the catalogue's extension).
ui::FileDialogOptions programFileDialog();
ui::FileDialogOptions profileFileDialog(const ProfileCatalogue& catalogue);

}  // namespace rxt
