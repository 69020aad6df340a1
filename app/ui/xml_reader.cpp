#include "app/ui/xml_reader.h"

#include <cstdint>

#include "platform/file_bytes.h"
#include "platform/text_encoding.h"

namespace rxt::ui {

const std::string* XmlElement::attribute(std::string_view attr) const {
    for (const auto& [key, value] : attributes) {
        if (key == attr) {
            return &value;
        }
    }
    return nullptr;
}

std::string XmlElement::attributeOr(std::string_view attr, std::string_view fallback) const {
    const std::string* value = attribute(attr);
    return value ? *value : std::string(fallback);
}

const XmlElement* XmlElement::child(std::string_view childName) const {
    for (const auto& c : children) {
        if (c.name == childName) {
            return &c;
        }
    }
    return nullptr;
}

namespace {

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    XmlResult parse() {
        XmlResult result;
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
            pos_ = 3;
        }
        if (!skipMisc(true)) {
            result.error = error_;
            return result;
        }
        if (atEnd() || peek() != '<') {
            result.error = where() + "no root element";
            return result;
        }
        XmlElement root;
        if (!element(root, 1)) {
            result.error = error_;
            return result;
        }
        if (!skipMisc(false)) {
            result.error = error_;
            return result;
        }
        if (!atEnd()) {
            result.error = where() + "content after the root element";
            return result;
        }
        result.root = std::move(root);
        return result;
    }

  private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }
    bool startsWith(std::string_view s) const { return text_.substr(pos_, s.size()) == s; }

    std::string where() const {
        size_t line = 1;
        for (size_t i = 0; i < pos_ && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
            }
        }
        return "line " + std::to_string(line) + ": ";
    }

    bool fail(std::string_view what) {
        if (error_.empty()) {
            error_ = where() + std::string(what);
        }
        return false;
    }

    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool isNameChar(char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               (c >= '0' && c <= '9') || c == '_' || c == ':' || c == '-' || c == '.';
    }

    void skipSpace() {
        while (!atEnd() && isSpace(peek())) {
            ++pos_;
        }
    }

    bool skipPast(std::string_view end, std::string_view what) {
        const size_t found = text_.find(end, pos_);
        if (found == std::string_view::npos) {
            pos_ = text_.size();
            return fail(std::string("unterminated ") + std::string(what));
        }
        pos_ = found + end.size();
        return true;
    }

    // Comments, processing instructions, blanks and (in the prolog) a DOCTYPE.
    bool skipMisc(bool prolog) {
        for (;;) {
            skipSpace();
            if (startsWith("<!--")) {
                if (!skipPast("-->", "comment")) {
                    return false;
                }
            } else if (startsWith("<?")) {
                if (!skipPast("?>", "processing instruction")) {
                    return false;
                }
            } else if (prolog && startsWith("<!DOCTYPE")) {
                if (!skipDoctype()) {
                    return false;
                }
            } else {
                return true;
            }
        }
    }

    bool skipDoctype() {
        int bracket = 0;
        for (pos_ += 9; !atEnd(); ++pos_) {
            const char c = peek();
            if (c == '[') {
                ++bracket;
            } else if (c == ']') {
                --bracket;
            } else if (c == '>' && bracket <= 0) {
                ++pos_;
                return true;
            }
        }
        return fail("unterminated DOCTYPE");
    }

    bool name(std::string& out) {
        const size_t start = pos_;
        while (!atEnd() && isNameChar(peek())) {
            ++pos_;
        }
        if (pos_ == start) {
            return fail("a name was expected");
        }
        out.assign(text_.substr(start, pos_ - start));
        return true;
    }

    // Character data up to `stop`, with references replaced.
    bool characters(char stop, std::string& out) {
        while (!atEnd() && peek() != stop) {
            const char c = peek();
            if (c == '&') {
                if (!reference(out)) {
                    return false;
                }
            } else if (stop == '<' || c != '<') {
                out.push_back(c);
                ++pos_;
            } else {
                return fail("'<' in an attribute value");
            }
        }
        return true;
    }

    bool reference(std::string& out) {
        const size_t end = text_.find(';', pos_);
        if (end == std::string_view::npos || end - pos_ > 12) {
            return fail("bad character reference");
        }
        const std::string_view ref = text_.substr(pos_ + 1, end - pos_ - 1);
        if (ref == "lt") {
            out.push_back('<');
        } else if (ref == "gt") {
            out.push_back('>');
        } else if (ref == "amp") {
            out.push_back('&');
        } else if (ref == "quot") {
            out.push_back('"');
        } else if (ref == "apos") {
            out.push_back('\'');
        } else if (ref.size() >= 2 && ref[0] == '#') {
            const bool hex = ref[1] == 'x' || ref[1] == 'X';
            const std::string_view digits = ref.substr(hex ? 2 : 1);
            if (digits.empty()) {
                return fail("bad character reference");
            }
            uint32_t code = 0;
            for (char d : digits) {
                int v = -1;
                if (d >= '0' && d <= '9') {
                    v = d - '0';
                } else if (hex && d >= 'a' && d <= 'f') {
                    v = d - 'a' + 10;
                } else if (hex && d >= 'A' && d <= 'F') {
                    v = d - 'A' + 10;
                }
                if (v < 0) {
                    return fail("bad character reference");
                }
                code = code * (hex ? 16 : 10) + static_cast<uint32_t>(v);
                if (code > 0x10FFFF) {
                    return fail("character reference out of range");
                }
            }
            if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) {
                return fail("character reference out of range");
            }
            appendUtf8(out, static_cast<char32_t>(code));
        } else {
            return fail("unknown entity &" + std::string(ref) + ";");
        }
        pos_ = end + 1;
        return true;
    }

    bool element(XmlElement& out, size_t depth) {
        if (depth > kMaxXmlDepth) {
            return fail("elements nested too deeply");
        }
        ++pos_;  // '<'
        if (!name(out.name)) {
            return false;
        }
        for (;;) {
            const size_t before = pos_;
            skipSpace();
            if (atEnd()) {
                return fail("unterminated start tag <" + out.name + ">");
            }
            if (startsWith("/>")) {
                pos_ += 2;
                return true;
            }
            if (peek() == '>') {
                ++pos_;
                break;
            }
            if (pos_ == before) {
                return fail("blank expected between attributes");
            }
            std::string key;
            if (!name(key)) {
                return false;
            }
            skipSpace();
            if (atEnd() || peek() != '=') {
                return fail("'=' expected after attribute " + key);
            }
            ++pos_;
            skipSpace();
            if (atEnd() || (peek() != '"' && peek() != '\'')) {
                return fail("quoted value expected for attribute " + key);
            }
            const char quote = peek();
            ++pos_;
            std::string value;
            if (!characters(quote, value)) {
                return false;
            }
            if (atEnd()) {
                return fail("unterminated value of attribute " + key);
            }
            ++pos_;
            out.attributes.emplace_back(std::move(key), std::move(value));
        }
        // Content.
        for (;;) {
            if (!characters('<', out.text)) {
                return false;
            }
            if (atEnd()) {
                return fail("element <" + out.name + "> is not closed");
            }
            if (startsWith("</")) {
                pos_ += 2;
                std::string closing;
                if (!name(closing)) {
                    return false;
                }
                if (closing != out.name) {
                    return fail("</" + closing + "> closes <" + out.name + ">");
                }
                skipSpace();
                if (atEnd() || peek() != '>') {
                    return fail("'>' expected");
                }
                ++pos_;
                return true;
            }
            if (startsWith("<!--")) {
                if (!skipPast("-->", "comment")) {
                    return false;
                }
            } else if (startsWith("<![CDATA[")) {
                const size_t start = pos_ + 9;
                if (!skipPast("]]>", "CDATA section")) {
                    return false;
                }
                out.text.append(text_.substr(start, pos_ - 3 - start));
            } else if (startsWith("<?")) {
                if (!skipPast("?>", "processing instruction")) {
                    return false;
                }
            } else {
                XmlElement child;
                if (!element(child, depth + 1)) {
                    return false;
                }
                out.children.push_back(std::move(child));
            }
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    std::string error_;
};

}  // namespace

XmlResult parseXml(std::string_view text) {
    return Parser(text).parse();
}

XmlResult readXmlFile(const std::string& path) {
    FileBytes file = readFileBytes(path, size_t{16} << 20);
    if (file.status != ReadStatus::Ok) {
        XmlResult result;
        result.error =
            path + (file.status == ReadStatus::Missing ? ": no such file" : ": cannot be read");
        return result;
    }
    XmlResult result = parseXml(decodeText(file.bytes));
    if (!result.root) {
        result.error = path + ": " + result.error;
    }
    return result;
}

}  // namespace rxt::ui
