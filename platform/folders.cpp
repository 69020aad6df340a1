#include "platform/folders.h"

#include "platform/file_bytes.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#ifndef RXT_INSTALL_DATA_DIR
#define RXT_INSTALL_DATA_DIR "/usr/local/share/rx-t7100"
#endif

namespace rxt {
namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// The shell word of an assignment: a double-quoted text with backslash
// escapes, or a bare word.
std::string unquoteShellValue(std::string_view v) {
    if (v.empty() || v.front() != '"') {
        return std::string(v);
    }
    std::string out;
    for (size_t i = 1; i < v.size(); ++i) {
        if (v[i] == '"') {
            break;
        }
        if (v[i] == '\\' && i + 1 < v.size()) {
            ++i;
        }
        out += v[i];
    }
    return out;
}

std::filesystem::path withTrailingSlash(const std::filesystem::path& p) {
    return p.empty() || p.native().back() == '/' ? p : p / "";
}

std::filesystem::path ensureFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    // A failure shows later as a failed file write; the path is still right.
    std::filesystem::create_directories(folder, ec);
    return withTrailingSlash(folder);
}

}  // namespace

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return std::filesystem::temp_directory_path();
}

std::filesystem::path configHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    return homeFolder() / ".config";
}

std::filesystem::path documentsFolderFromUserDirs(std::string_view text,
                                                  const std::filesystem::path& home) {
    return userFolderFromUserDirs(text, home, "XDG_DOCUMENTS_DIR");
}

std::filesystem::path userFolderFromUserDirs(std::string_view text,
                                             const std::filesystem::path& home,
                                             std::string_view key) {
    std::filesystem::path result;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        std::string_view line = trimBlanks(text.substr(0, nl));
        text = (nl == std::string_view::npos) ? std::string_view{} : text.substr(nl + 1);
        if (line.starts_with("export ")) {
            line = trimBlanks(line.substr(7));
        }
        const size_t eq = line.find('=');
        if (line.empty() || line.front() == '#' || eq == std::string_view::npos ||
            trimBlanks(line.substr(0, eq)) != key) {
            continue;
        }
        const std::string value = unquoteShellValue(trimBlanks(line.substr(eq + 1)));
        std::string_view rest;
        if (value.starts_with("$HOME") && (value.size() == 5 || value[5] == '/')) {
            rest = std::string_view(value).substr(5);
        } else if (value.starts_with("${HOME}") && (value.size() == 7 || value[7] == '/')) {
            rest = std::string_view(value).substr(7);
        } else if (value.starts_with('/')) {
            result = value;  // later assignments win, as when the shell reads it
            continue;
        } else {
            continue;
        }
        while (rest.starts_with('/')) {
            rest.remove_prefix(1);
        }
        result = rest.empty() ? home : home / rest;
    }
    return result;
}

std::filesystem::path documentsFolder() {
    const std::filesystem::path home = homeFolder();
    const FileBytes userDirs = readFileBytes(configHome() / "user-dirs.dirs", size_t{1} << 20);
    std::filesystem::path documents = documentsFolderFromUserDirs(userDirs.bytes, home);
    return documents.empty() ? home / "Documents" : documents;
}

std::filesystem::path picturesFolder() {
    const std::filesystem::path home = homeFolder();
    const FileBytes userDirs = readFileBytes(configHome() / "user-dirs.dirs", size_t{1} << 20);
    std::filesystem::path pictures =
        userFolderFromUserDirs(userDirs.bytes, home, "XDG_PICTURES_DIR");
    return pictures.empty() ? home / "Pictures" : pictures;
}

std::filesystem::path dataFolderPath() {
    return ensureFolder(documentsFolder() / kDataFolderName);
}

std::filesystem::path profileFolderPath(std::string_view kindFolder) {
    return ensureFolder(dataFolderPath() / kindFolder);
}

std::filesystem::path appConfigFolder() {
    return withTrailingSlash(configHome() / "rx-t7100");
}

std::filesystem::path programFolderFor(const std::filesystem::path& executable) {
    std::error_code ec;
    const std::filesystem::path exeFolder = executable.parent_path();
    if (std::filesystem::is_directory(exeFolder / "skin", ec) ||
        std::filesystem::is_directory(exeFolder / "defaults", ec)) {
        return withTrailingSlash(exeFolder);
    }
    const std::filesystem::path beside =
        (exeFolder / ".." / "share" / "rx-t7100").lexically_normal();
    if (std::filesystem::is_directory(beside, ec)) {
        return withTrailingSlash(beside);
    }
    return withTrailingSlash(RXT_INSTALL_DATA_DIR);
}

std::filesystem::path programFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return withTrailingSlash(RXT_INSTALL_DATA_DIR);
    }
    return programFolderFor(exe);
}

}  // namespace rxt
