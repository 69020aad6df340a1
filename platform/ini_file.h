#pragma once
// Ini files with private-profile semantics (layout rules in ini_text.h).
//
// Nothing is cached: every call reads the file. A missing or unreadable file,
// section or key reads as the default. Files are read as UTF-8 (with or
// without a byte order mark) or as UTF-16 with a byte order mark, with LF or
// CRLF line breaks. Writes produce UTF-8 with LF line breaks (a UTF-8 byte
// order mark already there is kept), keep every other line in its place, and
// replace the file atomically, so a failed write leaves the old file whole.
// Writers in one process are serialised; a write that changes nothing does not
// touch the file.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_text.h"

namespace rxt {

// Values read are cut to this many UTF-16 code units (a 260-unit buffer with
// its terminator), never in the middle of a character.
inline constexpr size_t kIniValueMaxUnits = 259;

std::string iniRead(const std::filesystem::path& file, std::string_view section,
                    std::string_view key, std::string_view defaultValue);

// The value, or nullopt when the file, the section or the key is missing.
std::optional<std::string> iniFind(const std::filesystem::path& file, std::string_view section,
                                   std::string_view key);

// The value's leading decimal digits (blanks before them skipped, no sign),
// saturating at INT_MAX. A value with no leading digit reads as 0; a missing
// or empty value reads as the default.
int iniReadInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
               int defaultValue);

std::vector<std::string> iniSectionNames(const std::filesystem::path& file);
std::vector<std::string> iniKeyNames(const std::filesystem::path& file, std::string_view section);

// Creates the file, section and key as needed (the folder must exist). False
// when the file could not be read or written, or when the names or value
// cannot be stored (see isWritableIniEdit); the file is then unchanged.
bool iniWrite(const std::filesystem::path& file, std::string_view section, std::string_view key,
              std::string_view value);
bool iniDeleteKey(const std::filesystem::path& file, std::string_view section,
                  std::string_view key);
bool iniDeleteSection(const std::filesystem::path& file, std::string_view section);

// Several changes in one atomic write: all of them or none.
bool iniApply(const std::filesystem::path& file, std::span<const IniEdit> edits);

// The decimal-prefix reading of iniReadInt for text already read.
int leadingDecimal(std::string_view text);

}  // namespace rxt
