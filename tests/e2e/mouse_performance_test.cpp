// The mouse performance page in the real program under its own X server,
// with the simulator's mouse: a DPI level reaches the mouse as one record
// write, the active level at once, a palette colour in its bytes; the page
// follows a device read again (sensor and record); the pointer speed reaches the X server, and the
// device profile file carries speed and wheel lines.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
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

constexpr size_t kHeader = 16;
constexpr size_t kMouseDevicePayload = 576;  // key bank 0 (512), stored record (64)
constexpr size_t kStoredRecord = kHeader + 512;

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The simulator's log entries of WriteRecord, as "off=0 len=56" pieces.
std::vector<std::string> recordWrites(const std::string& log) {
    std::vector<std::string> out;
    for (size_t at = log.find("WriteRecord("); at != std::string::npos;
         at = log.find("WriteRecord(", at + 1)) {
        const size_t off = log.find("off=", at);
        const size_t arrow = log.find(" ->", off);
        out.push_back(log.substr(off, arrow - off));
    }
    return out;
}

class PerformanceProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool"}) {
            if (!programOnPath(tool)) {
                GTEST_SKIP() << tool << " is not installed (scripts/setup installs it)";
            }
        }
        ASSERT_TRUE(std::filesystem::exists(binDir() + "/rxt-config"));
        ASSERT_TRUE(std::filesystem::exists(binDir() + "/rxt-sim"));
        ASSERT_TRUE(display.start()) << "no free display for Xvfb";
        makeProgramHome(dir.path());

        bus = (dir / "bus.sock").string();
        ASSERT_TRUE(simulator.start({binDir() + "/rxt-sim", "--socket", bus, "--plug", "mouse"},
                                    {{"ASAN_OPTIONS", "detect_leaks=0"}}, dir / "sim.log"));
        ASSERT_TRUE(control.connect(bus + ".ctl", 10000ms)) << simulator.output();
        const std::map<std::string, std::string> env =
            programEnvironment(dir.path(), display.name());
        ASSERT_TRUE(program.start({binDir() + "/rxt-config", "--bus", "sim:" + bus, "--automation",
                                   (dir / "auto.sock").string()},
                                  env, dir / "program.log"));
        ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
        ASSERT_TRUE(waitForControl(automation, "ms_tab_panel", "visible", "1")) << program.output();
        // The arrival shows the remembered entry.
        ASSERT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "0"))
            << program.output();
        ASSERT_EQ(automation.request("check ms_tab 1"), "ok");
        ASSERT_TRUE(waitForQuietDevice(control, "mouse")) << program.output();
    }

    void TearDown() override { quitProgram(program, automation); }

    std::string dump(const std::string& area, size_t offset, size_t length) {
        const std::string answer = control.request(
            "dump mouse " + area + " " + std::to_string(offset) + " " + std::to_string(length));
        return answer.rfind("ok ", 0) == 0 ? answer.substr(3) : answer;
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

TEST_F(PerformanceProgramTest, DpiLevelActiveLevelAndColourReachTheMouse) {
    ASSERT_EQ(automation.request("check ms_rich_Op_tab 1"), "ok");
    ASSERT_EQ(automation.request("idle"), "ok");
    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");

    // One level set: one 56-byte record write with the level's code (21 for
    // position 20), within the write-back's 100 ms period (a loaded test
    // machine is given some slack).
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(automation.request("slide ms_DPI2_slider 20"), "ok");
    ASSERT_TRUE(waitFor([&] { return dump("records", 16, 1) == "15"; }, 5000ms));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 600ms);
    EXPECT_EQ(automation.request("get ms_DPI2_label_value text"), "ok 2200");
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(recordWrites(control.request("log mouse")), std::vector<std::string>{"off=0 len=56"});

    // The active level is written at once, not by the periodic write-back.
    ASSERT_EQ(control.request("log mouse clear"), "ok log cleared");
    ASSERT_EQ(automation.request("check dpi_check_4 1"), "ok");
    EXPECT_EQ(dump("records", 19, 1), "03");
    EXPECT_EQ(recordWrites(control.request("log mouse")), std::vector<std::string>{"off=0 len=56"});

    // A palette colour lands in level 2's bytes (26..28 of 23..43).
    ASSERT_EQ(automation.request("answer palette FF102030"), "ok");
    ASSERT_EQ(automation.request("click ms_DPIcolor_btn_2"), "ok");
    EXPECT_TRUE(waitFor([&] { return dump("records", 23, 21).substr(6, 6) == "102030"; }, 5000ms));
    EXPECT_EQ(automation.request("get ms_DPIcolor_btn_2 color"), "ok FF102030");
}

TEST_F(PerformanceProgramTest, ThePageFollowsADeviceReadAgain) {
    ASSERT_EQ(automation.request("check ms_rich_Op_tab 1"), "ok");
    // Another sensor (0x3050, little-endian): a read-all (1026) shows its limits.
    ASSERT_EQ(control.request("poke mouse info 9 5030").rfind("ok", 0), 0u);
    ASSERT_EQ(control.request("action mouse notify 1026").rfind("ok", 0), 0u);
    EXPECT_TRUE(waitForControl(automation, "ms_DPI1_min", "text", "800")) << program.output();
    EXPECT_TRUE(waitForControl(automation, "ms_DPI7_max", "text", "6200"));
    // A level-1 code of 31 in the live record: a record refresh (1025) shows it.
    ASSERT_EQ(control.request("poke mouse records 15 1f").rfind("ok", 0), 0u);
    ASSERT_EQ(control.request("action mouse notify 1025").rfind("ok", 0), 0u);
    EXPECT_TRUE(waitForControl(automation, "ms_DPI1_slider", "value", "30"));
    EXPECT_EQ(automation.request("get ms_DPI1_label_value text"), "ok 3200");
    // The lowest DPI rewritten for that sensor: 800 in information bytes 13..14.
    const std::string info = automation.request("image mouse info");
    ASSERT_EQ(info.rfind("ok ", 0), 0u);
    EXPECT_EQ(info.substr(3 + 13 * 2, 4), "2003");
}

#ifdef RXT_E2E_X11

TEST_F(PerformanceProgramTest, PointerSpeedReachesTheServerAndTheProfileFile) {
    Display* x = XOpenDisplay(display.name().c_str());
    ASSERT_NE(x, nullptr);
    int stockNum = 0, stockDen = 0, stockThreshold = 0;
    XGetPointerControl(x, &stockNum, &stockDen, &stockThreshold);
    auto accel = [&] {
        int n = 0, d = 0, t = 0;
        XGetPointerControl(x, &n, &d, &t);
        return d > 0 ? double(n) / d : -1.0;
    };
    ASSERT_EQ(automation.request("check ms_rich_Op_tab 1"), "ok");
    ASSERT_EQ(automation.request("slide ms_point_speed_slider 9"), "ok");
    EXPECT_TRUE(waitFor([&] { return accel() == 2.0 * stockNum / stockDen; }, 5000ms));
    ASSERT_EQ(automation.request("click ms_gunlun_speed_up_btn"), "ok");
    EXPECT_EQ(automation.request("get ms_gunlun_speed_edit text"), "ok 4");

    // The mouse device profile carries speed 20 and 4 lines in bytes 52, 53.
    const auto profile1 = mouseFolder() / "profile1.config";
    EXPECT_TRUE(waitFor(
        [&] {
            const auto f = readFile(profile1);
            return f.size() == kHeader + kMouseDevicePayload && f[kStoredRecord + 52] == 20 &&
                   f[kStoredRecord + 53] == 4;
        },
        10000ms));
    // The desktop has no wheel lines here: the page says so.
    EXPECT_EQ(automation.request("get ms_gunlun_note visible"), "ok 1");

    // Back to 10: the server's own defaults.
    ASSERT_EQ(automation.request("slide ms_point_speed_slider 4"), "ok");
    EXPECT_TRUE(waitFor([&] { return accel() == double(stockNum) / stockDen; }, 5000ms));
    int n = 0, d = 0, t = 0;
    XGetPointerControl(x, &n, &d, &t);
    EXPECT_EQ(t, stockThreshold);
    XCloseDisplay(x);
}

#endif

}  // namespace
}  // namespace rxt::e2e
