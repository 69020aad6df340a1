#pragma once
// A small XML reader for the skin folder's files (skin files, the index,
// the menu and the language tables): elements, attributes and text, with
// comments, processing instructions, CDATA, a DOCTYPE and character
// references. Bad input gives an error with its line, never a crash; depth
// is bounded so a hostile file cannot exhaust the stack.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rxt::ui {

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;  // in file order
    std::vector<XmlElement> children;
    std::string text;  // all character data directly inside, concatenated

    // The first attribute with this name, if any.
    const std::string* attribute(std::string_view attr) const;
    std::string attributeOr(std::string_view attr, std::string_view fallback) const;
    // The first child element with this name, if any.
    const XmlElement* child(std::string_view childName) const;
};

struct XmlResult {
    std::optional<XmlElement> root;
    std::string error;  // "line 12: ..." when root is empty
};

inline constexpr size_t kMaxXmlDepth = 256;

// Parses a document held in memory (UTF-8, an optional byte order mark).
XmlResult parseXml(std::string_view text);
// Reads and parses a file; UTF-16 files with a byte order mark are accepted.
XmlResult readXmlFile(const std::string& path);

}  // namespace rxt::ui
