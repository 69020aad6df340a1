// The program's control socket served by the toolkit: it listens in the
// private runtime folder, answers rxtctl's client line by line in order,
// and drops a connection that sends an over-long line.

#include "app/qt/control_server.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/control_socket.h"
#include "support/qt_test_app.h"
#include "support/test_folder.h"

namespace rxt::test {
namespace {

using namespace std::chrono_literals;

class EchoHandler : public ui::ControlHandler {
  public:
    ControlAnswer control(const std::vector<std::string>& args) override {
        ++calls;
        if (args.empty()) {
            return ControlAnswer::usage("empty");
        }
        return ControlAnswer::done(args);
    }
    int calls = 0;
};

// Runs the client on a thread of its own while the UI thread serves.
template <typename F>
void whileServing(F client) {
    std::atomic<bool> done{false};
    std::thread t([&] {
        client();
        done = true;
    });
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!done && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    t.join();
}

TEST(ControlServer, ListensInThePrivateFolderAndAnswersInOrder) {
    qtTestApp();
    TempFolder dir;
    ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path().string());
    EchoHandler handler;
    ui::ControlServer server(handler);
    ASSERT_TRUE(server.listen()) << server.errorString().toStdString();
    EXPECT_EQ(server.path().toStdString(), (dir / "rx-t7100" / "control").string());

    std::optional<ControlAnswer> first, second, empty;
    std::string error;
    whileServing([&] {
        ControlClient client;
        if (!client.connect(controlSocketPath(false))) {
            return;
        }
        first = client.request({"set", "mouse", "dpi", "2", "1600"}, 5000ms, error);
        second = client.request({"profile", "list", "mouse"}, 5000ms, error);
        empty = client.request({}, 5000ms, error);
    });
    ASSERT_TRUE(first) << error;
    EXPECT_EQ(first->lines, (std::vector<std::string>{"set", "mouse", "dpi", "2", "1600"}));
    ASSERT_TRUE(second) << error;
    EXPECT_EQ(second->lines, (std::vector<std::string>{"profile", "list", "mouse"}));
    ASSERT_TRUE(empty) << error;
    EXPECT_EQ(empty->status, 2);
    EXPECT_EQ(handler.calls, 3);
}

TEST(ControlServer, AnOverLongLineIsNeitherSentNorServed) {
    qtTestApp();
    TempFolder dir;
    ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path().string());
    EchoHandler handler;
    ui::ControlServer server(handler);
    ASSERT_TRUE(server.listen());
    std::optional<ControlAnswer> answer;
    std::string error;
    whileServing([&] {
        ControlClient client;
        if (client.connect(controlSocketPath(false))) {
            answer = client.request({std::string(kMaxControlLine - 10, 'x')}, 5000ms, error);
        }
    });
    // Just under the bound: answered.
    ASSERT_TRUE(answer) << error;
    EXPECT_EQ(answer->status, 0);
    // Over it the client refuses to send it at all...
    ControlClient refusing;
    ASSERT_TRUE(refusing.connect(controlSocketPath(false)));
    EXPECT_FALSE(refusing.request({std::string(kMaxControlLine, 'x')}, 5000ms, error));
    EXPECT_NE(error.find("too long"), std::string::npos) << error;
    // ...and the server drops a client that sends one anyway.
    bool closed = false;
    whileServing([&] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, controlSocketPath(false).c_str(), sizeof addr.sun_path - 1);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            const std::string junk(kMaxControlLine + 100, 'x');
            for (size_t sent = 0; sent < junk.size();) {
                const ssize_t n = ::send(fd, junk.data() + sent, junk.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) {
                    break;
                }
                sent += static_cast<size_t>(n);
            }
            pollfd p{fd, POLLIN, 0};
            char c = 0;
            closed = ::poll(&p, 1, 5000) == 1 && ::read(fd, &c, 1) <= 0;
        }
        ::close(fd);
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(handler.calls, 1);
}

}  // namespace
}  // namespace rxt::test
