#pragma once
// The per-user "registry" value that mirrors the interface language ("1010"
// English, "2020" Chinese): key "LANGUAGE" of a settings file standing in for
// the registry key.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rxt {

inline constexpr std::string_view kRegistrySection =
    "HKEY_CURRENT_USER\\SOFTWARE\\Tarnvek RX-T7100 Gaming Mouse";
inline constexpr std::string_view kLanguageValueName = "LANGUAGE";

// $XDG_CONFIG_HOME/rx-t7100/registry.ini
std::filesystem::path registryFilePath();

// nullopt when the value cannot be read (missing file or key).
std::optional<std::string> readLanguageValue();
std::optional<std::string> readLanguageValue(const std::filesystem::path& registryFile);

// Creates the folder, file and key as needed; false when it cannot be stored.
bool writeLanguageValue(std::string_view value);
bool writeLanguageValue(const std::filesystem::path& registryFile, std::string_view value);

}  // namespace rxt
