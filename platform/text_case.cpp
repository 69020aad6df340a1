#include "platform/text_case.h"

#include "platform/text_encoding.h"

namespace rxt {
namespace {

constexpr char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

}  // namespace

char32_t foldCodePoint(char32_t c) {
    if (c < 0x80) {
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    }
    // Latin-1 capitals, except the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
        return c + 32;
    }
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130) {
            return 'i';
        }
        if (c == 0x178) {
            return 0xFF;
        }
        // Pairs start on an even code point except in these two runs.
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) {
            return c;
        }
        if (oddUpper) {
            return (c % 2 == 1) ? c + 1 : c;
        }
        return (c % 2 == 0) ? c + 1 : c;
    }
    // Greek capitals (0x3A2 is unassigned).
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {
        return c + 32;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 80;
    }
    if (c >= 0x410 && c <= 0x42F) {
        return c + 32;
    }
    // Full-width Latin capitals.
    if (c >= 0xFF21 && c <= 0xFF3A) {
        return c + 32;
    }
    return c;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            if (asciiLower(a[i]) != asciiLower(b[j])) {
                return false;
            }
            ++i;
            ++j;
            continue;
        }
        const DecodedChar da = decodeUtf8(a, i);
        const DecodedChar db = decodeUtf8(b, j);
        if (da.codePoint == kInvalidCodePoint || db.codePoint == kInvalidCodePoint) {
            if (ca != cb) {
                return false;
            }
            ++i;
            ++j;
            continue;
        }
        if (foldCodePoint(da.codePoint) != foldCodePoint(db.codePoint)) {
            return false;
        }
        i += da.length;
        j += db.length;
    }
    return i == a.size() && j == b.size();
}

std::string foldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += asciiLower(text[i]);
            ++i;
            continue;
        }
        const DecodedChar d = decodeUtf8(text, i);
        if (d.codePoint == kInvalidCodePoint) {
            out += text[i];
        } else {
            appendUtf8(out, foldCodePoint(d.codePoint));
        }
        i += d.length;
    }
    return out;
}

}  // namespace rxt
