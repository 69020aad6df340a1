// The mouse and mousepad lighting pages in the real program under its own X
// server, with the simulator's mouse and mousepad: on-board profile
// switches, the mousepad's restore, lighting choices reaching the current
// records, the streamed mousepad frames and
// the mouse's preview, which is never streamed.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <thread>

#include "support/e2e_harness.h"
#include "support/test_folder.h"
#include "support/xvfb_display.h"

namespace rxt::e2e {
namespace {

using Clock = std::chrono::steady_clock;

// The commands of the simulator's log, as "ReadRecord off=0 len=1" pieces.
std::vector<std::string> commands(const std::string& log) {
    std::vector<std::string> out;
    size_t at = log.find(" | ");
    while (at != std::string::npos) {
        const size_t next = log.find(" | ", at + 3);
        const std::string entry =
            log.substr(at + 3, next == std::string::npos ? next : next - at - 3);
        // "#12 t=1532.104 if=1 ReadInfo(3) off=0 len=33 -> 00"
        const size_t name = entry.find("if=");
        const size_t space = entry.find(' ', name);
        const size_t paren = entry.find('(', space);
        const size_t arrow = entry.find(" ->");
        if (name != std::string::npos && paren != std::string::npos && arrow != std::string::npos) {
            const size_t close = entry.find(')', paren);
            out.push_back(entry.substr(space + 1, paren - space - 1) +
                          entry.substr(close + 1, arrow - close - 1));
        }
        at = next;
    }
    return out;
}

class LightingProgramTest : public ::testing::Test {
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
            simulator.start({binDir() + "/rxt-sim", "--socket", bus, "--plug", "mouse,mousepad"},
                            {{"ASAN_OPTIONS", "detect_leaks=0"}}, dir / "sim.log"));
        ASSERT_TRUE(control.connect(bus + ".ctl", 10000ms)) << simulator.output();
        const std::map<std::string, std::string> env =
            programEnvironment(dir.path(), display.name());
        ASSERT_TRUE(program.start({binDir() + "/rxt-config", "--bus", "sim:" + bus, "--automation",
                                   (dir / "auto.sock").string()},
                                  env, dir / "program.log"));
        ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
        ASSERT_TRUE(waitForControl(automation, "ms_tab_panel", "visible", "1")) << program.output();
        ASSERT_TRUE(waitForControl(automation, "mp_tab", "visible", "1")) << program.output();
        // Both read once (the mousepad's read sets its combo).
        ASSERT_TRUE(waitForControl(automation, "mp_deng_combo_profile", "index", "0"))
            << program.output();
    }

    void TearDown() override { quitProgram(program, automation); }

    std::string dump(const std::string& kind, const std::string& area, size_t offset,
                     size_t length) {
        const std::string answer =
            control.request("dump " + kind + " " + area + " " + std::to_string(offset) + " " +
                            std::to_string(length));
        return answer.rfind("ok ", 0) == 0 ? answer.substr(3) : answer;
    }
    std::string ok(const std::string& request) { return automation.request(request); }
    void showMouse() { ASSERT_EQ(ok("check ms_tab 1"), "ok"); }
    void showMousepad() { ASSERT_EQ(ok("check mp_tab 1"), "ok"); }
    // The mousepad streams all the time, so it is never quiet: waits for the
    // program's own read of its arrival (it ends with EndSession) and the
    // writes after it to be over, or one of them lands in the test's log.
    bool mousepadSettled() {
        size_t before = 0;
        auto since = Clock::now();
        return waitFor(
            [&] {
                size_t records = 0;
                bool readDone = false;
                for (const std::string& c : commands(control.request("log mousepad"))) {
                    records += c.rfind("StreamFrame", 0) != 0 ? 1 : 0;
                    readDone = readDone || c.rfind("EndSession", 0) == 0;
                }
                if (records != before || !readDone) {
                    before = records;
                    since = Clock::now();
                    return false;
                }
                return Clock::now() - since >= 400ms;
            },
            20000ms);
    }

    test::TempFolder dir;
    VirtualDisplay display;
    Child simulator;
    Child program;
    LineClient control;
    LineClient automation;
    std::string bus;
};

TEST_F(LightingProgramTest, OnboardProfilesSwitchBothDevicesAndThePagesFollow) {
    // Profile 3 of the mouse holds mode 6 on the device.
    ASSERT_EQ(control.request("poke mouse records 193 06"), "ok wrote 1 bytes");
    showMouse();
    ASSERT_EQ(ok("idle"), "ok");
    // The program's own sends after the read are over before the log starts.
    ASSERT_TRUE(waitForQuietDevice(control, "mouse"));
    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");
    ASSERT_EQ(ok("click ms_profile_3"), "ok");
    ASSERT_TRUE(waitFor([&] { return dump("mouse", "records", 0, 1) == "03"; }, 5000ms));
    ASSERT_EQ(ok("idle"), "ok");
    EXPECT_EQ(commands(control.request("log mouse")),
              (std::vector<std::string>{"ReadRecord off=0 len=1", "WriteRecord off=0 len=1",
                                        "ReadRecord off=192 len=56"}));
    EXPECT_EQ(ok("get ms_profile_3 checked"), "ok 1");
    EXPECT_EQ(ok("get ms_profile_0 checked"), "ok 0");
    EXPECT_EQ(ok("get ms_deng_combo_modeSelect0 index"), "ok 6");

    showMousepad();
    ASSERT_EQ(control.request("poke mousepad records 129 03"), "ok wrote 1 bytes");
    ASSERT_TRUE(mousepadSettled());
    ASSERT_EQ(control.request("log mousepad clear"), "ok log cleared");
    ASSERT_EQ(ok("select mp_deng_combo_profile 2"), "ok");
    ASSERT_TRUE(waitFor([&] { return dump("mousepad", "records", 0, 1) == "02"; }, 5000ms));
    ASSERT_EQ(ok("idle"), "ok");
    std::vector<std::string> pad;
    for (const std::string& c : commands(control.request("log mousepad"))) {
        if (c.rfind("StreamFrame", 0) != 0) {
            pad.push_back(c);
        }
    }
    EXPECT_EQ(pad, (std::vector<std::string>{"ReadRecord off=0 len=1", "WriteRecord off=0 len=1",
                                             "ReadRecord off=128 len=56"}));
    EXPECT_EQ(ok("get mp_deng_combo_profile index"), "ok 2");
    EXPECT_EQ(ok("get mp_deng_combo_modeSelect index"), "ok 3");
}

TEST_F(LightingProgramTest, MousepadRestoreResetsAndReadsItAgain) {
    showMousepad();
    ASSERT_TRUE(mousepadSettled());
    ASSERT_EQ(control.request("log mousepad clear"), "ok log cleared");
    const auto start = Clock::now();
    ASSERT_EQ(ok("click mp_one_profile_default"), "ok");
    auto seen = [&] {
        std::vector<std::string> out;
        for (const std::string& c : commands(control.request("log mousepad"))) {
            if (c.rfind("StreamFrame", 0) != 0) {
                out.push_back(c.substr(0, c.find(' ')));
            }
        }
        return out;
    };
    ASSERT_TRUE(waitFor(
        [&] {
            const auto s = seen();
            return !s.empty() && s.back() == "EndSession";
        },
        10000ms));
    const auto took = Clock::now() - start;
    const std::vector<std::string> s = seen();
    ASSERT_GE(s.size(), 3u);
    EXPECT_EQ(s[0], "ResetDevice");
    EXPECT_EQ(s[1], "BeginSession");
    EXPECT_GE(took, 900ms);  // the read follows about a second later
}

TEST_F(LightingProgramTest, ChoicesReachTheCurrentRecordsAndTheStaticFrame) {
    showMousepad();
    // Speed first: static mode disables its slider.
    ASSERT_EQ(ok("slide mp_deng_speed_slider 4"), "ok");  // speed 0
    ASSERT_EQ(ok("select mp_deng_combo_modeSelect 3"), "ok");
    ASSERT_EQ(ok("slide mp_deng_light_slider 2"), "ok");  // factor 149
    const auto start = Clock::now();
    ASSERT_EQ(ok("color mp_deng_Color_Pallet FFC86432"), "ok");
    // mode 3, brightness 2, speed 0, direction, colourful 0, 200 100 50
    ASSERT_TRUE(waitFor([&] { return dump("mousepad", "records", 5, 4) == "00c86432"; }, 5000ms));
    EXPECT_LT(Clock::now() - start, 600ms);  // 100 ms write-back, slack for a loaded machine
    EXPECT_EQ(dump("mousepad", "records", 1, 3), "030200");
    // 149 + 1 of each byte / 256: 117 58 29; then 15 zero bytes.
    std::string lit;
    for (int i = 0; i < 15; ++i) {
        lit += "753a1d";
    }
    const std::string frame = lit + std::string(30, '0');
    ASSERT_TRUE(waitFor([&] { return dump("mousepad", "frame", 0, 60) == frame; }, 10000ms))
        << dump("mousepad", "frame", 0, 60);
    EXPECT_EQ(control.request("frames mousepad").find("last-bytes=60") != std::string::npos, true);

    showMouse();
    ASSERT_EQ(ok("select ms_deng_combo_modeSelect0 5"), "ok");
    ASSERT_EQ(ok("slide ms_deng_light_slider 1"), "ok");
    ASSERT_EQ(ok("slide ms_deng_speed_slider 1"), "ok");  // speed 3
    ASSERT_EQ(ok("click ms_Deng_color_btn_2"), "ok");     // 0xFF6CFF00
    ASSERT_TRUE(waitFor([&] { return dump("mouse", "records", 6, 3) == "6cff00"; }, 5000ms))
        << dump("mouse", "records", 0, 10);
    EXPECT_EQ(dump("mouse", "records", 1, 3), "050103");
    EXPECT_EQ(dump("mouse", "records", 5, 1), "00");
}

TEST_F(LightingProgramTest, TheMousePreviewAnimatesAndTheMouseGetsNoFrame) {
    showMouse();
    ASSERT_EQ(ok("check ms_deng_Op_tab 1"), "ok");
    ASSERT_EQ(ok("select ms_deng_combo_modeSelect0 2"), "ok");  // colour cycle
    ASSERT_EQ(ok("slide ms_deng_speed_slider 4"), "ok");
    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");
    std::set<std::string> tints;
    ASSERT_TRUE(waitFor(
        [&] {
            tints.insert(ok("get ms_dkey_0 tint"));
            return tints.size() >= 4;
        },
        15000ms))
        << tints.size();
    for (const std::string& c : commands(control.request("log mouse"))) {
        EXPECT_NE(c.rfind("StreamFrame", 0), 0u) << c;
    }
    EXPECT_NE(control.request("frames mouse").find("frames=0"), std::string::npos);
}

TEST_F(LightingProgramTest, TheMouseClickFlashesTheMousepad) {
    showMousepad();
    ASSERT_EQ(ok("select mp_deng_combo_modeSelect 8"), "ok");  // reactive
    ASSERT_EQ(ok("slide mp_deng_light_slider 4"), "ok");
    ASSERT_EQ(ok("color mp_deng_Color_Pallet FF204060"), "ok");
    ASSERT_TRUE(waitFor([&] { return dump("mousepad", "records", 1, 1) == "08"; }, 5000ms));
    const std::string dark(120, '0');
    // Dark until the mouse says it was clicked.
    ASSERT_TRUE(waitFor(
        [&] {
            return control.request("frames mousepad").find("last-bytes=60") != std::string::npos &&
                   dump("mousepad", "frame", 0, 60) == dark;
        },
        10000ms))
        << dump("mousepad", "frame", 0, 60);
    ASSERT_EQ(control.request("action mouse click"), "ok notified 1027");
    const auto clicked = Clock::now();
    std::string lit;
    ASSERT_TRUE(waitFor(
        [&] {
            lit = dump("mousepad", "frame", 0, 60);
            return lit != dark;
        },
        5000ms))
        << program.output();
    const auto shown = Clock::now();
    // Every LED the colour at the brightest factor, then the 15 zero bytes.
    EXPECT_EQ(lit.substr(0, 6), "204060");
    EXPECT_EQ(lit.substr(84, 6), "204060");
    EXPECT_EQ(lit.substr(90), std::string(30, '0'));
    ASSERT_TRUE(waitFor([&] { return dump("mousepad", "frame", 0, 60) == dark; }, 5000ms));
    const auto over = Clock::now();
    std::printf("flash seen %lld ms after the click, dark again %lld ms later\n",
                static_cast<long long>((shown - clicked) / 1ms),
                static_cast<long long>((over - shown) / 1ms));
    // About 100 ms; the slack is a sanitizer build on a shared machine.
    EXPECT_LT(over - clicked, 1500ms);
}

TEST_F(LightingProgramTest, FramesPerSecondAtTheFastestSpeed) {
    showMousepad();
    ASSERT_EQ(ok("select mp_deng_combo_modeSelect 1"), "ok");
    ASSERT_EQ(ok("slide mp_deng_speed_slider 4"), "ok");
    // Past the thread's start, then a measured spell.
    ASSERT_TRUE(waitFor(
        [&] { return control.request("frames mousepad").find("frames=0 ") == std::string::npos; },
        10000ms));
    auto frames = [&] {
        const std::string a = control.request("frames mousepad");
        return std::stol(a.substr(a.find("frames=") + 7));
    };
    const long before = frames();
    const auto start = Clock::now();
    std::this_thread::sleep_for(3s);
    const long after = frames();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double rate = (after - before) / seconds;
    // The pace allows a frame per 9 ms plus one exchange: about 110 a second.
    std::printf("mousepad frames per second at speed 0: %.1f\n", rate);
    EXPECT_GT(rate, 50.0);  // a sanitizer build on a shared machine; figures come from release
}

}  // namespace
}  // namespace rxt::e2e
