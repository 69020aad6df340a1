#include "app/ui/skin_resources.h"

#include <filesystem>

namespace rxt::ui {

namespace {

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(first, last - first + 1));
}

const std::string* firstAttribute(const XmlElement& e,
                                  std::initializer_list<std::string_view> names) {
    for (auto n : names) {
        if (const std::string* v = e.attribute(n)) {
            return v;
        }
    }
    return nullptr;
}

void collectIndex(const XmlElement& e, SkinIndex& index) {
    const std::string* name = firstAttribute(e, {"name", "id"});
    const std::string* path = firstAttribute(e, {"path", "file"});
    if (name && !name->empty()) {
        std::string file = path ? *path : trimmed(e.text);
        if (!file.empty()) {
            index.files[*name] = file;
        }
    }
    for (const auto& c : e.children) {
        collectIndex(c, index);
    }
}

void collectTexts(const XmlElement& e, LanguageTable& table) {
    if (const std::string* key = firstAttribute(e, {"key", "id"}); key && !key->empty()) {
        const std::string* value = firstAttribute(e, {"text", "value"});
        table.texts[*key] = value ? *value : trimmed(e.text);
    }
    for (const auto& c : e.children) {
        collectTexts(c, table);
    }
}

std::vector<MenuEntry> menuEntries(const XmlElement& e) {
    std::vector<MenuEntry> out;
    for (const auto& c : e.children) {
        MenuEntry entry;
        if (c.name == "separator") {
            entry.separator = true;
        } else if (c.name == "item" || c.name == "menu") {
            entry.name = c.attributeOr("name", "");
            entry.text = c.attributeOr("text", trimmed(c.text));
            entry.textKey = c.attributeOr("textkey", "");
            if (c.name == "menu") {
                entry.children = menuEntries(c);
            }
        } else {
            continue;
        }
        out.push_back(std::move(entry));
    }
    return out;
}

}  // namespace

SkinIndex readSkinIndex(const XmlElement& root) {
    SkinIndex index;
    collectIndex(root, index);
    return index;
}

SkinIndex readSkinIndexFile(const std::string& path) {
    XmlResult xml = readXmlFile(path);
    if (!xml.root) {
        SkinIndex index;
        index.error = xml.error;
        return index;
    }
    return readSkinIndex(*xml.root);
}

LanguageTable readLanguageTable(const XmlElement& root) {
    LanguageTable table;
    collectTexts(root, table);
    return table;
}

LanguageTable readLanguageFile(const std::string& path) {
    XmlResult xml = readXmlFile(path);
    if (!xml.root) {
        LanguageTable table;
        table.error = xml.error;
        return table;
    }
    return readLanguageTable(*xml.root);
}

MenuFile readMenu(const XmlElement& root) {
    MenuFile menu;
    menu.entries = menuEntries(root);
    return menu;
}

MenuFile readMenuFile(const std::string& path) {
    XmlResult xml = readXmlFile(path);
    if (!xml.root) {
        MenuFile menu;
        menu.error = xml.error;
        return menu;
    }
    return readMenu(*xml.root);
}

std::string skinPath(std::string_view folder, std::string_view file) {
    const std::filesystem::path p{std::string(file)};
    if (p.is_absolute()) {
        return p.string();
    }
    std::string out(folder);
    if (!out.empty() && out.back() != '/') {
        out.push_back('/');
    }
    return out + p.string();
}

}  // namespace rxt::ui
