#pragma once
// Where the program's files live. Every path is built anew on each call from
// the environment (HOME, XDG_CONFIG_HOME), so tests can point them at a
// temporary folder. Folder paths end in '/'.

#include <filesystem>
#include <string_view>

namespace rxt {

// $HOME, else the password database's home, else the temporary folder.
std::filesystem::path homeFolder();

// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config.
std::filesystem::path configHome();

// XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs ("$HOME/..." or an
// absolute path), else $HOME/Documents.
std::filesystem::path documentsFolder();

// The value of XDG_DOCUMENTS_DIR in the text of a user-dirs.dirs file, with
// "$HOME" replaced; empty when it is absent or not a usable path.
std::filesystem::path documentsFolderFromUserDirs(std::string_view text,
                                                  const std::filesystem::path& home);
// The same for any key of that file ("XDG_PICTURES_DIR").
std::filesystem::path userFolderFromUserDirs(std::string_view text,
                                             const std::filesystem::path& home,
                                             std::string_view key);

// XDG_PICTURES_DIR the same way, else $HOME/Pictures (not created).
std::filesystem::path picturesFolder();

inline constexpr std::string_view kDataFolderName = "RX-T7100 GamingMouse";

// The documents folder + "RX-T7100 GamingMouse/", created when missing.
std::filesystem::path dataFolderPath();

// The data folder + the kind's folder ("ms", "mp", "kb") + '/', both created
// when missing.
std::filesystem::path profileFolderPath(std::string_view kindFolder);

// $XDG_CONFIG_HOME/rx-t7100/ (not created: its writers create it).
std::filesystem::path appConfigFolder();

// The folder of the program's own data (default profiles, cursor schemes,
// "skin/"): the executable's folder when it holds "skin/" or "defaults/" (a
// build tree), else <exe folder>/../share/rx-t7100/ when that exists (an
// installation moved as a whole), else the configured installation folder.
std::filesystem::path programFolder();
std::filesystem::path programFolderFor(const std::filesystem::path& executable);

}  // namespace rxt
