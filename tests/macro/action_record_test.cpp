// The record text of a step, parsed from the right, and the two tables
// against the figures they were written from.
#include <gtest/gtest.h>

#include "macro/action_tables.h"
#include "macro/macro_action.h"

namespace rxt {
namespace {

TEST(ActionRecord, ParsesTheExamples) {
    // A press of A followed by 100 ms.
    auto a = parseAction("100,0,138,4,1,keyboard_key_A");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->delay, 100);
    EXPECT_EQ(a->code, 138);
    EXPECT_EQ(a->value, 4);
    EXPECT_EQ(a->pressed, 1);
    EXPECT_EQ(a->name, "keyboard_key_A");
    EXPECT_EQ(a->kind(), kActionKey);
    EXPECT_FALSE(a->isMouseStep());

    // The high byte counts 256 ms: a release of A after 256 ms.
    auto b = parseAction("0,1,10,4,0,keyboard_key_A");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->delay, 256);
    EXPECT_EQ(b->pressed, 0);
    EXPECT_FALSE(b->direction());

    // Fields are cut to their width: 300 leaves 44 in the low byte.
    auto c = ParseActionRecord("300,0,1,1,1,mouse_key_left");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->delayLow, 44);
    EXPECT_EQ(c->action().delay, 44);
    EXPECT_TRUE(c->action().isMouseStep());
}

TEST(ActionRecord, ReadsNumbersAsTheDecimalReaderDoes) {
    auto a = ParseActionRecord(" +5x,  -1,0x81,abc,70000,name");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->delayLow, 5);      // stops at 'x'
    EXPECT_EQ(a->delayHigh, 0xFF);  // -1 cut to 8 bits
    EXPECT_EQ(a->code, 0);          // "0x81" reads as 0
    EXPECT_EQ(a->value, 0);         // no digits
    EXPECT_EQ(a->pressed, 70000 & 0xFFFF);
    // Huge numbers saturate before the cut instead of overflowing.
    EXPECT_TRUE(ParseActionRecord("99999999999999999999999,0,0,0,0,n"));
}

TEST(ActionRecord, NeedsFiveCommasAndTakesTheNameAfterTheLast) {
    EXPECT_FALSE(ParseActionRecord(""));
    EXPECT_FALSE(ParseActionRecord("0"));
    EXPECT_FALSE(ParseActionRecord("1,2,3,4,name"));
    auto empty = ParseActionRecord(",,,,,");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->name, "");
    // Extra fields on the left end up in the delay low byte's text.
    auto extra = ParseActionRecord("7,1,2,3,4,5,n");
    ASSERT_TRUE(extra);
    EXPECT_EQ(extra->delayLow, 7);
    EXPECT_EQ(extra->delayHigh, 2);
    EXPECT_EQ(extra->pressed, 5);
}

TEST(ActionRecord, FormatReadsBack) {
    MacroAction a{1000, 0x81, 0x10, 1, "mouse_key_forward"};
    EXPECT_EQ(FormatActionRecord(a), "232,3,129,16,1,mouse_key_forward");
    EXPECT_EQ(parseAction(FormatActionRecord(a)), a);
    MacroAction longest{65535, 0xFF, 0xFF, 65535, "n"};
    EXPECT_EQ(parseAction(FormatActionRecord(longest)), longest);
}

TEST(KeyTable, RowsMatchTheirFamilies) {
    ASSERT_EQ(kKeyTable.size(), 125u);
    EXPECT_EQ(kMacroKeyRows, 104u);
    const uint8_t masks[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    const uint16_t modVk[8] = {0xA2, 0xA0, 0xA4, 0x5B, 0xA3, 0xA1, 0xA5, 0x5C};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(kKeyTable[i].modifier, masks[i]);
        EXPECT_EQ(kKeyTable[i].virtualKey, modVk[i]);
        EXPECT_EQ(kKeyTable[i].usage, 0);
    }
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(kKeyTable[8 + i].virtualKey, 0x41 + i);
        EXPECT_EQ(kKeyTable[8 + i].usage, 0x04 + i);
        EXPECT_EQ(kKeyTable[8 + i].name, std::string("keyboard_key_") + char('A' + i));
    }
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(kKeyTable[34 + i].usage, 0x1E + i);
        EXPECT_EQ(kKeyTable[34 + i].virtualKey, i == 9 ? 0x30 : 0x31 + i);
    }
    // Usages run on without gaps from Enter to Slash, except the unused 0x32.
    for (int r = 44; r <= 53; ++r)
        EXPECT_EQ(kKeyTable[r].usage, 0x28 + (r - 44));
    for (int r = 54; r <= 59; ++r)
        EXPECT_EQ(kKeyTable[r].usage, 0x33 + (r - 54));
    for (int r = 60; r <= 101; ++r)
        EXPECT_EQ(kKeyTable[r].usage, 0x39 + (r - 60));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(kKeyTable[61 + i].virtualKey, 0x70 + i);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(kKeyTable[92 + i].virtualKey, 0x61 + i);
    EXPECT_EQ(kKeyTable[101].virtualKey, 0x60);
    EXPECT_EQ(kKeyTable[91].virtualKey, kVkKeypadEnter);
    EXPECT_EQ(kKeyTable[102].usage, 0x63);
    EXPECT_EQ(kKeyTable[103].usage, 0x65);
    EXPECT_EQ(kKeyTable[103].name, "keyboard_key_App");
    for (size_t r = 0; r < 104; ++r)
        EXPECT_EQ(kKeyTable[r].kind, kKeyKindKeyboard) << r;
    // Consumer rows keep the 16-bit usage low byte first.
    EXPECT_EQ(kKeyTable[104].kind, kKeyKindConsumer);
    EXPECT_EQ(kKeyTable[104].modifier, 0x92);
    EXPECT_EQ(kKeyTable[104].usage, 0x01);
    EXPECT_EQ(kKeyTable[106].modifier, 0xCD);
    EXPECT_EQ(kKeyTable[121].name, kKeyTable[120].name);
    for (size_t r = 104; r < 122; ++r)
        EXPECT_EQ(kKeyTable[r].kind, kKeyKindConsumer) << r;
    const uint8_t systemBits[3] = {0x01, 0x02, 0x04};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(kKeyTable[122 + i].kind, kKeyKindSystem);
        EXPECT_EQ(kKeyTable[122 + i].modifier, systemBits[i]);
        EXPECT_EQ(kKeyTable[122 + i].virtualKey, 0x103 + i);
    }
    for (const KeyRow& row : kKeyTable) {
        EXPECT_EQ(row.name.find(','), std::string_view::npos) << row.name;
    }
}

TEST(KeyTable, LooksUpRowsForTheRecorderAndTheEditor) {
    EXPECT_EQ(macroKeyRowOfVirtualKey(0x41), 8u);
    EXPECT_EQ(macroKeyRowOfVirtualKey(0xA2), 0u);
    EXPECT_EQ(macroKeyRowOfVirtualKey(kVkKeypadEnter), 91u);
    EXPECT_FALSE(macroKeyRowOfVirtualKey(0xAF));  // volume: not a macro row
    EXPECT_FALSE(macroKeyRowOfVirtualKey(0x103));
    EXPECT_EQ(macroKeyRowOfStep(kActionKey, 0x04), 8u);
    EXPECT_EQ(macroKeyRowOfStep(kActionModifier, 0x10), 4u);
    EXPECT_FALSE(macroKeyRowOfStep(kActionKey, 0x32));
}

TEST(MouseActionTable, RowsAndTheEditorsChoice) {
    ASSERT_EQ(kMouseActionTable.size(), 15u);
    const uint16_t messages[10] = {0x201, 0x202, 0x204, 0x205, 0x207,
                                   0x208, 0x20B, 0x20C, 0x20B, 0x20C};
    const uint8_t values[10] = {1, 1, 2, 2, 4, 4, 0x10, 0x10, 8, 8};
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(kMouseActionTable[r].message, messages[r]);
        EXPECT_EQ(kMouseActionTable[r].value, values[r]);
        EXPECT_EQ(kMouseActionTable[r].code, r % 2 == 0 ? 0x81 : 0x01);
        EXPECT_EQ(kMouseActionTable[r].kind, 0x10);
    }
    const uint8_t moveCodes[4] = {0x84, 0x04, 0x85, 0x05};
    for (int r = 10; r < 14; ++r) {
        EXPECT_EQ(kMouseActionTable[r].code, moveCodes[r - 10]);
        EXPECT_EQ(kMouseActionTable[r].kind, 0x15);
    }
    EXPECT_EQ(kMouseActionTable[14].message, 0x20A);
    EXPECT_EQ(kMouseActionTable[14].name, "mouse_cursor_text");

    EXPECT_EQ(mouseRowOfStep(0x81, 0x01), 0u);
    EXPECT_EQ(mouseRowOfStep(0x01, 0x08), 9u);
    // Moves show their direction's row whatever the distance.
    EXPECT_EQ(mouseRowOfStep(0x84, 12), kMouseMoveRowLeft);
    EXPECT_EQ(mouseRowOfStep(0x04, 0), kMouseMoveRowRight);
    EXPECT_EQ(mouseRowOfStep(0x85, 200), kMouseMoveRowUp);
    EXPECT_EQ(mouseRowOfStep(0x05, 1), kMouseMoveRowDown);
    EXPECT_FALSE(mouseRowOfStep(0x81, 0x40));
}

}  // namespace
}  // namespace rxt
