#include "macro/macro_file.h"

#include <algorithm>
#include <string>

#include "macro/macro_ini_names.h"
#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "platform/ini_text.h"
#include "platform/text_encoding.h"

namespace rxt {

namespace {

std::string_view readValue(std::string_view text, std::string_view section, std::string_view key) {
    const std::optional<std::string_view> v = findIniValue(text, section, key);
    if (!v) {
        return "0";
    }
    return v->substr(0, prefixWithinUtf16Units(*v, kIniValueMaxUnits));
}

}  // namespace

std::vector<MacroAction> parseMacroFileText(std::string_view text) {
    std::vector<MacroAction> steps;
    const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n')) + 1;
    const long count = std::min<long>(
        leadingDecimal(readValue(text, macro_ini::kActionCountSection, macro_ini::kCountKey)),
        lines);
    for (long i = 0; i < count; ++i) {
        const std::string key = std::to_string(i);
        if (std::optional<MacroAction> step =
                parseAction(readValue(text, macro_ini::kActionSection, key))) {
            steps.push_back(std::move(*step));
        } else {
            debugLogf("macro step %ld of the file is malformed; skipped", i);
        }
    }
    return steps;
}

}  // namespace rxt
