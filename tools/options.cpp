#include "tools/options.h"

#include <cctype>
#include <charconv>

namespace rxt::tools {

bool takeGlobalOptions(std::vector<std::string>& args, GlobalOptions& options, std::string& error) {
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") {
            options.json = true;
        } else if (a == "--virtual") {
            options.virtualDevices = true;
        } else if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--bus") {
            if (i + 1 >= args.size()) {
                error = "--bus needs a value such as sim:PATH";
                return false;
            }
            options.bus = args[++i];
        } else if (a.rfind("--bus=", 0) == 0) {
            options.bus = a.substr(6);
        } else {
            rest.push_back(a);
        }
    }
    args = std::move(rest);
    return true;
}

bool OptionMap::parse(const std::vector<std::string>& args, size_t first,
                      const std::vector<std::string_view>& allowed, std::string& error) {
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool known = false;
        for (std::string_view name : allowed) {
            known = known || a == name;
        }
        if (!known) {
            error = "unexpected argument \"" + a + "\"";
            return false;
        }
        if (i + 1 >= args.size()) {
            error = a + " needs a value";
            return false;
        }
        values_.emplace_back(a, args[i + 1]);
        ++i;
    }
    return true;
}

bool OptionMap::has(std::string_view name) const {
    return text(name).has_value();
}

std::optional<std::string> OptionMap::text(std::string_view name) const {
    for (auto it = values_.rbegin(); it != values_.rend(); ++it) {
        if (it->first == name) {
            return it->second;
        }
    }
    return std::nullopt;
}

bool OptionMap::number(std::string_view name, long long min, long long max, long long& value,
                       std::string& error) const {
    auto t = text(name);
    if (!t) {
        return true;
    }
    if (!parseNumber(*t, value) || value < min || value > max) {
        error = std::string(name) + " must be a number from " + std::to_string(min) + " to " +
                std::to_string(max) + ", not \"" + *t + "\"";
        return false;
    }
    return true;
}

bool parseNumber(std::string_view text, long long& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) {
        return false;
    }
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

bool parseHexBytes(std::string_view text, std::vector<uint8_t>& bytes) {
    bytes.clear();
    int high = -1;
    for (char ch : text) {
        if (ch == ' ' || ch == ':' || ch == ',' || ch == '\t') {
            if (high >= 0) {
                return false;  // a lone digit before a separator
            }
            continue;
        }
        const int c = std::tolower(static_cast<unsigned char>(ch));
        int d;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else {
            return false;
        }
        if (high < 0) {
            high = d;
        } else {
            bytes.push_back(static_cast<uint8_t>(high << 4 | d));
            high = -1;
        }
    }
    return high < 0;
}

std::string hexBytes(const uint8_t* data, size_t size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string s;
    s.reserve(size * 3);
    for (size_t i = 0; i < size; ++i) {
        if (i != 0) {
            s += ' ';
        }
        s += kDigits[data[i] >> 4];
        s += kDigits[data[i] & 15];
    }
    return s;
}

}  // namespace rxt::tools
