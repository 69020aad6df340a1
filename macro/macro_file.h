#pragma once
// The steps of a macro file's text: MACROACTIONCOUNT/count records read from
// MACROACTION/0 .. count-1, as the ini reader reads them (a value cut to 259
// characters, a missing key reading as "0").

#include <string_view>
#include <vector>

#include "macro/macro_action.h"

namespace rxt {

// Decoded ini text. A malformed record is skipped (said at debug level); a
// count larger than the text could hold is bounded by its lines.
std::vector<MacroAction> parseMacroFileText(std::string_view text);

}  // namespace rxt
