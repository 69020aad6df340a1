// The key pages in the real program under its own X server, with the
// simulator's mouse and keyboard: a function chosen lands in the bank image
// with its bytes; Apply sends the cursor schemes, the macro block and the
// bank in that order and the mouse's memories hold them byte for byte; a
// block too large for the memory, a refusing or an unplugged device are
// told and not called done; a key pressed with xdotool is captured.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "platform/ini_file.h"
#include "support/e2e_harness.h"
#include "support/test_folder.h"
#include "support/xvfb_display.h"

namespace rxt::e2e {
namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

class KeyProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool"}) {
            if (!programOnPath(tool)) {
                GTEST_SKIP() << tool << " is not installed (scripts/setup installs it)";
            }
        }
        ASSERT_TRUE(display.start()) << "no free display for Xvfb";
        makeProgramHome(dir.path());
        std::filesystem::create_directories(mouseFolder());
    }

    void start() {
        bus = (dir / "bus.sock").string();
        ASSERT_TRUE(
            simulator.start({binDir() + "/rxt-sim", "--socket", bus, "--plug", "mouse,keyboard"},
                            {{"ASAN_OPTIONS", "detect_leaks=0"}}, dir / "sim.log"));
        ASSERT_TRUE(control.connect(bus + ".ctl", 10000ms)) << simulator.output();
        const std::map<std::string, std::string> env =
            programEnvironment(dir.path(), display.name());
        ASSERT_TRUE(program.start({binDir() + "/rxt-config", "--bus", "sim:" + bus, "--automation",
                                   (dir / "auto.sock").string()},
                                  env, dir / "program.log"));
        ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
        ASSERT_TRUE(waitForControl(automation, "ms_tab_panel", "visible", "1")) << program.output();
        ASSERT_TRUE(waitFor([&] { return image("mouse", "info").substr(12, 2) != "00"; }, 20000ms));
        ASSERT_EQ(automation.request("check ms_tab 1"), "ok");
        ASSERT_EQ(automation.request("check ms_key_Op_tab 1"), "ok");
        ASSERT_EQ(automation.request("idle"), "ok");
    }

    void TearDown() override { quitProgram(program, automation); }

    std::string image(const std::string& kind, const std::string& area) {
        const std::string a = automation.request("image " + kind + " " + area);
        return a.rfind("ok ", 0) == 0 ? lower(a.substr(3)) : a;
    }
    std::string dump(const std::string& kind, const std::string& area, size_t offset,
                     size_t length) {
        const std::string a =
            control.request("dump " + kind + " " + area + " " + std::to_string(offset) + " " +
                            std::to_string(length));
        return a.rfind("ok ", 0) == 0 ? a.substr(3) : a;
    }
    // The command names of the mouse's log, in order.
    std::vector<std::string> commands() {
        const std::string log = control.request("log mouse");
        std::vector<std::string> out;
        // Entries: "| #0 t=905.210 if=1 BeginSession(1) off=0 len=0 -> 00".
        for (size_t at = log.find(" if="); at != std::string::npos; at = log.find(" if=", at)) {
            const size_t name = log.find(' ', at + 1) + 1;
            at = log.find('(', name);
            const std::string command = log.substr(name, at - name);
            if (out.empty() || out.back() != command) {
                out.push_back(command);
            }
        }
        return out;
    }
    void writeMacro(const std::string& name, int steps) {
        const auto catalogue = mouseFolder() / "msMacro.ini";
        iniWrite(catalogue, "MACROCOUNT", "count", "1");
        iniWrite(catalogue, "MACRONAME", "0", name);
        const auto file = mouseFolder() / (name + ".mac");
        std::vector<std::string> keys, records;
        std::vector<IniEdit> edits;
        const std::string count = std::to_string(steps);
        edits.push_back({"MACROACTIONCOUNT", "count", count});
        for (int i = 0; i < steps; ++i) {
            keys.push_back(std::to_string(i));
            records.push_back(i % 2 == 0 ? "232,3,138,4,1,keyboard_key_A"
                                         : "100,0,10,4,0,keyboard_key_A");
        }
        for (int i = 0; i < steps; ++i) {
            edits.push_back(
                {"MACROACTION", keys[static_cast<size_t>(i)], records[static_cast<size_t>(i)]});
        }
        iniApply(file, edits);
    }
    bool applyEnded() {
        return waitForControl(automation, "setting_progress", "visible", "0", 20000ms);
    }

    std::filesystem::path mouseFolder() const {
        return dir.path() / "Documents" / "RX-T7100 GamingMouse" / "ms";
    }
    test::TempFolder dir;
    VirtualDisplay display;
    Child simulator;
    Child program;
    LineClient control;
    LineClient automation;
    std::string bus;
};

TEST_F(KeyProgramTest, ChosenFunctionAndApplyReachTheMouseInOrder) {
    writeMacro("burst", 3);
    start();
    // Button 3 to volume up: (0x30, 0xE9, 0x00) at entry 3 of bank 0.
    ASSERT_EQ(automation.request("check ms_key_3 1"), "ok");
    ASSERT_EQ(automation.request("select ms_key_fct_combo 7"), "ok");
    ASSERT_EQ(automation.request("select ms_key_fct_combo_21 6"), "ok");
    EXPECT_EQ(image("mouse", "bank0").substr(18, 6), "30e900");
    // Button 4 plays macro 0 counted 0 times: shown and stored as 1.
    ASSERT_EQ(automation.request("check ms_key_4 1"), "ok");
    ASSERT_EQ(automation.request("select ms_key_fct_combo 9"), "ok");
    ASSERT_EQ(automation.request("select ms_key_fct_combo_23 0"), "ok");
    ASSERT_EQ(automation.request("select ms_key_fct_combo_24 4"), "ok");
    ASSERT_EQ(automation.request("type ms_key_fct_edit_25 0"), "ok");
    EXPECT_EQ(automation.request("get ms_key_fct_edit_25 text"), "ok 1");
    EXPECT_EQ(image("mouse", "bank0").substr(24, 6), "710001");
    EXPECT_EQ(automation.request("get ms_key_4 text"), "ok burst");

    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");
    ASSERT_EQ(automation.request("click ms_key_butt_prosave"), "ok");
    ASSERT_TRUE(applyEnded()) << program.output();
    EXPECT_EQ(automation.request("get - messages"), "ok");
    const std::vector<std::string> sent = commands();
    const auto pos = [&](const std::string& c) {
        return std::find(sent.begin(), sent.end(), c) - sent.begin();
    };
    ASSERT_LT(pos("WriteCursorData"), static_cast<long>(sent.size()))
        << control.request("log mouse");
    EXPECT_LT(pos("WriteCursorData"), pos("WriteMacroData"));
    EXPECT_LT(pos("WriteMacroData"), pos("WriteBank"));
    const std::string head =
        "aa552200"
        "0100"
        "00000000000000000000";
    const std::string record =
        "1200"
        "03000000"
        "e8038a04"
        "64000a04"
        "e8038a04";
    EXPECT_EQ(dump("mouse", "macro", 0, 34), head + record);
    EXPECT_EQ(dump("mouse", "banks", 0, 126), image("mouse", "bank0").substr(0, 252));
    // The four schemes of 180 steps: 16 + 8 + 4 x 724 = 2920 bytes.
    EXPECT_EQ(dump("mouse", "cursor", 0, 4), "aa55680b");
}

TEST_F(KeyProgramTest, ACursorBulletEditedOnItsPageReachesTheMouse) {
    start();
    ASSERT_EQ(automation.request("check ms_cursor_Op_tab 1"), "ok");
    ASSERT_EQ(automation.request("get ms_bullet_op_0 checked"), "ok 1");
    // Bullet 0 of scheme 1: 7 to the left, 9 up.
    ASSERT_EQ(automation.request("check ms_cursor_x_check 1"), "ok");
    ASSERT_EQ(automation.request("type ms_cursor_x_eidt 7"), "ok");
    ASSERT_EQ(automation.request("check ms_cursor_y_check 1"), "ok");
    ASSERT_EQ(automation.request("type ms_cursor_y_eidt 900"), "ok");
    EXPECT_EQ(automation.request("get ms_cursor_y_eidt text"), "ok 255");
    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");
    ASSERT_EQ(automation.request("click ms_bulletdate_save_btn"), "ok");
    ASSERT_EQ(automation.request("idle"), "ok");
    EXPECT_EQ(automation.request("get - messages"), "ok");
    const std::vector<std::string> sent = commands();
    EXPECT_EQ(sent, (std::vector<std::string>{"BeginSession", "WriteCursorData", "EndSession"}));
    // Scheme 1's record follows the 16-byte head and four offsets; its
    // steps 4 and 5 (delay 0, code, value) come after the step count.
    EXPECT_EQ(dump("mouse", "cursor", 0, 4), "aa55680b");
    EXPECT_EQ(dump("mouse", "cursor", 28 + 4 * 4, 8),
              "0000840700008"
              "5ff");
}

TEST_F(KeyProgramTest, TooLargeRefusedAndFailuresAreTold) {
    // 16 + 2 + 4 + 4 x 1100 = 4422 bytes in a 4096-byte memory: 82 steps over.
    writeMacro("long", 1100);
    start();
    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");
    ASSERT_EQ(automation.request("answer message 1"), "ok");
    ASSERT_EQ(automation.request("click ms_key_butt_prosave", 40000ms), "ok");
    ASSERT_TRUE(applyEnded());
    const std::string told = automation.request("get - messages");
    EXPECT_NE(told.find("82"), std::string::npos) << told;
    std::vector<std::string> sent = commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "WriteMacroData"), 0);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "WriteBank"), 0);

    // A refusing device: the first refused command ends the upload.
    writeMacro("long", 2);
    ASSERT_EQ(control.request("fault mouse refuse WriteCursorData ff").rfind("ok", 0), 0u);
    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");
    ASSERT_EQ(automation.request("answer message 1"), "ok");
    ASSERT_EQ(automation.request("click ms_key_butt_prosave", 40000ms), "ok");
    ASSERT_TRUE(applyEnded());
    EXPECT_NE(automation.request("get - messages"), "ok");
    sent = commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "WriteMacroData"), 0);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "WriteBank"), 0);
    ASSERT_EQ(control.request("fault mouse refuse WriteCursorData ff 0").rfind("ok", 0), 0u);

    // Unplugged during the upload: after a few reports the device is gone.
    ASSERT_EQ(control.request("fault mouse unplug-after 3").rfind("ok", 0), 0u);
    ASSERT_EQ(automation.request("answer message 1"), "ok");
    ASSERT_EQ(automation.request("click ms_key_butt_prosave", 40000ms), "ok");
    ASSERT_TRUE(applyEnded());
    EXPECT_NE(automation.request("get - messages"), "ok");
}

TEST_F(KeyProgramTest, KeyCapturedWithXdotoolOnTheKeyboardPage) {
    start();
    ASSERT_EQ(automation.request("check kb_tab 1"), "ok");
    ASSERT_EQ(automation.request("check kb_key_Op_tab 1"), "ok");
    ASSERT_EQ(automation.request("idle"), "ok");
    const std::string before = image("keyboard", "bank0");
    ASSERT_EQ(automation.request("click kb_key_64"), "ok");  // the A key's control
    ASSERT_EQ(automation.request("select kb_key_fct_combo 1"), "ok");
    ASSERT_EQ(automation.request("idle"), "ok");
    Child key;
    ASSERT_TRUE(key.start({"xdotool", "key", "--delay", "50", "Control_L"},
                          {{"DISPLAY", display.name()}}, dir / "xdotool.log"));
    ASSERT_EQ(key.wait(10000ms), 0) << key.output();
    ASSERT_TRUE(waitFor(
        [&] {
            const std::string now = image("keyboard", "bank0");
            for (size_t at = 0; at + 6 <= now.size(); at += 6) {
                if (now.substr(at, 6) == "200100" && before.substr(at, 6) != "200100") {
                    return true;
                }
            }
            return false;
        },
        10000ms))
        << program.output();
    EXPECT_NE(automation.request("get kb_key_fct_edit_21 text"), "ok ");
}

TEST_F(KeyProgramTest, AButtonPictureChangesWhileThePointerIsOverIt) {
    start();
    // Pointed at with the real pointer, as a person does.
    const std::string at = automation.request("get ms_key_2_0 centre");
    ASSERT_EQ(at.rfind("ok ", 0), 0u) << at;
    const std::string x = at.substr(3, at.find(' ', 3) - 3);
    const std::string y = at.substr(at.find(' ', 3) + 1);
    ASSERT_TRUE(test::xdotool(display.name(), {"mousemove", "--sync", x, y}));
    EXPECT_TRUE(waitForControl(automation, "ms_key_2_0", "image", "ms/key_right_down.png"))
        << program.output();
    ASSERT_TRUE(test::xdotool(display.name(), {"mousemove", "--sync", "2", "2"}));
    EXPECT_TRUE(waitForControl(automation, "ms_key_2_0", "image", "ms/key_right_normal.png"));
}

}  // namespace
}  // namespace rxt::e2e
