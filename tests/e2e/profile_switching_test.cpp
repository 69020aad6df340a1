// Profiles in the real program under its own X server, with the simulator's
// devices: changes land in the selected profile file, selecting a profile
// sends it to the device, and a linked program brought to the front switches
// the mouse device profile and back.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/ini_file.h"
#include "support/e2e_harness.h"
#include "support/test_folder.h"
#include "support/xvfb_display.h"

#if __has_include(<X11/Xlib.h>)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#define RXT_E2E_X11 1
#endif

namespace rxt::e2e {
namespace {

constexpr size_t kHeader = 16;
constexpr size_t kMouseDevicePayload = 576;  // key bank 0 (512), stored record (64)
constexpr size_t kMouseBank = 126;
constexpr size_t kMouseRecord = 52;

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

// A mouse device profile file of our own making: a key bank and a record
// that no default holds.
std::vector<uint8_t> craftedMouseProfile(uint8_t seed) {
    std::vector<uint8_t> file(kHeader + kMouseDevicePayload, 0);
    file[0] = 0xAA;
    file[1] = 0x55;
    file[4] = 2;
    for (size_t i = 0; i < 512; ++i) {
        file[kHeader + i] = static_cast<uint8_t>(seed + i * 5);
    }
    for (size_t i = 0; i < 64; ++i) {
        file[kHeader + 512 + i] = static_cast<uint8_t>(seed * 3 + i);
    }
    file[kHeader + 512] = 0;       // on-board profile index 0
    file[kHeader + 512 + 19] = 3;  // active DPI level within the seven
    return file;
}

class ProfileProgramTest : public ::testing::Test {
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

    // The device holds this profile's key bank and record.
    bool deviceHolds(const std::vector<uint8_t>& file, std::chrono::milliseconds bound = 10000ms) {
        return waitFor(
            [&] {
                return dump("banks", 0, kMouseBank) == hex(file, kHeader, kMouseBank) &&
                       dump("records", 0, kMouseRecord) == hex(file, kHeader + 512, kMouseRecord);
            },
            bound);
    }

    std::filesystem::path mouseFolder() const {
        return dir.path() / "Documents" / "RX-T7100 GamingMouse" / "ms";
    }
    std::string remembered() const {
        return iniRead(mouseFolder() / "msProfile.ini", "PROFILEDEVICESELECT", "select", "");
    }

    test::TempFolder dir;
    VirtualDisplay display;
    Child simulator;
    Child program;
    LineClient control;
    LineClient automation;
    std::string bus;
};

TEST_F(ProfileProgramTest, ChangesLandInTheSelectedFileAndSelectingSendsTheProfile) {
    const auto profile1 = mouseFolder() / "profile1.config";
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(profile1); }, 10000ms));

    // A second entry, selected and remembered.
    ASSERT_EQ(automation.request("click ms_profile_fun_spread_btn"), "ok");
    ASSERT_EQ(automation.request("click ms_pro_device_add_btn"), "ok");
    ASSERT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "1"));
    // The add sends the new entry to the device: let it finish first.
    ASSERT_TRUE(waitForQuietDevice(control, "mouse"));
    EXPECT_TRUE(waitFor([&] { return remembered() == "1"; }, 5000ms));
    const auto profile2 = mouseFolder() / "profile2.config";
    const auto before1 = readFile(profile1);

    // The user presses the mouse's DPI button: the device's change is read
    // back and kept in the remembered entry's file, not in the other.
    EXPECT_EQ(control.request("action mouse dpi 5").rfind("ok", 0), 0u);
    EXPECT_TRUE(waitFor(
        [&] {
            const auto p2 = readFile(profile2);
            return p2.size() == kHeader + kMouseDevicePayload && p2[kHeader + 512 + 19] == 5;
        },
        15000ms))
        << program.output();
    EXPECT_EQ(readFile(profile1), before1);

    // A change made on the page, the reset of the lighting profile: the
    // lighting record lands in the remembered device entry's file too.
    const auto lightingDefault = readFile(binDir() + "/defaults/msdengdefault.led");
    ASSERT_GE(lightingDefault.size(), kHeader + kMouseRecord);
    ASSERT_EQ(automation.request("click ms_pro_deng_reset_btn"), "ok");
    EXPECT_TRUE(waitFor(
        [&] {
            return hex(readFile(profile2), kHeader + 512, kMouseRecord) ==
                   hex(lightingDefault, kHeader, kMouseRecord);
        },
        10000ms));
    EXPECT_EQ(readFile(profile1), before1);

    // A profile imported from a file becomes a new entry and goes to the device.
    const auto crafted = craftedMouseProfile(17);
    {
        std::ofstream out(dir / "crafted.config", std::ios::binary);
        out.write(reinterpret_cast<const char*>(crafted.data()),
                  static_cast<std::streamsize>(crafted.size()));
    }
    ASSERT_EQ(automation.request("answer open " + (dir / "crafted.config").string()), "ok");
    ASSERT_EQ(automation.request("click ms_pro_device_import_btn"), "ok");
    ASSERT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "2"));
    EXPECT_TRUE(deviceHolds(crafted)) << program.output();

    // Choosing profile1 again sends profile1's bank and record.
    ASSERT_EQ(automation.request("select ms_device_profile_combo 0"), "ok");
    EXPECT_EQ(remembered(), "0");
    EXPECT_TRUE(deviceHolds(readFile(profile1)));
}

#ifdef RXT_E2E_X11

// Windows on the test's X server that claim a process.
class TestWindows {
  public:
    explicit TestWindows(const std::string& name) : display_(XOpenDisplay(name.c_str())) {}
    ~TestWindows() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    bool ok() const { return display_ != nullptr; }

    unsigned long make(pid_t pid) {
        const Window w =
            XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 300, 200, 0, 0, 0);
        const long value = pid;
        XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&value), 1);
        XMapRaised(display_, w);
        XSync(display_, False);
        return w;
    }

  private:
    Display* display_;
};

TEST_F(ProfileProgramTest, ALinkedProgramInFrontSwitchesTheMouseProfileAndBack) {
    const auto profile1 = mouseFolder() / "profile1.config";
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(profile1); }, 10000ms));
    // The linked program: a process of ours whose window we make.
    const pid_t game = test::spawnQuiet({"sleep", "300"});
    ASSERT_GT(game, 0);
    std::string gameExe;
    ASSERT_TRUE(waitFor(
        [&] {
            char buf[4096];
            const std::string link = "/proc/" + std::to_string(game) + "/exe";
            const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
            if (n <= 0) {
                return false;
            }
            gameExe.assign(buf, static_cast<size_t>(n));
            return gameExe.find("sleep") != std::string::npos;
        },
        5000ms));

    // Entry 1, imported, is linked to the game; entry 0 is the user's choice.
    const auto crafted = craftedMouseProfile(99);
    {
        std::ofstream out(dir / "game.config", std::ios::binary);
        out.write(reinterpret_cast<const char*>(crafted.data()),
                  static_cast<std::streamsize>(crafted.size()));
    }
    ASSERT_EQ(automation.request("click ms_profile_fun_spread_btn"), "ok");
    ASSERT_EQ(automation.request("answer open " + (dir / "game.config").string()), "ok");
    ASSERT_EQ(automation.request("click ms_pro_device_import_btn"), "ok");
    ASSERT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "1"));
    ASSERT_EQ(automation.request("answer open " + gameExe), "ok");
    ASSERT_EQ(automation.request("check ms_device_profile_link_check 1"), "ok");
    EXPECT_EQ(automation.request("get ms_device_profile_link_edit text"),
              "ok " + std::filesystem::path(gameExe).filename().string());
    ASSERT_EQ(automation.request("select ms_device_profile_combo 0"), "ok");
    EXPECT_TRUE(deviceHolds(readFile(profile1)));

    TestWindows windows(display.name());
    ASSERT_TRUE(windows.ok());
    const unsigned long gameWindow = windows.make(game);
    const unsigned long otherWindow = windows.make(::getpid());

    // In front: within one pass (about two seconds) the game's entry.
    const auto focused = Clock::now();
    ASSERT_TRUE(test::xdotool(display.name(), {"windowfocus", std::to_string(gameWindow)}));
    EXPECT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "1", 15000ms))
        << program.output();
    const auto switched = Clock::now();
    std::printf(
        "switched %lld ms after the focus moved\n",
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(switched - focused).count()));
    EXPECT_TRUE(deviceHolds(crafted));
    // The user's choice stays remembered.
    EXPECT_TRUE(waitFor([&] { return remembered() == "0"; }, 5000ms));

    // Another program in front: back to the user's choice.
    ASSERT_TRUE(test::xdotool(display.name(), {"windowfocus", std::to_string(otherWindow)}));
    EXPECT_TRUE(waitForControl(automation, "ms_device_profile_combo", "index", "0", 15000ms));
    EXPECT_TRUE(deviceHolds(readFile(profile1)));
    EXPECT_EQ(remembered(), "0");
    test::endChild(game);
}

#endif

}  // namespace
}  // namespace rxt::e2e
