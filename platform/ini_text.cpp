#include "platform/ini_text.h"

#include <unordered_set>

#include "platform/text_case.h"

namespace rxt {
namespace {

constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
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

std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

// One line of the text: [begin, end) is its content without the line break
// (and without a CR before it); next is where the following line starts.
struct LineRef {
    size_t begin;
    size_t end;
    size_t next;
};

class LineCursor {
  public:
    explicit LineCursor(std::string_view text) : text_(text) {}
    bool next(LineRef& line) {
        if (pos_ >= text_.size()) {
            return false;
        }
        const size_t nl = text_.find('\n', pos_);
        line.begin = pos_;
        line.next = (nl == std::string_view::npos) ? text_.size() : nl + 1;
        line.end = (nl == std::string_view::npos) ? text_.size() : nl;
        if (line.end > line.begin && text_[line.end - 1] == '\r') {
            --line.end;
        }
        pos_ = line.next;
        return true;
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

enum class LineKind { Blank, Comment, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::string_view name;                   // section name or key, trimmed
    std::string_view value;                  // trimmed, still quoted
    size_t keyEnd = 0;                       // offset in the line just after the untrimmed key
    size_t equals = std::string_view::npos;  // offset of '=' in the line
};

ParsedLine parseLine(std::string_view line) {
    ParsedLine p;
    const std::string_view t = trim(line);
    if (t.empty()) {
        return p;
    }
    if (t.front() == ';') {
        p.kind = LineKind::Comment;
        return p;
    }
    if (t.front() == '[') {
        p.kind = LineKind::Section;
        const size_t close = t.rfind(']');
        p.name = trim(close == std::string_view::npos ? t.substr(1) : t.substr(1, close - 1));
        return p;
    }
    p.kind = LineKind::Entry;
    p.equals = line.find('=');
    if (p.equals == std::string_view::npos) {
        p.name = t;
        p.keyEnd = line.size();
        while (p.keyEnd > 0 && isBlank(line[p.keyEnd - 1])) {
            --p.keyEnd;
        }
        return p;
    }
    p.name = trim(line.substr(0, p.equals));
    p.keyEnd = p.equals;
    p.value = trim(line.substr(p.equals + 1));
    return p;
}

// Quick test used while skipping the lines of other sections.
bool isSectionLine(std::string_view line) {
    for (char c : line) {
        if (!isBlank(c)) {
            return c == '[';
        }
    }
    return false;
}

bool hasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string formatValue(std::string_view value) {
    const bool quote = !value.empty() && (isBlank(value.front()) || isBlank(value.back()) ||
                                          unquote(value).size() != value.size());
    if (!quote) {
        return std::string(value);
    }
    std::string out;
    out.reserve(value.size() + 2);
    out += '"';
    out += value;
    out += '"';
    return out;
}

std::string_view lineBreakOf(std::string_view text) {
    const size_t nl = text.find('\n');
    return (nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r') ? "\r\n" : "\n";
}

// The last line of a text that does not end in a line break.
bool endsUnbroken(std::string_view text, const LineRef& line) {
    return line.next == text.size() && text.back() != '\n';
}

std::string setKey(std::string_view text, std::string_view section, std::string_view key,
                   std::string_view value) {
    const std::string_view eol = lineBreakOf(text);
    LineCursor cursor(text);
    LineRef line{};
    bool inSection = false;
    size_t insertAt = std::string_view::npos;  // after the header or the last entry
    bool insertNeedsBreak = false;
    while (cursor.next(line)) {
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        if (!inSection) {
            if (!isSectionLine(content)) {
                continue;
            }
            const ParsedLine p = parseLine(content);
            if (equalsIgnoreCase(p.name, section)) {
                inSection = true;
                insertAt = line.next;
                insertNeedsBreak = endsUnbroken(text, line);
            }
            continue;
        }
        const ParsedLine p = parseLine(content);
        if (p.kind == LineKind::Section) {
            break;
        }
        if (p.kind != LineKind::Entry) {
            continue;
        }
        if (equalsIgnoreCase(p.name, key)) {
            // Keep the key as spelt and the blanks around '='; replace the value.
            std::string out(text.substr(0, line.begin));
            if (p.equals == std::string_view::npos) {
                out += content.substr(0, p.keyEnd);
                out += '=';
            } else {
                size_t valueStart = p.equals + 1;
                if (!p.value.empty()) {
                    while (valueStart < content.size() && isBlank(content[valueStart])) {
                        ++valueStart;
                    }
                }
                out += content.substr(0, valueStart);
            }
            out += formatValue(value);
            out += text.substr(line.end);
            return out;
        }
        insertAt = line.next;
        insertNeedsBreak = endsUnbroken(text, line);
    }

    std::string entry(key);
    entry += '=';
    entry += formatValue(value);
    entry += eol;
    std::string out;
    if (insertAt == std::string_view::npos) {
        out.reserve(text.size() + section.size() + entry.size() + 4);
        out += text;
        if (!out.empty() && out.back() != '\n') {
            out += eol;
        }
        out += '[';
        out += section;
        out += ']';
        out += eol;
        out += entry;
        return out;
    }
    out.reserve(text.size() + entry.size() + 2);
    out += text.substr(0, insertAt);
    if (insertNeedsBreak) {
        out += eol;
    }
    out += entry;
    out += text.substr(insertAt);
    return out;
}

std::string deleteKey(std::string_view text, std::string_view section, std::string_view key) {
    std::string out;
    out.reserve(text.size());
    LineCursor cursor(text);
    LineRef line{};
    enum { Before, Inside, After } state = Before;
    while (cursor.next(line)) {
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        const std::string_view whole = text.substr(line.begin, line.next - line.begin);
        if (state != After && isSectionLine(content)) {
            if (state == Inside) {
                state = After;
            } else if (equalsIgnoreCase(parseLine(content).name, section)) {
                state = Inside;
            }
        } else if (state == Inside) {
            const ParsedLine p = parseLine(content);
            if (p.kind == LineKind::Entry && equalsIgnoreCase(p.name, key)) {
                continue;
            }
        }
        out += whole;
    }
    return out;
}

std::string deleteSection(std::string_view text, std::string_view section) {
    std::string out;
    out.reserve(text.size());
    LineCursor cursor(text);
    LineRef line{};
    bool dropping = false;
    while (cursor.next(line)) {
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        if (isSectionLine(content)) {
            dropping = equalsIgnoreCase(parseLine(content).name, section);
        }
        if (!dropping) {
            out += text.substr(line.begin, line.next - line.begin);
        }
    }
    return out;
}

}  // namespace

std::optional<std::string_view> findIniValue(std::string_view text, std::string_view section,
                                             std::string_view key) {
    section = trim(section);
    key = trim(key);
    LineCursor cursor(text);
    LineRef line{};
    bool inSection = false;
    while (cursor.next(line)) {
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        if (!inSection) {
            if (isSectionLine(content) && equalsIgnoreCase(parseLine(content).name, section)) {
                inSection = true;
            }
            continue;
        }
        const ParsedLine p = parseLine(content);
        if (p.kind == LineKind::Section) {
            return std::nullopt;
        }
        if (p.kind == LineKind::Entry && equalsIgnoreCase(p.name, key)) {
            return unquote(p.value);
        }
    }
    return std::nullopt;
}

std::vector<std::string> listIniSections(std::string_view text) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    LineCursor cursor(text);
    LineRef line{};
    while (cursor.next(line)) {
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        if (!isSectionLine(content)) {
            continue;
        }
        const std::string_view name = parseLine(content).name;
        if (seen.insert(foldCase(name)).second) {
            names.emplace_back(name);
        }
    }
    return names;
}

std::vector<std::string> listIniKeys(std::string_view text, std::string_view section) {
    section = trim(section);
    std::vector<std::string> keys;
    std::unordered_set<std::string> seen;
    LineCursor cursor(text);
    LineRef line{};
    bool inSection = false;
    while (cursor.next(line)) {
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        if (!inSection) {
            inSection =
                isSectionLine(content) && equalsIgnoreCase(parseLine(content).name, section);
            continue;
        }
        const ParsedLine p = parseLine(content);
        if (p.kind == LineKind::Section) {
            break;
        }
        if (p.kind == LineKind::Entry && seen.insert(foldCase(p.name)).second) {
            keys.emplace_back(p.name);
        }
    }
    return keys;
}

bool isWritableIniEdit(const IniEdit& edit) {
    if (hasLineBreakOrNul(edit.section)) {
        return false;
    }
    if (!edit.key) {
        return !edit.value.has_value();
    }
    const std::string_view key = trim(*edit.key);
    if (key.empty() || hasLineBreakOrNul(key) || key.find('=') != std::string_view::npos ||
        key.front() == '[' || key.front() == ';') {
        return false;
    }
    return !edit.value || !hasLineBreakOrNul(*edit.value);
}

std::string applyIniEdit(std::string_view text, const IniEdit& edit) {
    const std::string_view section = trim(edit.section);
    if (!edit.key) {
        return deleteSection(text, section);
    }
    const std::string_view key = trim(*edit.key);
    if (!edit.value) {
        return deleteKey(text, section, key);
    }
    return setKey(text, section, key, *edit.value);
}

}  // namespace rxt
