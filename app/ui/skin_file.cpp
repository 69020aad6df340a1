#include "app/ui/skin_file.h"

#include <cstdio>
#include <cstdlib>

namespace rxt::ui {

const std::string* SkinNode::property(std::string_view key) const {
    const auto it = properties.find(key);
    return it == properties.end() ? nullptr : &it->second;
}

namespace {

// <property name="x"><string>..</string></property> and the other value kinds.
std::string propertyValue(const XmlElement& property) {
    if (property.children.empty()) {
        return property.text;
    }
    const XmlElement& v = property.children.front();
    if (v.name == "color") {
        // <color alpha="255"><red>..</red><green>..</green><blue>..</blue></color>
        auto part = [&](std::string_view n) {
            const XmlElement* c = v.child(n);
            return c ? std::atoi(c->text.c_str()) & 0xFF : 0;
        };
        const int alpha = std::atoi(v.attributeOr("alpha", "255").c_str()) & 0xFF;
        char buf[16];
        std::snprintf(buf, sizeof buf, "#%02X%02X%02X%02X", alpha, part("red"), part("green"),
                      part("blue"));
        return buf;
    }
    return v.text;
}

void readProperties(const XmlElement& e, std::map<std::string, std::string, std::less<>>& out) {
    for (const auto& c : e.children) {
        if (c.name == "property") {
            out[c.attributeOr("name", "")] = propertyValue(c);
        }
    }
}

SkinNode readWidget(const XmlElement& w);

void readContents(const XmlElement& e, SkinNode& node) {
    for (const auto& c : e.children) {
        if (c.name == "widget") {
            node.children.push_back(readWidget(c));
        } else if (c.name == "layout" || c.name == "item") {
            if (c.name == "item" && e.name == "widget") {
                // A combo or list row.
                std::map<std::string, std::string, std::less<>> props;
                readProperties(c, props);
                node.items.push_back({props["text"], props["userdata"]});
            } else {
                readContents(c, node);
            }
        }
    }
}

SkinNode readWidget(const XmlElement& w) {
    SkinNode node;
    node.className = w.attributeOr("class", "QWidget");
    node.name = w.attributeOr("name", "");
    readProperties(w, node.properties);
    // Pages of a tab widget keep their title as an attribute.
    for (const auto& c : w.children) {
        if (c.name == "attribute") {
            node.properties[c.attributeOr("name", "")] = propertyValue(c);
        }
    }
    readContents(w, node);
    return node;
}

}  // namespace

SkinFile readSkin(const XmlElement& ui) {
    SkinFile file;
    const XmlElement* top = ui.name == "widget" ? &ui : ui.child("widget");
    if (!top) {
        file.error = "no widget in the skin file";
        return file;
    }
    file.root = readWidget(*top);
    return file;
}

SkinFile readSkinFile(const std::string& path) {
    XmlResult xml = readXmlFile(path);
    if (!xml.root) {
        SkinFile file;
        file.error = xml.error;
        return file;
    }
    SkinFile file = readSkin(*xml.root);
    if (!file.error.empty()) {
        file.error = path + ": " + file.error;
    }
    return file;
}

ControlKind kindForClass(std::string_view c, bool checkable) {
    if (c == "QPushButton" || c == "QToolButton" || c == "QCommandLinkButton" ||
        c == custom::kDeviceKeyButton) {
        return checkable ? ControlKind::Option : ControlKind::Button;
    }
    if (c == "QCheckBox" || c == "QRadioButton") {
        return ControlKind::Option;
    }
    if (c == "QLabel") {
        return ControlKind::Label;
    }
    if (c == "QLineEdit" || c == "QTextEdit" || c == "QPlainTextEdit") {
        return ControlKind::Edit;
    }
    if (c == "QComboBox") {
        return ControlKind::Combo;
    }
    if (c == "QListWidget") {
        return ControlKind::List;
    }
    if (c == "QSlider") {
        return ControlKind::Slider;
    }
    if (c == "QProgressBar" || c == custom::kCircleProgress) {
        return ControlKind::Progress;
    }
    if (c == "QStackedWidget" || c == "QTabWidget") {
        return ControlKind::Tabs;
    }
    if (c == custom::kColorPalette) {
        return ControlKind::Palette;
    }
    if (c == custom::kWnd || c == custom::kChartView) {
        return ControlKind::Custom;
    }
    return ControlKind::Container;
}

}  // namespace rxt::ui
