#include "app/ui/file_dialog.h"

namespace rxt::ui {

FileDialogOptions describedFileDialog(const FileDialogRequest& request) {
    FileDialogOptions options;
    options.title = request.titleKey;
    options.folder = request.folder;
    options.fileName = request.suggestedName;
    options.filters.push_back({request.filterKey, request.pattern});
    if (request.pattern != "*") {
        options.filters.push_back({std::string(kAllFilesFilterKey), "*"});
    }
    if (request.pattern.starts_with("*.") && request.pattern.find(';') == std::string::npos) {
        options.defaultExtension = request.pattern.substr(2);
    }
    return options;
}

std::string filterLabel(std::string_view shownLabel, std::string_view pattern) {
    std::string patterns(pattern);
    for (char& c : patterns) {
        if (c == ';') {
            c = ' ';
        }
    }
    std::string label(shownLabel);
    if (label.find(patterns) != std::string::npos) {
        return label;  // already carries them: "(*.png)"
    }
    return label.empty() ? "(" + patterns + ")" : label + " (" + patterns + ")";
}

}  // namespace rxt::ui
