#pragma once
// What the end-to-end tests need to run the real program: an X server of
// their own (Xvfb on a free display), child processes with their output in
// files, and line clients for the program's automation socket and the
// simulator's control socket.

#include <fcntl.h>
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
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/xvfb_display.h"

extern char** environ;

namespace rxt::e2e {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

inline std::string binDir() {
    return RXT_BIN_DIR;
}

inline bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    const auto end = Clock::now() + bound;
    while (!done()) {
        if (Clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

using test::programOnPath;

// A child process; its standard output and error go to one file.
class Child {
  public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() { kill(); }

    bool start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
               const std::filesystem::path& output) {
        output_ = output;
        std::vector<std::string> envText;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry = *e;
            const std::string name = entry.substr(0, entry.find('='));
            if (env.count(name) == 0) {
                envText.push_back(entry);
            }
        }
        for (const auto& [name, value] : env) {
            if (!value.empty()) {
                envText.push_back(name + "=" + value);
            }
        }
        std::vector<char*> args, envs;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        for (auto& e : envText) {
            envs.push_back(e.data());
        }
        envs.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        const int rc = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), envs.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            pid_ = -1;
            return false;
        }
        return true;
    }

    bool running() {
        if (pid_ <= 0) {
            return false;
        }
        int status = 0;
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            status_ = status;
            pid_ = -1;
            return false;
        }
        return true;
    }

    // The exit code once it ended within bound; nullopt otherwise.
    std::optional<int> wait(std::chrono::milliseconds bound) {
        if (!waitFor([this] { return !running(); }, bound)) {
            return std::nullopt;
        }
        if (!status_) {
            return std::nullopt;
        }
        return WIFEXITED(*status_) ? WEXITSTATUS(*status_) : 128 + WTERMSIG(*status_);
    }

    void kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            if (!wait(3000ms)) {
                ::kill(pid_, SIGKILL);
                wait(3000ms);
            }
        }
    }

    pid_t pid() const { return pid_; }
    std::string output() const {
        std::ifstream in(output_);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
    std::filesystem::path output_;
};

// Xvfb on a display the server picks itself. Choosing a free number here
// raced with a parallel test: both started ":90", the loser saw the winner's
// socket and used its server, which died with the other test.
class VirtualDisplay {
  public:
    bool start() { return !server_.start("1280x800x24").empty(); }
    const std::string& name() const { return server_.name(); }

  private:
    test::XvfbDisplay server_;
};

// One request line, one answer line, over a Unix stream socket.
class LineClient {
  public:
    ~LineClient() { close(); }

    bool connect(const std::filesystem::path& path, std::chrono::milliseconds patience) {
        return waitFor(
            [&] {
                fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
                sockaddr_un addr{};
                addr.sun_family = AF_UNIX;
                std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
                if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
                    return true;
                }
                ::close(fd_);
                fd_ = -1;
                return false;
            },
            patience);
    }

    // The answer line without its '\n'; empty when none came in time.
    std::string request(const std::string& line, std::chrono::milliseconds bound = 10000ms) {
        const std::string out = line + "\n";
        if (fd_ < 0 ||
            ::send(fd_, out.data(), out.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(out.size())) {
            return {};
        }
        const auto end = Clock::now() + bound;
        for (;;) {
            const size_t nl = buffer_.find('\n');
            if (nl != std::string::npos) {
                std::string answer = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return answer;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0) {
                return {};
            }
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return {};
            }
            char buf[4096];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) {
                return {};
            }
            buffer_.append(buf, static_cast<size_t>(n));
        }
    }

    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_ = -1;
    std::string buffer_;
};

// Waits until the program's control shows `expected` for `property`.
inline bool waitForControl(LineClient& automation, const std::string& control,
                           const std::string& property, const std::string& expected,
                           std::chrono::milliseconds bound = 20000ms) {
    return waitFor(
        [&] { return automation.request("get " + control + " " + property) == "ok " + expected; },
        bound);
}

// Asks a program still running to quit and waits for it.
inline void quitProgram(Child& program, LineClient& automation) {
    if (program.running()) {
        automation.request("quit");
        program.wait(20000ms);
    }
}

// Waits until the simulated device has taken no request for `quiet`: the
// program's own sends (a profile sent on arrival or on add) are over, so a
// change the test makes on the device is not overwritten by one of them.
inline bool waitForQuietDevice(LineClient& control, const std::string& kind,
                               std::chrono::milliseconds quiet = 300ms,
                               std::chrono::milliseconds bound = 15000ms) {
    auto nextSeq = [&] {
        const std::string answer = control.request("counters " + kind);
        const size_t at = answer.find("requests=");
        return at == std::string::npos ? std::string{}
                                       : answer.substr(at, answer.find(' ', at) - at);
    };
    std::string last = nextSeq();
    auto since = Clock::now();
    return waitFor(
        [&] {
            const std::string now = nextSeq();
            if (now != last || now.empty()) {
                last = now;
                since = Clock::now();
                return false;
            }
            return Clock::now() - since >= quiet;
        },
        bound);
}

// A home of the test's own for the program: its config folder and a
// private runtime folder (the program's sockets live there).
inline void makeProgramHome(const std::filesystem::path& home) {
    std::filesystem::create_directories(home / "config");
    std::filesystem::create_directories(home / "run");
    ::chmod((home / "run").c_str(), 0700);
}

// The program's environment: that home, the test's X server and no Wayland
// session, debug output on, no bus from the caller's environment, and no
// leak report for the toolkit's own allocations.
inline std::map<std::string, std::string> programEnvironment(const std::filesystem::path& home,
                                                             const std::string& display) {
    return {{"DISPLAY", display},
            {"QT_QPA_PLATFORM", "xcb"},
            {"HOME", home.string()},
            {"XDG_CONFIG_HOME", (home / "config").string()},
            {"XDG_RUNTIME_DIR", (home / "run").string()},
            {"WAYLAND_DISPLAY", ""},
            {"XDG_SESSION_TYPE", ""},
            {"RXT_DEBUG", "1"},
            {"RXT_HID_BUS", ""},
            {"ASAN_OPTIONS", "detect_leaks=0"}};
}

// Runs a command to the end and gives its output (xdotool).
inline std::string capture(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p) != nullptr) {
            out += buf;
        }
        ::pclose(p);
    }
    return out;
}

}  // namespace rxt::e2e
