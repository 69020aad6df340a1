#pragma once
// Starting with the desktop: the XDG autostart entry
// $XDG_CONFIG_HOME/autostart/rxt-config.desktop, which starts the program
// hidden in the tray ("rxt-config --hidden").

#include <filesystem>
#include <string>
#include <string_view>

namespace rxt {

inline constexpr std::string_view kHiddenOption = "--hidden";

// configHome()/autostart/rxt-config.desktop.
std::filesystem::path autostartEntryPath();

// The entry's text, starting `executable` with --hidden.
std::string autostartEntry(const std::filesystem::path& executable);

// One argument of a desktop entry's Exec key: quoted where it holds a
// reserved character, with the entry's own string escapes applied.
std::string desktopExecArgument(std::string_view argument);

// The entry exists and the desktop would start it (no "Hidden=true", no
// "X-GNOME-Autostart-enabled=false", the ways desktops switch one off).
bool autostartEnabled(const std::filesystem::path& entry);

// Writes the entry (atomically, creating its folder) or removes it. False
// with the reason in `error`.
bool enableAutostart(const std::filesystem::path& entry, const std::filesystem::path& executable,
                     std::string& error);
bool disableAutostart(const std::filesystem::path& entry, std::string& error);

// The running program's executable (/proc/self/exe).
std::filesystem::path currentExecutable();

}  // namespace rxt
