// The real program as a desktop citizen, under its own X server with the
// simulator's mouse: the autostart item of the tray menu, a start hidden in
// the tray that still reads the device and follows a linked program, and a
// data folder that cannot be written while the device keeps working.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/ini_file.h"
#include "support/e2e_harness.h"
#include "support/test_folder.h"
#include "support/unwritable_folder.h"
#include "support/xvfb_display.h"

#if __has_include(<X11/Xlib.h>)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#define RXT_E2E_X11 1
#endif

namespace rxt::e2e {
namespace {

constexpr const char* kTitle = "RX-T7100 GamingMouse";
constexpr size_t kHeader = 16;
constexpr size_t kMouseRecord = 52;

// A mouse device profile file: header, key bank 0 (512 bytes), record (64).
std::vector<uint8_t> mouseProfile(uint8_t seed) {
    std::vector<uint8_t> file(kHeader + 576, 0);
    file[0] = 0xAA;
    file[1] = 0x55;
    file[4] = 2;
    for (size_t i = 0; i < 512; ++i) {
        file[kHeader + i] = static_cast<uint8_t>(seed + i * 5);
    }
    for (size_t i = 0; i < 64; ++i) {
        file[kHeader + 512 + i] = static_cast<uint8_t>(seed * 3 + i);
    }
    file[kHeader + 512] = 0;
    file[kHeader + 512 + 19] = 3;
    return file;
}

std::string hex(const std::vector<uint8_t>& bytes, size_t from, size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = from; i < from + count && i < bytes.size(); ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 15];
    }
    return out;
}

class DesktopProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool"}) {
            if (!programOnPath(tool)) {
                GTEST_SKIP() << tool << " is not installed (scripts/setup installs it)";
            }
        }
        ASSERT_TRUE(std::filesystem::exists(binDir() + "/rxt-config"));
        ASSERT_TRUE(display.start()) << "no free display for Xvfb";
        makeProgramHome(dir.path());
        bus = (dir / "bus.sock").string();
        ASSERT_TRUE(simulator.start({binDir() + "/rxt-sim", "--socket", bus, "--plug", "mouse"},
                                    {{"ASAN_OPTIONS", "detect_leaks=0"}}, dir / "sim.log"));
        ASSERT_TRUE(control.connect(bus + ".ctl", 10000ms)) << simulator.output();
    }

    void TearDown() override { quitProgram(program, automation); }

    void start(std::vector<std::string> extra = {}) {
        const std::map<std::string, std::string> env =
            programEnvironment(dir.path(), display.name());
        std::vector<std::string> argv{binDir() + "/rxt-config", "--bus", "sim:" + bus,
                                      "--automation", (dir / "auto.sock").string()};
        argv.insert(argv.end(), extra.begin(), extra.end());
        ASSERT_TRUE(program.start(argv, env, dir / "program.log"));
        ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
        ASSERT_TRUE(waitForControl(automation, "ms_tab_panel", "visible", "1")) << program.output();
    }

    bool windowShown() const {
        return !capture("DISPLAY=" + display.name() + " xdotool search --onlyvisible --name '" +
                        kTitle + "' 2>/dev/null")
                    .empty();
    }

    std::string dump(const std::string& area, size_t offset, size_t length) {
        const std::string answer = control.request(
            "dump mouse " + area + " " + std::to_string(offset) + " " + std::to_string(length));
        return answer.rfind("ok ", 0) == 0 ? answer.substr(3) : answer;
    }

    std::filesystem::path dataFolder() const {
        return dir.path() / "Documents" / "RX-T7100 GamingMouse";
    }

    test::TempFolder dir;
    VirtualDisplay display;
    Child simulator;
    Child program;
    LineClient control;
    LineClient automation;
    std::string bus;
};

TEST_F(DesktopProgramTest, TheAutostartItemWritesAnEntryStartingTheProgramHidden) {
    start();
    const auto entry = dir / "config/autostart/rxt-config.desktop";
    ASSERT_EQ(automation.request("tray right"), "ok");
    ASSERT_EQ(automation.request("menu autostart"), "ok");
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(entry); }, 5000ms));
    const std::string exec = iniRead(entry, "Desktop Entry", "Exec", "");
    const std::string exe = std::filesystem::canonical(binDir() + "/rxt-config").string();
    EXPECT_EQ(exec, (exe.find(' ') == std::string::npos ? exe : '"' + exe + '"') + " --hidden");
    if (programOnPath("desktop-file-validate")) {
        EXPECT_EQ(std::system(("desktop-file-validate '" + entry.string() + "'").c_str()), 0);
    }
    ASSERT_EQ(automation.request("tray right"), "ok");
    ASSERT_EQ(automation.request("menu autostart"), "ok");
    EXPECT_TRUE(waitFor([&] { return !std::filesystem::exists(entry); }, 5000ms));
    EXPECT_EQ(automation.request("get - messages"), "ok");
}

TEST_F(DesktopProgramTest, StartedHiddenItReadsTheDeviceAndShowsOnATrayClick) {
    start({"--hidden"});
    // The mouse was read with no window on the screen: its information
    // record is the device's.
    std::string device = dump("info", 0, 33);
    for (char& c : device) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    ASSERT_EQ(device.size(), 66u);
    EXPECT_TRUE(
        waitFor([&] { return automation.request("image mouse info") == "ok " + device; }, 10000ms));
    EXPECT_FALSE(windowShown());
    // A device's own change is followed while hidden.
    ASSERT_EQ(control.request("action mouse dpi 5").rfind("ok", 0), 0u);
    EXPECT_TRUE(waitForControl(automation, "dpi_check_6", "checked", "1")) << program.output();
    EXPECT_FALSE(windowShown());
    ASSERT_EQ(automation.request("tray left"), "ok");
    EXPECT_TRUE(waitFor([&] { return windowShown(); }, 10000ms));
}

#ifdef RXT_E2E_X11

TEST_F(DesktopProgramTest, StartedHiddenALinkedProgramInFrontSwitchesTheProfile) {
    // The catalogue, written before the start: entry 1 is linked to a
    // process of ours whose window the test makes.
    const pid_t game = test::spawnQuiet({"sleep", "300"});
    ASSERT_GT(game, 0);
    std::string gameExe;
    ASSERT_TRUE(waitFor(
        [&] {
            std::error_code ec;
            gameExe = std::filesystem::read_symlink("/proc/" + std::to_string(game) + "/exe", ec);
            return !ec && gameExe.find("sleep") != std::string::npos;
        },
        5000ms));
    const auto ms = dataFolder() / "ms";
    std::filesystem::create_directories(ms);
    const auto mine = mouseProfile(5);
    const auto theGames = mouseProfile(99);
    for (const auto& [name, bytes] : {std::pair{"profile1", mine}, std::pair{"game", theGames}}) {
        std::ofstream out(ms / (std::string(name) + ".config"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    const auto ini = ms / "msProfile.ini";
    ASSERT_TRUE(iniWrite(ini, "PROFILEDEVICECOUNT", "count", "2"));
    ASSERT_TRUE(iniWrite(ini, "PROFILEDEVICESELECT", "select", "0"));
    ASSERT_TRUE(iniWrite(ini, "PROFILEDEVICENAME", "0", "profile1"));
    ASSERT_TRUE(iniWrite(ini, "PROFILEDEVICENAME", "1", "game"));
    ASSERT_TRUE(iniWrite(ini, "PROFILELIKEDEVICEEXE", "0", "0"));
    ASSERT_TRUE(iniWrite(ini, "PROFILELIKEDEVICEEXE", "1", "1"));
    ASSERT_TRUE(iniWrite(ini, "DEVICEPROCESS", "1", gameExe));

    start({"--hidden"});
    ASSERT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "0"))
        << program.output();

    Display* x = XOpenDisplay(display.name().c_str());
    ASSERT_NE(x, nullptr);
    const Window w = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 300, 200, 0, 0, 0);
    const long pid = game;
    XChangeProperty(x, w, XInternAtom(x, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XMapRaised(x, w);
    XSync(x, False);
    ASSERT_TRUE(test::xdotool(display.name(), {"windowfocus", std::to_string(w)}));
    EXPECT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "1", 15000ms))
        << program.output();
    EXPECT_TRUE(waitFor(
        [&] {
            return dump("records", 0, kMouseRecord) == hex(theGames, kHeader + 512, kMouseRecord);
        },
        10000ms));
    EXPECT_FALSE(windowShown());
    XCloseDisplay(x);
    test::endChild(game);
}

#endif

TEST_F(DesktopProgramTest, ADataFolderThatCannotBeWrittenIsSaidOnceAndTheMouseStillWorks) {
    start();
    ASSERT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "0"))
        << program.output();
    ASSERT_EQ(automation.request("check ms_tab 1"), "ok");
    ASSERT_EQ(automation.request("check ms_rich_Op_tab 1"), "ok");
    ASSERT_EQ(automation.request("idle"), "ok");
    ASSERT_EQ(automation.request("get - messages").rfind("ok", 0), 0u);
    const auto profile = dataFolder() / "ms" / "profile1.config";
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(profile); }, 10000ms));
    const std::string before = test::readRaw(profile);

    test::ReadOnlyFolder readOnly(dataFolder() / "ms");
    if (!readOnly.ok()) {
        GTEST_SKIP() << "this user writes into read-only folders";
    }
    // One box (answered here, so that it does not wait on the screen); a
    // second would wait for an answer and hold the requests below up.
    ASSERT_EQ(automation.request("answer message 1"), "ok");
    ASSERT_EQ(automation.request("slide ms_DPI2_slider 20"), "ok");
    ASSERT_TRUE(waitFor([&] { return dump("records", 16, 1) == "15"; }, 5000ms));
    ASSERT_EQ(automation.request("slide ms_DPI2_slider 30"), "ok");
    ASSERT_TRUE(waitFor([&] { return dump("records", 16, 1) == "1f"; }, 5000ms));
    ASSERT_EQ(automation.request("idle"), "ok");
    const std::string shown = automation.request("get - messages", 5000ms);
    EXPECT_EQ(shown.rfind("ok The data folder cannot be written", 0), 0u) << shown;
    EXPECT_NE(shown.find((dataFolder() / "ms").string()), std::string::npos) << shown;
    EXPECT_EQ(shown.find("cannot be written", shown.find("cannot be written") + 1),
              std::string::npos)
        << "said twice: " << shown;
    EXPECT_TRUE(program.running());
    readOnly.restore();
    EXPECT_EQ(test::readRaw(profile), before);
}

}  // namespace
}  // namespace rxt::e2e
