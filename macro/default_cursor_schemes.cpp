#include "macro/default_cursor_schemes.h"

#include <cstdlib>
#include <system_error>

#include "macro/action_tables.h"
#include "platform/atomic_file.h"

namespace rxt {
namespace {

MacroAction step(uint16_t delay, uint8_t code, uint8_t value, std::string_view name) {
    MacroAction a;
    a.delay = delay;
    a.code = code;
    a.value = value;
    a.pressed = (code & kActionDirectionBit) != 0 && (code & 0x7F) == kActionButton ? 1 : 0;
    a.name = std::string(name);
    return a;
}

const MouseActionRow& row(size_t r) {
    return kMouseActionTable[r];
}

}  // namespace

std::vector<MacroAction> cursorSchemeSteps(const CursorSchemePattern& pattern) {
    std::vector<MacroAction> steps;
    steps.reserve(kCursorSchemeSteps);
    for (const RecoilPhase& phase : pattern.phases) {
        for (int b = 0; b < phase.bullets; ++b) {
            const MouseActionRow& press = row(0);
            const MouseActionRow& release = row(1);
            steps.push_back(step(8, press.code, press.value, press.name));
            steps.push_back(step(0, release.code, release.value, release.name));
            steps.push_back(step(0, row(kMouseMoveRowDown).code, 0, row(kMouseMoveRowDown).name));
            steps.push_back(
                step(phase.delay, row(kMouseMoveRowDown).code, 0, row(kMouseMoveRowDown).name));
            const MouseActionRow& h = row(phase.x < 0 ? kMouseMoveRowLeft : kMouseMoveRowRight);
            steps.push_back(step(0, h.code, static_cast<uint8_t>(std::abs(phase.x)), h.name));
            const MouseActionRow& v = row(phase.y < 0 ? kMouseMoveRowUp : kMouseMoveRowDown);
            steps.push_back(step(0, v.code, static_cast<uint8_t>(std::abs(phase.y)), v.name));
        }
    }
    return steps;
}

bool writeDefaultCursorSchemes(const std::filesystem::path& folder, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (int k = 0; k < kCursorSchemes; ++k) {
        const std::string name = cursorSchemeName(k);
        const std::vector<MacroAction> steps =
            cursorSchemeSteps(kDefaultCursorPatterns[static_cast<size_t>(k)]);
        if (steps.size() != static_cast<size_t>(kCursorSchemeSteps)) {
            error = name + ": the pattern does not make " + std::to_string(kCursorSchemeSteps) +
                    " steps";
            return false;
        }
        const std::filesystem::path file = folder / (name + std::string(kCursorExtension));
        if (!writeFileAtomic(file, cursorSchemeText(name, steps))) {
            error = "cannot write " + file.string();
            return false;
        }
    }
    return true;
}

}  // namespace rxt
