#include "tools/json_text.h"

#include <cstdio>

namespace rxt::tools {

std::string jsonString(std::string_view text) {
    std::string s = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
            case '"':
                s += "\\\"";
                break;
            case '\\':
                s += "\\\\";
                break;
            case '\n':
                s += "\\n";
                break;
            case '\t':
                s += "\\t";
                break;
            case '\r':
                s += "\\r";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    s += buf;
                } else {
                    s += ch;  // UTF-8 passes through
                }
        }
    }
    s += '"';
    return s;
}

}  // namespace rxt::tools
