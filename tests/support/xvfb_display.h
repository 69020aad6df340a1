#pragma once
// An X server of a test's own: Xvfb on a display number it picks itself
// (-displayfd), and test windows that claim a process id (_NET_WM_PID), as
// the foreground-application tests need. Header-only, so benchmarks may use
// it too.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace rxt::test {

// True when a program of that name is on PATH.
inline bool programOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = dirs.find(':', start);
        const std::string dir =
            dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

// Starts a program with its output discarded; -1 when it cannot start.
inline pid_t spawnQuiet(const std::vector<std::string>& argv, int keepFd = -1) {
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    (void)keepFd;  // inherited: the caller opened it without O_CLOEXEC
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// Ends a child started by spawnQuiet: SIGTERM, then SIGKILL after a while.
inline void endChild(pid_t pid) {
    if (pid <= 0) {
        return;
    }
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

// Xvfb on a free display, ended with the object.
class XvfbDisplay {
  public:
    XvfbDisplay() = default;
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;
    ~XvfbDisplay() { stop(); }

    static bool installed() { return programOnPath("Xvfb"); }

    // ":N" once the server accepts connections; empty when it did not start.
    // The server picks the number, so parallel tests never share one.
    std::string start(const std::string& screen = "1024x768x24") {
        int fds[2];
        if (::pipe(fds) != 0) {
            return {};
        }
        pid_ = spawnQuiet({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                           "-nolisten", "tcp"},
                          fds[1]);
        ::close(fds[1]);
        std::string number;
        if (pid_ > 0) {
            // The server writes its display number once it is ready.
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
            while (std::chrono::steady_clock::now() < end) {
                char c;
                const ssize_t n = ::read(fds[0], &c, 1);
                if (n == 1 && c == '\n') {
                    break;
                }
                if (n == 1) {
                    number += c;
                    continue;
                }
                if (n == 0) {
                    break;  // the server ended
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        ::close(fds[0]);
        if (number.empty()) {
            stop();
            return {};
        }
        name_ = ":" + number;
        return name_;
    }

    void stop() {
        endChild(pid_);
        pid_ = -1;
    }

    const std::string& name() const { return name_; }

  private:
    pid_t pid_ = -1;
    std::string name_;
};

// Runs xdotool on the display; true when it ended with 0.
inline bool xdotool(const std::string& display, const std::vector<std::string>& args) {
    std::string command = "DISPLAY=" + display + " xdotool";
    for (const auto& a : args) {
        command += " '" + a + "'";
    }
    command += " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

}  // namespace rxt::test
