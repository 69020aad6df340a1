#include "platform/autostart.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/text_case.h"

namespace rxt {
namespace {

constexpr std::string_view kSection = "Desktop Entry";

bool isOff(const std::filesystem::path& entry, std::string_view key, std::string_view off) {
    const std::optional<std::string> value = iniFind(entry, kSection, key);
    return value && equalsIgnoreCase(*value, off);
}

}  // namespace

std::filesystem::path autostartEntryPath() {
    return configHome() / "autostart" / "rxt-config.desktop";
}

std::string desktopExecArgument(std::string_view argument) {
    static constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool quote = argument.empty() || argument.find_first_of(kReserved) != std::string::npos;
    std::string out;
    if (quote) {
        out += '"';
    }
    for (char c : argument) {
        if (c == '%') {
            out += "%%";  // field codes start with '%'
        } else if (c == '\n') {
            out += "\\n";  // the key's value is one line
        } else if (quote && (c == '"' || c == '`' || c == '$')) {
            out += "\\\\";  // the quoting's backslash, doubled by the string escape
            out += c;
        } else if (c == '\\') {
            // A backslash in quotes is escaped, and the string escape of the
            // key doubles each of the result's backslashes.
            out += quote ? "\\\\\\\\" : "\\\\";
        } else {
            out += c;
        }
    }
    if (quote) {
        out += '"';
    }
    return out;
}

std::string autostartEntry(const std::filesystem::path& executable) {
    std::string text;
    text += "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=RX-T7100 Configuration\n";
    text += "Comment=Keeps the RX-T7100 mouse, mousepad and keyboard set up, from the tray\n";
    text += "Exec=" + desktopExecArgument(executable.string()) + " " + std::string(kHiddenOption) +
            "\n";
    text += "Icon=rxt-config\n";
    text += "Terminal=false\n";
    text += "X-GNOME-Autostart-enabled=true\n";
    return text;
}

bool autostartEnabled(const std::filesystem::path& entry) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(entry, ec)) {
        return false;
    }
    return !isOff(entry, "Hidden", "true") && !isOff(entry, "X-GNOME-Autostart-enabled", "false");
}

bool enableAutostart(const std::filesystem::path& entry, const std::filesystem::path& executable,
                     std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(entry.parent_path(), ec);
    if (ec) {
        error = entry.parent_path().string() + ": " + ec.message();
        return false;
    }
    errno = 0;
    if (!writeFileAtomic(entry, autostartEntry(executable))) {
        error = entry.string() + ": " + (errno != 0 ? std::strerror(errno) : "cannot be written");
        return false;
    }
    return true;
}

bool disableAutostart(const std::filesystem::path& entry, std::string& error) {
    std::error_code ec;
    std::filesystem::remove(entry, ec);
    if (ec) {
        error = entry.string() + ": " + ec.message();
        return false;
    }
    return true;
}

std::filesystem::path currentExecutable() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path("rxt-config") : exe;
}

}  // namespace rxt
