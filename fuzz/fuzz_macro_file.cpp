// Macro files of arbitrary bytes, decoded as the ini reader decodes them:
// every step read back is a well-formed record, and nothing hangs on a huge
// count.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "macro/macro_file.h"
#include "platform/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text =
        rxt::decodeText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const rxt::MacroAction& step : rxt::parseMacroFileText(text)) {
        if (!rxt::parseAction(rxt::FormatActionRecord(step))) {
            std::abort();
        }
    }
    return 0;
}
