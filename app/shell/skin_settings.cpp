#include "app/shell/skin_settings.h"

#include "platform/debug_log.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/language_registry.h"

namespace rxt::shell {

std::filesystem::path mainIniPath() {
    return dataFolderPath() / kMainIniName;
}

std::optional<std::string> storedBackgroundImage(const std::filesystem::path& mainIni) {
    if (iniReadInt(mainIni, kSkinSection, "FLAGS", 0) != 1) {
        return std::nullopt;
    }
    return iniRead(mainIni, kSkinSection, "IMAGE", "0");
}

void storeBackgroundImage(const std::filesystem::path& mainIni, std::string_view image) {
    const IniEdit edits[] = {{kSkinSection, "FLAGS", "1"}, {kSkinSection, "IMAGE", image}};
    if (!iniApply(mainIni, edits)) {
        debugLog("main.ini: background not stored");
    }
}

void storeDefaultBackground(const std::filesystem::path& mainIni) {
    const IniEdit edits[] = {{kSkinSection, "FLAGS", "0"},
                             {kSkinSection, "IMAGE", kDefaultBackground}};
    if (!iniApply(mainIni, edits)) {
        debugLog("main.ini: background not stored");
    }
}

LanguageFiles languageFiles(Language language) {
    switch (language) {
        case Language::English:
            return {"en", "lan_en.xml", "0", "1010"};
        case Language::SimplifiedChinese:
            return {"cn_zh", "lan_cn.xml", "1", "2020"};
        case Language::TraditionalChinese:
            break;
    }
    return {"cn_tw", "lan_sn.xml", "2", ""};
}

int storedLanguageValue(const std::filesystem::path& mainIni) {
    return iniReadInt(mainIni, kSkinSection, "LANGUAGE", 0);
}

Language storedLanguage(const std::filesystem::path& mainIni) {
    switch (storedLanguageValue(mainIni)) {
        case 0:
            return Language::English;
        case 1:
            return Language::SimplifiedChinese;
        default:
            return Language::TraditionalChinese;
    }
}

bool mirrorRegistryLanguage(const std::filesystem::path& mainIni,
                            const std::filesystem::path& registryFile) {
    const auto value = readLanguageValue(registryFile);
    if (!value) {
        debugLog("读注册表失败了");
        return false;
    }
    iniWrite(mainIni, kSkinSection, "LANGUAGE", leadingDecimal(*value) == 2020 ? "1" : "0");
    return true;
}

bool storeLanguage(const std::filesystem::path& mainIni, const std::filesystem::path& registryFile,
                   Language language) {
    const LanguageFiles files = languageFiles(language);
    iniWrite(mainIni, kSkinSection, "LANGUAGE", files.stored);
    if (files.registry.empty()) {
        return true;
    }
    if (!writeLanguageValue(registryFile, files.registry)) {
        return false;
    }
    debugLog("写成功！");
    return true;
}

std::string_view exitItemText(int storedLanguage) {
    switch (storedLanguage) {
        case 0:
            return "Close";
        case 1:
            return "关闭";
        default:
            return "關閉";  // traditional Chinese, every other stored value
    }
}

}  // namespace rxt::shell
