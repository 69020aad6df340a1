#include "sim/bus_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "sim/control_protocol.h"

namespace rxt::sim {
namespace {

// A connection that never reads keeps at most this many reports; older ones
// are dropped first, as a full hidraw buffer does.
constexpr size_t kMaxQueuedReports = 1024;
constexpr size_t kMaxQueuedNotices = 64;
constexpr size_t kMaxControlLine = 1 << 20;
constexpr size_t kMaxControlOutput = 64 << 20;
constexpr size_t kMaxConnections = 1000;
constexpr int kMessagesPerTurn =
    64;  // per connection, so that one busy client cannot starve others

std::string errnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void setError(std::string* error, std::string text) {
    if (error) {
        *error = std::move(text);
    }
}

bool fillAddress(const std::string& path, sockaddr_un& addr, std::string* error) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) {
        setError(error, "socket path must have 1 to " + std::to_string(sizeof addr.sun_path - 1) +
                            " bytes: " + path);
        return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    return true;
}

// Removes a socket file nobody serves any more; refuses to touch anything else.
bool clearStaleSocket(const std::string& path, int type, std::string* error) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return errno == ENOENT || (setError(error, errnoText(path)), false);
    }
    if (!S_ISSOCK(st.st_mode)) {
        setError(error, path + " exists and is not a socket");
        return false;
    }
    sockaddr_un addr{};
    if (!fillAddress(path, addr, error)) {
        return false;
    }
    const int probe = socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
    if (probe < 0) {
        setError(error, errnoText("socket"));
        return false;
    }
    const int rc = connect(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    const int err = errno;
    close(probe);
    if (rc == 0) {
        setError(error, path + " is served by another process");
        return false;
    }
    if (err != ECONNREFUSED) {
        errno = err;
        setError(error, errnoText(path));
        return false;
    }
    unlink(path.c_str());
    return true;
}

int listenOn(const std::string& path, int type, std::string* error) {
    sockaddr_un addr{};
    if (!fillAddress(path, addr, error) || !clearStaleSocket(path, type, error)) {
        return -1;
    }
    const int fd = socket(AF_UNIX, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        setError(error, errnoText("socket"));
        return -1;
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 64) != 0) {
        setError(error, errnoText(path));
        close(fd);
        return -1;
    }
    return fd;
}

struct Connection {
    enum class Role { New, Watch, Device, Control };

    int fd = -1;
    Role role = Role::New;
    InterfaceRef where;
    std::deque<std::vector<uint8_t>> out;  // whole messages (bus connections)
    std::string controlIn;
    std::string controlOut;
    bool discardingLine = false;
    bool readClosed = false;
    bool closeWhenFlushed = false;
    bool dead = false;

    bool hasOutput() const { return !out.empty() || !controlOut.empty(); }
};

std::vector<uint8_t> textMessage(std::string_view s) {
    return {s.begin(), s.end()};
}

class Loop {
  public:
    Loop(Simulator& sim, int busFd, int controlFd, int wakeFd)
        : sim_(sim), busFd_(busFd), controlFd_(controlFd), wakeFd_(wakeFd) {}

    ~Loop() {
        for (auto& c : conns_) {
            closeGracefully(c->fd);
        }
    }

    // One turn: take the simulator's events, wait for the sockets, serve them.
    void turn(const std::atomic<bool>& stopping) {
        const BusEvents ev = sim_.takeEvents();
        apply(ev);
        flushAll();
        reap();

        int timeout = -1;
        if (ev.nextDue) {
            const auto wait = *ev.nextDue - SimClock::now();
            const double ms = std::chrono::duration<double, std::milli>(wait).count();
            timeout = ms <= 0 ? 0 : static_cast<int>(std::ceil(ms));
        }
        pfds_.clear();
        pfds_.push_back({wakeFd_, POLLIN, 0});
        pfds_.push_back({busFd_, POLLIN, 0});
        pfds_.push_back({controlFd_, static_cast<short>(controlFd_ >= 0 ? POLLIN : 0), 0});
        for (auto& c : conns_) {
            short events = c->readClosed ? 0 : POLLIN;
            if (c->hasOutput()) {
                events |= POLLOUT;
            }
            pfds_.push_back({c->fd, events, 0});
        }
        if (poll(pfds_.data(), pfds_.size(), timeout) < 0) {
            return;  // EINTR: the next turn polls again
        }
        if (stopping) {
            return;
        }
        if (pfds_[0].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] ssize_t n = read(wakeFd_, &count, sizeof count);
        }
        // Connections accepted below are polled from the next turn on.
        const size_t polled = conns_.size();
        for (size_t i = 0; i < polled; ++i) {
            Connection& c = *conns_[i];
            const short re = pfds_[3 + i].revents;
            if (re & (POLLIN | POLLHUP | POLLERR)) {
                serveInput(c);
            }
            if (!c.dead && (re & POLLOUT)) {
                flush(c);
            }
        }
        if (pfds_[1].revents & POLLIN) {
            acceptAll(busFd_, Connection::Role::New);
        }
        if (controlFd_ >= 0 && (pfds_[2].revents & POLLIN)) {
            acceptAll(controlFd_, Connection::Role::Control);
        }
        // Replies to what was just served go out before any connection is
        // closed, so that a device leaving after a reply still sends it.
        apply(sim_.takeEvents());
        flushAll();
        reap();
    }

  private:
    void apply(const BusEvents& ev) {
        for (const BusReport& r : ev.reports) {
            for (auto& c : conns_) {
                if (c->role == Connection::Role::Device && c->where.kind == r.where.kind &&
                    c->where.plug == r.where.plug && c->where.index == r.where.index) {
                    if (c->out.size() >= kMaxQueuedReports) {
                        c->out.pop_front();
                    }
                    c->out.push_back(r.bytes);
                }
            }
        }
        for (const auto& [kind, plug] : ev.gone) {
            for (auto& c : conns_) {
                if (c->role == Connection::Role::Device && c->where.kind == kind &&
                    c->where.plug == plug) {
                    flush(*c);  // what the device sent before it left
                    c->dead = true;
                }
            }
        }
        for (uint32_t i = 0; i < ev.changes; ++i) {
            for (auto& c : conns_) {
                if (c->role == Connection::Role::Watch && c->out.size() < kMaxQueuedNotices) {
                    c->out.push_back(textMessage("CHANGED"));
                }
            }
        }
    }

    void acceptAll(int listenFd, Connection::Role role) {
        for (;;) {
            const int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                return;  // EAGAIN, or a connection that vanished before we took it
            }
            if (conns_.size() >= kMaxConnections) {
                close(fd);
                continue;
            }
            auto c = std::make_unique<Connection>();
            c->fd = fd;
            c->role = role;
            conns_.push_back(std::move(c));
        }
    }

    void serveInput(Connection& c) {
        switch (c.role) {
            case Connection::Role::New:
                serveFirstMessage(c);
                break;
            case Connection::Role::Device:
                serveReports(c);
                break;
            case Connection::Role::Watch: {
                // Nothing is expected from a watcher but its close.
                const ssize_t n = recv(c.fd, buf_.data(), buf_.size(), MSG_DONTWAIT);
                if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
                    c.dead = true;
                }
                break;
            }
            case Connection::Role::Control:
                serveControl(c);
                break;
        }
    }

    void serveFirstMessage(Connection& c) {
        const ssize_t n = recv(c.fd, buf_.data(), buf_.size(), MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        if (n <= 0) {
            c.dead = true;
            return;
        }
        const std::string_view msg(reinterpret_cast<const char*>(buf_.data()),
                                   static_cast<size_t>(n));
        if (msg == "ENUM") {
            c.out.push_back(textMessage(sim_.enumerationText()));
            c.closeWhenFlushed = true;
        } else if (msg == "WATCH") {
            c.role = Connection::Role::Watch;
        } else if (msg.starts_with("OPEN ")) {
            if (auto where = sim_.findInterface(msg.substr(5))) {
                c.role = Connection::Role::Device;
                c.where = *where;
                c.out.push_back(textMessage("OK"));
            } else {
                c.out.push_back(textMessage("ERR no such interface"));
                c.closeWhenFlushed = true;
            }
        } else {
            c.out.push_back(textMessage("ERR unknown request"));
            c.closeWhenFlushed = true;
        }
    }

    void serveReports(Connection& c) {
        for (int i = 0; i < kMessagesPerTurn && !c.dead; ++i) {
            const ssize_t n = recv(c.fd, buf_.data(), buf_.size(), MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            }
            if (n <= 0) {
                c.dead = true;
                return;
            }
            if (!sim_.deliver(c.where,
                              std::span<const uint8_t>(buf_.data(), static_cast<size_t>(n)))) {
                c.dead = true;  // unplugged meanwhile
            }
        }
    }

    void serveControl(Connection& c) {
        const ssize_t n = recv(c.fd, buf_.data(), buf_.size(), MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        if (n < 0) {
            c.dead = true;
            return;
        }
        if (n == 0) {
            // The client may half-close after its last line and still read.
            c.readClosed = true;
            if (!c.controlIn.empty() && !c.discardingLine) {
                answerLine(c, c.controlIn);
            }
            c.controlIn.clear();
            c.closeWhenFlushed = true;
            return;
        }
        c.controlIn.append(reinterpret_cast<const char*>(buf_.data()), static_cast<size_t>(n));
        size_t start = 0;
        for (size_t nl; (nl = c.controlIn.find('\n', start)) != std::string::npos; start = nl + 1) {
            if (c.discardingLine) {
                c.discardingLine = false;
                continue;
            }
            answerLine(c, std::string_view(c.controlIn).substr(start, nl - start));
        }
        c.controlIn.erase(0, start);
        if (c.controlIn.size() > kMaxControlLine) {
            if (!c.discardingLine) {
                c.controlOut += "error line too long\n";
            }
            c.discardingLine = true;
            c.controlIn.clear();
        }
    }

    void answerLine(Connection& c, std::string_view line) {
        c.controlOut += executeControlLine(sim_, line);
        c.controlOut += '\n';
        if (c.controlOut.size() > kMaxControlOutput) {
            c.dead = true;  // a client that never reads its answers
        }
    }

    void flush(Connection& c) {
        while (!c.out.empty()) {
            const auto& m = c.out.front();
            const ssize_t n = send(c.fd, m.data(), m.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0) {
                if (errno != EAGAIN && errno != EWOULDBLOCK) {
                    c.dead = true;
                }
                return;
            }
            c.out.pop_front();
        }
        while (!c.controlOut.empty()) {
            const ssize_t n =
                send(c.fd, c.controlOut.data(), c.controlOut.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0) {
                if (errno != EAGAIN && errno != EWOULDBLOCK) {
                    c.dead = true;
                }
                return;
            }
            c.controlOut.erase(0, static_cast<size_t>(n));
        }
        if (c.closeWhenFlushed) {
            c.dead = true;
        }
    }

    void flushAll() {
        for (auto& c : conns_) {
            if (!c->dead && c->hasOutput()) {
                flush(*c);
            } else if (c->closeWhenFlushed && !c->hasOutput()) {
                c->dead = true;
            }
        }
    }

    void reap() {
        std::erase_if(conns_, [this](const std::unique_ptr<Connection>& c) {
            if (c->dead) {
                closeGracefully(c->fd);
            }
            return c->dead;
        });
    }

    // Closing a Unix socket with unread input makes the peer's next read fail
    // with ECONNRESET before it has read what was sent to it (a device's last
    // reply, an ENUM answer). So first stop the peer from sending, then
    // discard what it sent, then close: the peer reads everything, then EOF.
    void closeGracefully(int fd) {
        shutdown(fd, SHUT_RDWR);
        while (recv(fd, buf_.data(), buf_.size(), MSG_DONTWAIT) > 0) {
        }
        close(fd);
    }

    Simulator& sim_;
    int busFd_;
    int controlFd_;
    int wakeFd_;
    std::vector<std::unique_ptr<Connection>> conns_;
    std::vector<pollfd> pfds_;
    std::vector<uint8_t> buf_ = std::vector<uint8_t>(65536);
};

uint64_t inodeOf(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

void removeIfOurs(const std::string& path, uint64_t inode) {
    if (!path.empty() && inode != 0 && inodeOf(path) == inode) {
        unlink(path.c_str());
    }
}

}  // namespace

BusServer::BusServer(Simulator& sim) : sim_(sim) {}

BusServer::~BusServer() {
    stop();
}

bool BusServer::start(const std::string& busPath, const std::string& controlPath,
                      std::string* error) {
    if (running()) {
        setError(error, "already serving " + busPath_);
        return false;
    }
    busFd_ = listenOn(busPath, SOCK_SEQPACKET, error);
    if (busFd_ < 0) {
        return false;
    }
    if (!controlPath.empty()) {
        controlFd_ = listenOn(controlPath, SOCK_STREAM, error);
        if (controlFd_ < 0) {
            close(busFd_);
            busFd_ = -1;
            unlink(busPath.c_str());
            return false;
        }
    }
    busPath_ = busPath;
    controlPath_ = controlPath;
    busInode_ = inodeOf(busPath);
    controlInode_ = controlPath.empty() ? 0 : inodeOf(controlPath);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        setError(error, errnoText("eventfd"));
        stop();
        return false;
    }
    const int wake = wakeFd_;
    sim_.setWakeup([wake] {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(wake, &one, sizeof one);
    });
    stopping_ = false;
    thread_ = std::thread([this] { loop(); });
    return true;
}

void BusServer::loop() {
    Loop l(sim_, busFd_, controlFd_, wakeFd_);
    while (!stopping_) {
        l.turn(stopping_);
    }
}

void BusServer::stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
        thread_.join();
    }
    sim_.setWakeup(nullptr);
    for (int* fd : {&busFd_, &controlFd_, &wakeFd_}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
    removeIfOurs(busPath_, busInode_);
    removeIfOurs(controlPath_, controlInode_);
    busInode_ = controlInode_ = 0;
}

}  // namespace rxt::sim
