#pragma once
// The sections and keys of the macro catalogue and of macro and cursor
// scheme files, written once for every reader and writer.

#include <string_view>

namespace rxt::macro_ini {

inline constexpr std::string_view kCountSection = "MACROCOUNT";
inline constexpr std::string_view kNameSection = "MACRONAME";
inline constexpr std::string_view kCursorCountSection = "CURSORCOUNT";
inline constexpr std::string_view kCursorNameSection = "CURSORNAME";
inline constexpr std::string_view kActionCountSection = "MACROACTIONCOUNT";
inline constexpr std::string_view kActionSection = "MACROACTION";
inline constexpr std::string_view kSelectNameSection = "MACROSELECTNAME";
inline constexpr std::string_view kCountKey = "count";
inline constexpr std::string_view kNameKey = "name";

}  // namespace rxt::macro_ini
