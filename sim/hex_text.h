#pragma once
// Hex text of byte strings, as the bus and the control interface carry them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rxt::sim {

// Lowercase, two digits per byte, no separators.
std::string toHex(std::span<const uint8_t> bytes);

// Reads pairs of hex digits (either case); blanks, ':' and '-' between pairs
// are skipped. Nothing for an odd digit count or any other character.
std::optional<std::vector<uint8_t>> parseHex(std::string_view text);

}  // namespace rxt::sim
