// The keyboard lighting page in the real program under its own X server,
// with the simulator's keyboards: static and custom frames on the wire for
// both models, painted keys that survive a restart through the profile, and
// the cross-device sync entered from the mouse and ended by the
// single-colour keyboard.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "lighting/keyboard_tables.h"
#include "support/e2e_harness.h"
#include "support/test_folder.h"
#include "support/xvfb_display.h"

namespace rxt::e2e {
namespace {

using lighting::kFullColourKeyMap;
using lighting::kKeyCount;
using lighting::kSingleColourKeyMap;

class KeyboardLightingProgramTest : public ::testing::Test {
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
    }
    void TearDown() override { quitProgram(program, automation); }

    // The simulator with `plug` and the keyboard's product, then the program.
    void startAll(const std::string& plug, const std::string& product) {
        ASSERT_TRUE(simulator.start(
            {binDir() + "/rxt-sim", "--socket", bus, "--plug", plug, "--keyboard-product", product},
            {{"ASAN_OPTIONS", "detect_leaks=0"}}, dir / "sim.log"));
        ASSERT_TRUE(control.connect(bus + ".ctl", 10000ms)) << simulator.output();
        startProgram();
    }
    void startProgram() {
        ASSERT_TRUE(program.start({binDir() + "/rxt-config", "--bus", "sim:" + bus, "--automation",
                                   (dir / "auto.sock").string()},
                                  programEnvironment(dir.path(), display.name()),
                                  dir / "program.log"));
        ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
        ASSERT_TRUE(waitForControl(automation, "kb_tab_panel", "visible", "1")) << program.output();
        ASSERT_EQ(ok("check kb_tab 1"), "ok");
        ASSERT_EQ(ok("check kb_deng_Op_tab 1"), "ok");
        ASSERT_EQ(ok("idle"), "ok");
    }
    void restartProgram() {
        quitProgram(program, automation);
        automation.close();
        startProgram();
    }

    std::string ok(const std::string& request) { return automation.request(request); }
    // The mouse in static colour 20 40 60 as sync mode 3, then its
    // same-mode button.
    void enterSyncFromTheMouse() {
        ASSERT_EQ(ok("check ms_tab 1"), "ok");
        ASSERT_EQ(ok("check ms_deng_Op_tab 1"), "ok");
        ASSERT_EQ(ok("select ms_deng_combo_modeSelect0 5"), "ok");
        ASSERT_EQ(ok("slide ms_deng_light_slider 4"), "ok");
        ASSERT_EQ(ok("color ms_deng_Color_Pallet FF204060"), "ok");
        ASSERT_EQ(ok("select ms_deng_combo_modeSelect0 3"), "ok");
        // Shown by the mouse's detection once another device is attached.
        ASSERT_TRUE(waitForControl(automation, "ms_deng_same_mode", "visible", "1"));
        ASSERT_EQ(ok("click ms_deng_same_mode"), "ok");
        ASSERT_EQ(ok("idle"), "ok");
    }
    std::string dump(const std::string& kind, const std::string& area, size_t offset,
                     size_t length) {
        const std::string a =
            control.request("dump " + kind + " " + area + " " + std::to_string(offset) + " " +
                            std::to_string(length));
        return a.rfind("ok ", 0) == 0 ? a.substr(3) : a;
    }
    std::string image(const std::string& kind) {
        const std::string a = automation.request("image " + kind + " current");
        return a.rfind("ok ", 0) == 0 ? a.substr(3) : a;
    }
    // Bytes 1..8 of a current record, as hex.
    std::string head(const std::string& kind) {
        std::string hex = image(kind);
        for (char& c : hex) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return hex.substr(2, 16);
    }
    bool frameIs(const std::string& kind, size_t bytes, const std::string& want) {
        return waitFor([&] { return dump(kind, "frame", 0, bytes) == want; }, 15000ms);
    }
    bool lastFrameBytes(const std::string& kind, int bytes) {
        return waitFor(
            [&] {
                return control.request("frames " + kind)
                           .find("last-bytes=" + std::to_string(bytes) + " ") != std::string::npos;
            },
            15000ms);
    }

    test::TempFolder dir;
    VirtualDisplay display;
    Child simulator;
    Child program;
    LineClient control;
    LineClient automation;
    std::string bus;
};

// Key k's colour at 3 map(k) for every key with a light.
std::string fullFrame(const std::string& rgb) {
    std::string out;
    for (size_t p = 0; p < kKeyCount; ++p) {
        bool mapped = false;
        for (uint8_t m : kFullColourKeyMap) {
            mapped = mapped || m == p;
        }
        out += mapped ? rgb : "000000";
    }
    return out;
}

TEST_F(KeyboardLightingProgramTest, FullColourStaticAndPaintedKeysSurviveARestart) {
    startAll("keyboard", "6553");
    ASSERT_EQ(ok("select kb_deng_combo_modeSelect 3"), "ok");
    ASSERT_EQ(ok("slide kb_deng_light_slider 4"), "ok");  // factor 255
    ASSERT_EQ(ok("color kb_deng_Color_Pallet FFC86432"), "ok");
    // 200 100 50 x 255 / 256 at every lit position; the others stay dark.
    const std::string statics = fullFrame("c76331");
    ASSERT_TRUE(frameIs("keyboard", 378, statics)) << dump("keyboard", "frame", 0, 378);
    ASSERT_TRUE(lastFrameBytes("keyboard", 378));

    // Custom: everything off, then two keys in the tool colour.
    ASSERT_EQ(ok("select kb_deng_combo_modeSelect 8"), "ok");
    ASSERT_EQ(ok("check kb_Deng_all_kill_check 1"), "ok");
    ASSERT_EQ(ok("color kb_deng_Color_Pallet FF00FF00"), "ok");
    ASSERT_EQ(ok("click kb_key_44"), "ok");
    ASSERT_EQ(ok("click kb_key_63"), "ok");
    std::string painted(756, '0');
    for (int key : {44, 63}) {
        painted.replace(6u * kFullColourKeyMap[key], 6, "00fe00");
    }
    ASSERT_TRUE(frameIs("keyboard", 378, painted)) << dump("keyboard", "frame", 0, 378);
    // The record's own colour stayed.
    EXPECT_EQ(head("keyboard").substr(10, 6), "c86432");

    restartProgram();
    ASSERT_TRUE(frameIs("keyboard", 378, painted)) << dump("keyboard", "frame", 0, 378);
    EXPECT_EQ(ok("get kb_deng_combo_modeSelect index"), "ok 8");
}

TEST_F(KeyboardLightingProgramTest, SingleColourStaticAndCustomFrames) {
    startAll("keyboard", "0800");
    ASSERT_TRUE(waitForControl(automation, "kb_deng_onecolor_combo_modeSelect", "visible", "1"));
    EXPECT_EQ(ok("get kb_deng_combo_modeSelect visible"), "ok 0");
    EXPECT_EQ(ok("get kb_deng_Color_Pallet enabled"), "ok 0");
    ASSERT_EQ(ok("select kb_deng_onecolor_combo_modeSelect 2"), "ok");
    ASSERT_EQ(ok("slide kb_deng_light_slider 4"), "ok");
    std::string statics;
    for (size_t p = 0; p < kKeyCount; ++p) {
        bool mapped = false;
        for (uint8_t m : kSingleColourKeyMap) {
            mapped = mapped || m == p;
        }
        statics += mapped ? "ff" : "00";
    }
    ASSERT_TRUE(frameIs("keyboard", 126, statics)) << dump("keyboard", "frame", 0, 126);
    ASSERT_TRUE(lastFrameBytes("keyboard", 126));

    ASSERT_EQ(ok("select kb_deng_onecolor_combo_modeSelect 6"), "ok");
    ASSERT_EQ(ok("check kb_Deng_all_kill_check 1"), "ok");
    ASSERT_EQ(ok("click kb_key_41"), "ok");
    std::string painted(252, '0');
    painted.replace(2u * kSingleColourKeyMap[41], 2, "ff");
    ASSERT_TRUE(frameIs("keyboard", 126, painted)) << dump("keyboard", "frame", 0, 126);
}

TEST_F(KeyboardLightingProgramTest, SameModeFromTheMouseDrivesKeyboardAndMousepad) {
    startAll("mouse,mousepad,keyboard", "6553");
    ASSERT_TRUE(waitForControl(automation, "ms_tab", "visible", "1"));
    enterSyncFromTheMouse();
    const std::string mouse = head("mouse");
    EXPECT_EQ(mouse.substr(0, 4), "0304");
    EXPECT_EQ(mouse.substr(10, 6), "204060");
    EXPECT_EQ(head("keyboard"), mouse);
    EXPECT_EQ(head("mousepad"), mouse);
    // Sync static: every key by index, key positions no light maps to too.
    std::string keys;
    for (size_t k = 0; k < kKeyCount; ++k) {
        keys += "204060";
    }
    ASSERT_TRUE(frameIs("keyboard", 378, keys)) << dump("keyboard", "frame", 0, 378);
    std::string pad;
    for (int i = 0; i < 15; ++i) {
        pad += "204060";
    }
    ASSERT_TRUE(frameIs("mousepad", 45, pad)) << dump("mousepad", "frame", 0, 45);
    ASSERT_TRUE(lastFrameBytes("mousepad", 45));  // its own static mode sends 60
}

TEST_F(KeyboardLightingProgramTest, SingleColourModeChoiceEndsTheSyncForEveryDevice) {
    startAll("mouse,mousepad,keyboard", "0800");
    ASSERT_TRUE(waitForControl(automation, "ms_tab", "visible", "1"));
    enterSyncFromTheMouse();
    ASSERT_TRUE(lastFrameBytes("keyboard", 378));  // the sync's frame
    ASSERT_TRUE(lastFrameBytes("mousepad", 45));
    ASSERT_EQ(ok("check kb_tab 1"), "ok");
    ASSERT_EQ(ok("check kb_deng_Op_tab 1"), "ok");
    ASSERT_EQ(ok("select kb_deng_onecolor_combo_modeSelect 2"), "ok");
    // Each device back on its own thread: the keyboard's 126 levels and the
    // mousepad's static 60 bytes.
    ASSERT_TRUE(lastFrameBytes("keyboard", 126));
    ASSERT_TRUE(lastFrameBytes("mousepad", 60));
}

}  // namespace
}  // namespace rxt::e2e
