// Every text key that the skin files or the program's code use is in all
// three language files, and no text is left in one language: the Chinese
// files hold Chinese, the English one holds no Chinese, and the skin's own
// plain texts are only names and units that read the same everywhere.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/ui/skin_resources.h"

namespace rxt::ui {
namespace {

const std::filesystem::path kTree = std::filesystem::path(RXT_TESTDATA_DIR) / ".." / "..";
const std::filesystem::path kSkinFolder = kTree / "skin";

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::filesystem::path> filesUnder(const std::filesystem::path& folder,
                                              std::initializer_list<std::string_view> exts) {
    std::vector<std::filesystem::path> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        for (std::string_view ext : exts) {
            if (e.is_regular_file() && e.path().extension() == ext) {
                out.push_back(e.path());
            }
        }
    }
    return out;
}

// Every match of group 1 of `pattern` in `text`.
void collect(const std::string& text, const std::regex& pattern, std::set<std::string>& into) {
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        into.insert((*it)[1].str());
    }
}

bool hasChinese(std::string_view utf8) {
    // U+3400..U+9FFF start with the bytes E3 90 .. E9 BF.
    for (size_t i = 0; i + 2 < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const auto c = static_cast<unsigned char>(utf8[i + 1]);
        if ((b == 0xE3 && c >= 0x90) || (b >= 0xE4 && b <= 0xE9)) {
            return true;
        }
    }
    return false;
}

// Latin words that are not names, units or key caps, which read the same in
// every language of the program.
std::vector<std::string> untranslatedWords(const std::string& text) {
    static const std::set<std::string> kSame = {
        "RX",    "T7100", "GamingMouse", "DPI", "Hz",  "mm",    "ms",   "RGB",  "Ctrl",
        "Shift", "Alt",   "Win",         "Tab", "Esc", "Enter", "Home", "End",  "Fn",
        "Num",   "Caps",  "Back",        "Del", "Ins", "PgUp",  "PgDn", "Menu", "Space"};
    std::vector<std::string> out;
    static const std::regex kWord("[A-Za-z][A-Za-z0-9]+");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kWord);
         it != std::sregex_iterator(); ++it) {
        const std::string w = it->str();
        // Placeholders and shortcut letters ("%d", "Ctrl+O") are not words.
        if (kSame.count(w) == 0 &&
            !(w.size() <= 2 && std::isupper(static_cast<unsigned char>(w[0])))) {
            out.push_back(w);
        }
    }
    return out;
}

struct Languages {
    LanguageTable en = readLanguageFile((kSkinFolder / "lan_en.xml").string());
    LanguageTable cn = readLanguageFile((kSkinFolder / "lan_cn.xml").string());
    LanguageTable tw = readLanguageFile((kSkinFolder / "lan_sn.xml").string());

    void expectEverywhere(const std::string& key, const std::string& where) const {
        for (const auto* table : {&en, &cn, &tw}) {
            EXPECT_TRUE(table->texts.count(key)) << key << " (" << where << ") is missing from "
                                                 << (table == &en   ? "lan_en.xml"
                                                     : table == &cn ? "lan_cn.xml"
                                                                    : "lan_sn.xml");
        }
    }
};

TEST(LanguageCompleteness, EveryKeyOfTheSkinAndTheCodeIsInAllThreeFiles) {
    const Languages lan;
    ASSERT_TRUE(lan.en.error.empty() && lan.cn.error.empty() && lan.tw.error.empty());
    ASSERT_GT(lan.en.texts.size(), 100u);

    std::set<std::string> skinKeys;
    const std::regex property(
        R"re(<property name="(?:textkey|tooltipkey)" stdset="0"><string>([^<]+)</string>)re");
    const std::regex menuKey(R"re(textkey="([^"]+)")re");
    for (const auto& file : filesUnder(kSkinFolder, {".xml"})) {
        const std::string text = readAll(file);
        collect(text, property, skinKeys);
        collect(text, menuKey, skinKeys);
    }
    EXPECT_GT(skinKeys.size(), 50u);
    for (const auto& key : skinKeys) {
        lan.expectEverywhere(key, "skin");
    }

    // Keys in the code: the message keys, the dialogs' titles and filters,
    // tooltips, box titles, and any literal handed to translate().
    std::set<std::string> codeKeys;
    const std::regex named(
        R"re("((?:message_text_\d+|dialog_\w+_title|filter_\w+|tray_hint_\w+|tip_\w+|\w+_window_title))")re");
    const std::regex translated(R"re(translate\("([^"]+)"\))re");
    for (const auto& file : filesUnder(kTree / "app", {".cpp", ".h"})) {
        const std::string text = readAll(file);
        collect(text, named, codeKeys);
        collect(text, translated, codeKeys);
    }
    for (const char* known : {"message_text_1", "dialog_import_profile_title", "filter_programs",
                              "filter_all_files", "tray_hint_text", "about_window_title"}) {
        EXPECT_TRUE(codeKeys.count(known)) << known << " not found in the code";
    }
    for (const auto& key : codeKeys) {
        lan.expectEverywhere(key, "code");
    }
    // The message box's keys.
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18}) {
        lan.expectEverywhere("message_text_" + std::to_string(n), "message box");
    }
}

TEST(LanguageCompleteness, NoTextIsLeftInOneLanguage) {
    const Languages lan;
    for (const auto& [key, english] : lan.en.texts) {
        EXPECT_FALSE(hasChinese(english)) << key << " in lan_en.xml: " << english;
        if (key.starts_with("keyboard_key_")) {
            continue;  // key caps are printed in Latin letters on every keyboard
        }
        for (const auto* table : {&lan.cn, &lan.tw}) {
            const auto it = table->texts.find(key);
            if (it == table->texts.end()) {
                continue;
            }
            const std::vector<std::string> left = untranslatedWords(it->second);
            EXPECT_TRUE(hasChinese(it->second) || left.empty())
                << key << " reads \"" << it->second << "\" in a Chinese file";
        }
    }
    for (const auto* table : {&lan.cn, &lan.tw}) {
        EXPECT_EQ(table->texts.size(), lan.en.texts.size());
    }
}

TEST(LanguageCompleteness, TheSkinsPlainTextsAreNamesAndUnitsOnly) {
    // Plain texts (not keys) of controls other than the key caps.
    const std::regex plain(
        R"re(<widget class="\w+" name="(\w+)">\s*(?:<property name="geometry">.*?</property>\s*)?(?:<property name="(?!text")[^"]+"[^>]*>.*?</property>\s*)*<property name="text"><string>([^<]*)</string>)re");
    const std::regex item(R"re(<item><property name="text"><string>([^<]*)</string>)re");
    for (const auto& file : filesUnder(kSkinFolder, {".xml"})) {
        if (file.filename().string().starts_with("lan_")) {
            continue;
        }
        const std::string text = readAll(file);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), plain);
             it != std::sregex_iterator(); ++it) {
            const std::string name = (*it)[1].str();
            if (name.starts_with("kb_key_") || name.starts_with("kb_dkey_")) {
                continue;
            }
            EXPECT_TRUE(untranslatedWords((*it)[2].str()).empty())
                << file.filename() << " " << name << " shows \"" << (*it)[2].str()
                << "\" in every language: give it a text key";
        }
        std::set<std::string> rows;
        collect(text, item, rows);
        for (const auto& row : rows) {
            EXPECT_TRUE(untranslatedWords(row).empty())
                << file.filename() << " row \"" << row << "\" in every language";
        }
    }
}

}  // namespace
}  // namespace rxt::ui
