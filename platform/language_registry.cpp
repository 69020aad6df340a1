#include "platform/language_registry.h"

#include "platform/folders.h"
#include "platform/ini_file.h"

namespace rxt {

std::filesystem::path registryFilePath() {
    return appConfigFolder() / "registry.ini";
}

std::optional<std::string> readLanguageValue() {
    return readLanguageValue(registryFilePath());
}

std::optional<std::string> readLanguageValue(const std::filesystem::path& registryFile) {
    return iniFind(registryFile, kRegistrySection, kLanguageValueName);
}

bool writeLanguageValue(std::string_view value) {
    return writeLanguageValue(registryFilePath(), value);
}

bool writeLanguageValue(const std::filesystem::path& registryFile, std::string_view value) {
    std::error_code ec;
    std::filesystem::create_directories(registryFile.parent_path(), ec);
    return iniWrite(registryFile, kRegistrySection, kLanguageValueName, value);
}

}  // namespace rxt
