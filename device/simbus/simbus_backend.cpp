#include "device/simbus/simbus_backend.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "device/simbus/simbus_enumeration.h"

namespace rxt {
namespace {

thread_local std::string lastFailure;

void setTimeouts(int fd, int ms) {
    timeval tv{};
    tv.tv_sec = ms / 1000;
    tv.tv_usec = (ms % 1000) * 1000;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
}

// Waits for the first answer of a connection; false (errno ETIMEDOUT) when
// none comes in time.
bool waitReadable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    for (;;) {
        const int n = ::poll(&p, 1, ms);
        if (n > 0) {
            return true;
        }
        if (n == 0) {
            errno = ETIMEDOUT;
            return false;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

// One whole packet, however long; empty on a zero-length packet or end of
// file. False on error.
bool receivePacket(int fd, std::string& out) {
    out.clear();
    char probe;
    const ssize_t size = ::recv(fd, &probe, 1, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
    if (size < 0) {
        return false;
    }
    out.resize(static_cast<size_t>(size));
    if (size == 0) {
        ::recv(fd, &probe, 1, MSG_DONTWAIT);
        return true;
    }
    const ssize_t got = ::recv(fd, out.data(), out.size(), MSG_DONTWAIT);
    if (got < 0) {
        return false;
    }
    out.resize(static_cast<size_t>(got));
    return true;
}

}  // namespace

SimBusBackend::SimBusBackend(std::string socketPath) : socketPath_(std::move(socketPath)) {}

int SimBusBackend::connectAndSend(std::string_view message) const {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath_.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, socketPath_.data(), socketPath_.size());
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    // Bounds a connect to a full backlog and the first send.
    setTimeouts(fd, kHandshakeTimeoutMs);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::send(fd, message.data(), message.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(message.size())) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    return fd;
}

bool SimBusBackend::enumerate(std::vector<HidNodeInfo>& nodes) {
    nodes.clear();
    const int fd = connectAndSend("ENUM");
    if (fd < 0) {
        return false;
    }
    std::string text;
    const bool ok = waitReadable(fd, kHandshakeTimeoutMs) && receivePacket(fd, text);
    ::close(fd);
    if (!ok) {
        return false;
    }
    nodes = parseEnumeration(text);
    return true;
}

int SimBusBackend::openNode(const std::string& path, bool, bool, bool) {
    lastFailure.clear();
    const int fd = connectAndSend("OPEN " + path);
    if (fd < 0) {
        const int err = errno;
        lastFailure =
            "cannot reach the simulated bus at " + socketPath_ + ": " + std::strerror(err);
        errno = err;
        return -1;
    }
    std::string answer;
    if (!waitReadable(fd, kHandshakeTimeoutMs) || !receivePacket(fd, answer)) {
        const int err = errno;
        ::close(fd);
        lastFailure = "no answer from the simulated bus";
        errno = err;
        return -1;
    }
    if (answer == "OK") {
        timeval none{};  // transfers wait with poll(), not socket time-outs
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &none, sizeof none);
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &none, sizeof none);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        return fd;
    }
    ::close(fd);
    constexpr std::string_view kErr = "ERR";
    if (std::string_view(answer).substr(0, kErr.size()) == kErr) {
        std::string_view reason = std::string_view(answer).substr(kErr.size());
        if (!reason.empty() && reason.front() == ' ') {
            reason.remove_prefix(1);
        }
        lastFailure = reason.empty() ? "refused by the simulated bus" : std::string(reason);
        errno = ENODEV;
    } else {
        lastFailure = answer.empty() ? "the simulated bus closed the connection"
                                     : "unexpected answer from the simulated bus";
        errno = answer.empty() ? ENODEV : EPROTO;
    }
    return -1;
}

std::string SimBusBackend::lastOpenFailure() const {
    return lastFailure;
}

bool SimBusBackend::present(const std::string& path) {
    const int fd = openNode(path, false, false, false);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

int SimBusBackend::openWatch() {
    const int fd = connectAndSend("WATCH");
    if (fd < 0) {
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

void SimBusBackend::drainWatch(int watchFd) {
    char buffer[64];
    // Bounded, so a server that never stops sending cannot hold the caller
    // here: what is left keeps the watch readable for the next call.
    for (int messages = 0;;) {
        const ssize_t n = ::recv(watchFd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            if (++messages == 256) {
                return;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        break;  // end of file or error: the watch is over
    }
    // Left as it is, a closed socket stays readable and would wake its
    // poller forever; an eventfd nobody signals takes its place instead.
    const int inert = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (inert >= 0) {
        ::dup3(inert, watchFd, O_CLOEXEC);
        ::close(inert);
    }
}

}  // namespace rxt
