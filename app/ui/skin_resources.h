#pragma once
// Readers of the skin folder's small XML files: the index "res.xml" naming
// the skin files behind resource names, the language tables, and the menu
// files. The widget toolkit and the in-memory tree read them the same way.
//
//   res.xml:    <res><file name="XML_MAIN" path="main.ui"/> ...</res>
//   language:   <language><text key="message_text_1">...</text> ...</language>
//               (key or id attribute; text as content, or a text/value attribute)
//   menu:       <menu><item name="lan_en" text="English"/>
//                     <item name="lan_cn" textkey="menu_lan_cn"/>
//                     <separator/>
//                     <menu name="more" text="More"> ...items... </menu></menu>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/xml_reader.h"

namespace rxt::ui {

// Resource name -> file name. Later entries of one name replace earlier ones.
struct SkinIndex {
    std::map<std::string, std::string, std::less<>> files;
    std::string error;  // set when the file could not be used
};
SkinIndex readSkinIndex(const XmlElement& root);
SkinIndex readSkinIndexFile(const std::string& path);

struct LanguageTable {
    std::map<std::string, std::string, std::less<>> texts;
    std::string error;
};
LanguageTable readLanguageTable(const XmlElement& root);
LanguageTable readLanguageFile(const std::string& path);

struct MenuEntry {
    std::string name;
    std::string text;     // shown as it is, unless textKey is set
    std::string textKey;  // looked up in the language table
    bool separator = false;
    std::vector<MenuEntry> children;  // a submenu when not empty
};
struct MenuFile {
    std::vector<MenuEntry> entries;
    std::string error;
};
MenuFile readMenu(const XmlElement& root);
MenuFile readMenuFile(const std::string& path);

// A file of the skin folder: absolute paths are kept, others are joined to
// the folder.
std::string skinPath(std::string_view folder, std::string_view file);

}  // namespace rxt::ui
