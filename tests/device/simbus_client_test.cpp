#include <gtest/gtest.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "device/hid_device.h"
#include "device/simbus/simbus_backend.h"
#include "device/simbus/simbus_enumeration.h"
#include "support/test_descriptors.h"

namespace rxt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

std::string hex(const std::vector<uint8_t>& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

bool readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

// A throwaway folder for sockets, removed at the end.
class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/rxt-simbus-XXXXXX";
        path_ = ::mkdtemp(pattern) != nullptr ? pattern : "";
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

int listenAt(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0) {
        return -1;
    }
    return fd;
}

// A small simulated-bus server: answers ENUM with a given text, OPEN of the
// paths it knows with OK (keeping the connection for the test to play the
// device), WATCH by keeping the connection (or closing it when told not to).
class TestBusServer {
  public:
    TestBusServer() : socketPath_(dir_.path() + "/bus") {
        listenFd_ = listenAt(socketPath_);
        stopFd_ = ::eventfd(0, EFD_CLOEXEC);
        thread_ = std::thread([this] { serve(); });
    }
    ~TestBusServer() {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
        thread_.join();
        for (auto& [path, fds] : connections_) {
            for (int fd : fds) {
                ::close(fd);
            }
        }
        for (int fd : watchers_) {
            ::close(fd);
        }
        ::close(listenFd_);
        ::close(stopFd_);
    }

    const std::string& socketPath() const { return socketPath_; }
    bool listening() const { return listenFd_ >= 0; }

    void setEnumeration(std::string text) {
        std::lock_guard lock(mutex_);
        enumText_ = std::move(text);
    }
    void plug(const std::string& path) {
        std::lock_guard lock(mutex_);
        paths_.insert(path);
    }
    void offerWatch(bool on) {
        std::lock_guard lock(mutex_);
        watch_ = on;
    }
    // Closes every connection open on path and refuses new ones.
    void unplug(const std::string& path) {
        std::lock_guard lock(mutex_);
        paths_.erase(path);
        for (int fd : connections_[path]) {
            ::close(fd);
        }
        connections_.erase(path);
    }
    void notifyChanged() {
        std::lock_guard lock(mutex_);
        for (int fd : watchers_) {
            ::send(fd, "CHANGED", 7, MSG_NOSIGNAL);
        }
    }
    // The first device connection open on path, waiting for it to arrive.
    int connection(const std::string& path) {
        for (int i = 0; i < 500; ++i) {
            {
                std::lock_guard lock(mutex_);
                auto it = connections_.find(path);
                if (it != connections_.end() && !it->second.empty()) {
                    return it->second.front();
                }
            }
            std::this_thread::sleep_for(5ms);
        }
        return -1;
    }
    int requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    void serve() {
        for (;;) {
            pollfd fds[2] = {{stopFd_, POLLIN, 0}, {listenFd_, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 || fds[0].revents != 0) {
                return;
            }
            const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) {
                continue;
            }
            char buffer[4096];
            if (!readable(fd, 2000)) {
                ::close(fd);
                continue;
            }
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            handle(fd, std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0));
        }
    }

    void handle(int fd, const std::string& message) {
        std::lock_guard lock(mutex_);
        ++requests_;
        if (message == "ENUM") {
            ::send(fd, enumText_.data(), enumText_.size(), MSG_NOSIGNAL);
            ::close(fd);
        } else if (message == "WATCH") {
            if (watch_) {
                watchers_.push_back(fd);
            } else {
                ::close(fd);
            }
        } else if (message.rfind("OPEN ", 0) == 0) {
            const std::string path = message.substr(5);
            if (paths_.count(path) != 0) {
                ::send(fd, "OK", 2, MSG_NOSIGNAL);
                connections_[path].push_back(fd);
            } else {
                ::send(fd, "ERR no such device", 18, MSG_NOSIGNAL);
                ::close(fd);
            }
        } else {
            ::close(fd);
        }
    }

    TempDir dir_;
    std::string socketPath_;
    int listenFd_ = -1;
    int stopFd_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::string enumText_;
    std::set<std::string> paths_;
    std::map<std::string, std::vector<int>> connections_;
    std::vector<int> watchers_;
    bool watch_ = true;
    int requests_ = 0;
};

const std::string kMousePath =
    R"(\\?\hid#vid_320f&pid_2002&mi_01&col01#8&2c1e4f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})";

std::string line(const std::string& path, const char* ids, const std::vector<uint8_t>& d) {
    return path + "\t" + ids + "\t" + hex(d) + "\n";
}

// ---- ENUM text ---------------------------------------------------------------

TEST(SimBusEnumeration, ParsesEveryFieldOfAWellFormedLine) {
    const auto node =
        parseEnumerationLine(kMousePath + "\t320f\t2002\t0105\t1\t" + hex({0x06, 0x1c, 0xff}));
    ASSERT_TRUE(node.has_value());
    EXPECT_EQ(node->path, kMousePath);
    EXPECT_EQ(node->vendor, 0x320F);
    EXPECT_EQ(node->product, 0x2002);
    EXPECT_EQ(node->version, 0x0105);
    EXPECT_EQ(node->interfaceNumber, 1u);
    EXPECT_EQ(node->descriptor, (std::vector<uint8_t>{0x06, 0x1C, 0xFF}));

    const auto wide = parseEnumerationLine("p\t0c45\t6553\t0000\t12\t");
    ASSERT_TRUE(wide.has_value());
    EXPECT_EQ(wide->interfaceNumber, 12u);
    EXPECT_TRUE(wide->descriptor.empty());
}

TEST(SimBusEnumeration, RefusesMalformedLines) {
    const char* bad[] = {
        "",
        "p\t320f\t2002\t0000\t1",                // five fields
        "p\t320f\t2002\t0000\t1\t00\textra",     // seven fields
        "\t320f\t2002\t0000\t1\t00",             // empty path
        "p\t320\t2002\t0000\t1\t00",             // three-digit vendor
        "p\t320f\t20022\t0000\t1\t00",           // five-digit product
        "p\t320g\t2002\t0000\t1\t00",            // not hex
        "p\t320f\t2002\t00 0\t1\t00",            // blank in version
        "p\t320f\t2002\t0000\tx1\t00",           // interface not decimal
        "p\t320f\t2002\t0000\t-1\t00",           // negative interface
        "p\t320f\t2002\t0000\t\t00",             // empty interface
        "p\t320f\t2002\t0000\t99999999999\t00",  // interface too large
        "p\t320f\t2002\t0000\t1\t061",           // odd descriptor
        "p\t320f\t2002\t0000\t1\t0g",            // descriptor not hex
        "p\t320f\t2002\t0000\t1\t06 1c",         // blank inside descriptor
    };
    for (const char* text : bad) {
        EXPECT_FALSE(parseEnumerationLine(text).has_value()) << text;
    }
}

TEST(SimBusEnumeration, SkipsMalformedLinesAndKeepsTheRest) {
    const std::string text =
        "a\t0001\t0002\t0003\t0\t00\n"
        "garbage without tabs\n"
        "\n"
        "b\t0004\t0005\t0006\t7\tff\r\n"
        "c\t0008\t0009\t000a\t1\t0";  // odd hex, last line unterminated
    size_t skipped = 0;
    const auto nodes = parseEnumeration(text, &skipped);
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0].path, "a");
    EXPECT_EQ(nodes[1].path, "b");
    EXPECT_EQ(nodes[1].interfaceNumber, 7u);
    EXPECT_EQ(nodes[1].descriptor, std::vector<uint8_t>{0xFF});
    EXPECT_EQ(skipped, 2u);
    EXPECT_TRUE(parseEnumeration("").empty());
}

TEST(SimBusEnumeration, DecodesHex) {
    EXPECT_EQ(decodeHex("00ff7Fa0"), (std::vector<uint8_t>{0x00, 0xFF, 0x7F, 0xA0}));
    EXPECT_EQ(decodeHex(""), std::vector<uint8_t>{});
    EXPECT_FALSE(decodeHex("abc").has_value());
    EXPECT_FALSE(decodeHex("zz").has_value());
}

// ---- against a server ---------------------------------------------------------

class SimBusClientTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.listening()); }

    TestBusServer server;
    std::shared_ptr<SimBusBackend> backend = std::make_shared<SimBusBackend>(server.socketPath());
};

TEST_F(SimBusClientTest, EnumeratesWhatTheServerLists) {
    server.setEnumeration(
        line(kMousePath, "320f\t2002\t0100\t1", test::configInterfaceDescriptor()) +
        "broken line\n" + line("kb", "0c45\t6553\t0000\t2", test::configAndConsumerDescriptor()));
    std::vector<HidNodeInfo> nodes;
    ASSERT_TRUE(backend->enumerate(nodes));
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0].path, kMousePath);
    EXPECT_EQ(nodes[0].version, 0x0100);
    EXPECT_EQ(nodes[0].descriptor, test::configInterfaceDescriptor());
    EXPECT_EQ(nodes[1].interfaceNumber, 2u);

    // Through the transport: a Windows-style path stays whole, its ids from
    // the fields; the two-collection node is split.
    HidDevice device(backend);
    ASSERT_TRUE(device.enumerate());
    const auto& entries = device.pathList().entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].path, kMousePath);
    EXPECT_EQ(entries[0].vendor, 0x320F);
    EXPECT_EQ(entries[0].interfaceNumber, 1u);
    EXPECT_EQ(entries[0].collectionNumber, 1u);
    EXPECT_EQ(entries[1].path, "kb&col01");
    EXPECT_EQ(entries[2].path, "kb&col02");
    EXPECT_EQ(entries[2].usagePage, 0x000C);
}

TEST_F(SimBusClientTest, EmptyBusIsASuccess) {
    server.setEnumeration("");
    std::vector<HidNodeInfo> nodes = {HidNodeInfo{}};
    EXPECT_TRUE(backend->enumerate(nodes));
    EXPECT_TRUE(nodes.empty());
}

TEST_F(SimBusClientTest, LargeEnumerationArrivesWhole) {
    std::string text;
    for (int i = 0; i < 600; ++i) {
        text += line("node" + std::to_string(i), "0c45\t6553\t0000\t1",
                     test::configAndConsumerDescriptor());
    }
    ASSERT_GT(text.size(), 40000u);
    server.setEnumeration(text);
    std::vector<HidNodeInfo> nodes;
    ASSERT_TRUE(backend->enumerate(nodes));
    ASSERT_EQ(nodes.size(), 600u);
    EXPECT_EQ(nodes[599].path, "node599");
}

TEST_F(SimBusClientTest, ReportsBothWays) {
    server.setEnumeration(line("mouse", "320f\t2002\t0000\t1", test::configInterfaceDescriptor()));
    server.plug("mouse");
    HidDevice device(backend);
    ASSERT_TRUE(device.open("mouse", true, true, true, false));
    const int deviceEnd = server.connection("mouse");
    ASSERT_GE(deviceEnd, 0);

    std::vector<uint8_t> request(64, 0);
    request[0] = 4;
    request[3] = 1;
    ASSERT_TRUE(device.write(request.size(), request.data(), 1000));
    uint8_t received[256];
    ASSERT_TRUE(readable(deviceEnd, 2000));
    ASSERT_EQ(::recv(deviceEnd, received, sizeof received, 0), 64);
    EXPECT_EQ(std::vector<uint8_t>(received, received + 64), request);

    std::vector<uint8_t> reply(64, 0);
    reply[0] = 4;
    reply[7] = 0xAA;
    ASSERT_EQ(::send(deviceEnd, reply.data(), reply.size(), MSG_NOSIGNAL), 64);
    uint8_t buffer[64] = {};
    size_t count = 0;
    ASSERT_TRUE(device.read(sizeof buffer, buffer, 1000, &count));
    EXPECT_EQ(count, 64u);
    EXPECT_EQ(buffer[7], 0xAA);
}

TEST_F(SimBusClientTest, RefusedOpenKeepsTheReason) {
    const int fd = backend->openNode("nowhere", true, true, false);
    EXPECT_EQ(fd, -1);
    EXPECT_EQ(errno, ENODEV);
    EXPECT_EQ(backend->lastOpenFailure(), "no such device");

    // Listed but refused (unplugged between ENUM and OPEN).
    server.setEnumeration(line("gone", "320f\t2002\t0000\t1", test::configInterfaceDescriptor()));
    HidDevice device(backend);
    EXPECT_FALSE(device.open("gone", true, true, true, false));
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(device.lastError(), ENODEV);
    EXPECT_EQ(device.lastErrorText(), "no such device");
}

TEST_F(SimBusClientTest, UnplugEndsTransfersAtOnce) {
    server.setEnumeration(line("pad", "0c45\t5004\t0000\t1", test::configInterfaceDescriptor()));
    server.plug("pad");
    EXPECT_TRUE(backend->present("pad"));
    HidDevice device(backend);
    ASSERT_TRUE(device.open("pad", true, true, true, false));
    ASSERT_GE(server.connection("pad"), 0);

    std::thread unplugger([&] {
        std::this_thread::sleep_for(50ms);
        server.unplug("pad");
    });
    uint8_t buffer[64] = {4};
    const auto start = Clock::now();
    EXPECT_FALSE(device.read(sizeof buffer, buffer, 5000));
    EXPECT_LT(msSince(start), 2000);
    unplugger.join();
    EXPECT_FALSE(device.write(sizeof buffer, buffer, 1000));
    EXPECT_FALSE(backend->present("pad"));
}

TEST_F(SimBusClientTest, PresenceProbeOpensAndCloses) {
    server.plug("kb");
    const int before = server.requests();
    EXPECT_TRUE(backend->present("kb"));
    EXPECT_FALSE(backend->present("mouse"));
    EXPECT_EQ(server.requests(), before + 2);
}

TEST_F(SimBusClientTest, WatchWakesOnChange) {
    const int watch = backend->openWatch();
    ASSERT_GE(watch, 0);
    // Let the server take the connection before it notifies.
    for (int i = 0; i < 200 && server.requests() == 0; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_FALSE(readable(watch, 20));
    server.notifyChanged();
    server.notifyChanged();
    EXPECT_TRUE(readable(watch, 2000));
    backend->drainWatch(watch);
    EXPECT_FALSE(readable(watch, 20));
    server.notifyChanged();
    EXPECT_TRUE(readable(watch, 2000));
    ::close(watch);
}

TEST_F(SimBusClientTest, WatchClosedByTheServerGoesQuiet) {
    server.offerWatch(false);
    const int watch = backend->openWatch();
    if (watch < 0) {
        return;  // refused up front: callers poll instead
    }
    EXPECT_TRUE(readable(watch, 2000));  // the end of file
    backend->drainWatch(watch);
    EXPECT_FALSE(readable(watch, 50));  // no endless wake-ups afterwards
    ::close(watch);
}

TEST_F(SimBusClientTest, DrainingAFloodedWatchReturnsAndLeavesItReadable) {
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair), 0);
    int queued = 0;
    while (queued < 2000 && ::send(pair[1], "CHANGED", 7, MSG_DONTWAIT | MSG_NOSIGNAL) == 7) {
        ++queued;
    }
    if (queued <= 256) {
        ::close(pair[0]);
        ::close(pair[1]);
        GTEST_SKIP() << "the socket holds only " << queued << " messages";
    }
    backend->drainWatch(pair[0]);
    EXPECT_TRUE(readable(pair[0], 0));  // the rest waits for the next call
    for (int i = 0; i < 20 && readable(pair[0], 0); ++i) {
        backend->drainWatch(pair[0]);
    }
    EXPECT_FALSE(readable(pair[0], 0));
    ::close(pair[0]);
    ::close(pair[1]);
}

TEST(SimBusDeadServer, NoServerFailsAtOnce) {
    TempDir dir;
    SimBusBackend backend(dir.path() + "/missing");
    std::vector<HidNodeInfo> nodes;
    const auto start = Clock::now();
    EXPECT_FALSE(backend.enumerate(nodes));
    EXPECT_EQ(backend.openNode("x", true, true, false), -1);
    EXPECT_FALSE(backend.lastOpenFailure().empty());
    EXPECT_FALSE(backend.present("x"));
    EXPECT_EQ(backend.openWatch(), -1);
    EXPECT_LT(msSince(start), 1000);
}

TEST(SimBusDeadServer, SilentServerIsGivenUpInBoundedTime) {
    TempDir dir;
    const std::string path = dir.path() + "/silent";
    const int listener = listenAt(path);  // never accepts, never answers
    ASSERT_GE(listener, 0);
    SimBusBackend backend(path);
    std::vector<HidNodeInfo> nodes;
    auto start = Clock::now();
    EXPECT_FALSE(backend.enumerate(nodes));
    EXPECT_LT(msSince(start), 5000);
    start = Clock::now();
    EXPECT_EQ(backend.openNode("x", true, true, false), -1);
    EXPECT_LT(msSince(start), 5000);
    ::close(listener);
}

TEST(SimBusDeadServer, OverlongSocketPathFailsCleanly) {
    SimBusBackend backend("/tmp/" + std::string(200, 'y'));
    std::vector<HidNodeInfo> nodes;
    EXPECT_FALSE(backend.enumerate(nodes));
    EXPECT_EQ(backend.openNode("x", true, true, false), -1);
}

}  // namespace
}  // namespace rxt
