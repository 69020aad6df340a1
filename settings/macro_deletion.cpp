#include "settings/macro_deletion.h"

#include <algorithm>

#include "settings/key_assignment.h"

namespace rxt {
namespace {

size_t shownEntries(const DeviceImages& images) {
    if (images.kind() == DeviceKind::Mouse) {
        return kMouseButtons;
    }
    return bankEntries(images);
}

}  // namespace

bool MacroInUse(DeviceImages& images, int macroPosition) {
    if (macroPosition < 0 || macroPosition > 0xFF) {
        return false;
    }
    const size_t entries = shownEntries(images);
    for (size_t b = 0; b < kKeyBankCount; ++b) {
        const AssignmentBank bk = bank(images, b);
        for (size_t n = 0; n < entries; ++n) {
            const KeyAssignment e = bk.get(n);
            if (e.playsMacro() && e.p1 == macroPosition) {
                return true;
            }
        }
    }
    return false;
}

MacroDeletionResult PrepareMacroDeletion(DeviceImages& images, int macroPosition,
                                         const std::function<bool()>& confirm) {
    MacroDeletionResult result;
    if (macroPosition < 0 || macroPosition > 0xFF) {
        return result;
    }
    const auto m = static_cast<uint8_t>(macroPosition);
    const size_t entries = shownEntries(images);
    if (MacroInUse(images, macroPosition) && !(confirm && confirm())) {
        result.proceed = false;
        return result;
    }
    for (size_t b = 0; b < kKeyBankCount; ++b) {
        AssignmentBank bk = bank(images, b);
        for (size_t n = 0; n < entries; ++n) {
            KeyAssignment e = bk.get(n);
            if (!e.playsMacro()) {
                continue;
            }
            if (e.p1 == m) {
                bk.set(n, defaultEntry(images, n));
                ++result.replaced;
            } else if (e.p1 > m) {
                --e.p1;
                bk.set(n, e);
                ++result.shifted;
            }
        }
    }
    return result;
}

}  // namespace rxt
