// The control socket's folder, its line protocol and rxtctl's client,
// against a server of the test's own on a thread.

#include "platform/control_socket.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "support/test_folder.h"

namespace rxt {
namespace {

using namespace std::chrono_literals;
using test::ScopedEnv;
using test::TempFolder;

TEST(ControlFolder, IsMadeForThisUserAloneAndRefusedOtherwise) {
    TempFolder dir;
    ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path().string());
    EXPECT_TRUE(controlFolder(false).empty());  // not made yet
    const std::filesystem::path folder = controlFolder(true);
    ASSERT_EQ(folder, dir.path() / "rx-t7100");
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(controlSocketPath(false), folder / "control");
    // Others could enter it: no socket there.
    ::chmod(folder.c_str(), 0755);
    EXPECT_TRUE(controlFolder(false).empty());
    EXPECT_TRUE(controlSocketPath(true).empty());
    // A link where the folder should be is refused too.
    std::filesystem::remove(folder);
    std::filesystem::create_directory_symlink(dir.path(), folder);
    EXPECT_TRUE(controlFolder(true).empty());
}

TEST(ControlProtocol, RequestsAreTabSeparatedAndAnswersLineByLine) {
    std::string line;
    ASSERT_TRUE(encodeControlRequest({"profile", "select", "mouse", "device", "My profile"}, line));
    EXPECT_EQ(line, "profile\tselect\tmouse\tdevice\tMy profile\n");
    EXPECT_EQ(decodeControlRequest("profile\tselect\tmouse\tdevice\tMy profile\r"),
              (std::vector<std::string>{"profile", "select", "mouse", "device", "My profile"}));
    EXPECT_EQ(decodeControlRequest("a\t\tb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(decodeControlRequest("").empty());
    EXPECT_FALSE(encodeControlRequest({"set", "a\tb"}, line));
    EXPECT_FALSE(encodeControlRequest({"set", "a\nb"}, line));

    EXPECT_EQ(encodeControlAnswer(ControlAnswer::done({"one", "two\nthree"})),
              "> one\n> two\n> three\nok\n");
    EXPECT_EQ(encodeControlAnswer(ControlAnswer::failed("no\nmouse")), "fail no mouse\n");
    EXPECT_EQ(encodeControlAnswer(ControlAnswer::usage("bad")), "usage bad\n");

    ControlAnswerReader reader;
    EXPECT_FALSE(reader.feed("> x"));
    EXPECT_TRUE(reader.feed("usage DPI must be 200 to 12000"));
    EXPECT_EQ(reader.answer().status, 2);
    EXPECT_EQ(reader.answer().reason, "DPI must be 200 to 12000");
    EXPECT_EQ(reader.answer().lines, std::vector<std::string>{"x"});
    ControlAnswerReader odd;
    EXPECT_TRUE(odd.feed("what"));
    EXPECT_EQ(odd.answer().status, 1);
}

// A server that answers each request with `answer` (empty: reads and
// never answers), or closes at once.
class LineServer {
  public:
    LineServer(const std::filesystem::path& path, std::string answer, bool closeAtOnce = false) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        EXPECT_EQ(::listen(fd_, 1), 0);
        thread_ = std::thread([this, answer, closeAtOnce] {
            const int client = ::accept(fd_, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            if (!closeAtOnce) {
                char buf[256];
                const ssize_t n = ::read(client, buf, sizeof buf);
                received = std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
                if (!answer.empty()) {
                    EXPECT_EQ(::send(client, answer.data(), answer.size(), MSG_NOSIGNAL),
                              static_cast<ssize_t>(answer.size()));
                }
                std::this_thread::sleep_for(300ms);
            }
            ::close(client);
        });
    }
    ~LineServer() {
        join();
        ::close(fd_);
    }
    void join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    std::string received;

  private:
    int fd_ = -1;
    std::thread thread_;
};

TEST(ControlClient, SendsTheArgumentsAndReadsTheWholeAnswer) {
    TempFolder dir;
    const auto path = dir / "control";
    std::string error;
    {
        LineServer server(path, "> first\n> second\nfail the mouse refused\n");
        ControlClient client;
        ASSERT_TRUE(client.connect(path));
        const auto answer = client.request({"set", "mouse", "dpi", "2", "1600"}, 5000ms, error);
        ASSERT_TRUE(answer) << error;
        EXPECT_EQ(answer->status, 1);
        EXPECT_EQ(answer->reason, "the mouse refused");
        EXPECT_EQ(answer->lines, (std::vector<std::string>{"first", "second"}));
        server.join();
        EXPECT_EQ(server.received, "set\tmouse\tdpi\t2\t1600\n");
    }
    std::filesystem::remove(path);
    {
        // A program that does not answer in time.
        LineServer server(path, "");
        ControlClient client;
        ASSERT_TRUE(client.connect(path));
        EXPECT_FALSE(client.request({"show", "mouse"}, 100ms, error));
        EXPECT_NE(error.find("no answer"), std::string::npos) << error;
    }
    std::filesystem::remove(path);
    {
        LineServer server(path, "", true);
        ControlClient client;
        ASSERT_TRUE(client.connect(path));
        EXPECT_FALSE(client.request({"show", "mouse"}, 5000ms, error));
        EXPECT_NE(error.find("closed"), std::string::npos) << error;
    }
    // Nobody listening: no program.
    std::filesystem::remove(path);
    ControlClient none;
    EXPECT_FALSE(none.connect(path));
    EXPECT_FALSE(none.connect(""));
}

}  // namespace
}  // namespace rxt
