#pragma once
// The operations of the profile pages on one catalogue: New, Copy, Rename,
// Delete, Import, Export, Reset and Select. Each keeps the ProfileList, the
// catalogue's ini file and the data files in step; the ones that change the
// active profile load it and apply it to the device. They read the list and
// the edits themselves, show their messages in the message box, and run on
// the UI thread (ctx.ui must be set; without it they do nothing).

#include <string_view>

#include "app/pages/profile/profile_page_context.h"
#include "profile/profile_catalogue.h"

namespace rxt {

inline constexpr std::string_view kMessageDeleteLast = "message_text_11";
inline constexpr std::string_view kMessageDeleteConfirm = "message_text_12";
inline constexpr std::string_view kMessageAlreadyLinked = "message_text_13";
inline constexpr std::string_view kMessageRenameEmpty = "message_text_14";
inline constexpr std::string_view kMessageRenameTaken = "message_text_15";

// Appends "profile<N>" (the lowest N no entry has, in any letter case) with
// the default file's content and selects it.
void NewProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);
// Appends "<selected> copy" (" copy" added again while the name is taken)
// with the selected entry's content and selects it.
void CopyProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);
// Renames the selected entry to the name edit's text; its data file follows.
void RenameProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);
// After confirmation, removes the selected entry and its data file (never
// the last one), moves the later entries' links down and selects the last.
void DeleteProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);
// Reads a chosen file into a new entry (device catalogues) or over the
// selected one (the others), then applies it.
void ImportProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);
// Writes the selected entry's content to a chosen file.
void ExportProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);
// Puts the default file's content into the images and the entry remembered
// in `select`, and sends it to the device.
void ResetProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);
// The list's selected entry becomes the remembered one: name edit, `select`,
// its program link shown, its data loaded and applied.
void SelectProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);

// Shows the entry [index] in the list and, when that changes the selection,
// runs SelectProfile, as the user's choice would. False when the list has no
// such entry.
bool SelectProfileEntry(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue, int index);

// The rename panel's button: shows or hides the panel (lighting and key
// catalogues; the device catalogues have no panel).
void ToggleRenamePanel(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);

}  // namespace rxt
