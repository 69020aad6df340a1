#pragma once
// MacroBlock: the byte image of a device's macro memory (and, in the same
// format, of the mouse's cursor schemes). Little-endian throughout:
//   0  magic 0x55AA (AA 55)     2  total length      4  number of macros N
//   6  10 reserved zeros        16 N offsets of the records from the start
//   then the N records: step count M, 2 zeros, M steps of (delay low,
//   delay high, code, value).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "macro/macro_action.h"

namespace rxt {

inline constexpr uint16_t kMacroBlockMagic = 0x55AA;
inline constexpr size_t kMacroBlockHeadSize = 16;
inline constexpr size_t kMacroRecordHeadSize = 4;
inline constexpr size_t kMacroStepSize = 4;
// A block's length field is 16 bits.
inline constexpr size_t kMacroBlockMaxSize = 0xFFFF;

// 16 + 2N + the sum of (4 + 4M); 0 for no macros at all (nothing is sent).
size_t macroBlockSize(std::span<const size_t> stepCounts);

// The block of the macros in order; empty for no macros or a block past
// kMacroBlockMaxSize.
std::vector<uint8_t> encodeMacroBlock(std::span<const std::vector<MacroAction>> macros);

}  // namespace rxt
