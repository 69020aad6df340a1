#include "profile/program_path.h"

#include <filesystem>
#include <system_error>

#include "platform/text_case.h"

namespace rxt {

std::optional<std::string> linkablePath(std::string_view chosen) {
    for (char ch : chosen) {
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) {
            return std::nullopt;  // would break the ini line that keeps it
        }
    }
    const std::filesystem::path path{std::string(chosen)};
    if (!path.is_absolute()) {
        return std::nullopt;
    }
    // The running program is known by its executable's real path.
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(path, ec);
    return ec ? path.lexically_normal().string() : real.string();
}

std::string programFileName(std::string_view path) {
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool programAlreadyLinked(const ProfileCatalogue& catalogue, int entries,
                          std::string_view program) {
    for (int j = 0; j < entries; ++j) {
        if (catalogue.ReadLinkFlag(j) == 1 &&
            equalsIgnoreCase(catalogue.ReadProgramPath(j), program)) {
            return true;
        }
    }
    return false;
}

}  // namespace rxt
