#include "device/hid_path.h"

#include <cctype>

namespace rxt {
namespace {

// Position just after the first case-insensitive occurrence of marker, or npos.
size_t findMarker(std::string_view path, std::string_view marker) {
    if (marker.size() > path.size()) {
        return std::string_view::npos;
    }
    for (size_t i = 0; i + marker.size() <= path.size(); ++i) {
        size_t k = 0;
        while (k < marker.size() &&
               std::tolower(static_cast<unsigned char>(path[i + k])) == marker[k]) {
            ++k;
        }
        if (k == marker.size()) {
            return i + marker.size();
        }
    }
    return std::string_view::npos;
}

// Reads hex digits like "%x": stops at the first non-digit, keeps the low 32 bits.
uint32_t hexAfter(std::string_view path, std::string_view marker) {
    size_t pos = findMarker(path, marker);
    if (pos == std::string_view::npos) {
        return 0;
    }
    uint32_t value = 0;
    for (; pos < path.size(); ++pos) {
        const int c = std::tolower(static_cast<unsigned char>(path[pos]));
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            break;
        }
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

}  // namespace

uint16_t vendorFromPath(std::string_view path) {
    return static_cast<uint16_t>(hexAfter(path, "vid_"));
}

uint16_t productFromPath(std::string_view path) {
    return static_cast<uint16_t>(hexAfter(path, "pid_"));
}

uint32_t interfaceFromPath(std::string_view path) {
    return hexAfter(path, "&mi_");
}

uint32_t collectionFromPath(std::string_view path) {
    return hexAfter(path, "&col");
}

}  // namespace rxt
