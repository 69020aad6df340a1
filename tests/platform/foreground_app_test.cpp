#include "platform/foreground_app.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "support/xvfb_display.h"

#if __has_include(<X11/Xlib.h>)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#define RXT_TEST_X11 1
#endif

namespace rxt {
namespace {

using namespace std::chrono_literals;

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds bound = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::string canonical(const std::string& path) {
    std::error_code ec;
    auto p = std::filesystem::canonical(path, ec);
    return ec ? path : p.string();
}

// Sets an environment variable for one scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(ProcessExecutable, ReadsTheExecutableOfLiveProcessesOnly) {
    EXPECT_EQ(processExecutable(::getpid()), canonical("/proc/self/exe"));
    EXPECT_FALSE(processExecutable(0));
    EXPECT_FALSE(processExecutable(-1));
    // A pid that has ended.
    const pid_t child = test::spawnQuiet({"true"});
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(processExecutable(child));
}

TEST(ProcessExecutable, AProgramReplacedWhileRunningKeepsItsPath) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("rxt-fg-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto copy = dir / "linked-game";
    std::filesystem::copy_file(canonical("/bin/sleep"), copy,
                               std::filesystem::copy_options::overwrite_existing);
    const pid_t child = test::spawnQuiet({copy.string(), "30"});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(eventually([&] { return processExecutable(child) == copy.string(); }));
    std::filesystem::remove(copy);
    EXPECT_EQ(processExecutable(child), copy.string());
    test::endChild(child);
    std::filesystem::remove_all(dir);
}

TEST(ForegroundAppFactory, WaylandSessionsAndMissingDisplaysAreNotAvailable) {
    {
        ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-0");
        auto app = makeForegroundApp();
        EXPECT_FALSE(app->available());
        EXPECT_NE(app->description().find("Wayland"), std::string::npos);
        EXPECT_FALSE(app->programPath());
    }
    {
        ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
        ScopedEnv session("XDG_SESSION_TYPE", "wayland");
        EXPECT_FALSE(makeForegroundApp()->available());
    }
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv session("XDG_SESSION_TYPE", nullptr);
    ScopedEnv display("DISPLAY", ":4711");
    std::string error;
    EXPECT_EQ(makeX11ForegroundApp({}, &error), nullptr);
    EXPECT_FALSE(error.empty());
    auto app = makeForegroundApp();
    EXPECT_FALSE(app->available());
    EXPECT_FALSE(app->programPath());
}

#ifdef RXT_TEST_X11

// The X server and a connection of the test's own that makes the windows.
class ForegroundX11 : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::XvfbDisplay::installed()) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        name_ = xvfb_.start();
        ASSERT_FALSE(name_.empty()) << "Xvfb did not start";
        display_ = XOpenDisplay(name_.c_str());
        ASSERT_NE(display_, nullptr);
        std::string error;
        app_ = makeX11ForegroundApp(name_, &error);
        ASSERT_NE(app_, nullptr) << error;
        sleeper_ = test::spawnQuiet({"sleep", "60"});
        ASSERT_GT(sleeper_, 0);
        ASSERT_TRUE(eventually([&] { return processExecutable(sleeper_).has_value(); }));
        sleeperExe_ = *processExecutable(sleeper_);
    }

    void TearDown() override {
        app_.reset();
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
        test::endChild(sleeper_);
    }

    Window makeWindow(Window parent, std::optional<pid_t> pid) {
        const Window w = XCreateSimpleWindow(display_, parent, 10, 10, 200, 100, 0, 0, 0);
        if (pid) {
            const long value = *pid;
            XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL,
                            32, PropModeReplace, reinterpret_cast<const unsigned char*>(&value), 1);
        }
        XMapWindow(display_, w);
        XSync(display_, False);
        return w;
    }

    bool mapped(Window w) {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display_, w, &attributes) != 0 &&
               attributes.map_state == IsViewable;
    }

    void focus(Window w) {
        ASSERT_TRUE(eventually([&] { return mapped(w); }));
        ASSERT_TRUE(test::xdotool(name_, {"windowfocus", std::to_string(w)}));
    }

    void setActiveWindow(Window w) {
        const long value = static_cast<long>(w);
        XChangeProperty(display_, DefaultRootWindow(display_),
                        XInternAtom(display_, "_NET_ACTIVE_WINDOW", False), XA_WINDOW, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&value), 1);
        XSync(display_, False);
    }

    bool shows(const std::optional<std::string>& expected) {
        return eventually([&] { return app_->programPath() == expected; });
    }

    test::XvfbDisplay xvfb_;
    std::string name_;
    Display* display_ = nullptr;
    std::unique_ptr<ForegroundApp> app_;
    pid_t sleeper_ = -1;
    std::string sleeperExe_;
};

TEST_F(ForegroundX11, FocusedWindowGivesTheExecutableOfTheProcessItNames) {
    EXPECT_TRUE(app_->available());
    // A fresh server has no focused window.
    EXPECT_FALSE(app_->programPath());

    const Window game = makeWindow(DefaultRootWindow(display_), sleeper_);
    const Window own = makeWindow(DefaultRootWindow(display_), ::getpid());
    focus(game);
    EXPECT_TRUE(shows(sleeperExe_));
    focus(own);
    EXPECT_TRUE(shows(canonical("/proc/self/exe")));
    focus(game);
    EXPECT_TRUE(shows(sleeperExe_));
}

TEST_F(ForegroundX11, FocusInsideAWindowIsTracedToItsTopLevelProcess) {
    const Window top = makeWindow(DefaultRootWindow(display_), sleeper_);
    const Window inner = makeWindow(top, std::nullopt);
    const Window innermost = makeWindow(inner, std::nullopt);
    focus(innermost);
    EXPECT_TRUE(shows(sleeperExe_));
}

TEST_F(ForegroundX11, WindowsWithoutAProcessIdOrGoneGiveNothing) {
    const Window anonymous = makeWindow(DefaultRootWindow(display_), std::nullopt);
    focus(anonymous);
    EXPECT_TRUE(shows(std::nullopt));

    // A process id of a process that no longer runs.
    const pid_t ended = test::spawnQuiet({"true"});
    ASSERT_GT(ended, 0);
    ::waitpid(ended, nullptr, 0);
    const Window stale = makeWindow(DefaultRootWindow(display_), ended);
    focus(stale);
    EXPECT_TRUE(shows(std::nullopt));

    const Window game = makeWindow(DefaultRootWindow(display_), sleeper_);
    focus(game);
    ASSERT_TRUE(shows(sleeperExe_));
    // The focused window closes: the server moves the focus back to the root.
    XDestroyWindow(display_, game);
    XSync(display_, False);
    EXPECT_TRUE(shows(std::nullopt));
}

TEST_F(ForegroundX11, ActiveWindowOfTheWindowManagerWinsOverTheFocus) {
    const Window own = makeWindow(DefaultRootWindow(display_), ::getpid());
    focus(own);
    ASSERT_TRUE(shows(canonical("/proc/self/exe")));

    // A reparenting window manager: the frame has no pid, its client has.
    const Window frame = makeWindow(DefaultRootWindow(display_), std::nullopt);
    makeWindow(frame, sleeper_);
    setActiveWindow(frame);
    EXPECT_TRUE(shows(sleeperExe_));

    // An active window that no longer exists: the focus is used, and the
    // protocol error does not end the process.
    const Window gone = makeWindow(DefaultRootWindow(display_), sleeper_);
    setActiveWindow(gone);
    XDestroyWindow(display_, gone);
    XSync(display_, False);
    EXPECT_TRUE(shows(canonical("/proc/self/exe")));
}

TEST_F(ForegroundX11, ServerGoingAwayIsSurvived) {
    const Window game = makeWindow(DefaultRootWindow(display_), sleeper_);
    focus(game);
    ASSERT_TRUE(shows(sleeperExe_));
    XCloseDisplay(display_);
    display_ = nullptr;
    xvfb_.stop();
    EXPECT_FALSE(app_->programPath());
    EXPECT_FALSE(app_->programPath());
}

TEST_F(ForegroundX11, UsableFromSeveralThreadsAtOnce) {
    const Window game = makeWindow(DefaultRootWindow(display_), sleeper_);
    focus(game);
    ASSERT_TRUE(shows(sleeperExe_));
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                if (app_->programPath() != sleeperExe_) {
                    ++wrong;
                }
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}

#endif

}  // namespace
}  // namespace rxt
