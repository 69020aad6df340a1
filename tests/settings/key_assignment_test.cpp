// The function panel, the labels and the macro-deletion adjustment on
// in-memory device images: what a selection shows, what an apply writes, the
// tables against their figures.

#include <gtest/gtest.h>

#include "settings/assignment_labels.h"
#include "settings/function_panel.h"
#include "settings/function_tables.h"
#include "settings/macro_deletion.h"

namespace rxt {
namespace {

void put(DeviceImages& images, size_t bankNo, size_t n, KeyAssignment e) {
    bank(images, bankNo).set(n, e);
}

void putDefault(DeviceImages& images, size_t n, KeyAssignment e) {
    images.defaultKeys.set(n * 3, e.kind);
    images.defaultKeys.set(n * 3 + 1, e.p1);
    images.defaultKeys.set(n * 3 + 2, e.p2);
}

TEST(FunctionTables, ChooserRowsOfBothPages) {
    EXPECT_EQ(chooserRow(DeviceKind::Mouse, PanelFunction::SingleKey), 6);
    EXPECT_EQ(chooserRow(DeviceKind::Mouse, PanelFunction::Shortcut), 11);
    EXPECT_EQ(chooserRow(DeviceKind::Mouse, PanelFunction::GunScheme), 10);
    EXPECT_EQ(chooserRow(DeviceKind::Keyboard, PanelFunction::SingleKey), 1);
    EXPECT_EQ(chooserRow(DeviceKind::Keyboard, PanelFunction::MouseButton), 2);
    EXPECT_EQ(chooserRow(DeviceKind::Keyboard, PanelFunction::Shortcut), 10);
    EXPECT_EQ(chooserRow(DeviceKind::Keyboard, PanelFunction::GunScheme), -1);
    EXPECT_FALSE(chooserFunction(DeviceKind::Keyboard, 11));
}

TEST(FunctionTables, ShortcutAndMultimediaRowsHoldTheirCodes) {
    constexpr uint8_t shortcutUsages[] = {0x12, 0x11, 0x1D, 0x16, 0x06, 0x1B,
                                          0x19, 0x09, 0x04, 0x2D, 0x2E};
    static_assert(kShortcutRows.size() == std::size(shortcutUsages));
    for (size_t i = 0; i < kShortcutRows.size(); ++i) {
        EXPECT_EQ(kShortcutRows[i].entry,
                  KeyAssignment(FunctionKind::Key, 0x01, shortcutUsages[i]));
    }
    EXPECT_EQ(kShortcutRows[3].name, "combo_save");
    constexpr uint16_t usages[] = {0x0183, 0x00CD, 0x00B7, 0x00B6, 0x00B5, 0x00EA,
                                   0x00E9, 0x00E2, 0x0223, 0x0227, 0x0226, 0x0224,
                                   0x0225, 0x022A, 0x0221, 0x0194, 0x0192, 0x018A};
    static_assert(kMultimediaRows.size() == std::size(usages));
    for (size_t i = 0; i < kMultimediaRows.size(); ++i) {
        const KeyAssignment& e = kMultimediaRows[i].entry;
        EXPECT_EQ(e.kind, 0x30);
        EXPECT_EQ(e.p1 | (e.p2 << 8), usages[i]) << i;
    }
    EXPECT_EQ(kMultimediaRows[10].name, "wed_stop");
    EXPECT_EQ(kMultimediaRows[17].name, "media_mail");
    // Mouse buttons in chooser order: left, middle, right, forward, back.
    EXPECT_EQ(kButtonFunctionRows[1].entry.p1, 0x04);
    EXPECT_EQ(kButtonFunctionRows[2].entry.p1, 0x02);
    EXPECT_EQ(kSystemRows[2].entry, KeyAssignment(FunctionKind::System, 0x04, 0));
}

TEST(FunctionPanel, HorizontalSwingGoesThereAndBack) {
    DeviceImages mouse(DeviceKind::Mouse);
    FunctionPanelState p;
    p.chooser = chooserRow(DeviceKind::Mouse, PanelFunction::HorizontalSwing);
    p.horizontal = {3, 2, 5, 1};
    ASSERT_TRUE(applyFunction(mouse, 3, p));
    EXPECT_EQ(currentBank(mouse).get(3), KeyAssignment(0x11, 0x32, 0x85));

    FunctionPanelState shown;
    EXPECT_EQ(selectButton(mouse, 3, 0, shown), SelectOutcome::Shown);
    EXPECT_EQ(shown.chooser, 2);
    EXPECT_EQ(shown.horizontal.high, 3);
    EXPECT_EQ(shown.horizontal.low, 2);
    EXPECT_EQ(shown.horizontal.distance, 5);
    EXPECT_EQ(shown.horizontal.direction, 1);
    // Direction row 0 leaves bit 7 clear; the vertical twin on its own fields.
    p.horizontal.direction = 0;
    applyFunction(mouse, 3, p);
    EXPECT_EQ(currentBank(mouse).get(3), KeyAssignment(0x11, 0x32, 0x05));
    p.chooser = chooserRow(DeviceKind::Mouse, PanelFunction::VerticalSwing);
    p.vertical = {15, 15, 127, 1};
    applyFunction(mouse, 3, p);
    EXPECT_EQ(currentBank(mouse).get(3), KeyAssignment(0x12, 0xFF, 0xFF));
}

TEST(FunctionPanel, CountedMacroKeepsAtLeastOne) {
    EXPECT_EQ(clampPanelEdit(PanelEdit::MacroCount, "0"), 1);
    EXPECT_EQ(clampPanelEdit(PanelEdit::MacroCount, "300"), 255);
    EXPECT_EQ(clampPanelEdit(PanelEdit::FireFirst, "999999999999"), 255);
    EXPECT_EQ(clampPanelEdit(PanelEdit::HorizontalDistance, "200"), 127);
    EXPECT_EQ(clampPanelEdit(PanelEdit::VerticalLow, "16"), 15);
    EXPECT_EQ(clampPanelEdit(PanelEdit::FireSecond, "abc"), 0);
    EXPECT_EQ(clampPanelEdit(PanelEdit::FireSecond, "-4"), 0);

    DeviceImages mouse(DeviceKind::Mouse);
    FunctionPanelState p;
    p.chooser = chooserRow(DeviceKind::Mouse, PanelFunction::Macro);
    p.macroRow = 2;
    p.playMode = kCountedPlayMode;
    p.count = clampPanelEdit(PanelEdit::MacroCount, "0");
    ASSERT_TRUE(applyFunction(mouse, 1, p));
    EXPECT_EQ(currentBank(mouse).get(1), KeyAssignment(0x71, 2, 1));
    // A stored count of 0 is shown as 1 too.
    put(mouse, 0, 1, {0x71, 2, 0});
    FunctionPanelState shown;
    selectButton(mouse, 1, 3, shown);
    EXPECT_EQ(shown.playMode, kCountedPlayMode);
    EXPECT_EQ(shown.count, 1);
    EXPECT_EQ(shown.macroRow, 2);
    // A macro past the catalogue shows no row, and no row writes nothing.
    selectButton(mouse, 1, 2, shown);
    EXPECT_EQ(shown.macroRow, -1);
    EXPECT_FALSE(applyFunction(mouse, 1, shown));
    EXPECT_EQ(currentBank(mouse).get(1), KeyAssignment(0x71, 2, 0));
    p.playMode = 3;
    applyFunction(mouse, 1, p);
    EXPECT_EQ(currentBank(mouse).get(1), KeyAssignment(0x70, 2, 3));
}

TEST(FunctionPanel, DpiCycleShowsTheDefaultRowWhateverTheDeviceDefault) {
    DeviceImages mouse(DeviceKind::Mouse);
    putDefault(mouse, 5, {0x10, 0x04, 0});
    put(mouse, 0, 5, {0x13, 3, 0});
    FunctionPanelState shown;
    selectButton(mouse, 5, 0, shown);
    EXPECT_EQ(shown.chooser, 0);
    put(mouse, 0, 5, {0x13, 1, 0});
    selectButton(mouse, 5, 0, shown);
    EXPECT_EQ(shown.chooser, 4);
    EXPECT_EQ(shown.dpiRow, 0);
    // The default row writes the device's default entry back.
    shown.chooser = 0;
    applyFunction(mouse, 5, shown);
    EXPECT_EQ(currentBank(mouse).get(5), KeyAssignment(0x10, 0x04, 0));
}

TEST(FunctionPanel, TheOnlyLeftClickCannotBeChanged) {
    DeviceImages mouse(DeviceKind::Mouse);
    put(mouse, 0, 0, kLeftClick);
    put(mouse, 0, 1, {0x10, 0x04, 0});
    FunctionPanelState shown;
    EXPECT_EQ(selectButton(mouse, 0, 0, shown), SelectOutcome::OnlyLeftClick);
    EXPECT_FALSE(shown.enabled);
    shown.chooser = 1;
    shown.buttonRow = 2;
    EXPECT_FALSE(applyFunction(mouse, 0, shown));
    EXPECT_EQ(currentBank(mouse).get(0), kLeftClick);
    // Button 6 does not count as the second left click; button 5 does.
    put(mouse, 0, 6, kLeftClick);
    EXPECT_EQ(selectButton(mouse, 0, 0, shown), SelectOutcome::OnlyLeftClick);
    put(mouse, 0, 5, kLeftClick);
    EXPECT_EQ(selectButton(mouse, 0, 0, shown), SelectOutcome::Shown);
    EXPECT_TRUE(shown.enabled);
    // The keyboard has no such guard.
    DeviceImages keyboard(DeviceKind::Keyboard);
    keyboard.info.set(info::kKeyCount, 104);
    put(keyboard, 0, 0, kLeftClick);
    EXPECT_EQ(selectButton(keyboard, 0, 0, shown), SelectOutcome::Shown);
}

TEST(FunctionPanel, CurrentBankIsTheOneTheRecordNames) {
    DeviceImages mouse(DeviceKind::Mouse);
    mouse.current.set(rec::kIndex, 3);
    FunctionPanelState p;
    p.chooser = chooserRow(DeviceKind::Mouse, PanelFunction::GunScheme);
    p.gunRow = 2;
    applyFunction(mouse, 4, p);
    EXPECT_EQ(bank(mouse, 3).get(4), KeyAssignment(0x72, 2, 0));
    EXPECT_EQ(bank(mouse, 0).get(4), KeyAssignment());
    EXPECT_EQ(mouse.banks[3].get(12), 0x72);
    // A bad index from a file falls back to bank 0 rather than past the images.
    mouse.current.set(rec::kIndex, 9);
    EXPECT_EQ(currentBankNumber(mouse), 0u);
}

TEST(FunctionPanel, UnofferedKindsStayAsTheyAre) {
    DeviceImages mouse(DeviceKind::Mouse);
    for (uint8_t kind : {0x15, 0x21, 0x50, 0x60, 0xA0, 0xB0, 0xC0}) {
        put(mouse, 0, 2, {kind, 7, 9});
        FunctionPanelState shown;
        selectButton(mouse, 2, 0, shown);
        EXPECT_EQ(shown.chooser, -1);
        EXPECT_FALSE(applyFunction(mouse, 2, shown));
        EXPECT_EQ(currentBank(mouse).get(2), KeyAssignment(kind, 7, 9));
    }
    // The keyboard's panel offers no gun scheme either.
    DeviceImages keyboard(DeviceKind::Keyboard);
    keyboard.info.set(info::kKeyCount, 104);
    put(keyboard, 0, 8, {0x72, 1, 0});
    FunctionPanelState shown;
    selectButton(keyboard, 8, 0, shown);
    EXPECT_EQ(shown.chooser, -1);
    EXPECT_FALSE(applyFunction(keyboard, 8, shown));
}

TEST(KeyCapture, CtrlAloneBecomesTheSingleKeyRow) {
    const std::optional<CapturedKey> ctrl = captureKey(0xA2, 0);
    ASSERT_TRUE(ctrl);
    EXPECT_EQ(ctrl->entry, KeyAssignment(0x20, 0x01, 0x00));
    EXPECT_EQ(ctrl->name, "keyboard_key_LCtrl");
    DeviceImages mouse(DeviceKind::Mouse);
    FunctionPanelState p;
    p.chooser = chooserRow(DeviceKind::Mouse, PanelFunction::SingleKey);
    // Nothing is written while the capture field is empty.
    EXPECT_FALSE(applyFunction(mouse, 2, p));
    takeCapturedKey(p, *ctrl);
    ASSERT_TRUE(applyFunction(mouse, 2, p));
    EXPECT_EQ(currentBank(mouse).get(2), KeyAssignment(0x20, 0x01, 0x00));
    FunctionPanelState shown;
    selectButton(mouse, 2, 0, shown);
    EXPECT_EQ(shown.chooser, 6);
    EXPECT_TRUE(shown.captureHook);
    EXPECT_EQ(shown.captureName, "keyboard_key_LCtrl");
    // Ctrl with a key is a shortcut.
    put(mouse, 0, 2, {0x20, 0x01, 0x16});
    selectButton(mouse, 2, 0, shown);
    EXPECT_EQ(shown.chooser, 11);
    EXPECT_EQ(shown.shortcutRow, 3);
    EXPECT_FALSE(shown.captureHook);
}

TEST(KeyCapture, KeypadEnterAndUncapturedKinds) {
    EXPECT_EQ(captureKey(0x0D, 0)->entry, KeyAssignment(0x20, 0, 0x28));
    EXPECT_EQ(captureKey(0x0D, 0x01)->entry, KeyAssignment(0x20, 0, 0x58));
    EXPECT_EQ(captureKey(0x0D, 0x81)->name, "keyboard_key_Num Enter");
    EXPECT_EQ(captureKey(0x41, 0)->entry, KeyAssignment(0x20, 0, 0x04));
    // Consumer and system keys, and codes the table does not hold.
    EXPECT_FALSE(captureKey(0xAF, 0));
    EXPECT_FALSE(captureKey(0x103, 0));
    EXPECT_FALSE(captureKey(0xFF, 0));
}

TEST(AssignmentLabels, NamesOfEachKind) {
    const std::vector<std::string> macros{"Reload", "Burst"};
    auto keyOf = [&](KeyAssignment e) {
        const auto l = assignmentLabel(e, macros);
        return l && l->keys.size() == 1 ? l->keys[0] : std::string("-");
    };
    EXPECT_EQ(keyOf({0x10, 0x02, 0}), "mouse_key_right");
    EXPECT_EQ(keyOf({0x11, 0x32, 0x85}), "mouse_key_right_Swing");
    EXPECT_EQ(keyOf({0x11, 0x32, 0x05}), "mouse_key_left_Swing");
    EXPECT_EQ(keyOf({0x12, 0, 0x80}), "mouse_key_down_Swing");
    EXPECT_EQ(keyOf({0x13, 2, 0}), "mouse_key_DPI_sub");
    EXPECT_EQ(keyOf({0x14, 3, 4}), "mouse_key_fire_key");
    EXPECT_EQ(keyOf({0x20, 0x00, 0x04}), "keyboard_key_A");
    EXPECT_EQ(keyOf({0x20, 0x01, 0x06}), "combo_copy");
    EXPECT_EQ(keyOf({0x30, 0xE9, 0x00}), "media_vol_add");
    EXPECT_EQ(keyOf({0x21, 0xE9, 0x00}), "media_vol_add");
    EXPECT_EQ(keyOf({0x40, 0x02, 0}), "system_sleep");
    EXPECT_EQ(keyOf({0x72, 3, 0}), "GUN_4");
    EXPECT_EQ(keyOf({0xA0, 0, 0}), "mouse_key_sniper");
    EXPECT_EQ(keyOf({0x90, 0, 0}), "mouse_key_DPI_loop");
    EXPECT_FALSE(assignmentLabel({0, 0, 0}, macros));
    EXPECT_EQ(assignmentLabel({0x70, 1, 0}, macros)->verbatim, "Burst");
    EXPECT_EQ(assignmentLabel({0x71, 0, 5}, macros)->verbatim, "Reload");
    EXPECT_FALSE(assignmentLabel({0x70, 2, 0}, macros));
    for (uint8_t kind : {0x15, 0x50, 0x60, 0xB0, 0xC0}) {
        EXPECT_FALSE(assignmentLabel({kind, 0, 0}, macros));
    }
    // Shift and Ctrl with A: the parts the table names, in modifier order.
    const auto combo = assignmentLabel({0x20, 0x03, 0x04}, macros);
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->keys, (std::vector<std::string>{"keyboard_key_LCtrl", "keyboard_key_LShift",
                                                     "keyboard_key_A"}));
}

TEST(AssignmentLabels, KeyboardTooltipCarriesTheDefault) {
    DeviceImages keyboard(DeviceKind::Keyboard);
    keyboard.info.set(info::kKeyCount, 104);
    putDefault(keyboard, 10, {0x20, 0, 0x04});
    put(keyboard, 0, 10, {0x20, 0, 0x04});
    putDefault(keyboard, 11, {0x20, 0, 0x05});
    put(keyboard, 0, 11, {0x30, 0xCD, 0x00});
    const auto labels = refreshLabels(keyboard, {10, 11}, {});
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_FALSE(labels[0].defaultLabel);
    EXPECT_EQ(labels[1].label->keys[0], "media_play");
    ASSERT_TRUE(labels[1].defaultLabel);
    EXPECT_EQ(labels[1].defaultLabel->keys[0], "keyboard_key_B");
}

TEST(MacroDeletion, ReplacesAndShiftsInEveryBank) {
    DeviceImages mouse(DeviceKind::Mouse);
    putDefault(mouse, 3, {0x10, 0x10, 0});
    put(mouse, 0, 3, {0x70, 2, 1});
    put(mouse, 0, 4, {0x71, 5, 9});
    put(mouse, 4, 1, {0x70, 2, 0});
    put(mouse, 2, 6, {0x70, 1, 0});
    // Past the buttons the page shows: left alone.
    put(mouse, 0, 20, {0x70, 5, 0});
    int asked = 0;
    const MacroDeletionResult r = PrepareMacroDeletion(mouse, 2, [&] {
        ++asked;
        return true;
    });
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(r.proceed);
    EXPECT_EQ(r.replaced, 2u);
    EXPECT_EQ(r.shifted, 1u);
    EXPECT_EQ(bank(mouse, 0).get(3), KeyAssignment(0x10, 0x10, 0));
    EXPECT_EQ(bank(mouse, 0).get(4), KeyAssignment(0x71, 4, 9));
    EXPECT_EQ(bank(mouse, 4).get(1), defaultEntry(mouse, 1));
    EXPECT_EQ(bank(mouse, 2).get(6), KeyAssignment(0x70, 1, 0));
    EXPECT_EQ(bank(mouse, 0).get(20), KeyAssignment(0x70, 5, 0));
}

TEST(MacroDeletion, DeclinedChangesNothingAndUnusedAsksNothing) {
    DeviceImages keyboard(DeviceKind::Keyboard);
    keyboard.info.set(info::kKeyCount, 104);
    put(keyboard, 0, 90, {0x70, 0, 0});
    put(keyboard, 0, 91, {0x70, 3, 0});
    const MacroDeletionResult no = PrepareMacroDeletion(keyboard, 0, [] { return false; });
    EXPECT_FALSE(no.proceed);
    EXPECT_EQ(bank(keyboard, 0).get(91), KeyAssignment(0x70, 3, 0));
    EXPECT_EQ(bank(keyboard, 0).get(90), KeyAssignment(0x70, 0, 0));
    bool asked = false;
    const MacroDeletionResult unused = PrepareMacroDeletion(keyboard, 1, [&] {
        asked = true;
        return false;
    });
    EXPECT_FALSE(asked);
    EXPECT_TRUE(unused.proceed);
    EXPECT_EQ(bank(keyboard, 0).get(91), KeyAssignment(0x70, 2, 0));
}

}  // namespace
}  // namespace rxt
