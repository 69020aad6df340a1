#pragma once
// What "main.ini" in the data folder remembers of the look: [SKINIMAGE]
// "FLAGS" and "IMAGE" (the stored background) and "LANGUAGE" (0 English, 1
// simplified Chinese, anything else traditional Chinese), and the registry
// value that mirrors the language ("1010" English, "2020" Chinese).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rxt::shell {

inline constexpr std::string_view kMainIniName = "main.ini";
inline constexpr std::string_view kSkinSection = "SKINIMAGE";
inline constexpr std::string_view kDefaultBackground = "common/background.png";

// The data folder + "main.ini".
std::filesystem::path mainIniPath();

// The stored background image; nullopt when "FLAGS" is not 1.
std::optional<std::string> storedBackgroundImage(const std::filesystem::path& mainIni);
void storeBackgroundImage(const std::filesystem::path& mainIni, std::string_view image);
// Back to the default picture: "FLAGS" 0 and "IMAGE" the default.
void storeDefaultBackground(const std::filesystem::path& mainIni);

enum class Language { English, SimplifiedChinese, TraditionalChinese };

struct LanguageFiles {
    std::string_view name;      // given to setLanguage
    std::string_view file;      // loaded with loadLanguage
    std::string_view stored;    // "LANGUAGE" in main.ini
    std::string_view registry;  // the mirror; empty: not written
};
LanguageFiles languageFiles(Language language);

// "LANGUAGE" of main.ini as a choice (missing: English).
Language storedLanguage(const std::filesystem::path& mainIni);
// The raw number, for the tray menu's "exit" text.
int storedLanguageValue(const std::filesystem::path& mainIni);

// Start-up: the registry value decides "LANGUAGE" (2020 Chinese, any other
// readable value English); an unreadable value changes nothing. True when it
// was read.
bool mirrorRegistryLanguage(const std::filesystem::path& mainIni,
                            const std::filesystem::path& registryFile);

// The language switch's files: "LANGUAGE" in main.ini and the registry
// mirror. False when the registry could not be written (main.ini still
// changes).
bool storeLanguage(const std::filesystem::path& mainIni, const std::filesystem::path& registryFile,
                   Language language);

// The tray menu's "exit" item: "Close" for 0, "关闭" for 1, "關閉" otherwise
// (the traditional Chinese that any other value starts in).
std::string_view exitItemText(int storedLanguage);

}  // namespace rxt::shell
