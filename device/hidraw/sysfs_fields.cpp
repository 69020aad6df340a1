#include "device/hidraw/sysfs_fields.h"

namespace rxt {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<uint32_t> parseHex(std::string_view s) {
    if (s.empty() || s.size() > 8) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : s) {
        uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        value = (value << 4) | digit;
    }
    return value;
}

}  // namespace

std::optional<HidIdField> parseHidId(std::string_view text) {
    text = trim(text);
    const size_t first = text.find(':');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const size_t second = text.find(':', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto bus = parseHex(text.substr(0, first));
    const auto vendor = parseHex(text.substr(first + 1, second - first - 1));
    const auto product = parseHex(text.substr(second + 1));
    if (!bus || !vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) {
        return std::nullopt;
    }
    return HidIdField{*bus, static_cast<uint16_t>(*vendor), static_cast<uint16_t>(*product)};
}

std::optional<uint32_t> parseHexAttribute(std::string_view text) {
    return parseHex(trim(text));
}

}  // namespace rxt
