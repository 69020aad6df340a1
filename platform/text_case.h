#pragma once
// Letter-case-insensitive comparison of UTF-8 names (ini sections and keys,
// file names carried over from a case-insensitive file system). ASCII and the
// common two-case alphabets (Latin-1, Latin Extended-A, Greek, Cyrillic,
// full-width Latin) are folded; other characters compare as they are. Bytes
// that are not valid UTF-8 compare as raw bytes.

#include <cstdint>
#include <string>
#include <string_view>

namespace rxt {

// Lower-case partner of a code point, or the code point itself.
char32_t foldCodePoint(char32_t c);

bool equalsIgnoreCase(std::string_view a, std::string_view b);

// The folded form of a UTF-8 text: equal for exactly the texts that
// equalsIgnoreCase finds equal.
std::string foldCase(std::string_view text);

}  // namespace rxt
