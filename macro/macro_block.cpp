#include "macro/macro_block.h"

namespace rxt {
namespace {

void put16(std::vector<uint8_t>& out, size_t at, size_t value) {
    out[at] = static_cast<uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

size_t macroBlockSize(std::span<const size_t> stepCounts) {
    if (stepCounts.empty()) {
        return 0;
    }
    size_t total = kMacroBlockHeadSize;
    for (size_t m : stepCounts) {
        total += 2 + kMacroRecordHeadSize + kMacroStepSize * m;
    }
    return total;
}

std::vector<uint8_t> encodeMacroBlock(std::span<const std::vector<MacroAction>> macros) {
    std::vector<size_t> counts;
    counts.reserve(macros.size());
    for (const std::vector<MacroAction>& m : macros) {
        counts.push_back(m.size());
    }
    const size_t total = macroBlockSize(counts);
    if (total == 0 || total > kMacroBlockMaxSize) {
        return {};
    }
    std::vector<uint8_t> out(total, 0);
    put16(out, 0, kMacroBlockMagic);
    put16(out, 2, total);
    put16(out, 4, macros.size());
    size_t at = kMacroBlockHeadSize + 2 * macros.size();
    for (size_t i = 0; i < macros.size(); ++i) {
        put16(out, kMacroBlockHeadSize + 2 * i, at);
        put16(out, at, macros[i].size());
        size_t step = at + kMacroRecordHeadSize;
        for (const MacroAction& a : macros[i]) {
            put16(out, step, a.delay);
            out[step + 2] = a.code;
            out[step + 3] = a.value;
            step += kMacroStepSize;
        }
        at = step;
    }
    return out;
}

}  // namespace rxt
