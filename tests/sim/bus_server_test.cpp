// The simulator's server seen from outside: a raw client speaking the bus
// protocol over the socket, the control socket, and the rxt-sim executable.

#include "sim/bus_server.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "device/hid_descriptor.h"
#include "sim/hex_text.h"
#include "sim/report_descriptors.h"
#include "sim/simulator.h"

namespace rxt::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/rxt-simtest-XXXXXX";
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

// One side of a client connection.
class Client {
  public:
    Client(const std::string& path, int type = SOCK_SEQPACKET) {
        fd_ = ::socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~Client() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool connected() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    bool send(std::string_view s) { return send(std::vector<uint8_t>(s.begin(), s.end())); }
    bool send(const std::vector<uint8_t>& bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }

    enum class Got { Message, Closed, Timeout };
    struct Received {
        Got got = Got::Timeout;
        std::vector<uint8_t> bytes;
        std::string text() const { return {bytes.begin(), bytes.end()}; }
    };
    // One message; a zero-length read counts as Closed.
    Received receive(std::chrono::milliseconds timeout = 3000ms) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) {
            return {};
        }
        std::vector<uint8_t> buf(1 << 16);
        const ssize_t n = ::recv(fd_, buf.data(), buf.size(), 0);
        if (n <= 0) {
            return {Got::Closed, {}};
        }
        buf.resize(static_cast<size_t>(n));
        return {Got::Message, std::move(buf)};
    }

  private:
    int fd_ = -1;
};

std::vector<uint8_t> request(Command code, uint8_t length, uint16_t offset,
                             std::vector<uint8_t> data = {}) {
    const Report r = buildCommandReport(static_cast<uint8_t>(code), length, offset, data);
    return {r.begin(), r.end()};
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> f;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        f.push_back(line.substr(start, tab - start));
    }
    f.push_back(line.substr(start));
    return f;
}

bool isLowerHex(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789abcdef") == std::string::npos;
}

class BusServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        bus = dir.path() + "/bus";
        control = bus + ".ctl";
        std::string error;
        ASSERT_TRUE(server.start(bus, control, &error)) << error;
    }

    std::string enumerate() {
        Client c(bus);
        EXPECT_TRUE(c.send("ENUM"));
        const auto r = c.receive();
        EXPECT_NE(r.got, Client::Got::Timeout);
        EXPECT_EQ(c.receive().got, Client::Got::Closed) << "the server closes after ENUM";
        return r.text();
    }

    std::string pathOf(DeviceKind kind, size_t index) { return sim.paths(kind).at(index); }

    // An open device connection.
    std::unique_ptr<Client> open(const std::string& path) {
        auto c = std::make_unique<Client>(bus);
        EXPECT_TRUE(c->send("OPEN " + path));
        EXPECT_EQ(c->receive().text(), "OK") << path;
        return c;
    }

    TempDir dir;
    std::string bus;
    std::string control;
    Simulator sim;
    BusServer server{sim};
};

TEST_F(BusServerTest, EnumListsEveryInterfaceWithItsFields) {
    for (DeviceKind k : kAllDeviceKinds) {
        ASSERT_TRUE(sim.plug(k));
    }
    const auto lines = splitLines(enumerate());
    ASSERT_EQ(lines.size(), 6u);
    std::set<std::string> paths;
    std::set<std::string> ids;
    for (const std::string& line : lines) {
        const auto f = splitTabs(line);
        ASSERT_EQ(f.size(), 6u) << line;
        paths.insert(f[0]);
        for (int i : {1, 2, 3}) {
            EXPECT_EQ(f[i].size(), 4u) << line;
            EXPECT_TRUE(isLowerHex(f[i])) << line;
        }
        EXPECT_EQ(f[4].find_first_not_of("0123456789"), std::string::npos);
        ids.insert(f[1] + ":" + f[2]);
        ASSERT_TRUE(isLowerHex(f[5]));
        const auto descriptor = parseHex(f[5]);
        ASSERT_TRUE(descriptor);
        HidDescriptorInfo info;
        std::string error;
        EXPECT_TRUE(parseReportDescriptor(*descriptor, info, &error)) << error;
    }
    EXPECT_EQ(paths.size(), 6u);
    EXPECT_EQ(ids, (std::set<std::string>{"320f:2002", "0c45:5004", "0c45:6553"}));
}

TEST_F(BusServerTest, EmptyBusAnswersAnEmptyMessage) {
    EXPECT_EQ(enumerate(), "");
}

TEST_F(BusServerTest, OpenAnswersOkOrErrAndErrCloses) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mouse));
    auto ok = open(pathOf(DeviceKind::Mouse, 1));

    for (const std::string& bad :
         {std::string("OPEN nowhere"), "OPEN " + pathOf(DeviceKind::Mouse, 1) + "&col01",
          std::string("OPEN "), std::string("HELLO")}) {
        Client c(bus);
        ASSERT_TRUE(c.send(bad));
        const auto r = c.receive();
        EXPECT_EQ(r.text().rfind("ERR ", 0), 0u) << bad << " -> " << r.text();
        EXPECT_EQ(c.receive().got, Client::Got::Closed) << bad;
    }
}

TEST_F(BusServerTest, CommandsAreAnsweredOverTheSocket) {
    ASSERT_TRUE(sim.plug(DeviceKind::Keyboard, 0x0800));
    auto c = open(pathOf(DeviceKind::Keyboard, 1));
    ASSERT_TRUE(c->send(request(Command::ReadInfo, 33, 0)));
    const auto r = c->receive();
    ASSERT_EQ(r.bytes.size(), 64u);
    EXPECT_EQ(r.bytes[0], kCommandReportId);
    EXPECT_EQ(r.bytes[3], static_cast<uint8_t>(Command::ReadInfo));
    EXPECT_EQ(r.bytes[7], kStatusOk);
    EXPECT_EQ(r.bytes[8 + kInfoKeyCountByte], 126);

    ASSERT_TRUE(c->send(request(Command::WriteBank, 3, 0, {0x20, 0x02, 0x04})));
    EXPECT_EQ(c->receive().bytes.at(7), kStatusOk);
    EXPECT_EQ(*sim.dump(DeviceKind::Keyboard, MemoryArea::Banks, 0, 3),
              (std::vector<uint8_t>{0x20, 0x02, 0x04}));
}

TEST_F(BusServerTest, EveryConnectionGetsItsOwnCopyOfLaterReports) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mouse));
    auto a = open(pathOf(DeviceKind::Mouse, 1));
    auto b = open(pathOf(DeviceKind::Mouse, 1));
    ASSERT_TRUE(a->send(request(Command::ReadRecord, 4, 0)));
    EXPECT_EQ(a->receive().bytes.size(), 64u);
    EXPECT_EQ(b->receive().bytes.size(), 64u) << "a reply reaches every opener, as on hidraw";

    auto first = open(pathOf(DeviceKind::Mouse, 2));
    ASSERT_TRUE(sim.notify(DeviceKind::Mouse, 1025));
    EXPECT_EQ(first->receive().bytes, (std::vector<uint8_t>{0x01, 0x04}));
    EXPECT_EQ(first->receive().bytes, (std::vector<uint8_t>{0x00, 0x00}));

    auto late = open(pathOf(DeviceKind::Mouse, 2));
    ASSERT_TRUE(sim.notify(DeviceKind::Mouse, 1026));
    for (Client* c : {first.get(), late.get()}) {
        EXPECT_EQ(c->receive().bytes, (std::vector<uint8_t>{0x02, 0x04}));
        EXPECT_EQ(c->receive().bytes, (std::vector<uint8_t>{0x00, 0x00}));
    }
    EXPECT_EQ(late->receive(100ms).got, Client::Got::Timeout) << "nothing from before the open";
    // Notifications stay on their interface.
    EXPECT_EQ(a->receive(100ms).got, Client::Got::Timeout);
}

TEST_F(BusServerTest, KeyboardSharedInterfaceCarriesRepliesAndNotifications) {
    ASSERT_TRUE(sim.plug(DeviceKind::Keyboard));
    auto c = open(pathOf(DeviceKind::Keyboard, 1));
    ASSERT_TRUE(sim.switchProfile(DeviceKind::Keyboard, 2));
    EXPECT_EQ(c->receive().bytes, (std::vector<uint8_t>{kConsumerReportId, 0x02, 0x04}));
    EXPECT_EQ(c->receive().bytes, (std::vector<uint8_t>{kConsumerReportId, 0x00, 0x00}));
    ASSERT_TRUE(c->send(request(Command::ReadRecord, 1, 0)));
    const auto r = c->receive();
    EXPECT_EQ(r.bytes.at(0), kCommandReportId);
    EXPECT_EQ(r.bytes.at(8), 2) << "the profile index moved on the device";
}

TEST_F(BusServerTest, UnplugClosesConnectionsAndWatchersHearOfIt) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mouse));
    ASSERT_TRUE(sim.plug(DeviceKind::Mousepad));
    Client watch(bus);
    ASSERT_TRUE(watch.send("WATCH"));
    const std::string oldPath = pathOf(DeviceKind::Mouse, 1);
    auto a = open(oldPath);
    auto pad = open(pathOf(DeviceKind::Mousepad, 0));
    // An enumeration answered means the earlier WATCH has been taken.
    enumerate();

    ASSERT_TRUE(sim.unplug(DeviceKind::Mouse));
    EXPECT_EQ(a->receive().got, Client::Got::Closed);
    EXPECT_EQ(watch.receive().text(), "CHANGED");
    EXPECT_EQ(enumerate().find("320f"), std::string::npos);
    {
        Client again(bus);
        ASSERT_TRUE(again.send("OPEN " + oldPath));
        EXPECT_EQ(again.receive().text().rfind("ERR ", 0), 0u);
    }
    // The other device is untouched.
    ASSERT_TRUE(pad->send(request(Command::ReadInfo, 33, 0)));
    EXPECT_EQ(pad->receive().bytes.size(), 64u);

    ASSERT_TRUE(sim.plug(DeviceKind::Mouse));
    EXPECT_EQ(watch.receive().text(), "CHANGED");
    EXPECT_NE(pathOf(DeviceKind::Mouse, 1), oldPath);
    EXPECT_EQ(watch.receive(100ms).got, Client::Got::Timeout) << "nothing else on a watch";
}

TEST_F(BusServerTest, UnplugAfterAnswersTheLastRequestThenCloses) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mouse));
    ASSERT_TRUE(sim.unplugAfter(DeviceKind::Mouse, 2));
    auto c = open(pathOf(DeviceKind::Mouse, 1));
    ASSERT_TRUE(c->send(request(Command::ReadInfo, 33, 0)));
    EXPECT_EQ(c->receive().bytes.size(), 64u);
    ASSERT_TRUE(c->send(request(Command::ReadBlock, 56, 0)));
    EXPECT_EQ(c->receive().bytes.size(), 64u);
    EXPECT_EQ(c->receive().got, Client::Got::Closed);
    EXPECT_FALSE(sim.isPlugged(DeviceKind::Mouse));
}

TEST_F(BusServerTest, UnplugAfterStillAnswersWhenRequestsArePipelined) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mousepad));
    ASSERT_TRUE(sim.unplugAfter(DeviceKind::Mousepad, 2));
    auto c = open(pathOf(DeviceKind::Mousepad, 0));
    for (int i = 0; i < 4; ++i) {
        // Writes after the second may already find the device gone.
        const bool sent = c->send(request(Command::ReadRecord, 1, static_cast<uint16_t>(64 * i)));
        EXPECT_TRUE(sent || i >= 2);
    }
    EXPECT_EQ(c->receive().bytes.at(8), 0);
    EXPECT_EQ(c->receive().bytes.at(8), 1) << "the last answer before leaving";
    EXPECT_EQ(c->receive().got, Client::Got::Closed);
}

TEST_F(BusServerTest, DelayedReplyComesAfterTheDelay) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mousepad));
    ASSERT_TRUE(sim.delayReplies(DeviceKind::Mousepad, 120));
    auto c = open(pathOf(DeviceKind::Mousepad, 0));
    const auto start = Clock::now();
    ASSERT_TRUE(c->send(request(Command::ReadInfo, 33, 0)));
    EXPECT_EQ(c->receive(60ms).got, Client::Got::Timeout);
    const auto r = c->receive(5000ms);
    EXPECT_EQ(r.bytes.size(), 64u);
    EXPECT_GE(Clock::now() - start, 115ms);
}

TEST_F(BusServerTest, DroppedReplyLeavesTheClientWaiting) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mouse));
    ASSERT_TRUE(sim.dropReplies(DeviceKind::Mouse, 1));
    auto c = open(pathOf(DeviceKind::Mouse, 1));
    ASSERT_TRUE(c->send(request(Command::ReadInfo, 33, 0)));
    EXPECT_EQ(c->receive(150ms).got, Client::Got::Timeout);
    ASSERT_TRUE(c->send(request(Command::ReadInfo, 33, 0)));
    EXPECT_EQ(c->receive().bytes.size(), 64u);
}

TEST_F(BusServerTest, AClientThatNeverReadsHoldsUpNobody) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mouse));
    auto idle = open(pathOf(DeviceKind::Mouse, 1));
    auto busy = open(pathOf(DeviceKind::Mouse, 1));
    constexpr int kExchanges = 1500;
    std::vector<uint8_t> last;
    for (int i = 0; i < kExchanges; ++i) {
        ASSERT_TRUE(busy->send(request(Command::ReadRecord, 2, static_cast<uint16_t>(i % 300))));
        const auto r = busy->receive();
        ASSERT_EQ(r.got, Client::Got::Message) << "exchange " << i;
        last = r.bytes;
    }
    // The idle reader still gets reports, the newest last.
    std::vector<uint8_t> newest;
    int count = 0;
    for (Client::Received r; (r = idle->receive(200ms)).got == Client::Got::Message;) {
        newest = r.bytes;
        ++count;
    }
    EXPECT_GT(count, 0);
    EXPECT_EQ(newest, last);
}

TEST_F(BusServerTest, ControlSocketAnswersEachLineEvenAfterHalfClose) {
    Client c(control, SOCK_STREAM);
    ASSERT_TRUE(c.connected());
    ASSERT_TRUE(c.send("plug mouse\nstatus\nbogus\nunplug mouse"));
    ::shutdown(c.fd(), SHUT_WR);
    std::string all;
    for (Client::Received r; (r = c.receive()).got == Client::Got::Message;) {
        all += r.text();
    }
    const auto lines = splitLines(all);
    ASSERT_EQ(lines.size(), 4u) << all;
    EXPECT_EQ(lines[0].rfind("ok plugged mouse", 0), 0u);
    EXPECT_EQ(lines[1].rfind("ok mouse=plugged:320f:2002", 0), 0u);
    EXPECT_EQ(lines[2].rfind("error ", 0), 0u);
    EXPECT_EQ(lines[3], "ok unplugged mouse");
}

TEST_F(BusServerTest, ControlSocketRefusesAnEndlessLine) {
    Client c(control, SOCK_STREAM);
    const std::string chunk(64 * 1024, 'x');
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(c.send(chunk));
    }
    ASSERT_TRUE(c.send("\nstatus\n"));
    std::string all;
    while (all.find("ok mouse=") == std::string::npos) {
        const auto r = c.receive();
        ASSERT_EQ(r.got, Client::Got::Message) << all;
        all += r.text();
    }
    EXPECT_EQ(all.rfind("error line too long\n", 0), 0u) << all;
}

TEST(BusServerStart, ReplacesStaleSocketsButNothingElse) {
    TempDir dir;
    const std::string path = dir.path() + "/bus";
    Simulator sim;
    {
        // A socket file nobody listens on any more.
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ::close(fd);
    }
    BusServer first(sim);
    std::string error;
    ASSERT_TRUE(first.start(path, "", &error)) << error;

    Simulator other;
    BusServer second(other);
    EXPECT_FALSE(second.start(path, "", &error));
    EXPECT_NE(error.find("served"), std::string::npos) << error;
    first.stop();
    EXPECT_FALSE(std::filesystem::exists(path)) << "stop removes the socket";

    const std::string plain = dir.path() + "/notes";
    std::ofstream(plain) << "keep me";
    EXPECT_FALSE(second.start(plain, "", &error));
    EXPECT_TRUE(std::filesystem::is_regular_file(plain));

    EXPECT_FALSE(second.start(dir.path() + "/" + std::string(120, 'p'), "", &error));
    EXPECT_FALSE(second.running());
}

TEST(RxtSimExecutable, ServesUntilTerminatedAndCleansUp) {
    const std::string exe = std::string(RXT_BIN_DIR) + "/rxt-sim";
    if (::access(exe.c_str(), X_OK) != 0) {
        GTEST_SKIP() << "rxt-sim is not built";
    }
    TempDir dir;
    const std::string bus = dir.path() + "/bus";
    const std::string args[] = {
        exe, "--socket", bus, "--plug", "mouse,keyboard", "--keyboard-product", "7200"};
    std::vector<char*> argv;
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ), 0);

    const auto deadline = Clock::now() + 10s;
    while (!std::filesystem::exists(bus + ".ctl") && Clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    {
        Client c(bus);
        ASSERT_TRUE(c.send("ENUM"));
        const auto lines = splitLines(c.receive().text());
        EXPECT_EQ(lines.size(), 5u);
        for (const auto& line : lines) {
            const auto f = splitTabs(line);
            EXPECT_TRUE(f.at(2) == "2002" || f.at(2) == "7200") << line;
        }
        Client ctl(bus + ".ctl", SOCK_STREAM);
        ASSERT_TRUE(ctl.send("plug keyboard\n"));
        EXPECT_EQ(ctl.receive().text(), "error keyboard is already plugged\n");
    }
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(std::filesystem::exists(bus));
    EXPECT_FALSE(std::filesystem::exists(bus + ".ctl"));
}

}  // namespace
}  // namespace rxt::sim
