#pragma once
// Text file decoding: files carried over from Windows may be UTF-16 with a
// byte order mark; everything else is taken as UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace rxt {

enum class TextEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

// Decoded code point and the bytes it took; invalid or truncated sequences
// give one byte with the value kInvalidCodePoint.
struct DecodedChar {
    char32_t codePoint;
    size_t length;
};
inline constexpr char32_t kInvalidCodePoint = 0xFFFFFFFF;
DecodedChar decodeUtf8(std::string_view text, size_t pos);

void appendUtf8(std::string& out, char32_t codePoint);

// The encoding given by a byte order mark (Utf8 when there is none) and the
// length of that mark.
TextEncoding detectEncoding(std::string_view bytes, size_t* bomLength = nullptr);

// UTF-16 (without its mark) to UTF-8. Unpaired surrogates become U+FFFD; an
// odd trailing byte is dropped.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);

// The text of a file as UTF-8 without a byte order mark.
std::string decodeText(std::string_view bytes, TextEncoding* detected = nullptr);

// Length of the longest prefix of a UTF-8 text that fits in maxUnits UTF-16
// code units, never splitting a character.
size_t prefixWithinUtf16Units(std::string_view text, size_t maxUnits);

}  // namespace rxt
