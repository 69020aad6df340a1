// Step records of arbitrary text: a record that parses formats back to a
// text that parses to the same step (the name keeps what follows the last
// comma, so the round trip is exact).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "macro/macro_action.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<rxt::MacroAction> step = rxt::parseAction(text);
    if (!step) {
        return 0;
    }
    const std::optional<rxt::MacroAction> again = rxt::parseAction(rxt::FormatActionRecord(*step));
    if (!again || *again != *step) {
        std::abort();
    }
    return 0;
}
