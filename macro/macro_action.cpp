#include "macro/macro_action.h"

#include <array>
#include <cctype>
#include <climits>

namespace rxt {

MacroAction ActionRecordFields::action() const {
    MacroAction a;
    a.delay = static_cast<uint16_t>(delayLow | (delayHigh << 8));
    a.code = code;
    a.value = value;
    a.pressed = pressed;
    a.name = name;
    return a;
}

long recordNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        // Saturate: the field is cut to its width afterwards anyway.
        n = n > (LONG_MAX - 9) / 10 ? LONG_MAX : n * 10 + (text[i] - '0');
    }
    return negative ? -n : n;
}

std::optional<ActionRecordFields> ParseActionRecord(std::string_view text) {
    ActionRecordFields f;
    size_t comma = text.rfind(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    f.name = std::string(text.substr(comma + 1));
    text = text.substr(0, comma);
    // pressed, value, code, delay high, delay low: each after the last comma,
    // the first one being the text before all of them.
    std::array<long, 5> numbers{};
    for (int i = 0; i < 5; ++i) {
        if (i < 4) {
            comma = text.rfind(',');
            if (comma == std::string_view::npos) {
                return std::nullopt;
            }
            numbers[i] = recordNumber(text.substr(comma + 1));
            text = text.substr(0, comma);
        } else {
            numbers[i] = recordNumber(text);
        }
    }
    f.pressed = static_cast<uint16_t>(numbers[0]);
    f.value = static_cast<uint8_t>(numbers[1]);
    f.code = static_cast<uint8_t>(numbers[2]);
    f.delayHigh = static_cast<uint8_t>(numbers[3]);
    f.delayLow = static_cast<uint8_t>(numbers[4]);
    return f;
}

std::optional<MacroAction> parseAction(std::string_view text) {
    if (auto f = ParseActionRecord(text)) {
        return f->action();
    }
    return std::nullopt;
}

std::string FormatActionRecord(const MacroAction& a) {
    return std::to_string(a.delay & 0xFF) + ',' + std::to_string(a.delay >> 8) + ',' +
           std::to_string(a.code) + ',' + std::to_string(a.value) + ',' +
           std::to_string(a.pressed) + ',' + a.name;
}

}  // namespace rxt
