// The application watchers: which entry a pass shows, what it remembers,
// and how the threads end.

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "app/shell/worker_claims.h"
#include "operations_fixture.h"
#include "platform/debug_log.h"
#include "profile/process_watcher.h"
#include "app/pages/profile/profile_pages.h"

namespace rxt::test {
namespace {

using namespace std::chrono_literals;

// The foreground program as the test sets it; nullopt reads as a failure.
class ScriptedForeground : public ForegroundApp {
  public:
    void set(std::optional<std::string> path) {
        std::lock_guard lock(mutex_);
        path_ = std::move(path);
    }
    std::optional<std::string> programPath() override {
        std::lock_guard lock(mutex_);
        ++reads;
        return path_;
    }
    bool available() const override { return true; }
    std::string description() const override { return "scripted"; }
    std::atomic<int> reads{0};

  private:
    std::mutex mutex_;
    std::optional<std::string> path_;
};

// Runs the watcher's selections straight on the test's thread.
class DirectHost : public WatcherHost {
  public:
    DirectHost(const ProfilePageContext& ctx, ProfileCatalogue catalogue)
        : ctx_(ctx), catalogue_(catalogue) {}
    bool windowAlive() override { return alive; }
    bool hasList() override { return ctx_.ui->hasControl(profileControls(catalogue_).list); }
    int itemCount() override { return ctx_.ui->itemCount(profileControls(catalogue_).list); }
    void selectEntry(int index) override {
        ++selections;
        SelectProfileEntry(ctx_, catalogue_, index);
    }
    std::atomic<bool> alive{true};
    int selections = 0;

  private:
    const ProfilePageContext& ctx_;
    ProfileCatalogue catalogue_;
};

constexpr WatcherTiming kQuick{1ms, 1ms, 5ms, 5ms};

const WatcherSpec& specOf(DeviceKind device, ProfileKind kind) {
    for (const WatcherSpec& watched : processWatchers()) {
        if (watched.device == device && watched.kind == kind) {
            return watched;
        }
    }
    throw std::logic_error("no such watcher");
}

class WatcherTest : public OperationsTest {
  protected:
    void link(const ProfileCatalogue& cat, int index, const std::string& path) {
        cat.WriteLinkFlag(index, true);
        cat.WriteProgramPath(index, path);
    }
    int shown(const ProfileCatalogue& cat) { return ui.currentIndex(profileControls(cat).list); }

    ScriptedForeground foreground;
};

TEST_F(WatcherTest, TheFiveWatchersAreInSlotOrderAndTwoOfThemSwitch) {
    const auto& w = processWatchers();
    ASSERT_EQ(w.size(), 5u);
    EXPECT_EQ(profileControls(w[0].catalogue()).list, "kb_device_profile_combo");
    EXPECT_EQ(profileControls(w[1].catalogue()).list, "kb_key_profile_combo");
    EXPECT_EQ(profileControls(w[2].catalogue()).list, "ms_device_profile_combo");
    EXPECT_EQ(profileControls(w[3].catalogue()).list, "ms_key_profile_combo");
    EXPECT_EQ(profileControls(w[4].catalogue()).list, "mp_deng_profile_combo");
    for (size_t i = 0; i < w.size(); ++i) {
        EXPECT_EQ(w[i].form == WatcherForm::Switching, i == 2 || i == 4) << i;
    }
}

TEST_F(WatcherTest, TheLowestLinkedEntryIsShownWhileTheUsersChoiceStaysRemembered) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"desk", "race", "race too"});
    link(cat, 1, "/opt/games/racer");
    link(cat, 2, "/opt/games/racer");
    pick(cat, 0);
    DirectHost host(ctx, cat);
    ProcessWatcher watcher(specOf(DeviceKind::Mouse, ProfileKind::Device), host, foreground,
                           kQuick);

    foreground.set("/opt/games/racer");
    watcher.pass();
    EXPECT_EQ(shown(cat), 1);
    EXPECT_EQ(cat.ReadSelect(), 0);
    // Saves go to the remembered entry meanwhile.
    EXPECT_TRUE(SaveSelectedProfile(ctx, cat));

    foreground.set("/usr/bin/editor");
    refreshed.clear();
    watcher.pass();
    EXPECT_EQ(shown(cat), 0);
    EXPECT_EQ(cat.ReadSelect(), 0);
    EXPECT_FALSE(refreshed.empty());  // the user's entry is applied again
}

TEST_F(WatcherTest, AChoiceMadeWhileALinkedProgramIsInFrontIsDisplacedButKept) {
    const auto cat = catalogueOf(DeviceKind::Mousepad, ProfileKind::Lighting);
    seed(cat, {"game", "calm", "work"});
    link(cat, 0, "/opt/games/racer");
    DirectHost host(ctx, cat);
    ProcessWatcher watcher(specOf(DeviceKind::Mousepad, ProfileKind::Lighting), host, foreground,
                           kQuick);
    foreground.set("/opt/games/racer");
    watcher.pass();
    EXPECT_EQ(shown(cat), 0);

    pick(cat, 2);  // the user's choice
    EXPECT_EQ(cat.ReadSelect(), 2);
    watcher.pass();
    EXPECT_EQ(shown(cat), 0);
    EXPECT_EQ(cat.ReadSelect(), 2);

    foreground.set("/usr/bin/editor");
    watcher.pass();
    EXPECT_EQ(shown(cat), 2);
    EXPECT_EQ(cat.ReadSelect(), 2);
    const auto records = env.images.mousepad.records.snapshot();
    const auto work = content(cat, "work");
    EXPECT_TRUE(std::equal(work.begin(), work.end(), records.begin()));
}

// The user's pick lands on the UI thread while the watcher waits after its
// own selection; the watcher must not write its stale `select` over it, or
// the next saves would put the picked entry's settings into another file.
class UserPicksWhileWatcherWaits : public DirectHost {
  public:
    using DirectHost::DirectHost;
    void selectEntry(int index) override {
        DirectHost::selectEntry(index);
        if (userPick) {
            userPick();
        }
    }
    std::function<void()> userPick;
};

TEST_F(WatcherTest, AChoiceMadeDuringTheWatchersWaitIsNotOverwritten) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"desk", "race", "work"});
    link(cat, 1, "/opt/games/racer");
    pick(cat, 0);
    UserPicksWhileWatcherWaits host(ctx, cat);
    ProcessWatcher watcher(specOf(DeviceKind::Mouse, ProfileKind::Device), host, foreground,
                           kQuick);

    // No linked program in front: the user's entry 0 is shown; then the user picks 2.
    foreground.set("/usr/bin/editor");
    host.userPick = [&] { pick(cat, 2); };
    watcher.pass();
    EXPECT_EQ(shown(cat), 2);
    EXPECT_EQ(cat.ReadSelect(), 2);
    const std::vector<uint8_t> desk = content(cat, "desk");
    ASSERT_TRUE(SaveSelectedProfile(ctx, cat));
    EXPECT_EQ(content(cat, "desk"), desk);  // the save went to "work"

    // The same while a linked program is in front: the pick is remembered.
    foreground.set("/opt/games/racer");
    host.userPick = [&] { pick(cat, 0); };
    watcher.pass();
    EXPECT_EQ(cat.ReadSelect(), 0);
    host.userPick = nullptr;
    watcher.pass();
    EXPECT_EQ(shown(cat), 1);
    EXPECT_EQ(cat.ReadSelect(), 0);
}

TEST_F(WatcherTest, TheWholePathIsComparedWithoutRegardToCase) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"desk", "race"});
    link(cat, 1, "/opt/Games/Racer");
    pick(cat, 0);
    DirectHost host(ctx, cat);
    ProcessWatcher watcher(specOf(DeviceKind::Mouse, ProfileKind::Device), host, foreground,
                           kQuick);
    foreground.set("/usr/bin/racer");  // same file name, another program
    watcher.pass();
    EXPECT_EQ(shown(cat), 0);
    foreground.set("/OPT/games/RACER");
    watcher.pass();
    EXPECT_EQ(shown(cat), 1);
    // An unlinked entry never matches, whatever path it keeps.
    cat.WriteLinkFlag(1, false);
    watcher.pass();
    EXPECT_EQ(shown(cat), 0);
}

TEST_F(WatcherTest, AnUnreadableForegroundKeepsThePreviousProgram) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"desk", "race"});
    link(cat, 1, "/opt/games/racer");
    pick(cat, 0);
    DirectHost host(ctx, cat);
    ProcessWatcher watcher(specOf(DeviceKind::Mouse, ProfileKind::Device), host, foreground,
                           kQuick);
    watcher.pass();  // nothing read yet: the remembered entry
    EXPECT_EQ(shown(cat), 0);
    foreground.set("/opt/games/racer");
    watcher.pass();
    foreground.set(std::nullopt);
    watcher.pass();
    EXPECT_EQ(shown(cat), 1);
    EXPECT_EQ(watcher.foregroundPath(), "/opt/games/racer");
}

TEST_F(WatcherTest, TheFirstPassSelectsTheRememberedEntryWithNoDeviceAttached) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"a", "b"});
    cat.WriteSelect(1);
    ASSERT_EQ(shown(cat), -1);
    DirectHost host(ctx, cat);
    ProcessWatcher watcher(specOf(DeviceKind::Mouse, ProfileKind::Device), host, foreground,
                           kQuick);
    watcher.pass();
    EXPECT_EQ(shown(cat), 1);
    EXPECT_EQ(ui.text(profileControls(cat).nameEdit), "b");
    // Shown already: a second pass applies nothing again.
    refreshed.clear();
    watcher.pass();
    EXPECT_TRUE(refreshed.empty());
}

TEST_F(WatcherTest, ReadingWatchersSelectAndWriteNothing) {
    for (const auto& [device, kind] : {std::pair{DeviceKind::Mouse, ProfileKind::Key},
                                       std::pair{DeviceKind::Keyboard, ProfileKind::Device},
                                       std::pair{DeviceKind::Keyboard, ProfileKind::Key}}) {
        const auto cat = catalogueOf(device, kind);
        seed(cat, {"a", "b"});
        link(cat, 0, "/opt/games/racer");
        cat.WriteSelect(1);
        DirectHost host(ctx, cat);
        ProcessWatcher watcher(specOf(device, kind), host, foreground, kQuick);
        foreground.set("/opt/games/racer");
        watcher.pass();
        EXPECT_EQ(shown(cat), -1);
        EXPECT_EQ(host.selections, 0);
        EXPECT_EQ(cat.ReadSelect(), 1);
        EXPECT_EQ(watcher.foregroundPath(), "/opt/games/racer");
    }
}

TEST_F(WatcherTest, RunEndsOnItsStopEventWithItsExitTextAndWhenTheWindowGoes) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Key);
    seed(cat, {"a"});
    DirectHost host(ctx, cat);
    // A pause far longer than the test: only the stop event can end it.
    WatcherTiming slow = kQuick;
    slow.readingPause = 60s;
    ProcessWatcher watcher(specOf(DeviceKind::Mouse, ProfileKind::Key), host, foreground, slow);
    StopEvent stop;
    setDebugLogEnabled(true);
    ::testing::internal::CaptureStderr();
    std::thread thread([&] { watcher.run(stop, "mouse key watcher ends"); });
    while (foreground.reads.load() == 0) {
        std::this_thread::sleep_for(1ms);
    }
    const auto signalled = std::chrono::steady_clock::now();
    stop.set();
    thread.join();
    const std::string log = ::testing::internal::GetCapturedStderr();
    setDebugLogEnabled(false);
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, 10s);
    EXPECT_NE(log.find("mouse key watcher ends"), std::string::npos);

    // The window gone: the thread ends by itself.
    StopEvent never;
    host.alive = false;
    std::thread gone([&] { watcher.run(never, "unused"); });
    gone.join();
    EXPECT_FALSE(never.isSet());
}

TEST_F(WatcherTest, TheFeaturesWatcherSelectsOnTheUiThreadAndWaitsForIt) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"desk", "race"});
    link(cat, 1, "/opt/games/racer");
    pick(cat, 0);
    auto scripted = std::make_unique<ScriptedForeground>();
    ScriptedForeground& fg = *scripted;
    fg.set("/opt/games/racer");
    ProfilePagesOptions options;
    options.foreground = [&scripted] { return std::move(scripted); };
    options.timing = kQuick;
    ProfilePages feature(options);
    const std::thread::id uiThread = std::this_thread::get_id();
    std::atomic<bool> offThread{false};
    ProfilePageContext c = ctx;
    c.report = [&](const WindowEvent&) {
        offThread = offThread || std::this_thread::get_id() != uiThread;
    };
    feature.attach(c);

    shell::WorkerClaims claims;
    feature.claimWorkers(claims);
    auto body = claims.take(shell::WorkerSlot::MouseDeviceFollowsApp);
    ASSERT_TRUE(body);
    EXPECT_FALSE(claims.claimed(shell::WorkerSlot::MouseLight));
    StopEvent stop;
    std::thread thread([&] { (*body)(stop); });
    const auto end = std::chrono::steady_clock::now() + 20s;
    while ((shown(cat) != 1 || cat.ReadSelect() != 0) && std::chrono::steady_clock::now() < end) {
        ui.processEvents();
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(shown(cat), 1);
    EXPECT_EQ(cat.ReadSelect(), 0);
    // The window stops taking calls: the watcher ends without its stop event.
    ui.closeMessages();
    thread.join();
    EXPECT_FALSE(offThread.load());
}

}  // namespace
}  // namespace rxt::test
