#include "settings/function_tables.h"

namespace rxt {
namespace {

template <size_t N, class Match>
std::optional<size_t> find(const std::array<FunctionRow, N>& rows, Match match) {
    for (size_t r = 0; r < N; ++r) {
        if (match(rows[r].entry)) {
            return r;
        }
    }
    return std::nullopt;
}

}  // namespace

std::span<const PanelFunction> chooserRows(DeviceKind device) {
    if (device == DeviceKind::Keyboard) {
        return kKeyboardChooserRows;
    }
    return kMouseChooserRows;
}

std::optional<PanelFunction> chooserFunction(DeviceKind device, int row) {
    const std::span<const PanelFunction> rows = chooserRows(device);
    if (row < 0 || static_cast<size_t>(row) >= rows.size()) {
        return std::nullopt;
    }
    return rows[static_cast<size_t>(row)];
}

int chooserRow(DeviceKind device, PanelFunction function) {
    const std::span<const PanelFunction> rows = chooserRows(device);
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r] == function) {
            return static_cast<int>(r);
        }
    }
    return -1;
}

std::optional<size_t> mouseButtonRow(uint8_t p1) {
    return find(kButtonFunctionRows, [p1](const KeyAssignment& e) { return e.p1 == p1; });
}

std::optional<size_t> dpiStepRow(uint8_t p1) {
    return find(kDpiStepRows, [p1](const KeyAssignment& e) { return e.p1 == p1; });
}

std::optional<size_t> shortcutRow(uint8_t p1, uint8_t p2) {
    return find(kShortcutRows, [=](const KeyAssignment& e) { return e.p1 == p1 && e.p2 == p2; });
}

std::optional<size_t> multimediaRow(uint8_t p1, uint8_t p2) {
    return find(kMultimediaRows, [=](const KeyAssignment& e) { return e.p1 == p1 && e.p2 == p2; });
}

std::optional<size_t> systemRow(uint8_t p1, uint8_t p2) {
    return find(kSystemRows, [=](const KeyAssignment& e) { return e.p1 == p1 && e.p2 == p2; });
}

}  // namespace rxt
