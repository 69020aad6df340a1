// The routing rows of the window that no page owns, in the real program
// under its own X server with the simulator's mouse and keyboard: the tray
// menu's commands, the mouse option tabs' focus hiding the profile
// functions, and the macro guard of both macro pages.

#include <gtest/gtest.h>

#include "support/e2e_harness.h"
#include "support/test_folder.h"
#include "support/xvfb_display.h"

namespace rxt::e2e {
namespace {

class RoutingProgramTest : public ::testing::Test {
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
        ASSERT_TRUE(
            simulator.start({binDir() + "/rxt-sim", "--socket", bus, "--plug", "mouse,keyboard"},
                            {{"ASAN_OPTIONS", "detect_leaks=0"}}, dir / "sim.log"));
        ASSERT_TRUE(control.connect(bus + ".ctl", 10000ms)) << simulator.output();
        ASSERT_TRUE(program.start({binDir() + "/rxt-config", "--bus", "sim:" + bus, "--automation",
                                   (dir / "auto.sock").string()},
                                  programEnvironment(dir.path(), display.name()),
                                  dir / "program.log"));
        ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
        ASSERT_TRUE(waitForControl(automation, "ms_tab_panel", "visible", "1")) << program.output();
        ASSERT_TRUE(waitForControl(automation, "kb_tab_panel", "visible", "1"));
    }
    void TearDown() override { quitProgram(program, automation); }

    std::string ask(const std::string& request) { return automation.request(request); }
    size_t programWindows() {
        const std::string out = capture("DISPLAY=" + display.name() +
                                        " xdotool search --onlyvisible --classname rxt-config "
                                        "2>/dev/null");
        return static_cast<size_t>(std::count(out.begin(), out.end(), '\n'));
    }
    // Starts an edit on a macro page: a new macro with one step inserted.
    void editMacro(const std::string& p) {
        ASSERT_EQ(ask("check " + p + "_tab 1"), "ok");
        ASSERT_EQ(ask("check " + p + "_macro_Op_tab 1"), "ok");
        ASSERT_EQ(ask("click " + p + "_macro_btn_name_add"), "ok");
        ASSERT_EQ(ask("click " + p + "_macro_inset_leftkey_btn"), "ok");
        ASSERT_EQ(ask("click " + p + "_macro_inset_leftkeydown_btn"), "ok");
        ASSERT_EQ(ask("get " + p + "_macro_tab_saveorcancel visible"), "ok 1");
        ask("get - messages");
    }

    test::TempFolder dir;
    VirtualDisplay display;
    Child simulator;
    Child program;
    LineClient control;
    LineClient automation;
    std::string bus;
};

TEST_F(RoutingProgramTest, TheTrayMenusLanguageAndAboutCommands) {
    ASSERT_EQ(ask("tray right"), "ok");
    ASSERT_EQ(ask("menu lan_cn"), "ok");
    EXPECT_TRUE(waitForControl(automation, "titletext_label", "text", "RX-T7100 游戏鼠标"));
    EXPECT_EQ(ask("get ms_tab text"), "ok 鼠标");
    ASSERT_EQ(ask("tray right"), "ok");
    ASSERT_EQ(ask("menu lan_en"), "ok");
    EXPECT_TRUE(waitForControl(automation, "titletext_label", "text", "RX-T7100 GamingMouse"));
    // The about box opens as a window of its own; no message box on the way.
    const size_t before = programWindows();
    ASSERT_EQ(ask("tray right"), "ok");
    ASSERT_EQ(ask("menu About_setting"), "ok");
    EXPECT_TRUE(waitFor([&] { return programWindows() > before; }, 10000ms));
    EXPECT_EQ(ask("get - messages"), "ok");
}

TEST_F(RoutingProgramTest, AMouseOptionTabsFocusHidesTheProfileFunctions) {
    ASSERT_EQ(ask("check ms_tab 1"), "ok");
    ASSERT_EQ(ask("click ms_profile_fun_spread_btn"), "ok");
    ASSERT_EQ(ask("get ms_profile_fun_spead_tab visible"), "ok 1");
    ASSERT_EQ(ask("focus ms_rich_Op_tab"), "ok");
    EXPECT_TRUE(waitForControl(automation, "ms_profile_fun_spead_tab", "visible", "0"));
}

TEST_F(RoutingProgramTest, TheMacroGuardKeepsEachMacroPageWhileItIsEdited) {
    ASSERT_NO_FATAL_FAILURE(editMacro("kb"));
    // Another device tab, then another option tab: both refused and told.
    ASSERT_EQ(ask("answer message 1"), "ok");
    ASSERT_EQ(ask("check ms_tab 1"), "ok");
    EXPECT_EQ(ask("get - messages"), "ok message_text_3");
    EXPECT_EQ(ask("get kb_tab checked"), "ok 1");
    EXPECT_EQ(ask("get kb_macro_Op_tab checked"), "ok 1");
    ASSERT_EQ(ask("answer message 1"), "ok");
    ASSERT_EQ(ask("check kb_key_Op_tab 1"), "ok");
    EXPECT_EQ(ask("get - messages"), "ok message_text_3");
    EXPECT_EQ(ask("get kb_macro_Op_tab checked"), "ok 1");
    // Saved, the page lets go (the queued answers are all taken).
    ASSERT_EQ(ask("click kb_macro_btn_save"), "ok");
    ASSERT_EQ(ask("check kb_key_Op_tab 1"), "ok");
    EXPECT_EQ(ask("get kb_key_Op_tab checked"), "ok 1");
    EXPECT_EQ(ask("get - messages"), "ok");

    ASSERT_NO_FATAL_FAILURE(editMacro("ms"));
    ASSERT_EQ(ask("answer message 1"), "ok");
    ASSERT_EQ(ask("check ms_cursor_Op_tab 1"), "ok");
    EXPECT_EQ(ask("get - messages"), "ok message_text_3");
    EXPECT_EQ(ask("get ms_macro_Op_tab checked"), "ok 1");
}

}  // namespace
}  // namespace rxt::e2e
