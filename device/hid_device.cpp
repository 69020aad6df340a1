#include "device/hid_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "device/hid_path.h"

namespace rxt {
namespace {

// The path field of an interface holds 260 characters with the terminator.
constexpr size_t kMaxPathLength = 259;

// No HID device has a longer report descriptor (the kernel refuses them). A
// longer one from a simulated bus is not described: each of its collections
// would otherwise carry a copy of the whole descriptor.
constexpr size_t kMaxDescriptorSize = 4096;

// Reports a hidraw reader queues; foreign ones still skipped past a deadline.
constexpr int kMaxLateSkips = 64;

std::string collectionSuffix(size_t number) {
    char text[32];
    std::snprintf(text, sizeof text, "&col%02zx", number);
    return text;
}

// One entry per top-level collection; an unparseable node still shows up
// once, with zero usage and lengths, so that tools can list it.
void appendEntries(const HidNodeInfo& node, std::vector<HidPathEntry>& out) {
    HidDescriptorInfo info;
    const bool parsed = node.descriptor.size() <= kMaxDescriptorSize &&
                        parseReportDescriptor(node.descriptor, info) && !info.collections.empty();
    const size_t count = parsed ? info.collections.size() : 1;
    for (size_t i = 0; i < count; ++i) {
        HidPathEntry e;
        e.path = count > 1 ? node.path + collectionSuffix(i + 1) : node.path;
        e.nodePath = node.path;
        e.collectionIndex = i;
        e.vendor = node.vendor;
        e.product = node.product;
        e.version = node.version;
        e.interfaceNumber = node.interfaceNumber;
        e.collectionNumber = collectionFromPath(e.path);
        e.descriptor = node.descriptor;
        e.describable = parsed;
        if (parsed) {
            const HidCollectionInfo& c = info.collections[i];
            e.usagePage = c.usagePage;
            e.usage = c.usage;
            e.inputLength = c.of(HidReportType::Input).length;
            e.outputLength = c.of(HidReportType::Output).length;
            e.featureLength = c.of(HidReportType::Feature).length;
        }
        out.push_back(std::move(e));
    }
}

bool findIn(const std::vector<HidPathEntry>& entries, std::string_view path, HidPathEntry& out) {
    for (const HidPathEntry& e : entries) {
        if (e.path == path) {
            out = e;
            return true;
        }
    }
    return false;
}

// The node behind an entry path we made by appending "&col" and hex digits.
std::string_view withoutCollectionSuffix(std::string_view path) {
    const size_t marker = path.rfind("&col");
    if (marker == std::string_view::npos || path.size() - marker < 6) {
        return path;
    }
    for (size_t i = marker + 4; i < path.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(path[i]))) {
            return path;
        }
    }
    return path.substr(0, marker);
}

int remainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) {
        return 0;
    }
    // Rounded up so that a wait never ends before the deadline.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > 0x7fffffff ? 0x7fffffff : static_cast<int>(ms);
}

}  // namespace

const HidPathEntry* HidPathList::next() {
    if (cursor_ >= entries_.size()) {
        return nullptr;
    }
    return &entries_[cursor_++];
}

void HidPathList::clear() {
    entries_.clear();
    entries_.shrink_to_fit();
    cursor_ = 0;
}

const HidPathEntry* HidPathList::find(std::string_view path) const {
    for (const HidPathEntry& e : entries_) {
        if (e.path == path) {
            return &e;
        }
    }
    return nullptr;
}

HidDevice::HidDevice(std::shared_ptr<HidBackend> backend) : backend_(std::move(backend)) {
    // Not a semaphore: one signal stays readable until close drains it, so
    // every transfer waiting (or starting) meanwhile sees it.
    cancelFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

HidDevice::~HidDevice() {
    close();
    if (cancelFd_ >= 0) {
        ::close(cancelFd_);
    }
}

std::shared_ptr<HidBackend> HidDevice::backendNow() {
    return backend_ ? backend_ : defaultHidBackend();
}

bool HidDevice::enumerate() {
    paths_.clear();
    std::shared_ptr<HidBackend> backend = backendNow();
    if (!backend) {
        return false;
    }
    std::vector<HidNodeInfo> nodes;
    if (!backend->enumerate(nodes)) {
        return false;
    }
    for (const HidNodeInfo& node : nodes) {
        appendEntries(node, paths_.entries());
    }
    paths_.reset();
    return true;
}

bool HidDevice::isOpen() const {
    std::lock_guard lock(mutex_);
    return fd_ >= 0;
}

int HidDevice::lastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

std::string HidDevice::lastErrorText() const {
    std::lock_guard lock(mutex_);
    return lastErrorText_;
}

void HidDevice::setError(int error, std::string text) {
    lastError_ = error;
    lastErrorText_ = std::move(text);
}

bool HidDevice::present(std::string_view path) {
    std::shared_ptr<HidBackend> backend = backendNow();
    if (!backend) {
        return false;
    }
    std::string node;
    if (const HidPathEntry* listed = paths_.find(path)) {
        node = listed->nodePath;
    } else {
        std::lock_guard lock(mutex_);
        node = path == devicePath_ && !nodePath_.empty()
                   ? nodePath_
                   : std::string(withoutCollectionSuffix(path));
    }
    return backend->present(node);
}

bool HidDevice::open(std::string_view path, bool read, bool write, bool overlapped,
                     bool exclusive) {
    std::unique_lock lock(mutex_);
    closeLocked(lock);
    openRead_ = read;
    openWrite_ = write;
    overlapped_ = overlapped;
    exclusive_ = exclusive;
    setError(0, {});
    if (path.size() > kMaxPathLength) {
        devicePath_.clear();
        setError(ENAMETOOLONG, "path longer than 259 characters");
        return false;
    }
    devicePath_ = path;
    if (cancelFd_ < 0) {
        setError(EMFILE, "no cancel event");
        return false;
    }
    return openLocked(path, read, write);
}

bool HidDevice::openLocked(std::string_view path, bool read, bool write) {
    std::shared_ptr<HidBackend> backend = backendNow();
    if (!backend) {
        setError(ENODEV, "no HID bus");
        return false;
    }
    HidPathEntry entry;
    bool found = false;
    if (const HidPathEntry* listed = paths_.find(path)) {
        entry = *listed;
        found = true;
    } else {
        std::vector<HidNodeInfo> nodes;
        if (backend->enumerate(nodes)) {
            std::vector<HidPathEntry> entries;
            for (const HidNodeInfo& node : nodes) {
                appendEntries(node, entries);
            }
            found = findIn(entries, path, entry);
        }
    }
    if (!found) {
        setError(ENOENT, "no such interface");
        return false;
    }
    HidDescriptorInfo info;
    std::string parseError;
    if (!entry.describable || !parseReportDescriptor(entry.descriptor, info, &parseError) ||
        entry.collectionIndex >= info.collections.size()) {
        setError(EINVAL, "unreadable report descriptor" +
                             (parseError.empty() ? std::string() : ": " + parseError));
        return false;
    }

    errno = 0;
    const int fd = backend->openNode(entry.nodePath, read, write, exclusive_);
    if (fd < 0) {
        const int err = errno != 0 ? errno : EIO;
        std::string reason = backend->lastOpenFailure();
        setError(err, reason.empty() ? std::strerror(err) : reason);
        return false;
    }
    struct stat st {};
    isSocket_ = ::fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
    // A node is read without blocking after poll(); a socket is left blocking
    // so that an exchange waits in recv() alone, each call saying whether it
    // may wait.
    const int flags = ::fcntl(fd, F_GETFL);
    const int wanted = isSocket_ ? flags & ~O_NONBLOCK : flags | O_NONBLOCK;
    if (flags < 0 || ::fcntl(fd, F_SETFL, wanted) < 0) {
        const int err = errno;
        ::close(fd);
        setError(err, std::strerror(err));
        return false;
    }
    socketTimeoutMs_ = -2;

    collection_ = std::move(info.collections[entry.collectionIndex]);
    filterInput_ = info.collections.size() > 1;
    caps_.usagePage = collection_.usagePage;
    caps_.usage = collection_.usage;
    caps_.inputLength = collection_.of(HidReportType::Input).length;
    caps_.outputLength = collection_.of(HidReportType::Output).length;
    caps_.featureLength = collection_.of(HidReportType::Feature).length;
    attributes_ = {entry.vendor, entry.product, entry.version};
    interfaceNumber_ = entry.interfaceNumber;
    collectionNumber_ = collectionFromPath(path);
    for (HidReportType type :
         {HidReportType::Input, HidReportType::Output, HidReportType::Feature}) {
        const size_t t = static_cast<size_t>(type);
        buffers_[t].assign(collection_.of(type).length, 0);
        items_[t] = makeDataItems(collection_, type);
    }
    nodePath_ = entry.nodePath;
    fd_ = fd;
    return true;
}

void HidDevice::close() {
    std::unique_lock lock(mutex_);
    closeLocked(lock);
}

void HidDevice::closeLocked(std::unique_lock<std::mutex>& lock) {
    if (busy_ > 0 && cancelFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(cancelFd_, &one, sizeof one);
    }
    if (busy_ > 0 && isSocket_ && fd_ >= 0) {
        // A read waiting in recv() sees no eventfd: the shut socket ends it.
        ::shutdown(fd_, SHUT_RDWR);
    }
    closing_ = true;
    idle_.wait(lock, [this] { return busy_ == 0; });
    closing_ = false;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    // A signal nobody consumed must not cancel the next transfer.
    if (cancelFd_ >= 0) {
        uint64_t value;
        while (::read(cancelFd_, &value, sizeof value) > 0) {
        }
    }
    caps_ = {};
    attributes_ = {};
    collection_ = {};
    for (size_t t = 0; t < 3; ++t) {
        buffers_[t].clear();
        buffers_[t].shrink_to_fit();
        items_[t].clear();
        items_[t].shrink_to_fit();
    }
    interfaceNumber_ = 0;
    collectionNumber_ = 0;
    nodePath_.clear();
    filterInput_ = false;
    isSocket_ = false;
}

bool HidDevice::read(size_t length, uint8_t* buffer, int timeoutMs, size_t* outCount) {
    return transfer(true, length, buffer, timeoutMs, outCount);
}

bool HidDevice::write(size_t length, const uint8_t* buffer, int timeoutMs, size_t* outCount) {
    // transfer() never writes through the pointer when sending.
    return transfer(false, length, const_cast<uint8_t*>(buffer), timeoutMs, outCount);
}

bool HidDevice::transfer(bool isRead, size_t length, uint8_t* buffer, int timeoutMs,
                         size_t* outCount) {
    if (outCount != nullptr) {
        *outCount = 0;
    }
    if (length == 0 || buffer == nullptr) {
        return false;
    }
    int fd;
    bool filter;
    bool isSocket;
    bool prependId;
    int foreignPauseMs;
    {
        std::lock_guard lock(mutex_);
        if (fd_ < 0 || closing_) {
            return false;
        }
        fd = fd_;
        filter = isRead && filterInput_;
        isSocket = isSocket_;
        // Nodes deliver unnumbered input reports without an id byte; callers
        // always get one (0), as the report lengths count it.
        prependId = isRead && !collection_.numbered && length >= 2;
        foreignPauseMs = foreignPauseMs_;
        if (isRead && isSocket && timeoutMs != 0 && timeoutMs != socketTimeoutMs_) {
            // The socket's own time-out bounds a read that waits in recv().
            const int ms = timeoutMs < 0 ? 0 : timeoutMs;
            timeval limit{ms / 1000, (ms % 1000) * 1000};
            if (::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) == 0) {
                socketTimeoutMs_ = timeoutMs;
            }
        }
        ++busy_;
    }
    std::atomic<bool>& flag = isRead ? readInProgress_ : writeInProgress_;
    flag = true;

    const bool forever = timeoutMs < 0;
    int lateSkips = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool ok = false;

    // One report off the descriptor; `wait` only matters for a socket, which
    // is left blocking so that a read needs no poll() before it.
    auto receive = [&](bool wait) -> ssize_t {
        uint8_t* to = prependId ? buffer + 1 : buffer;
        const size_t room = prependId ? length - 1 : length;
        const ssize_t got = isSocket ? ::recv(fd, to, room, wait ? 0 : MSG_DONTWAIT)
                                     : ::read(fd, to, room);
        if (got > 0 && prependId) {
            buffer[0] = 0;
            return got + 1;
        }
        return got;
    };
    auto accept = [&](ssize_t done) {
        if (static_cast<size_t>(done) == length || isRead) {
            ok = true;
            if (outCount != nullptr) {
                *outCount = static_cast<size_t>(done);
            }
        }
    };
    auto foreign = [&] { return filter && !collection_.ownsInputReport(buffer[0]); };
    // After another collection's report, everything queued is read at once,
    // then the reader rests: a node busy with replies to someone else's
    // commands wakes it once per pause instead of once per report.
    // Returns 1 with an own report read, 0 to go on waiting, -1 to give up.
    auto drainForeign = [&]() -> int {
        if (foreignPauseMs <= 0) {
            return 0;
        }
        for (int i = 0; i < kMaxLateSkips; ++i) {
            const ssize_t done = receive(false);
            if (done > 0 && !foreign()) {
                accept(done);
                return 1;
            }
            if (done < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                break;
            }
            if (done <= 0) {
                return -1;
            }
        }
        const int rest = forever ? foreignPauseMs : std::min(foreignPauseMs, remainingMs(deadline));
        pollfd cancel{cancelFd_, POLLIN, 0};
        if (rest > 0 && ::poll(&cancel, 1, rest) > 0) {
            return -1;  // cancelled by close
        }
        return 0;
    };

    if (isRead && isSocket && timeoutMs != 0) {
        // The common exchange: one recv() waiting on the socket itself.
        const ssize_t done = receive(true);
        if (done > 0 && !foreign()) {
            accept(done);
        } else if (done > 0) {
            if (drainForeign() != 0) {
                goto finished;
            }
        } else if (done == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) ||
                   (!forever && remainingMs(deadline) == 0)) {
            goto finished;  // closed, failed or timed out
        }
        if (ok) {
            goto finished;
        }
    }
    {
        // A write, and a read that may not wait, try the descriptor first: it
        // is non-blocking, so only a full queue (or an empty one) needs the poll.
        bool tryFirst = !isRead || timeoutMs == 0;
        for (;;) {
            if (tryFirst) {
                tryFirst = false;
                ssize_t done;
                if (isRead) {
                    done = receive(false);
                } else if (isSocket) {
                    done = ::send(fd, buffer, length, MSG_NOSIGNAL | MSG_DONTWAIT);
                } else {
                    done = ::write(fd, buffer, length);
                }
                if (done < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                    if (isRead) {
                        break;  // nothing queued, and no time to wait
                    }
                    continue;  // the queue is full: wait for room
                }
                if (done < 0 || (isRead && done == 0)) {
                    break;
                }
                if (isRead && foreign()) {
                    tryFirst = true;  // another collection's report: look again
                    if (++lateSkips > kMaxLateSkips) {
                        break;
                    }
                    continue;
                }
                accept(done);
                break;
            }
            pollfd fds[2] = {{cancelFd_, POLLIN, 0}, {fd, short(isRead ? POLLIN : POLLOUT), 0}};
            const int wait = forever ? -1 : remainingMs(deadline);
            const int n = ::poll(fds, 2, wait);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                break;
            }
            if (fds[0].revents != 0) {
                break;  // cancelled by close
            }
            if (n == 0) {
                if (forever || remainingMs(deadline) > 0) {
                    continue;
                }
                break;  // timed out
            }
            const short ready = fds[1].revents;
            if ((ready & (isRead ? POLLIN : POLLOUT)) == 0) {
                break;  // hang-up or error without data: the device is gone
            }
            ssize_t done;
            if (isRead) {
                done = receive(false);
            } else if (isSocket) {
                done = ::send(fd, buffer, length, MSG_NOSIGNAL | MSG_DONTWAIT);
            } else {
                done = ::write(fd, buffer, length);
            }
            if (done < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
                    continue;
                }
                break;
            }
            if (isRead && done == 0) {
                break;  // end of file: the device went away
            }
            if (isRead && foreign()) {
                // Another collection's report on the same node. The deadline is
                // only looked at when nothing is ready, so once it has passed
                // at most a reader queue's worth (64 reports) more is skipped:
                // a node flooding with them cannot hold the read for ever.
                if (!forever && remainingMs(deadline) == 0 && ++lateSkips > kMaxLateSkips) {
                    break;
                }
                const int drained = drainForeign();
                if (drained != 0) {
                    break;
                }
                continue;
            }
            accept(done);
            break;
        }
    }

finished:
    flag = false;
    {
        // Notified under the lock: once busy_ reads 0 a closing destructor may
        // free this object, so nothing here may touch it after unlocking.
        std::lock_guard lock(mutex_);
        --busy_;
        idle_.notify_all();
    }
    return ok;
}

void HidDevice::setForeignReportPause(int ms) {
    std::lock_guard lock(mutex_);
    foreignPauseMs_ = ms;
}

bool HidDevice::unpackReport(std::vector<HidDataItem>& items, HidReportType type,
                             const uint8_t* report, size_t length) const {
    if (report == nullptr || length == 0) {
        return false;
    }
    return rxt::unpackReport(collection_, type, std::span<const uint8_t>(report, length), items);
}

}  // namespace rxt
