#include "settings/function_panel.h"

#include <algorithm>
#include <cstdlib>

#include "macro/action_tables.h"

namespace rxt {
namespace {

constexpr uint32_t kExtendedKeyFlag = 0x01;
constexpr uint16_t kVkEnter = 0x0D;

int row(std::optional<size_t> r) {
    return r ? static_cast<int>(*r) : -1;
}

SwingFields swingOf(const KeyAssignment& e) {
    SwingFields s;
    s.high = e.p1 >> 4;
    s.low = e.p1 & 0x0F;
    s.distance = e.p2 & 0x7F;
    s.direction = (e.p2 & kSwingDirectionBit) != 0 ? 1 : 0;
    return s;
}

KeyAssignment swingEntry(FunctionKind kind, const SwingFields& s) {
    const int p1 = (std::clamp(s.high, 0, 15) << 4) | std::clamp(s.low, 0, 15);
    int p2 = std::clamp(s.distance, 0, 127);
    if (s.direction == 1) {
        p2 = (p2 - 128) & 0xFF;
    }
    return {kind, static_cast<uint8_t>(p1), static_cast<uint8_t>(p2)};
}

template <size_t N>
std::optional<KeyAssignment> rowEntry(const std::array<FunctionRow, N>& rows, int r) {
    if (r < 0 || static_cast<size_t>(r) >= N) {
        return std::nullopt;
    }
    return rows[static_cast<size_t>(r)].entry;
}

// The KeyTable row of a (modifier, usage) pair of kind 0x20.
std::optional<size_t> keyRowOf(uint8_t modifier, uint8_t usage) {
    for (size_t r = 0; r < kKeyTable.size(); ++r) {
        const KeyRow& k = kKeyTable[r];
        if (k.kind == kKeyKindKeyboard && k.modifier == modifier && k.usage == usage) {
            return r;
        }
    }
    return std::nullopt;
}

}  // namespace

int clampPanelEdit(PanelEdit edit, std::string_view text) {
    // Digits only (a sign or other text reads as 0); long runs saturate.
    long value = 0;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<long>(value * 10 + (text[i] - '0'), 100000);
    }
    switch (edit) {
        case PanelEdit::FireFirst:
        case PanelEdit::FireSecond:
            return static_cast<int>(std::min<long>(value, 255));
        case PanelEdit::MacroCount:
            return static_cast<int>(std::clamp<long>(value, 1, 255));
        case PanelEdit::HorizontalDistance:
        case PanelEdit::VerticalDistance:
            return static_cast<int>(std::min<long>(value, 127));
        case PanelEdit::HorizontalHigh:
        case PanelEdit::VerticalHigh:
        case PanelEdit::VerticalLow:
        case PanelEdit::HorizontalLow:
            return static_cast<int>(std::min<long>(value, 15));
    }
    return 0;
}

FunctionPanelState panelOf(DeviceKind device, const KeyAssignment& entry,
                           const KeyAssignment& deviceDefault, int macroCount) {
    FunctionPanelState p;
    // The default row also covers the DPI cycle whatever the device's default.
    if (entry == deviceDefault || (entry.is(FunctionKind::DpiStep) && entry.p1 == 3)) {
        p.chooser = 0;
        return p;
    }
    auto show = [&](PanelFunction f) { p.chooser = chooserRow(device, f); };
    switch (static_cast<FunctionKind>(entry.kind)) {
        case FunctionKind::MouseButton:
            show(PanelFunction::MouseButton);
            p.buttonRow = row(mouseButtonRow(entry.p1));
            break;
        case FunctionKind::HorizontalSwing:
            show(PanelFunction::HorizontalSwing);
            p.horizontal = swingOf(entry);
            break;
        case FunctionKind::VerticalSwing:
            show(PanelFunction::VerticalSwing);
            p.vertical = swingOf(entry);
            break;
        case FunctionKind::DpiStep:
            show(PanelFunction::DpiStep);
            p.dpiRow = row(dpiStepRow(entry.p1));
            break;
        case FunctionKind::FireKey:
            show(PanelFunction::FireKey);
            p.fireFirst = entry.p1;
            p.fireSecond = entry.p2;
            break;
        case FunctionKind::Key:
            if (entry.p1 != 0 && entry.p2 != 0) {
                show(PanelFunction::Shortcut);
                p.shortcutRow = row(shortcutRow(entry.p1, entry.p2));
            } else {
                show(PanelFunction::SingleKey);
                p.captureHook = true;
                if (const auto r = keyRowOf(entry.p1, entry.p2)) {
                    p.captureName = std::string(kKeyTable[*r].name);
                    p.captured = entry;
                }
            }
            break;
        case FunctionKind::Multimedia:
            show(PanelFunction::Multimedia);
            p.multimediaRow = row(multimediaRow(entry.p1, entry.p2));
            break;
        case FunctionKind::System:
            show(PanelFunction::System);
            p.systemRow = row(systemRow(entry.p1, entry.p2));
            break;
        case FunctionKind::Macro:
            show(PanelFunction::Macro);
            p.macroRow = entry.p1 < macroCount ? entry.p1 : -1;
            p.playMode = entry.p2 < kCountedPlayMode ? entry.p2 : -1;
            break;
        case FunctionKind::MacroCounted:
            show(PanelFunction::Macro);
            p.macroRow = entry.p1 < macroCount ? entry.p1 : -1;
            p.playMode = kCountedPlayMode;
            p.count = std::max<int>(entry.p2, 1);
            break;
        case FunctionKind::GunScheme:
            show(PanelFunction::GunScheme);
            p.gunRow = entry.p1 < kGunSchemeRows.size() ? entry.p1 : -1;
            break;
        default:
            // A kind the panel does not offer: no row, so nothing is applied
            // until the user chooses one.
            p.chooser = -1;
            break;
    }
    return p;
}

SelectOutcome selectButton(DeviceImages& images, size_t n, int macroCount,
                           FunctionPanelState& panel) {
    AssignmentBank b = currentBank(images);
    const KeyAssignment entry = b.get(n);
    if (images.kind() == DeviceKind::Mouse && entry == kLeftClick) {
        bool another = false;
        for (size_t other = 0; other < kLeftClickGuardButtons; ++other) {
            another = another || (other != n && b.get(other) == kLeftClick);
        }
        if (!another) {
            panel = panelOf(images.kind(), entry, defaultEntry(images, n), macroCount);
            panel.enabled = false;
            panel.captureHook = false;
            return SelectOutcome::OnlyLeftClick;
        }
    }
    panel = panelOf(images.kind(), entry, defaultEntry(images, n), macroCount);
    return SelectOutcome::Shown;
}

std::optional<KeyAssignment> panelEntry(DeviceKind device, const FunctionPanelState& p,
                                        const KeyAssignment& deviceDefault) {
    const std::optional<PanelFunction> f = chooserFunction(device, p.chooser);
    if (!f) {
        return std::nullopt;
    }
    switch (*f) {
        case PanelFunction::Default:
            return deviceDefault;
        case PanelFunction::MouseButton:
            return rowEntry(kButtonFunctionRows, p.buttonRow);
        case PanelFunction::HorizontalSwing:
            return swingEntry(FunctionKind::HorizontalSwing, p.horizontal);
        case PanelFunction::VerticalSwing:
            return swingEntry(FunctionKind::VerticalSwing, p.vertical);
        case PanelFunction::DpiStep:
            return rowEntry(kDpiStepRows, p.dpiRow);
        case PanelFunction::FireKey:
            return KeyAssignment{FunctionKind::FireKey,
                                 static_cast<uint8_t>(std::clamp(p.fireFirst, 0, 255)),
                                 static_cast<uint8_t>(std::clamp(p.fireSecond, 0, 255))};
        case PanelFunction::SingleKey:
            if (p.captureName.empty()) {
                return std::nullopt;
            }
            return p.captured;
        case PanelFunction::Multimedia:
            return rowEntry(kMultimediaRows, p.multimediaRow);
        case PanelFunction::System:
            return rowEntry(kSystemRows, p.systemRow);
        case PanelFunction::Macro:
            if (p.macroRow < 0 || p.macroRow > 0xFF) {
                return std::nullopt;
            }
            if (p.playMode == kCountedPlayMode) {
                return KeyAssignment{FunctionKind::MacroCounted, static_cast<uint8_t>(p.macroRow),
                                     static_cast<uint8_t>(std::clamp(p.count, 1, 255))};
            }
            return KeyAssignment{FunctionKind::Macro, static_cast<uint8_t>(p.macroRow),
                                 static_cast<uint8_t>(std::clamp(p.playMode, 0, 3))};
        case PanelFunction::GunScheme:
            return rowEntry(kGunSchemeRows, p.gunRow);
        case PanelFunction::Shortcut:
            return rowEntry(kShortcutRows, p.shortcutRow);
    }
    return std::nullopt;
}

bool applyFunction(DeviceImages& images, size_t n, const FunctionPanelState& panel) {
    if (!panel.enabled) {
        return false;
    }
    const std::optional<KeyAssignment> entry =
        panelEntry(images.kind(), panel, defaultEntry(images, n));
    if (!entry) {
        return false;
    }
    return currentBank(images).set(n, *entry);
}

std::optional<CapturedKey> captureKey(uint16_t virtualKey, uint32_t flags) {
    if (virtualKey == kVkEnter && (flags & kExtendedKeyFlag) != 0) {
        virtualKey = kVkKeypadEnter;
    }
    for (const KeyRow& k : kKeyTable) {
        if (k.virtualKey == virtualKey) {
            if (k.kind != kKeyKindKeyboard) {
                return std::nullopt;
            }
            return CapturedKey{k.name, {FunctionKind::Key, k.modifier, k.usage}};
        }
    }
    return std::nullopt;
}

void takeCapturedKey(FunctionPanelState& panel, const CapturedKey& key) {
    panel.captureName = std::string(key.name);
    panel.captured = key.entry;
}

}  // namespace rxt
