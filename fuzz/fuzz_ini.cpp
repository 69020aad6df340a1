// The ini layer fed arbitrary bytes: the encoding detection and decoding of
// files carried over from Windows, the value lookups, and an edit applied to
// whatever text arrives (the writer must keep every other line).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ini_text.h"
#include "platform/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = rxt::decodeText(bytes);
    for (const std::string& section : rxt::listIniSections(text)) {
        for (const std::string& key : rxt::listIniKeys(text, section)) {
            (void)rxt::findIniValue(text, section, key);
        }
    }
    (void)rxt::findIniValue(text, "PROFILEDEVICESELECT", "select");
    const rxt::IniEdit edit{"PROFILENAME", "3", "profile 3"};
    if (rxt::isWritableIniEdit(edit)) {
        const std::string edited = rxt::applyIniEdit(text, edit);
        const auto value = rxt::findIniValue(edited, "PROFILENAME", "3");
        if (!value || *value != "profile 3") {
            __builtin_trap();  // a write that does not read back
        }
    }
    return 0;
}
