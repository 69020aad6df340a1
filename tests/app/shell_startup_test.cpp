#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "app/shell/startup.h"
#include "platform/single_instance.h"
#include "support/shell_fixture.h"

namespace rxt::shell {
namespace {

using namespace std::chrono_literals;

class StartupTest : public ::testing::Test {
  protected:
    StartupOptions options() {
        StartupOptions o;
        o.runtimeFolder = home.path();
        o.window.backend = bus;
        o.window.watchBus = false;
        o.window.discovery = false;
        o.window.initSettle = 0ms;
        o.makeUi = [this] {
            ++uisMade;
            auto made = std::make_unique<ui::MemoryUi>(test::projectSkinFolder());
            memory = made.get();
            return made;
        };
        return o;
    }

    test::ShellHome home;
    std::shared_ptr<test::FakeHidBackend> bus = std::make_shared<test::FakeHidBackend>();
    int uisMade = 0;
    ui::MemoryUi* memory = nullptr;
    bool activationShown = false;
};

TEST_F(StartupTest, SecondInstanceMakesNoWindowAndActivatesTheFirst) {
    // The first instance: its lock and its activation socket.
    InstanceLock first;
    ASSERT_EQ(first.acquire(home.path()), InstanceLock::Result::Acquired);
    std::atomic<int> activations{0};
    ActivationListener listener;
    ASSERT_TRUE(listener.start(home.path(), [&] { ++activations; }));

    const StartupResult second = runProgram(options());
    EXPECT_TRUE(second.secondInstance);
    EXPECT_TRUE(second.activationDelivered);
    EXPECT_EQ(second.code, 0);
    EXPECT_EQ(uisMade, 0);
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (activations.load() == 0 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(activations.load(), 1);
}

TEST_F(StartupTest, FirstInstanceRunsTheWindowAndHearsASecondStart) {
    StartupOptions o = options();
    bool sawWindow = false;
    std::function<void(int)> step;
    o.onWindow = [&](ui::SkinUi& ui, CMainWnd& window) {
        sawWindow = true;
        EXPECT_TRUE(ui.windowVisible());
        // A second start while this one runs: this window reacts on its loop.
        std::thread([this] { EXPECT_TRUE(sendActivation(home.path())); }).join();
        // Once the activation has been handled (no device: the box), the
        // user leaves through the tray menu.
        step = [this, &ui, &step](int tries) {
            if (memory->takeShownMessages().empty() && tries > 0) {
                std::this_thread::sleep_for(5ms);
                ui.post([&step, tries] { step(tries - 1); });
                return;
            }
            activationShown = tries > 0;
            ASSERT_TRUE(ui.userTray(false));
            ASSERT_TRUE(ui.userMenu("exit"));
        };
        ui.post([&step] { step(400); });
        (void)window;
    };
    const StartupResult result = runProgram(o);
    EXPECT_TRUE(sawWindow);
    EXPECT_TRUE(activationShown);
    EXPECT_FALSE(result.secondInstance);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.abandonedWorkers, 0u);
    EXPECT_EQ(uisMade, 1);
    // The lock is free again, and the socket gone.
    InstanceLock again;
    EXPECT_EQ(again.acquire(home.path()), InstanceLock::Result::Acquired);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "ORMELANE_004"));
}

TEST_F(StartupTest, MissingSkinIsReportedNotRun) {
    StartupOptions o = options();
    o.makeUi = [] { return std::make_unique<ui::MemoryUi>("/nonexistent/skin"); };
    const StartupResult result = runProgram(o);
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.error.find("skin"), std::string::npos);
}

TEST_F(StartupTest, FailedPreparationEndsTheStartWithItsReason) {
    StartupOptions o = options();
    o.prepare = [](std::string& error) {
        error = "no bus";
        return false;
    };
    const StartupResult result = runProgram(o);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.error, "no bus");
    EXPECT_EQ(uisMade, 0);
}

}  // namespace
}  // namespace rxt::shell
