// Recorded key and button events as steps, with the pauses taken from the
// events' time stamps.
#include <gtest/gtest.h>

#include "macro/macro_recorder.h"

namespace rxt {
namespace {

HookEvent key(uint16_t vk, bool down, uint32_t time, uint32_t flags = 0) {
    HookEvent e;
    e.message = kMsgHookKeyMacro;
    e.hookMessage = down ? kWmKeyDown : kWmKeyUp;
    e.virtualKey = vk;
    e.flags = flags | (down ? 0 : kKeyFlagUp);
    e.time = time;
    return e;
}

HookEvent mouse(uint16_t message, uint32_t time) {
    HookEvent e;
    e.message = kMsgHookKeyMacroMouse;
    e.hookMessage = message;
    e.time = time;
    return e;
}

TEST(MacroRecorder, HeldKeyGivesItsTimeToThePress) {
    MacroRecorder r;
    r.start();
    RecordOptions o;
    auto press = r.keyEvent(key(0x41, true, 1000), o);
    ASSERT_TRUE(press);
    EXPECT_EQ(press->step.code, 0x8A);
    EXPECT_EQ(press->step.value, 0x04);
    EXPECT_EQ(press->step.pressed, 1);
    EXPECT_EQ(press->step.delay, 0);
    // Auto-repeat of the held key is dropped.
    EXPECT_FALSE(r.keyEvent(key(0x41, true, 1300), o));
    auto release = r.keyEvent(key(0x41, false, 1600), o);
    ASSERT_TRUE(release);
    EXPECT_EQ(release->previousDelay, 600);
    EXPECT_EQ(release->step.code, 0x0A);
    EXPECT_EQ(release->step.pressed, 0);
    // After the release the same key counts again.
    EXPECT_TRUE(r.keyEvent(key(0x41, true, 1700), o));
}

TEST(MacroRecorder, ModifiersKeypadEnterAndKeysWithoutARow) {
    MacroRecorder r;
    r.start();
    RecordOptions o;
    auto ctrl = r.keyEvent(key(0xA2, true, 10), o);
    ASSERT_TRUE(ctrl);
    EXPECT_EQ(ctrl->step.code, 0x89);
    EXPECT_EQ(ctrl->step.value, 0x01);
    auto up = r.keyEvent(key(0xA2, false, 20), o);
    EXPECT_EQ(up->step.code, 0x09);
    EXPECT_EQ(up->step.value, 0x01);
    auto kpEnter = r.keyEvent(key(0x0D, true, 30, kKeyFlagExtended), o);
    EXPECT_EQ(kpEnter->step.value, 0x58);
    EXPECT_EQ(kpEnter->step.name, "keyboard_key_Num Enter");
    auto enter = r.keyEvent(key(0x0D, true, 40), o);
    EXPECT_EQ(enter->step.value, 0x28);
    EXPECT_FALSE(r.keyEvent(key(0xAF, true, 50), o));  // volume up: no macro row
    // A dropped event does not move the clock: the next pause runs from 40.
    auto caps = r.keyEvent(key(0x14, true, 90), o);
    EXPECT_EQ(caps->previousDelay, 50);
    EXPECT_EQ(caps->step.value, 0x39);
}

TEST(MacroRecorder, FixedDelayLongPausesAndAWrappingClock) {
    MacroRecorder r;
    r.start();
    RecordOptions fixed{true, false};
    r.keyEvent(key(0x41, true, 0), fixed);
    EXPECT_EQ(r.keyEvent(key(0x41, false, 5000), fixed)->previousDelay, 50);
    RecordOptions o;
    EXPECT_EQ(r.keyEvent(key(0x42, true, 5000 + 70000), o)->previousDelay, 65535);
    EXPECT_EQ(r.keyEvent(key(0x42, false, 5000 + 70000 + 65534), o)->previousDelay, 65534);
    MacroRecorder w;
    w.start();
    w.keyEvent(key(0x41, true, 0xFFFFFFF0u), o);
    EXPECT_EQ(w.keyEvent(key(0x41, false, 0x10), o)->previousDelay, 0x20);
}

TEST(MacroRecorder, MouseClicksOnlyWhenChosenAndNoRepeats) {
    MacroRecorder r;
    r.start();
    RecordOptions off;
    EXPECT_FALSE(r.mouseEvent(mouse(0x0201, 1), off));
    RecordOptions on{false, true};
    auto left = r.mouseEvent(mouse(0x0201, 10), on);
    ASSERT_TRUE(left);
    EXPECT_EQ(left->step.code, 0x81);
    EXPECT_EQ(left->step.value, 0x01);
    EXPECT_EQ(left->step.name, "mouse_key_left");
    // Two presses without a release between them: the second is dropped.
    EXPECT_FALSE(r.mouseEvent(mouse(0x0201, 20), on));
    EXPECT_EQ(r.mouseEvent(mouse(0x0202, 30), on)->previousDelay, 20);
    EXPECT_EQ(r.mouseEvent(mouse(0x0204, 40), on)->step.value, 0x02);
    // Side buttons, the wheel and moves are not recorded.
    EXPECT_FALSE(r.mouseEvent(mouse(0x020B, 50), on));
    EXPECT_FALSE(r.mouseEvent(mouse(0x020A, 60), on));
}

}  // namespace
}  // namespace rxt
