// The keysym and button translation, the window-only hook, and the X11 hook
// under Xvfb with keys and clicks injected by xdotool.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/input_hook.h"
#include "platform/x11_keysyms.h"
#include "support/test_folder.h"
#include "support/xvfb_display.h"

// Last: Xlib defines macros (None, Bool) that clash with the other headers.
#include <X11/Xlib.h>

namespace rxt {
namespace {

TEST(Keysyms, LettersDigitsAndTheTableFamilies) {
    EXPECT_EQ(virtualKeyOfKeysym('a')->code, 0x41);
    EXPECT_EQ(virtualKeyOfKeysym('Z')->code, 0x5A);
    EXPECT_EQ(virtualKeyOfKeysym('0')->code, 0x30);
    // Modifiers: left and right apart, the right ones extended.
    EXPECT_EQ(virtualKeyOfKeysym(0xFFE3)->code, 0xA2);
    EXPECT_EQ(virtualKeyOfKeysym(0xFFE4)->code, 0xA3);
    EXPECT_TRUE(virtualKeyOfKeysym(0xFFE4)->extended);
    EXPECT_EQ(virtualKeyOfKeysym(0xFE03)->code, 0xA5);  // AltGr
    // Punctuation by its unshifted symbol.
    EXPECT_EQ(virtualKeyOfKeysym(',')->code, 0xBC);
    EXPECT_EQ(virtualKeyOfKeysym('`')->code, 0xC0);
    // Function keys run on.
    for (uint32_t i = 0; i < 12; ++i)
        EXPECT_EQ(virtualKeyOfKeysym(0xFFBE + i)->code, 0x70 + i);
    // Enter and the keypad's Enter: the same code, the keypad's extended.
    EXPECT_EQ(virtualKeyOfKeysym(0xFF0D)->code, 0x0D);
    EXPECT_FALSE(virtualKeyOfKeysym(0xFF0D)->extended);
    EXPECT_EQ(virtualKeyOfKeysym(0xFF8D)->code, 0x0D);
    EXPECT_TRUE(virtualKeyOfKeysym(0xFF8D)->extended);
    // Keypad digits with Num Lock, editing keys without it.
    for (uint32_t i = 0; i < 10; ++i)
        EXPECT_EQ(virtualKeyOfKeysym(0xFFB0 + i)->code, 0x60 + i);
    EXPECT_EQ(virtualKeyOfKeysym(0xFF9C)->code, 0x23);
    EXPECT_FALSE(virtualKeyOfKeysym(0xFF9C)->extended);
    EXPECT_TRUE(virtualKeyOfKeysym(0xFF57)->extended);  // End of the editing block
    // Locks.
    EXPECT_EQ(virtualKeyOfKeysym(0xFFE5)->code, 0x14);
    EXPECT_EQ(virtualKeyOfKeysym(0xFF7F)->code, 0x90);
    EXPECT_EQ(virtualKeyOfKeysym(0xFF14)->code, 0x91);
    // Media keys.
    EXPECT_EQ(virtualKeyOfKeysym(0x1008FF13)->code, 0xAF);
    EXPECT_FALSE(virtualKeyOfKeysym(0xFE50));  // a dead key
    // No keysym twice in the table.
    for (size_t i = 0; i < kKeysymTable.size(); ++i)
        for (size_t j = i + 1; j < kKeysymTable.size(); ++j)
            EXPECT_NE(kKeysymTable[i].keysym, kKeysymTable[j].keysym) << i << " " << j;
}

TEST(Keysyms, PointerButtons) {
    EXPECT_EQ(mouseMessagesOfButton(1)->down, 0x0201);
    EXPECT_EQ(mouseMessagesOfButton(2)->up, 0x0208);
    EXPECT_EQ(mouseMessagesOfButton(3)->down, 0x0204);
    EXPECT_EQ(mouseMessagesOfButton(8)->xButton, 1);
    EXPECT_EQ(mouseMessagesOfButton(9)->xButton, 2);
    EXPECT_FALSE(mouseMessagesOfButton(4));  // the wheel
}

TEST(InputHookModes, MessagesOfEachMode) {
    EXPECT_EQ(hookKeyboardMessage(kHookModeKeyboardSingleKey), 2049);
    EXPECT_EQ(hookMouseMessage(kHookModeKeyboardSingleKey), 0);
    EXPECT_EQ(hookKeyboardMessage(kHookModeKeyboardMacro), 2051);
    EXPECT_EQ(hookMouseMessage(kHookModeKeyboardMacro), 2052);
    EXPECT_EQ(hookKeyboardMessage(kHookModeMouseSingleKey), 2064);
    EXPECT_EQ(hookKeyboardMessage(kHookModeMouseMacro), 2066);
    EXPECT_EQ(hookMouseMessage(kHookModeMouseMacro), 2067);
}

TEST(WindowInputHook, PassesWhatIsInstalledWithTheModesMessage) {
    std::vector<HookEvent> seen;
    auto hook = makeWindowInputHook([&](const HookEvent& e) { seen.push_back(e); });
    EXPECT_FALSE(hook->desktopWide());
    HookEvent key;
    key.hookMessage = kWmKeyDown;
    key.virtualKey = 0x41;
    HookEvent click;
    click.hookMessage = 0x0201;
    hook->feedWindowEvent(key);
    EXPECT_TRUE(seen.empty());
    ASSERT_TRUE(hook->Install(kHookModeMouseMacro, true, false));
    hook->feedWindowEvent(key);
    hook->feedWindowEvent(click);  // no mouse hook
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, kMsgHookMouMacro);
    hook->Install(kHookModeKeyboardSingleKey, true, true);
    hook->feedWindowEvent(click);  // the mode has no mouse message
    EXPECT_EQ(seen.size(), 1u);
    hook->Remove();
    hook->feedWindowEvent(key);
    EXPECT_EQ(seen.size(), 1u);
}

class X11InputHookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::XvfbDisplay::installed() || !test::programOnPath("xdotool")) {
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        }
        name_ = xvfb_.start();
        ASSERT_FALSE(name_.empty()) << "Xvfb did not start";
        env_.emplace("DISPLAY", name_);
        std::string error;
        hook_ = makeX11InputHook([this](const HookEvent& e) { push(e); }, &error);
        ASSERT_NE(hook_, nullptr) << error;
    }

    void push(const HookEvent& e) {
        std::lock_guard lock(mutex_);
        events_.push_back(e);
        cv_.notify_all();
    }
    // Waits until n events have arrived (at most 5 s).
    std::vector<HookEvent> waitFor(size_t n) {
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, std::chrono::seconds(5), [&] { return events_.size() >= n; });
        return events_;
    }
    void xdo(const std::vector<std::string>& args) { ASSERT_TRUE(test::xdotool(name_, args)); }

    test::XvfbDisplay xvfb_;
    std::string name_;
    std::optional<test::ScopedEnv> env_;
    std::unique_ptr<InputHook> hook_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<HookEvent> events_;
};

TEST_F(X11InputHookTest, KeysAndButtonsWithTheServersTimes) {
    ASSERT_TRUE(hook_->Install(kHookModeKeyboardMacro, true, true));
    EXPECT_TRUE(hook_->desktopWide());
    xdo({"keydown", "a"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    xdo({"keyup", "a"});
    xdo({"key", "KP_Enter"});
    xdo({"click", "1"});
    xdo({"click", "9"});
    const auto e = waitFor(8);
    ASSERT_EQ(e.size(), 8u);
    EXPECT_EQ(e[0].message, kMsgHookKeyMacro);
    EXPECT_EQ(e[0].hookMessage, kWmKeyDown);
    EXPECT_EQ(e[0].virtualKey, 0x41);
    EXPECT_EQ(e[1].hookMessage, kWmKeyUp);
    EXPECT_EQ(e[1].flags & kKeyFlagUp, kKeyFlagUp);
    const uint32_t held = e[1].time - e[0].time;
    EXPECT_GE(held, 290u);
    EXPECT_LE(held, 450u);
    EXPECT_EQ(e[2].virtualKey, 0x0D);
    EXPECT_EQ(e[2].flags, kKeyFlagExtended);
    EXPECT_EQ(e[3].flags, kKeyFlagExtended | kKeyFlagUp);
    EXPECT_EQ(e[4].message, kMsgHookKeyMacroMouse);
    EXPECT_EQ(e[4].hookMessage, 0x0201);
    EXPECT_EQ(e[5].hookMessage, 0x0202);
    EXPECT_EQ(e[6].hookMessage, 0x020B);
    EXPECT_EQ(e[6].xButton, 2);
    hook_->Remove();
    EXPECT_FALSE(hook_->installed());
    xdo({"key", "b"});
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(waitFor(0).size(), 8u);
}

TEST_F(X11InputHookTest, KeysReachNoOtherWindowWhileTheKeyboardIsHooked) {
    Display* other = XOpenDisplay(name_.c_str());
    ASSERT_NE(other, nullptr);
    const Window w = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 100, 100, 0, 0, 0);
    XSelectInput(other, w, KeyPressMask | KeyReleaseMask);
    XMapWindow(other, w);
    XSync(other, False);
    XSetInputFocus(other, w, RevertToParent, CurrentTime);
    XSync(other, False);
    auto keysAtOther = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        int n = 0;
        while (XPending(other) > 0) {
            XEvent ev;
            XNextEvent(other, &ev);
            n += ev.type == KeyPress ? 1 : 0;
        }
        return n;
    };
    ASSERT_TRUE(hook_->Install(kHookModeMouseMacro, true, false));
    xdo({"key", "c"});
    EXPECT_EQ(waitFor(2).size(), 2u);
    EXPECT_EQ(keysAtOther(), 0);
    hook_->Remove();
    xdo({"key", "c"});
    EXPECT_EQ(keysAtOther(), 1);
    // A mouse hook alone grabs nothing.
    ASSERT_TRUE(hook_->Install(kHookModeMouseMacro, false, true));
    xdo({"key", "c"});
    EXPECT_EQ(keysAtOther(), 1);
    hook_->Remove();
    XCloseDisplay(other);
}

}  // namespace
}  // namespace rxt
