#include "device/simbus/simbus_enumeration.h"

#include <string>

namespace rxt {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Exactly four hex digits.
std::optional<uint16_t> parseId(std::string_view s) {
    if (s.size() != 4) {
        return std::nullopt;
    }
    uint16_t value = 0;
    for (char c : s) {
        const int d = hexDigit(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = static_cast<uint16_t>((value << 4) | d);
    }
    return value;
}

std::optional<uint32_t> parseDecimal(std::string_view s) {
    if (s.empty() || s.size() > 9) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value;
}

}  // namespace

std::optional<std::vector<uint8_t>> decodeHex(std::string_view text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = hexDigit(text[i]);
        const int low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    return bytes;
}

std::optional<HidNodeInfo> parseEnumerationLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    std::string_view fields[6];
    size_t count = 0;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        if (count == 6) {
            return std::nullopt;  // more fields than the six
        }
        fields[count++] = line.substr(start, tab == std::string_view::npos ? tab : tab - start);
        if (tab == std::string_view::npos) {
            break;
        }
        start = tab + 1;
    }
    if (count != 6 || fields[0].empty()) {
        return std::nullopt;
    }
    const auto vendor = parseId(fields[1]);
    const auto product = parseId(fields[2]);
    const auto version = parseId(fields[3]);
    const auto interfaceNumber = parseDecimal(fields[4]);
    auto descriptor = decodeHex(fields[5]);
    if (!vendor || !product || !version || !interfaceNumber || !descriptor) {
        return std::nullopt;
    }
    HidNodeInfo node;
    node.path = std::string(fields[0]);
    node.vendor = *vendor;
    node.product = *product;
    node.version = *version;
    node.interfaceNumber = *interfaceNumber;
    node.descriptor = std::move(*descriptor);
    return node;
}

std::vector<HidNodeInfo> parseEnumeration(std::string_view text, size_t* skipped) {
    std::vector<HidNodeInfo> nodes;
    size_t bad = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty()) {
            continue;
        }
        if (auto node = parseEnumerationLine(line)) {
            nodes.push_back(std::move(*node));
        } else {
            ++bad;
        }
    }
    if (skipped != nullptr) {
        *skipped = bad;
    }
    return nodes;
}

}  // namespace rxt
