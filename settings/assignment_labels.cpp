#include "settings/assignment_labels.h"

#include <algorithm>

#include "macro/action_tables.h"
#include "settings/function_tables.h"

namespace rxt {
namespace {

AssignmentLabel key(std::string_view k) {
    return AssignmentLabel{{std::string(k)}, std::nullopt};
}

template <size_t N>
std::optional<AssignmentLabel> rowLabel(const std::array<FunctionRow, N>& rows,
                                        std::optional<size_t> r) {
    if (!r) {
        return std::nullopt;
    }
    return key(rows[*r].name);
}

// A key of kind 0x20: its KeyTable row, a shortcut row, or the modifiers and
// the key put together.
std::optional<AssignmentLabel> keyLabel(uint8_t modifier, uint8_t usage) {
    for (const KeyRow& k : kKeyTable) {
        if (k.kind == kKeyKindKeyboard && k.modifier == modifier && k.usage == usage) {
            return key(k.name);
        }
    }
    if (const auto r = shortcutRow(modifier, usage)) {
        return key(kShortcutRows[*r].name);
    }
    AssignmentLabel parts;
    for (size_t bit = 0; bit < 8; ++bit) {
        const uint8_t mask = static_cast<uint8_t>(1u << bit);
        if ((modifier & mask) == 0) {
            continue;
        }
        for (const KeyRow& k : kKeyTable) {
            if (k.kind == kKeyKindKeyboard && k.usage == 0 && k.modifier == mask) {
                parts.keys.emplace_back(k.name);
                break;
            }
        }
    }
    if (usage != 0) {
        bool found = false;
        for (const KeyRow& k : kKeyTable) {
            if (k.kind == kKeyKindKeyboard && k.modifier == 0 && k.usage == usage) {
                parts.keys.emplace_back(k.name);
                found = true;
                break;
            }
        }
        if (!found) {
            return std::nullopt;
        }
    }
    if (parts.keys.empty()) {
        return std::nullopt;
    }
    return parts;
}

}  // namespace

std::optional<AssignmentLabel> assignmentLabel(const KeyAssignment& e,
                                               const std::vector<std::string>& macroNames) {
    if (std::find(kUnlabelledKinds.begin(), kUnlabelledKinds.end(), e.kind) !=
        kUnlabelledKinds.end()) {
        return std::nullopt;
    }
    // An empty entry (a table never read) names nothing.
    if (e.kind == 0) {
        return std::nullopt;
    }
    if (e.kind == kKindSniper) {
        return key(kSniperName);
    }
    const uint8_t kind =
        e.kind == kKindConsumerAlias ? static_cast<uint8_t>(FunctionKind::Multimedia) : e.kind;
    switch (static_cast<FunctionKind>(kind)) {
        case FunctionKind::MouseButton:
            return rowLabel(kButtonFunctionRows, mouseButtonRow(e.p1));
        case FunctionKind::HorizontalSwing:
            return key(kHorizontalSwingNames[(e.p2 & kSwingDirectionBit) != 0 ? 1 : 0]);
        case FunctionKind::VerticalSwing:
            return key(kVerticalSwingNames[(e.p2 & kSwingDirectionBit) != 0 ? 1 : 0]);
        case FunctionKind::DpiStep:
            return rowLabel(kDpiStepRows, dpiStepRow(e.p1));
        case FunctionKind::FireKey:
            return key(kFireKeyName);
        case FunctionKind::Key:
            return keyLabel(e.p1, e.p2);
        case FunctionKind::Multimedia:
            return rowLabel(kMultimediaRows, multimediaRow(e.p1, e.p2));
        case FunctionKind::System:
            return rowLabel(kSystemRows, systemRow(e.p1, e.p2));
        case FunctionKind::Macro:
        case FunctionKind::MacroCounted:
            if (e.p1 < macroNames.size()) {
                return AssignmentLabel{{}, macroNames[e.p1]};
            }
            return std::nullopt;
        case FunctionKind::GunScheme:
            if (e.p1 < kGunSchemeRows.size()) {
                return key(kGunSchemeRows[e.p1].name);
            }
            return std::nullopt;
    }
    return key(kOtherKindName);
}

std::vector<ButtonLabel> refreshLabels(DeviceImages& images, const std::vector<size_t>& entries,
                                       const std::vector<std::string>& macroNames) {
    std::vector<ButtonLabel> out;
    out.reserve(entries.size());
    const AssignmentBank b = currentBank(images);
    for (size_t n : entries) {
        ButtonLabel l;
        l.entry = n;
        const KeyAssignment entry = b.get(n);
        l.label = assignmentLabel(entry, macroNames);
        const KeyAssignment dflt = defaultEntry(images, n);
        if (images.kind() == DeviceKind::Keyboard && entry != dflt) {
            l.defaultLabel = assignmentLabel(dflt, macroNames);
        }
        out.push_back(std::move(l));
    }
    return out;
}

}  // namespace rxt
