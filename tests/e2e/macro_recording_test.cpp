// Macro recording in the real program under its own X server: keys typed
// with xdotool are recorded from the whole desktop with the server's pauses,
// kept from another client's window while recording, and neither recorded
// nor kept once another window is activated; the macro guard of the tabs.

#include <gtest/gtest.h>

#include <thread>

#include "platform/ini_file.h"
#include "support/e2e_harness.h"
#include "support/test_folder.h"
#include "support/xvfb_display.h"

#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#define RXT_E2E_X11 1
#endif

namespace rxt::e2e {
namespace {

// "low,high,code,value,pressed,name" split at its first two commas.
struct Step {
    int delay = -1;
    std::string rest;  // "code,value,pressed,name"
};

Step parse(const std::string& record) {
    const size_t c1 = record.find(',');
    const size_t c2 = record.find(',', c1 + 1);
    if (c1 == std::string::npos || c2 == std::string::npos) {
        return {};
    }
    return {std::stoi(record.substr(0, c1)) + 256 * std::stoi(record.substr(c1 + 1)),
            record.substr(c2 + 1)};
}

class MacroRecordingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool"}) {
            if (!programOnPath(tool)) {
                GTEST_SKIP() << tool << " is not installed (scripts/setup installs it)";
            }
        }
        ASSERT_TRUE(display.start()) << "no free display for Xvfb";
        makeProgramHome(dir.path());
        bus = (dir / "bus.sock").string();
        ASSERT_TRUE(simulator.start({binDir() + "/rxt-sim", "--socket", bus, "--plug", "mouse"},
                                    {{"ASAN_OPTIONS", "detect_leaks=0"}}, dir / "sim.log"));
        ASSERT_TRUE(control.connect(bus + ".ctl", 10000ms)) << simulator.output();
        ASSERT_TRUE(program.start({binDir() + "/rxt-config", "--bus", "sim:" + bus, "--automation",
                                   (dir / "auto.sock").string()},
                                  programEnvironment(dir.path(), display.name()),
                                  dir / "program.log"));
        ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
        ASSERT_TRUE(waitForControl(automation, "ms_tab_panel", "visible", "1")) << program.output();
        ASSERT_EQ(automation.request("check ms_tab 1"), "ok");
        ASSERT_EQ(automation.request("check ms_macro_Op_tab 1"), "ok");
        ASSERT_EQ(automation.request("click ms_macro_btn_name_add"), "ok");
        ASSERT_EQ(automation.request("idle"), "ok");
        // The program's window in front, as when the user clicks it.
        const std::string window =
            capture("DISPLAY=" + display.name() + " xdotool search --onlyvisible --name '^" +
                    std::string(kTitle) + "$' 2>/dev/null | head -n1");
        programWindow = window.substr(0, window.find('\n'));
        ASSERT_FALSE(programWindow.empty()) << program.output();
        ASSERT_TRUE(xdo({"windowfocus", "--sync", programWindow}));
    }

    void TearDown() override { quitProgram(program, automation); }

    bool xdo(const std::vector<std::string>& args) { return test::xdotool(display.name(), args); }
    int stepCount() {
        const std::string a = automation.request("get ms_Macro_list count");
        return a.rfind("ok ", 0) == 0 ? std::stoi(a.substr(3)) : -1;
    }
    // How often the program's debug output holds `text`.
    size_t logCount(const std::string& text) {
        const std::string log = program.output();
        size_t n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
            ++n;
        }
        return n;
    }
    // Starts a recording and waits for the hooks.
    void startRecording() {
        const size_t before = logCount("input hook installed");
        ASSERT_EQ(automation.request("click ms_macro_btn_redio"), "ok");
        ASSERT_TRUE(waitForControl(automation, "ms_macro_tab_saveorcancel", "visible", "1"));
        ASSERT_TRUE(waitFor([&] { return logCount("input hook installed") > before; }, 5000ms))
            << program.output();
    }
    // Saves and reads the macro's steps back from its file.
    std::vector<Step> savedSteps() {
        EXPECT_EQ(automation.request("click ms_macro_btn_save"), "ok");
        EXPECT_EQ(automation.request("idle"), "ok");
        const auto file = dir.path() / "Documents" / "RX-T7100 GamingMouse" / "ms" / "name_1.mac";
        std::vector<Step> out;
        const int n = iniReadInt(file, "MACROACTIONCOUNT", "count", 0);
        for (int i = 0; i < n; ++i) {
            out.push_back(parse(iniRead(file, "MACROACTION", std::to_string(i), "")));
        }
        return out;
    }

    static constexpr std::string_view kTitle = "RX-T7100 GamingMouse";
    test::TempFolder dir;
    VirtualDisplay display;
    Child simulator;
    Child program;
    LineClient control;
    LineClient automation;
    std::string bus;
    std::string programWindow;
};

// The recording's keyboard grab takes the focus from the window; that must
// not end the recording after the first key or two.
TEST_F(MacroRecordingTest, HeldKeyCtrlAndRepeatWithTheServersPauses) {
    ASSERT_NO_FATAL_FAILURE(startRecording());
    // A second press without a release is the server's auto-repeat: dropped.
    ASSERT_TRUE(xdo({"keydown", "a"}));
    ASSERT_TRUE(xdo({"keydown", "a"}));
    std::this_thread::sleep_for(600ms);
    ASSERT_TRUE(xdo({"keyup", "a"}));
    ASSERT_TRUE(xdo({"key", "Control_L"}));
    ASSERT_TRUE(waitFor([&] { return stepCount() >= 4; }, 5000ms)) << program.output();
    ASSERT_EQ(automation.request("click ms_macro_btn_redio"), "ok");
    EXPECT_TRUE(waitForControl(automation, "ms_macro_btn_save", "enabled", "1"));
    const auto steps = savedSteps();
    ASSERT_EQ(steps.size(), 4u) << program.output();
    // The press holds the time to its release (from the server's stamps;
    // xdotool itself adds a few milliseconds between its calls).
    EXPECT_GE(steps[0].delay, 590);
    EXPECT_LE(steps[0].delay, 700);
    EXPECT_EQ(steps[0].rest, "138,4,1,keyboard_key_A");
    EXPECT_EQ(steps[1].rest, "10,4,0,keyboard_key_A");
    EXPECT_EQ(steps[2].rest, "137,1,1,keyboard_key_LCtrl");
    EXPECT_EQ(steps[3].delay, 0);
    EXPECT_EQ(steps[3].rest, "9,1,0,keyboard_key_LCtrl");
}

TEST_F(MacroRecordingTest, FixedDelayAndTheMacroGuard) {
    ASSERT_EQ(automation.request("check ms_macro_check_time 1"), "ok");
    ASSERT_NO_FATAL_FAILURE(startRecording());
    ASSERT_TRUE(xdo({"key", "--delay", "120", "b", "c"}));
    ASSERT_TRUE(waitFor([&] { return stepCount() >= 4; }, 5000ms)) << program.output();
    ASSERT_EQ(automation.request("click ms_macro_btn_redio"), "ok");
    // Under edit: another option tab keeps the macro page and says why.
    automation.request("get - messages");
    ASSERT_EQ(automation.request("answer message 1"), "ok");
    ASSERT_EQ(automation.request("check ms_deng_Op_tab 1"), "ok");
    EXPECT_EQ(automation.request("get - messages"), "ok message_text_3");
    EXPECT_EQ(automation.request("get ms_macro_Op_tab checked"), "ok 1");
    const auto steps = savedSteps();
    ASSERT_EQ(steps.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(steps[i].delay, 50) << i;
    }
    EXPECT_EQ(steps[3].delay, 0);
}

#ifdef RXT_E2E_X11

// Another client's window that counts the key presses it is given.
class KeyWindow {
  public:
    explicit KeyWindow(const std::string& display) : x_(XOpenDisplay(display.c_str())) {
        if (x_ != nullptr) {
            w_ = XCreateSimpleWindow(x_, DefaultRootWindow(x_), 400, 300, 200, 150, 0, 0, 0);
            XSelectInput(x_, w_, KeyPressMask);
            XMapRaised(x_, w_);
            XSync(x_, False);
        }
    }
    ~KeyWindow() {
        if (x_ != nullptr) {
            XCloseDisplay(x_);
        }
    }
    bool ok() const { return x_ != nullptr; }
    std::string id() const { return std::to_string(w_); }
    int presses() {
        XSync(x_, False);
        while (XPending(x_) > 0) {
            XEvent e;
            XNextEvent(x_, &e);
            presses_ += e.type == KeyPress ? 1 : 0;
        }
        return presses_;
    }

  private:
    Display* x_;
    Window w_ = 0;
    int presses_ = 0;
};

TEST_F(MacroRecordingTest, KeysReachNoOtherWindowWhileHookedAndActivatingItRemovesTheHooks) {
    KeyWindow other(display.name());
    ASSERT_TRUE(other.ok());
    ASSERT_NO_FATAL_FAILURE(startRecording());
    // The focus moves to the other window only by the server's own means
    // (no window manager): the grab still holds the keys.
    ASSERT_TRUE(xdo({"key", "d"}));
    ASSERT_TRUE(waitFor([&] { return stepCount() >= 2; }, 5000ms)) << program.output();
    EXPECT_EQ(other.presses(), 0);
    // The program's window loses the focus: the hooks go, the keys reach
    // the other window and are not recorded.
    const size_t removed = logCount("input hook removed");
    ASSERT_TRUE(xdo({"windowfocus", "--sync", other.id()}));
    ASSERT_TRUE(waitFor([&] { return logCount("input hook removed") > removed; }, 5000ms))
        << program.output();
    ASSERT_TRUE(waitFor(
        [&] {
            xdo({"key", "e"});
            return other.presses() > 0;
        },
        5000ms));
    EXPECT_EQ(stepCount(), 2);
}

#endif

}  // namespace
}  // namespace rxt::e2e
