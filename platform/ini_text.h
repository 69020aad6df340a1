#pragma once
// Private-profile ini text: parsing and editing of the decoded text of one
// file, kept apart from the file handling so it can be tested and fuzzed on
// its own.
//
// Layout rules: a line "[name]" opens a section (the name runs to the last
// ']'); a line starting with ';' is a comment; any other non-blank line is an
// entry "key=value" (a line without '=' is a key with an empty value). Names
// and values are trimmed of blanks, and one pair of matching enclosing quotes
// (' or ") is removed from a value. Section and key names compare without
// regard to case. Lines before the first section belong to no section. When a
// section or key appears more than once, the first one is the one read and
// written. Lines end in LF or CRLF.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rxt {

// The value of a key as stored, trimmed and unquoted; nullopt when the section
// or the key is missing. The view points into text.
std::optional<std::string_view> findIniValue(std::string_view text, std::string_view section,
                                             std::string_view key);

// Section names in file order, each once (first spelling kept).
std::vector<std::string> listIniSections(std::string_view text);
// Keys of the section in file order, each once.
std::vector<std::string> listIniKeys(std::string_view text, std::string_view section);

// One change: set a key (value given), delete a key (no value) or delete a
// whole section (no key).
struct IniEdit {
    std::string_view section;
    std::optional<std::string_view> key;
    std::optional<std::string_view> value;
};

// Whether an edit can be written without changing the file's structure: names
// and values hold no line breaks or NULs, a key is not empty, holds no '=' and
// does not start with '[' or ';'.
bool isWritableIniEdit(const IniEdit& edit);

// The text with the edit applied; every line the edit does not concern stays
// as it was, in its place. A new key goes after the last entry of its section,
// a new section at the end. A value that would not read back as written
// (surrounding blanks, enclosing quotes) is written inside double quotes.
// Deleting a key removes every copy of it in the section read; deleting a
// section removes every section of that name with its lines.
std::string applyIniEdit(std::string_view text, const IniEdit& edit);

}  // namespace rxt
