#pragma once
// File names chosen by the user (profile, macro and scheme names) and found
// without regard to letter case, so that a data folder carried over from a
// case-insensitive file system keeps working.

#include <filesystem>
#include <optional>
#include <string_view>

namespace rxt {

// The entry of the folder whose name equals name without regard to case (an
// exact match first, else the first match in name order); nullopt when there
// is none or the folder cannot be read.
std::optional<std::filesystem::path> findFileIgnoreCase(const std::filesystem::path& folder,
                                                        std::string_view name);

// The path to read or create for name in the folder: the existing entry of
// that name in any letter case, else folder / name. The name must have passed
// checkFileName.
std::filesystem::path fileInFolder(const std::filesystem::path& folder, std::string_view name);

enum class FileNameProblem {
    None,
    Empty,
    DotName,      // "." or ".."
    Separator,    // holds '/'
    ControlChar,  // NUL, line breaks and other control characters
    TooLong,      // with its extension, more than a file name can hold
};

// Whether name + extension may become a file in a folder without escaping it
// or breaking the ini files that list it.
FileNameProblem checkFileName(std::string_view name, std::string_view extension = {});
inline bool isSafeFileName(std::string_view name, std::string_view extension = {}) {
    return checkFileName(name, extension) == FileNameProblem::None;
}

// Longest file name in bytes (NAME_MAX of the usual Linux file systems).
inline constexpr size_t kMaxFileNameBytes = 255;

}  // namespace rxt
