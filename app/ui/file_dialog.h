#pragma once
// The one description of a file dialog that every page gives: a title and a
// description of the files as text keys (the UI shows them in the current
// language), the folder it opens in and, for a save, the suggested name.

#include <string>

#include "app/ui/skin_ui.h"

namespace rxt::ui {

struct FileDialogRequest {
    std::string titleKey;       // "dialog_import_profile_title"
    std::string filterKey;      // "filter_mouse_device_profile": "Mouse device profile"
    std::string pattern;        // "*.config"; "*" for any file
    std::string folder;         // where it opens
    std::string suggestedName;  // save: "profile1.config"; empty for none
};

// Text key of the "all files" filter offered after the described one.
inline constexpr std::string_view kAllFilesFilterKey = "filter_all_files";

// The described filter first, then all files; the default extension is the
// pattern's ("config" for "*.config", none for "*").
FileDialogOptions describedFileDialog(const FileDialogRequest& request);

// "Mouse device profile (*.config)": a filter's label with its patterns,
// the label given as it is shown.
std::string filterLabel(std::string_view shownLabel, std::string_view pattern);

}  // namespace rxt::ui
