#pragma once
// The key pages' function panel as data: what SelectButton shows of a
// button's entry, the entry ApplyFunction builds from what is shown, the
// parameter edits' clamps and the single-key capture. The page copies this
// state to and from its controls; everything here is testable on its own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/device_kind.h"
#include "settings/function_tables.h"
#include "settings/key_assignment.h"
#include "state/device_images.h"

namespace rxt {

// The panel's parameter edits ("ms_key_fct_edit_" plus the number).
enum class PanelEdit : uint8_t {
    FireFirst = 11,
    FireSecond = 12,
    HorizontalDistance = 15,
    VerticalDistance = 16,
    HorizontalHigh = 17,
    VerticalHigh = 18,
    VerticalLow = 19,
    HorizontalLow = 20,
    MacroCount = 25,
};
inline constexpr std::array<PanelEdit, 9> kPanelEdits{
    PanelEdit::FireFirst,        PanelEdit::FireSecond,     PanelEdit::HorizontalDistance,
    PanelEdit::VerticalDistance, PanelEdit::HorizontalHigh, PanelEdit::VerticalHigh,
    PanelEdit::VerticalLow,      PanelEdit::HorizontalLow,  PanelEdit::MacroCount,
};

// The value an edit keeps of what was typed: 11, 12 and 25 at most 255 (25
// at least 1), 15 and 16 at most 127, 17 to 20 at most 15; text that is no
// number reads as 0.
int clampPanelEdit(PanelEdit edit, std::string_view text);

struct SwingFields {
    int high = 0;       // 0..15
    int low = 0;        // 0..15
    int distance = 0;   // 0..127
    int direction = 0;  // row of the direction chooser: 1 sets bit 7 of p2
};

// Everything the panel shows. Rows are -1 when nothing is chosen.
struct FunctionPanelState {
    int chooser = 0;  // row of the main chooser
    int buttonRow = -1;
    SwingFields horizontal;
    SwingFields vertical;
    int dpiRow = -1;
    int fireFirst = 0;
    int fireSecond = 0;
    // Single key: the capture field's name and the entry it stands for.
    std::string captureName;
    std::optional<KeyAssignment> captured;
    int multimediaRow = -1;
    int systemRow = -1;
    int macroRow = -1;
    int playMode = 0;
    int count = 1;
    int gunRow = -1;
    int shortcutRow = -1;

    // The panel is disabled (the left-click guard) and the key-capture hook
    // is wanted (the single-key row shown).
    bool enabled = true;
    bool captureHook = false;
};

enum class SelectOutcome {
    Shown,
    // The only left click: "message_text_6", the panel disabled.
    OnlyLeftClick,
};
inline constexpr std::string_view kMessageOnlyLeftClick = "message_text_6";

// SelectButton(n): the panel's state for entry n of the current bank.
// `macroCount` is the catalogue's MACROCOUNT.
SelectOutcome selectButton(DeviceImages& images, size_t n, int macroCount,
                           FunctionPanelState& panel);
// The panel's state for one entry (no guard), as SelectButton fills it.
FunctionPanelState panelOf(DeviceKind device, const KeyAssignment& entry,
                           const KeyAssignment& deviceDefault, int macroCount);

// ApplyFunction: the entry the panel stands for; nullopt writes nothing (no
// row chosen, an empty capture field, no macro chosen, an entry of a kind
// the panel does not offer).
std::optional<KeyAssignment> panelEntry(DeviceKind device, const FunctionPanelState& panel,
                                        const KeyAssignment& deviceDefault);
// Writes the panel's entry into entry n of the current bank; true when
// something was written.
bool applyFunction(DeviceImages& images, size_t n, const FunctionPanelState& panel);

// A key event of the capture hook, by Windows virtual-key code and the event
// flags (Enter with the extended flag is the keypad Enter). Only keys of
// kind 0x20 are taken: their name and (0x20, modifier mask, usage).
struct CapturedKey {
    std::string_view name;
    KeyAssignment entry;
};
std::optional<CapturedKey> captureKey(uint16_t virtualKey, uint32_t flags);
// Fills the capture field as a captured key does.
void takeCapturedKey(FunctionPanelState& panel, const CapturedKey& key);

}  // namespace rxt
