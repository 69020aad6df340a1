#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "support/test_folder.h"

namespace rxt {
namespace {

using namespace std::chrono_literals;
using test::ScopedEnv;
using test::TempFolder;

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Connects to the activation socket and sends raw bytes.
void sendRaw(const std::filesystem::path& socket, const std::string& bytes) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socket.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    if (!bytes.empty()) {
        ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    ::close(fd);
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    TempFolder dir;
    InstanceLock first;
    ASSERT_EQ(first.acquire(dir.path()), InstanceLock::Result::Acquired);
    EXPECT_TRUE(first.held());
    EXPECT_TRUE(std::filesystem::exists(dir / "TALVIXDRVER1"));

    InstanceLock second;
    EXPECT_EQ(second.acquire(dir.path()), InstanceLock::Result::HeldElsewhere);
    EXPECT_FALSE(second.held());
    EXPECT_FALSE(second.error().empty());

    first.release();
    EXPECT_EQ(second.acquire(dir.path()), InstanceLock::Result::Acquired);
}

TEST(InstanceLock, LockOfAFinishedProcessIsFree) {
    TempFolder dir;
    // A child takes the lock and exits without releasing it: the kernel drops it.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock;
        ::_exit(lock.acquire(dir.path()) == InstanceLock::Result::Acquired ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    InstanceLock lock;
    EXPECT_EQ(lock.acquire(dir.path()), InstanceLock::Result::Acquired);
}

TEST(InstanceLock, UnusableFolderLetsTheProgramStart) {
    InstanceLock lock;
    EXPECT_EQ(lock.acquire(""), InstanceLock::Result::Unavailable);
    EXPECT_EQ(lock.acquire("/nonexistent/folder/for/rxt"), InstanceLock::Result::Unavailable);
    EXPECT_FALSE(lock.held());
}

TEST(RuntimeFolder, PrefersXdgRuntimeDirElseAPrivateTemporaryFolder) {
    TempFolder dir;
    {
        ScopedEnv xdg("XDG_RUNTIME_DIR", dir.path().string());
        EXPECT_EQ(runtimeFolder(), dir.path());
    }
    ScopedEnv xdg("XDG_RUNTIME_DIR", std::nullopt);
    ScopedEnv tmp("TMPDIR", dir.path().string());
    const auto own = runtimeFolder();
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.parent_path(), dir.path());
    struct stat st {};
    ASSERT_EQ(::stat(own.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(runtimeFolder(), own);  // found again, not recreated

    // A relative XDG_RUNTIME_DIR is ignored.
    ScopedEnv relative("XDG_RUNTIME_DIR", "relative/dir");
    EXPECT_EQ(runtimeFolder(), own);
}

TEST(RuntimeFolder, RefusesAnOpenFolderUnderItsName) {
    TempFolder dir;
    ScopedEnv xdg("XDG_RUNTIME_DIR", std::nullopt);
    ScopedEnv tmp("TMPDIR", dir.path().string());
    const auto name = dir / ("rx-t7100-" + std::to_string(::getuid()));
    ASSERT_EQ(::mkdir(name.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(name.c_str(), 0777), 0);
    EXPECT_TRUE(runtimeFolder().empty());
}

TEST(Activation, SecondStartReachesTheRunningInstance) {
    TempFolder dir;
    std::atomic<int> heard{0};
    ActivationListener listener;
    ASSERT_TRUE(listener.start(dir.path(), [&] { ++heard; })) << listener.error();
    EXPECT_EQ(listener.socketPath(), dir / "ORMELANE_004");

    EXPECT_TRUE(sendActivation(dir.path()));
    EXPECT_TRUE(sendActivation(dir.path()));
    EXPECT_TRUE(waitUntil([&] { return heard.load() == 2; }));

    listener.stop();
    EXPECT_FALSE(std::filesystem::exists(dir / "ORMELANE_004"));
    listener.stop();  // twice is harmless
}

TEST(Activation, OtherTextsAndSilentPeersAreIgnored) {
    TempFolder dir;
    std::atomic<int> heard{0};
    ActivationListener listener;
    ASSERT_TRUE(listener.start(dir.path(), [&] { ++heard; }));

    sendRaw(listener.socketPath(), "HELLO_THERE_\n");
    sendRaw(listener.socketPath(), "");
    sendRaw(listener.socketPath(), std::string(5000, 'x'));
    sendRaw(listener.socketPath(), "ORMELANE_004\nmore");
    // A valid one after the junk still gets through, and is the only one heard.
    ASSERT_TRUE(sendActivation(dir.path()));
    EXPECT_TRUE(waitUntil([&] { return heard.load() == 1; }));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(heard.load(), 1);
}

TEST(Activation, StaleSocketOfACrashedInstanceIsReplaced) {
    TempFolder dir;
    test::writeRaw(dir / "ORMELANE_004", "leftover");
    std::atomic<int> heard{0};
    ActivationListener listener;
    ASSERT_TRUE(listener.start(dir.path(), [&] { ++heard; })) << listener.error();
    EXPECT_TRUE(sendActivation(dir.path()));
    EXPECT_TRUE(waitUntil([&] { return heard.load() == 1; }));
}

TEST(Activation, NobodyListeningGivesUpWithinItsPatience) {
    TempFolder dir;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(sendActivation(dir.path(), 200ms));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(sendActivation("", 0ms));
}

TEST(Activation, ListenerStartingLateIsStillReached) {
    TempFolder dir;
    std::atomic<int> heard{0};
    ActivationListener listener;
    std::thread late([&] {
        std::this_thread::sleep_for(150ms);
        listener.start(dir.path(), [&] { ++heard; });
    });
    EXPECT_TRUE(sendActivation(dir.path(), 3000ms));
    late.join();
    EXPECT_TRUE(waitUntil([&] { return heard.load() == 1; }));
}

TEST(Activation, TooLongSocketPathIsReported) {
    ActivationListener listener;
    const std::filesystem::path longFolder = "/tmp/" + std::string(200, 'd');
    EXPECT_FALSE(listener.start(longFolder, [] {}));
    EXPECT_FALSE(listener.error().empty());
    EXPECT_FALSE(listener.running());
}

}  // namespace
}  // namespace rxt
