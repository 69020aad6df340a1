#include "platform/text_encoding.h"

namespace rxt {

DecodedChar decodeUtf8(std::string_view text, size_t pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        return {lead, 1};
    }
    size_t length;
    char32_t cp;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        return {kInvalidCodePoint, 1};
    }
    if (pos + length > text.size()) {
        return {kInvalidCodePoint, 1};
    }
    for (size_t i = 1; i < length; ++i) {
        const unsigned char c = byte(pos + i);
        if ((c & 0xC0) != 0x80) {
            return {kInvalidCodePoint, 1};
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return {kInvalidCodePoint, 1};
    }
    return {cp, length};
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

TextEncoding detectEncoding(std::string_view bytes, size_t* bomLength) {
    TextEncoding encoding = TextEncoding::Utf8;
    size_t length = 0;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        encoding = TextEncoding::Utf8Bom;
        length = 3;
    } else if (bytes.starts_with("\xFF\xFE")) {
        encoding = TextEncoding::Utf16Le;
        length = 2;
    } else if (bytes.starts_with("\xFE\xFF")) {
        encoding = TextEncoding::Utf16Be;
        length = 2;
    }
    if (bomLength != nullptr) {
        *bomLength = length;
    }
    return encoding;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const size_t units = bytes.size() / 2;
    const auto unitAt = [&](size_t i) -> char16_t {
        const auto b0 = static_cast<unsigned char>(bytes[2 * i]);
        const auto b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        return static_cast<char16_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    };
    for (size_t i = 0; i < units; ++i) {
        const char16_t u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char16_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

std::string decodeText(std::string_view bytes, TextEncoding* detected) {
    size_t bom = 0;
    const TextEncoding encoding = detectEncoding(bytes, &bom);
    if (detected != nullptr) {
        *detected = encoding;
    }
    bytes.remove_prefix(bom);
    switch (encoding) {
        case TextEncoding::Utf16Le:
            return utf16ToUtf8(bytes, false);
        case TextEncoding::Utf16Be:
            return utf16ToUtf8(bytes, true);
        default:
            return std::string(bytes);
    }
}

size_t prefixWithinUtf16Units(std::string_view text, size_t maxUnits) {
    // No character takes more UTF-16 units than UTF-8 bytes.
    if (text.size() <= maxUnits) {
        return text.size();
    }
    size_t pos = 0;
    size_t units = 0;
    while (pos < text.size()) {
        const DecodedChar d = decodeUtf8(text, pos);
        // A raw invalid byte stands for one unit, as a replacement would.
        const size_t need = (d.codePoint != kInvalidCodePoint && d.codePoint >= 0x10000) ? 2 : 1;
        if (units + need > maxUnits) {
            break;
        }
        units += need;
        pos += d.length;
    }
    return pos;
}

}  // namespace rxt
