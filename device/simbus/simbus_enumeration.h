#pragma once
// The text a simulated bus answers to ENUM: one line per interface, fields
// separated by one TAB (path, vendor, product, version, interface number,
// report descriptor in hex).

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "device/hid_backend.h"

namespace rxt {

// One line without its newline; nothing when any field is malformed.
std::optional<HidNodeInfo> parseEnumerationLine(std::string_view line);

// Every well-formed line in order; malformed lines are skipped and counted
// in *skipped when given.
std::vector<HidNodeInfo> parseEnumeration(std::string_view text, size_t* skipped = nullptr);

// Two hex digits per byte, either case; nothing on odd length or a non-digit.
std::optional<std::vector<uint8_t>> decodeHex(std::string_view text);

}  // namespace rxt
