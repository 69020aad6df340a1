#pragma once
// The little JSON the tool prints: quoted strings with escapes.

#include <string>
#include <string_view>

namespace rxt::tools {

std::string jsonString(std::string_view text);

}  // namespace rxt::tools
