// rxtctl beside the real program under its own X server, with the
// simulator's mouse or one of its keyboards: while rxt-config runs, `rxtctl
// set` goes through it (its page shows the value, its next write-back keeps
// it); without it rxtctl writes the same bytes to the device itself; `rxtctl
// show` decodes either.

#include <gtest/gtest.h>

#include <thread>

#include "support/e2e_harness.h"
#include "support/test_folder.h"

namespace rxt::e2e {
namespace {

struct ToolRun {
    std::optional<int> status;
    std::string output;
};

class RxtctlProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(binDir() + "/rxtctl"));
        ASSERT_TRUE(std::filesystem::exists(binDir() + "/rxt-sim"));
        makeProgramHome(dir.path());
        bus = (dir / "bus.sock").string();
        std::vector<std::string> args{binDir() + "/rxt-sim", "--socket", bus};
        for (const std::string& a : simulatorDevices()) {
            args.push_back(a);
        }
        ASSERT_TRUE(simulator.start(args, {{"ASAN_OPTIONS", "detect_leaks=0"}}, dir / "sim.log"));
        ASSERT_TRUE(control.connect(bus + ".ctl", 10000ms)) << simulator.output();
    }

    virtual std::vector<std::string> simulatorDevices() { return {"--plug", "mouse"}; }

    void startProgram() {
        for (const char* tool : {"Xvfb", "xdotool"}) {
            if (!programOnPath(tool)) {
                GTEST_SKIP() << tool << " is not installed (scripts/setup installs it)";
            }
        }
        ASSERT_TRUE(std::filesystem::exists(binDir() + "/rxt-config"));
        ASSERT_TRUE(display.start()) << "no free display for Xvfb";
        ASSERT_TRUE(program.start({binDir() + "/rxt-config", "--bus", "sim:" + bus, "--automation",
                                   (dir / "auto.sock").string()},
                                  environment(), dir / "program.log"));
        ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
        waitForArrival();
    }
    virtual void waitForArrival() {
        ASSERT_TRUE(waitForControl(automation, "ms_tab_panel", "visible", "1")) << program.output();
        ASSERT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "0"))
            << program.output();
        ASSERT_TRUE(waitForQuietDevice(control, "mouse")) << program.output();
    }

    void TearDown() override { quitProgram(program, automation); }

    std::map<std::string, std::string> environment() {
        return programEnvironment(dir.path(), display.name());
    }

    ToolRun rxtctl(std::vector<std::string> args) {
        args.insert(args.begin(), {binDir() + "/rxtctl", "--bus", "sim:" + bus});
        Child tool;
        const auto log = dir / ("rxtctl" + std::to_string(++runs) + ".log");
        if (!tool.start(args, environment(), log)) {
            return {};
        }
        ToolRun r;
        r.status = tool.wait(60000ms);
        r.output = tool.output();
        return r;
    }

    std::string dump(size_t offset, size_t length, const std::string& kind = "mouse") {
        const std::string answer = control.request(
            "dump " + kind + " records " + std::to_string(offset) + " " + std::to_string(length));
        return answer.rfind("ok ", 0) == 0 ? answer.substr(3) : answer;
    }

    test::TempFolder dir;
    VirtualDisplay display;
    Child simulator;
    Child program;
    LineClient control;
    LineClient automation;
    std::string bus;
    int runs = 0;
};

TEST_F(RxtctlProgramTest, SetGoesThroughTheRunningProgramAndItsPageKeepsIt) {
    startProgram();
    if (IsSkipped()) {
        return;
    }
    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");
    ToolRun r = rxtctl({"set", "mouse", "dpi", "2", "1600"});
    ASSERT_EQ(r.status, 0) << r.output << program.output();
    // rxtctl did not open the mouse (it would have read it whole first)...
    EXPECT_EQ(control.request("log mouse").find("ReadInfo("), std::string::npos);
    // ...and the page shows the value at once: the program took the request.
    EXPECT_EQ(automation.request("get ms_DPI2_label_value text"), "ok 1600");
    EXPECT_EQ(automation.request("get ms_DPI2_slider value"), "ok 14");
    // Its write-back brings it to the mouse: position 14, code 15.
    ASSERT_TRUE(waitFor([&] { return dump(16, 1) == "0f"; }, 5000ms)) << dump(0, 52);

    // The next change on the page keeps it.
    ASSERT_EQ(automation.request("check ms_tab 1"), "ok");
    ASSERT_EQ(automation.request("check ms_rich_Op_tab 1"), "ok");
    ASSERT_EQ(automation.request("slide ms_DPI3_slider 30"), "ok");
    ASSERT_TRUE(waitFor([&] { return dump(17, 1) == "1f"; }, 5000ms)) << dump(0, 52);
    EXPECT_EQ(dump(16, 1), "0f");

    // Refusals are rxtctl's own, before anything is sent.
    r = rxtctl({"set", "mouse", "dpi", "2", "1650"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("200 to 12000 in steps of 100"), std::string::npos) << r.output;

    // show reads the program's images.
    r = rxtctl({"show", "mouse", "--json"});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("{\"level\": 2, \"dpi\": 1600"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("{\"level\": 3, \"dpi\": 3200"), std::string::npos) << r.output;
}

TEST_F(RxtctlProgramTest, ProfileSelectAndMacroUploadAreThePagesOperations) {
    startProgram();
    if (IsSkipped()) {
        return;
    }
    ToolRun r = rxtctl({"profile", "list", "mouse"});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("device 0 profile1 (selected)"), std::string::npos) << r.output;

    // A second entry made on the page, then the first chosen by rxtctl: the
    // list shows it, the file remembers it, its record reaches the mouse.
    ASSERT_EQ(automation.request("check ms_tab 1"), "ok");
    ASSERT_EQ(automation.request("click ms_profile_fun_spread_btn"), "ok");
    ASSERT_EQ(automation.request("click ms_pro_device_add_btn"), "ok");
    ASSERT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "1"));
    ASSERT_TRUE(waitForQuietDevice(control, "mouse"));
    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");
    r = rxtctl({"profile", "select", "mouse", "device", "profile1"});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(automation.request("get ms_device_profile_combo index"), "ok 0");
    r = rxtctl({"profile", "list", "mouse"});
    EXPECT_NE(r.output.find("device 0 profile1 (selected)"), std::string::npos) << r.output;
    EXPECT_TRUE(waitFor(
        [&] { return control.request("log mouse").find("WriteRecord(") != std::string::npos; },
        5000ms));
    r = rxtctl({"profile", "select", "mouse", "device", "nothing"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("no mouse device profile \"nothing\""), std::string::npos) << r.output;

    // The key page's Apply: the bank is written.
    ASSERT_TRUE(waitForQuietDevice(control, "mouse"));
    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");
    r = rxtctl({"macro", "upload", "mouse"});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(control.request("log mouse").find("WriteBank("), std::string::npos);
    // A refused bank: the reason comes back, no message box waits on screen.
    ASSERT_EQ(control.request("fault mouse refuse WriteBank fe").rfind("ok", 0), 0u);
    r = rxtctl({"macro", "upload", "mouse"});
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("rxt-config: "), std::string::npos) << r.output;
    EXPECT_EQ(automation.request("idle"), "ok");
    EXPECT_EQ(automation.request("get - messages"), "ok");
}

TEST_F(RxtctlProgramTest, AChangeMadeWithoutTheProgramIsWhatItShowsWhenItStarts) {
    // The program's first run makes its catalogues and profile files.
    startProgram();
    if (IsSkipped()) {
        return;
    }
    quitProgram(program, automation);
    automation.close();
    ASSERT_FALSE(program.running());
    ToolRun r = rxtctl({"set", "mouse", "dpi", "4", "5000"});
    ASSERT_EQ(r.status, 0) << r.output;
    ASSERT_EQ(dump(18, 1), "31");  // position 48, code 49
    // Started again, it applies its remembered profile to the mouse: the
    // value rxtctl saved in it.
    ASSERT_TRUE(program.start({binDir() + "/rxt-config", "--bus", "sim:" + bus, "--automation",
                               (dir / "auto.sock").string()},
                              environment(), dir / "program2.log"));
    ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
    ASSERT_TRUE(waitForControl(automation, "ms_DPI4_label_value", "text", "5000"))
        << program.output();
    ASSERT_TRUE(waitForQuietDevice(control, "mouse"));
    EXPECT_EQ(dump(18, 1), "31");
}

TEST_F(RxtctlProgramTest, WithoutTheProgramTheSameBytesReachTheMouse) {
    ToolRun r = rxtctl({"set", "mouse", "dpi", "2", "1600"});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(dump(16, 1), "0f");
    r = rxtctl({"show", "mouse", "--json"});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("{\"level\": 2, \"dpi\": 1600"), std::string::npos) << r.output;
    // The device's refusal is status 1 with its result.
    ASSERT_EQ(control.request("fault mouse refuse WriteRecord ff").rfind("ok", 0), 0u);
    r = rxtctl({"set", "mouse", "report-rate", "0"});
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("result -102"), std::string::npos) << r.output;
}

// One keyboard product with the kind the program gives it at its start.
struct KeyboardProduct {
    std::string product;
    bool fullColour;
};
void PrintTo(const KeyboardProduct& p, std::ostream* out) {
    *out << p.product;
}

class KeyboardThroughProgramTest : public RxtctlProgramTest,
                                   public ::testing::WithParamInterface<KeyboardProduct> {
  protected:
    std::vector<std::string> simulatorDevices() override {
        return {"--plug", "keyboard", "--keyboard-product", GetParam().product};
    }
    void waitForArrival() override {
        ASSERT_TRUE(waitForControl(automation, "kb_tab_panel", "visible", "1")) << program.output();
        ASSERT_TRUE(waitForQuietDevice(control, "keyboard")) << program.output();
        // The keyboard counts as attached once it has settled.
        ASSERT_TRUE(waitFor(
            [&] {
                return rxtctl({"show", "keyboard"}).status == 0;
            },
            20000ms))
            << program.output();
    }
};

TEST_P(KeyboardThroughProgramTest, SetKeyboardLightingIsThePagesChoiceInTheListOfItsKind) {
    startProgram();
    if (IsSkipped()) {
        return;
    }
    const bool full = GetParam().fullColour;
    ToolRun r = rxtctl({"set", "keyboard", "lighting", "mode", "static"});
    ASSERT_EQ(r.status, 0) << r.output << program.output();
    const std::string combo =
        full ? "kb_deng_combo_modeSelect" : "kb_deng_onecolor_combo_modeSelect";
    EXPECT_EQ(automation.request("get " + combo + " index"), full ? "ok 3" : "ok 2");
    // The write-back brings it to the keyboard.
    ASSERT_TRUE(waitFor([&] { return dump(1, 1, "keyboard") == (full ? "03" : "02"); }, 5000ms))
        << dump(0, 21, "keyboard");
    ASSERT_EQ(rxtctl({"set", "keyboard", "lighting", "brightness", "1"}).status, 0);
    EXPECT_EQ(automation.request("get kb_deng_light_slider value"), "ok 1");

    r = rxtctl({"show", "keyboard"});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find(full ? "full-colour keyboard (current record"
                                 : "single-colour keyboard (current record"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find(full ? "lighting: mode static (3), brightness 1"
                                 : "lighting: mode static (2), brightness 1"),
              std::string::npos)
        << r.output;

    // A colour and a mode of the full-colour list only: the program's kind decides.
    r = rxtctl({"set", "keyboard", "lighting", "color", "ff8000"});
    if (full) {
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(automation.request("get kb_Deng_edit_G text"), "ok 128");
        ASSERT_TRUE(waitFor([&] { return dump(5, 4, "keyboard") == "00ff8000"; }, 5000ms))
            << dump(0, 21, "keyboard");
    } else {
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.output.find("colour is fixed"), std::string::npos) << r.output;
    }
    r = rxtctl({"set", "keyboard", "lighting", "mode", "rainbow"});
    EXPECT_EQ(r.status, full ? 0 : 2) << r.output;
    EXPECT_EQ(automation.request("get " + combo + " index"), full ? "ok 4" : "ok 2");
}

INSTANTIATE_TEST_SUITE_P(EachProduct, KeyboardThroughProgramTest,
                         ::testing::Values(KeyboardProduct{"6553", true},
                                           KeyboardProduct{"0800", false},
                                           KeyboardProduct{"7200", false}),
                         [](const auto& info) { return "product_" + info.param.product; });

}  // namespace
}  // namespace rxt::e2e
