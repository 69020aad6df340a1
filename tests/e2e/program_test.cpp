// The real program under its own X server, driven through its automation
// socket, with the devices of the simulator.

#include <gtest/gtest.h>

#include "support/e2e_harness.h"
#include "support/test_folder.h"

namespace rxt::e2e {
namespace {

constexpr const char* kTitle = "RX-T7100 GamingMouse";

class ProgramTest : public ::testing::Test {
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
    }

    std::map<std::string, std::string> env() const {
        return programEnvironment(dir.path(), display.name());
    }

    bool startProgram(Child& child, std::vector<std::string> args, const std::string& log) {
        std::vector<std::string> argv{binDir() + "/rxt-config"};
        argv.insert(argv.end(), args.begin(), args.end());
        return child.start(argv, env(), dir / log);
    }

    // Window ids of the program's visible top-level windows.
    std::vector<std::string> visibleWindows() const {
        const std::string out =
            capture("DISPLAY=" + display.name() + " xdotool search --onlyvisible --name '" +
                    kTitle + "' 2>/dev/null");
        std::vector<std::string> ids;
        std::stringstream lines(out);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty()) {
                ids.push_back(line);
            }
        }
        return ids;
    }

    std::string geometry(const std::string& window) const {
        const std::string out = capture("DISPLAY=" + display.name() +
                                        " xdotool getwindowgeometry " + window + " 2>/dev/null");
        const size_t at = out.find("Geometry: ");
        return at == std::string::npos ? std::string()
                                       : out.substr(at + 10, out.find('\n', at) - at - 10);
    }

    // Waits until the control's property reads as expected.

    test::TempFolder dir;
    VirtualDisplay display;
};

TEST_F(ProgramTest, StartsWithItsDevicesShowingTheirTabsAndExitsFromTheTrayMenu) {
    Child program;
    const auto started = Clock::now();
    ASSERT_TRUE(startProgram(program, {"--virtual", "--automation", (dir / "auto.sock").string()},
                             "program.log"));
    ASSERT_TRUE(
        waitFor([&] { return visibleWindows().size() == 1 || !program.running(); }, 30000ms))
        << program.output();
    ASSERT_TRUE(program.running()) << program.output();
    const auto shown = Clock::now();
    std::printf(
        "window shown %lld ms after start\n",
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(shown - started).count()));
    EXPECT_EQ(geometry(visibleWindows().front()), "800x572");

    LineClient automation;
    ASSERT_TRUE(automation.connect(dir / "auto.sock", 10000ms)) << program.output();
    for (const char* tab : {"kb_tab", "ms_tab", "mp_tab"}) {
        EXPECT_TRUE(waitForControl(automation, tab, "visible", "1")) << tab;
    }
    EXPECT_TRUE(waitForControl(automation, "ms_tab_panel", "visible", "1"));
    EXPECT_EQ(automation.request("get ani_tab visible"), "ok 0");

    // A second start makes no window of its own and ends at once.
    Child second;
    ASSERT_TRUE(startProgram(second, {"--virtual"}, "second.log"));
    EXPECT_EQ(second.wait(20000ms), 0) << second.output();
    EXPECT_NE(second.output().find("already running"), std::string::npos) << second.output();
    EXPECT_EQ(visibleWindows().size(), 1u);

    // "exit" in the tray menu ends the program, every worker stopped.
    EXPECT_EQ(automation.request("tray right"), "ok");
    EXPECT_EQ(automation.request("menu exit"), "ok");
    const auto code = program.wait(20000ms);
    ASSERT_TRUE(code.has_value()) << "still running\n" << program.output();
    EXPECT_EQ(*code, 0) << program.output();
    const std::string log = program.output();
    EXPECT_NE(log.find("退出测试"), std::string::npos);
    EXPECT_NE(log.find("所有对象处于激发状态"), std::string::npos) << log;
    EXPECT_EQ(log.find("超时"), std::string::npos) << log;
    for (const char* exitText :
         {"键盘设备侦测线程设定退出", "鼠标设备侦测线程设定退出", "鼠标垫设备侦测线程设定退出",
          "鼠标同步线程设定测试退出", "键盘同步线程设定退出", "键盘灯光线程设定退出",
          "鼠标灯光线程设定退出", "鼠标垫灯光线程设定退出", "同步灯光线程设定退出",
          "键盘灯光进程侦测线程设定退出", "键盘按键进程侦测线程设定退出",
          "鼠标灯光进程侦测线程设定退出", "鼠标按键进程线程设定退出",
          "鼠标垫灯光进程侦测线程设定退出"}) {
        EXPECT_NE(log.find(exitText), std::string::npos) << exitText;
    }
}

TEST_F(ProgramTest, UnpluggingTheOnlyDeviceHidesTheWindow) {
    ASSERT_TRUE(std::filesystem::exists(binDir() + "/rxt-sim"));
    Child simulator;
    const std::string bus = (dir / "bus.sock").string();
    ASSERT_TRUE(simulator.start({binDir() + "/rxt-sim", "--socket", bus, "--plug", "mouse"},
                                {{"ASAN_OPTIONS", "detect_leaks=0"}}, dir / "sim.log"));
    LineClient control;
    ASSERT_TRUE(control.connect(bus + ".ctl", 10000ms)) << simulator.output();

    Child program;
    ASSERT_TRUE(startProgram(program,
                             {"--bus", "sim:" + bus, "--automation", (dir / "auto.sock").string()},
                             "program.log"));
    LineClient automation;
    ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
    ASSERT_TRUE(waitForControl(automation, "ms_tab", "visible", "1")) << program.output();
    EXPECT_EQ(automation.request("get kb_tab visible"), "ok 0");
    ASSERT_TRUE(waitFor([&] { return visibleWindows().size() == 1; }, 10000ms));

    EXPECT_EQ(control.request("unplug mouse"), "ok unplugged mouse");
    EXPECT_TRUE(waitFor([&] { return visibleWindows().empty(); }, 10000ms)) << program.output();
    EXPECT_TRUE(waitForControl(automation, "ms_tab", "visible", "0"));
    EXPECT_TRUE(program.running());  // hidden in the tray, not ended

    // Plugged again: the mouse page comes back.
    EXPECT_EQ(control.request("plug mouse").rfind("ok plugged mouse", 0), 0u);
    EXPECT_TRUE(waitForControl(automation, "ms_tab", "visible", "1"));

    EXPECT_EQ(automation.request("quit"), "ok");
    EXPECT_EQ(program.wait(20000ms), 0) << program.output();
}

TEST_F(ProgramTest, StartedBeforeItsBusExistsItFindsTheDevicesOnceTheBusAppears) {
    ASSERT_TRUE(std::filesystem::exists(binDir() + "/rxt-sim"));
    const std::string bus = (dir / "bus.sock").string();
    Child program;
    ASSERT_TRUE(startProgram(program,
                             {"--bus", "sim:" + bus, "--automation", (dir / "auto.sock").string()},
                             "program.log"));
    LineClient automation;
    ASSERT_TRUE(automation.connect(dir / "auto.sock", 30000ms)) << program.output();
    std::this_thread::sleep_for(1500ms);  // passes over a bus that is not there
    EXPECT_EQ(automation.request("get ms_tab visible"), "ok 0");

    Child simulator;
    ASSERT_TRUE(
        simulator.start({binDir() + "/rxt-sim", "--socket", bus, "--plug", "mouse,keyboard"},
                        {{"ASAN_OPTIONS", "detect_leaks=0"}}, dir / "sim.log"));
    EXPECT_TRUE(waitForControl(automation, "ms_tab", "visible", "1")) << program.output();
    EXPECT_TRUE(waitForControl(automation, "kb_tab", "visible", "1")) << program.output();
    EXPECT_TRUE(program.running());

    EXPECT_EQ(automation.request("quit"), "ok");
    EXPECT_EQ(program.wait(20000ms), 0) << program.output();
}

}  // namespace
}  // namespace rxt::e2e
