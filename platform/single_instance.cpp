#include "platform/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/debug_log.h"

namespace rxt {
namespace {

// What a second instance sends; anything else on the socket is ignored.
constexpr std::string_view kActivationText = "ORMELANE_004\n";
constexpr int kClientReadTimeoutMs = 500;

std::string errnoText(std::string_view what) {
    return std::string(what) + ": " + std::strerror(errno);
}

bool socketAddress(const std::filesystem::path& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    const std::string& p = path.native();
    if (p.empty() || p.size() >= sizeof addr.sun_path) {
        return false;
    }
    std::memcpy(addr.sun_path, p.c_str(), p.size() + 1);
    return true;
}

}  // namespace

std::filesystem::path runtimeFolder() {
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && xdg[0] == '/') {
        std::error_code ec;
        if (std::filesystem::is_directory(xdg, ec)) {
            return xdg;
        }
    }
    std::error_code ec;
    std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
    if (ec) {
        tmp = "/tmp";
    }
    const std::filesystem::path own = tmp / ("rx-t7100-" + std::to_string(::getuid()));
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    // Someone else's folder (or a link to one) under our name is not ours to use.
    struct stat st {};
    if (::lstat(own.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0) {
        return {};
    }
    return own;
}

InstanceLock::~InstanceLock() {
    release();
}

InstanceLock::Result InstanceLock::acquire(const std::filesystem::path& folder) {
    release();
    error_.clear();
    if (folder.empty()) {
        error_ = "no runtime folder for the instance lock";
        return Result::Unavailable;
    }
    const std::filesystem::path file = folder / kInstanceLockName;
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = errnoText("cannot open " + file.string());
        return Result::Unavailable;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool busy = errno == EWOULDBLOCK;
        error_ = busy ? "another instance holds " + file.string()
                      : errnoText("cannot lock " + file.string());
        ::close(fd);
        return busy ? Result::HeldElsewhere : Result::Unavailable;
    }
    fd_ = fd;
    return Result::Acquired;
}

void InstanceLock::release() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing drops the flock
        fd_ = -1;
    }
}

ActivationListener::~ActivationListener() {
    stop();
}

bool ActivationListener::start(const std::filesystem::path& folder,
                               std::function<void()> onActivation) {
    stop();
    error_.clear();
    path_ = folder / kActivationName;
    sockaddr_un addr{};
    if (folder.empty() || !socketAddress(path_, addr)) {
        error_ = "activation socket path unusable: " + path_.string();
        return false;
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd_ < 0) {
        error_ = errnoText("socket");
        return false;
    }
    // The caller holds the instance lock, so a socket file here is a leftover.
    ::unlink(path_.c_str());
    const mode_t oldMask = ::umask(077);
    const int bound = ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::umask(oldMask);
    if (bound != 0 || ::listen(listenFd_, 8) != 0) {
        error_ = errnoText("cannot listen on " + path_.string());
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        error_ = errnoText("eventfd");
        ::close(listenFd_);
        listenFd_ = -1;
        ::unlink(path_.c_str());
        return false;
    }
    onActivation_ = std::move(onActivation);
    thread_ = std::thread([this] { run(); });
    return true;
}

void ActivationListener::stop() {
    if (thread_.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
        thread_.join();
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        ::unlink(path_.c_str());
    }
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
        wakeFd_ = -1;
    }
}

void ActivationListener::run() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            debugLog("activation listener: poll failed");
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                serve(client);
                ::close(client);
            }
        }
    }
}

// One client, read with a bound so that a silent peer cannot hold the
// listener; only this user's processes are heard.
void ActivationListener::serve(int client) {
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != ::getuid()) {
        return;
    }
    std::string text;
    char buf[64];
    while (text.size() < kActivationText.size()) {
        pollfd fds[2] = {{client, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, kClientReadTimeoutMs);
        if (ready <= 0 || fds[1].revents != 0) {
            return;
        }
        const ssize_t n = ::read(client, buf, sizeof buf);
        if (n <= 0) {
            return;
        }
        text.append(buf, static_cast<size_t>(n));
    }
    if (text == kActivationText && onActivation_) {
        onActivation_();
    }
}

bool sendActivation(const std::filesystem::path& folder, std::chrono::milliseconds patience) {
    sockaddr_un addr{};
    if (folder.empty() || !socketAddress(folder / kActivationName, addr)) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return false;
        }
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            const ssize_t n =
                ::send(fd, kActivationText.data(), kActivationText.size(), MSG_NOSIGNAL);
            ::close(fd);
            return n == static_cast<ssize_t>(kActivationText.size());
        }
        ::close(fd);
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace rxt
