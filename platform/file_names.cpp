#include "platform/file_names.h"

#include <string>

#include "platform/text_case.h"

namespace rxt {

std::optional<std::filesystem::path> findFileIgnoreCase(const std::filesystem::path& folder,
                                                        std::string_view name) {
    // Only a plain entry name can be looked up inside the folder.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos) {
        return std::nullopt;
    }
    std::error_code ec;
    const std::filesystem::path exact = folder / name;
    if (std::filesystem::exists(std::filesystem::symlink_status(exact, ec))) {
        return exact;
    }
    std::optional<std::filesystem::path> best;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) {
        return std::nullopt;
    }
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            break;
        }
        const std::string entry = it->path().filename().string();
        if (equalsIgnoreCase(entry, name) && (!best || entry < best->filename().string())) {
            best = it->path();
        }
    }
    return best;
}

std::filesystem::path fileInFolder(const std::filesystem::path& folder, std::string_view name) {
    std::optional<std::filesystem::path> found = findFileIgnoreCase(folder, name);
    return found ? std::move(*found) : folder / name;
}

FileNameProblem checkFileName(std::string_view name, std::string_view extension) {
    if (name.empty()) {
        return FileNameProblem::Empty;
    }
    const std::string full = std::string(name) + std::string(extension);
    if (full == "." || full == "..") {
        return FileNameProblem::DotName;
    }
    for (std::string_view part : {name, extension}) {
        for (char c : part) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '/') {
                return FileNameProblem::Separator;
            }
            if (u < 0x20 || u == 0x7F) {
                return FileNameProblem::ControlChar;
            }
        }
    }
    if (full.size() > kMaxFileNameBytes) {
        return FileNameProblem::TooLong;
    }
    return FileNameProblem::None;
}

}  // namespace rxt
