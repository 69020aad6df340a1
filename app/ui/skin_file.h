#pragma once
// The control tree of a skin file (a Designer .ui file) as plain data: class
// and name of every widget, its properties as text, and its combo or list
// items. The in-memory UI builds its controls from it; the widget toolkit
// reads the same files with its own loader.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/skin_ui.h"
#include "app/ui/xml_reader.h"

namespace rxt::ui {

struct SkinNode {
    std::string className;
    std::string name;
    // Every property as text: strings as they are, bools "true"/"false",
    // numbers in decimal, enums by name. Dynamic properties ("textkey",
    // "userdata", custom attributes) are here too.
    std::map<std::string, std::string, std::less<>> properties;
    std::vector<Item> items;  // combo and list rows
    std::vector<SkinNode> children;

    const std::string* property(std::string_view key) const;
};

struct SkinFile {
    SkinNode root;
    std::string error;  // set when the file could not be used
};

SkinFile readSkin(const XmlElement& ui);
SkinFile readSkinFile(const std::string& path);

// The kind of control a class gives, for the toolkit's own classes and the
// registered custom ones; a checkable push or tool button is an option.
// Unknown classes are containers.
ControlKind kindForClass(std::string_view className, bool checkable);

}  // namespace rxt::ui
