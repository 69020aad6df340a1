#pragma once
// RefreshLabels as data: the text each button or key shows for its entry.
// Language keys are translated by the page; macro names are shown verbatim.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "settings/key_assignment.h"

namespace rxt {

struct AssignmentLabel {
    // Language keys joined with "+" when shown (a key with modifiers the
    // tables do not name), or one verbatim text (a macro name).
    std::vector<std::string> keys;
    std::optional<std::string> verbatim;

    bool operator==(const AssignmentLabel&) const = default;
};

// The label of an entry; nullopt leaves the label as it is (kinds the pages
// do not name, a macro past the catalogue's count, a table miss).
// `macroNames` is the catalogue in order.
std::optional<AssignmentLabel> assignmentLabel(const KeyAssignment& entry,
                                               const std::vector<std::string>& macroNames);

// One control's label and tooltip after RefreshLabels.
struct ButtonLabel {
    size_t entry = 0;  // position in the bank
    std::optional<AssignmentLabel> label;
    // Keyboard keys whose function differs from their default: the default's
    // label, "Key_Set", the new label.
    std::optional<AssignmentLabel> defaultLabel;
};
inline constexpr const char* kKeySetText = "Key_Set";

// RefreshLabels for the entries given (the buttons or keys the page shows).
std::vector<ButtonLabel> refreshLabels(DeviceImages& images, const std::vector<size_t>& entries,
                                       const std::vector<std::string>& macroNames);

}  // namespace rxt
