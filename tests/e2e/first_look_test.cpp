// What a new user sees first, on the real program under its own X server:
// the window carries the program's icon, a colour of the skin chooser
// paints the window's background, and the profile panel closes on Esc and
// on a press outside it.

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>

#include "support/e2e_harness.h"
#include "support/test_folder.h"

namespace rxt::e2e {
namespace {

constexpr const char* kTitle = "RX-T7100 GamingMouse";

class FirstLookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool", "xprop"}) {
            if (!programOnPath(tool)) {
                GTEST_SKIP() << tool << " is not installed (scripts/setup installs it)";
            }
        }
        ASSERT_TRUE(display.start()) << "no free display for Xvfb";
        makeProgramHome(dir.path());
        const std::map<std::string, std::string> env =
            programEnvironment(dir.path(), display.name());
        ASSERT_TRUE(program.start(
            {binDir() + "/rxt-config", "--virtual", "--automation", (dir / "auto.sock").string()},
            env, dir / "program.log"));
        ASSERT_TRUE(waitFor([&] { return !mainWindow().empty() || !program.running(); }, 30000ms))
            << program.output();
        ASSERT_TRUE(automation.connect(dir / "auto.sock", 10000ms)) << program.output();
        ASSERT_TRUE(waitForControl(automation, "ms_tab_panel", "visible", "1")) << program.output();
    }

    std::string x(const std::string& command) const {
        return capture("DISPLAY=" + display.name() + " " + command + " 2>/dev/null");
    }

    std::string mainWindow() const {
        const std::string out =
            x(std::string("xdotool search --onlyvisible --name '^") + kTitle + "$'");
        return out.substr(0, out.find('\n'));
    }

    // The colour at (x, y) of the window as painted on the screen, "#rrggbb"
    // (empty when no picture could be taken).
    std::string pixel(int x, int y) const {
        const auto path = dir / "window.ppm";
        std::filesystem::remove(path);
        capture("DISPLAY=" + display.name() + " " + binDir() + "/rxt-grab " + mainWindow() + " " +
                path.string() + " >/dev/null 2>&1");
        std::ifstream in(path, std::ios::binary);
        std::string magic;
        int width = 0, height = 0, depth = 0;
        in >> magic >> width >> height >> depth;
        in.get();
        if (magic != "P6" || x >= width || y >= height || depth != 255) {
            return {};
        }
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        const size_t at = 3 * (static_cast<size_t>(y) * width + x);
        if (bytes.size() < at + 3) {
            return {};
        }
        char text[8];
        std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<unsigned char>(bytes[at]),
                      static_cast<unsigned char>(bytes[at + 1]),
                      static_cast<unsigned char>(bytes[at + 2]));
        return text;
    }

    test::TempFolder dir;
    VirtualDisplay display;
    Child program;
    LineClient automation;
};

TEST_F(FirstLookTest, TheWindowCarriesTheProgramsIcon) {
    const std::string icon = x("xprop -id " + mainWindow() + " _NET_WM_ICON");
    ASSERT_NE(icon.find("_NET_WM_ICON(CARDINAL) = "), std::string::npos) << icon;
    // xprop draws the pictures it finds: one at least, of a real size, with
    // something in it.
    const size_t at = icon.find("Icon (");
    ASSERT_NE(at, std::string::npos) << icon.substr(0, 200);
    EXPECT_EQ(icon.find("Icon (0 x"), std::string::npos);
    EXPECT_NE(icon.find_first_not_of(" \t\n", icon.find('\n', at)), std::string::npos);
}

TEST_F(FirstLookTest, AColourSwatchPaintsTheWindowsBackground) {
    // A spot of the window that no page covers: the background shows there.
    const int x = 400, y = 560;
    // The first picture may come before the window is drawn on a busy machine.
    std::string before;
    ASSERT_TRUE(waitFor(
        [&] {
            before = pixel(x, y);
            return !before.empty();
        },
        15000ms));
    ASSERT_EQ(automation.request("click skinbtn"), "ok");
    ASSERT_EQ(automation.request("check skin_color 1"), "ok");
    ASSERT_EQ(automation.request("click skin_color_btn_4"), "ok");  // #4A1919
    EXPECT_EQ(automation.request("get root color"), "ok FF4A1919");
    std::string painted;
    EXPECT_TRUE(waitFor(
        [&] {
            painted = pixel(x, y);
            return painted == "#4a1919";
        },
        10000ms))
        << "painted " << painted << ", before " << before;
    // Another swatch, another colour.
    ASSERT_EQ(automation.request("click skin_color_btn_1"), "ok");  // #13294A
    EXPECT_TRUE(waitFor([&] { return pixel(x, y) == "#13294a"; }, 10000ms));
}

TEST_F(FirstLookTest, TheProfilePanelClosesOnEscAndOnAPressOutside) {
    const std::string window = mainWindow();
    ASSERT_EQ(automation.request("check kb_tab 1"), "ok");
    ASSERT_EQ(automation.request("check ms_tab 1"), "ok");
    ASSERT_TRUE(waitForControl(automation, "tab_switch", "index", "1"));
    ASSERT_TRUE(test::xdotool(display.name(), {"windowfocus", "--sync", window}));
    ASSERT_EQ(automation.request("click ms_profile_fun_spread_btn"), "ok");
    ASSERT_TRUE(waitForControl(automation, "ms_profile_fun_spead_tab", "visible", "1"));
    ASSERT_TRUE(test::xdotool(display.name(), {"key", "Escape"}));
    EXPECT_TRUE(waitForControl(automation, "ms_profile_fun_spead_tab", "visible", "0"))
        << program.output();
    // The window stays: Esc only closed the panel.
    EXPECT_EQ(mainWindow(), window);

    ASSERT_EQ(automation.request("click ms_profile_fun_spread_btn"), "ok");
    ASSERT_TRUE(waitForControl(automation, "ms_profile_fun_spead_tab", "visible", "1"));
    ASSERT_TRUE(test::xdotool(display.name(),
                              {"mousemove", "--window", window, "400", "560", "click", "1"}));
    EXPECT_TRUE(waitForControl(automation, "ms_profile_fun_spead_tab", "visible", "0"));

    // A page switch closes it too.
    ASSERT_EQ(automation.request("click ms_profile_fun_spread_btn"), "ok");
    ASSERT_TRUE(waitForControl(automation, "ms_profile_fun_spead_tab", "visible", "1"));
    ASSERT_EQ(automation.request("check kb_tab 1"), "ok");
    ASSERT_TRUE(waitForControl(automation, "tab_switch", "index", "0"));
    EXPECT_TRUE(waitForControl(automation, "ms_profile_fun_spead_tab", "visible", "0"));
}

}  // namespace
}  // namespace rxt::e2e
