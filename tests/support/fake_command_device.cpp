#include "fake_command_device.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace rxt::test {
namespace {

bool isReadCommand(uint8_t code) {
    return code == 3 || code == 5 || code == 7 || code == 8;
}

bool isWriteCommand(uint8_t code) {
    return code == 6 || code == 9 || code == 18 || code == 21 || code == 23;
}

int spaceIndex(uint8_t code) {
    switch (code) {
        case 3:
            return 0;
        case 5:
        case 6:
            return 1;
        case 7:
            return 2;
        case 8:
        case 9:
            return 3;
        case 18:
            return 4;
        case 21:
            return 5;
        case 23:
            return 6;
        default:
            return -1;
    }
}

constexpr int kSpaceCount = 7;

}  // namespace

FakeCommandDevice::FakeCommandDevice()
    : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      spaces_(kSpaceCount, std::vector<uint8_t>(kSpaceSize, 0)),
      thread_([this] { run(); }) {}

FakeCommandDevice::~FakeCommandDevice() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        changed_.notify_all();
        wake();
    }
    thread_.join();
    // Under the lock: a thread of the code under test may still be in
    // attach() or hangUp(), and its wake must not write to a closed (and
    // perhaps reused) descriptor number.
    std::lock_guard lock(mutex_);
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
        wakeFd_ = -1;
    }
}

// With mutex_ held.
void FakeCommandDevice::wake() {
    if (wakeFd_ < 0) {
        return;
    }
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void FakeCommandDevice::attach(int fd) {
    std::unique_lock lock(mutex_);
    if (stop_) {
        ::close(fd);  // the device is going: nobody would serve it
        return;
    }
    if (attachPending_ && pendingFd_ >= 0) {
        ::close(pendingFd_);
    }
    pendingFd_ = fd;
    attachPending_ = true;
    wake();
    // Served once this returns, so that a test may send unasked reports at once.
    changed_.wait(lock, [this] { return !attachPending_ || stop_; });
}

void FakeCommandDevice::hangUp() {
    std::unique_lock lock(mutex_);
    if (stop_) {
        return;
    }
    hangUpPending_ = true;
    wake();
    changed_.wait(lock, [this] { return !hangUpPending_ || stop_; });
}

void FakeCommandDevice::script(std::initializer_list<FakeReply> replies) {
    std::lock_guard lock(mutex_);
    script_.insert(script_.end(), replies.begin(), replies.end());
}

void FakeCommandDevice::push(FakeReply reply) {
    std::lock_guard lock(mutex_);
    script_.push_back(std::move(reply));
}

void FakeCommandDevice::setDefault(FakeReply reply) {
    std::lock_guard lock(mutex_);
    default_ = std::move(reply);
}

bool FakeCommandDevice::sendUnsolicited(std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    return fd_ >= 0 && sendLocked(fd_, bytes);
}

std::vector<ReceivedRequest> FakeCommandDevice::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

size_t FakeCommandDevice::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

void FakeCommandDevice::clearRequests() {
    std::lock_guard lock(mutex_);
    requests_.clear();
    handled_ = 0;
}

bool FakeCommandDevice::waitHandled(size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return handled_ >= n; });
}

std::vector<uint8_t> FakeCommandDevice::memory(uint8_t code, size_t offset, size_t n) const {
    std::lock_guard lock(mutex_);
    const int index = spaceIndex(code);
    if (index < 0 || offset >= kSpaceSize) {
        return {};
    }
    const auto& space = spaces_[static_cast<size_t>(index)];
    n = std::min(n, kSpaceSize - offset);
    return {space.begin() + static_cast<ptrdiff_t>(offset),
            space.begin() + static_cast<ptrdiff_t>(offset + n)};
}

void FakeCommandDevice::setMemory(uint8_t code, size_t offset, std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    std::vector<uint8_t>* space = spaceOf(code);
    if (space == nullptr || offset >= kSpaceSize) {
        return;
    }
    const size_t n = std::min(bytes.size(), kSpaceSize - offset);
    std::copy_n(bytes.begin(), n, space->begin() + static_cast<ptrdiff_t>(offset));
}

uint8_t FakeCommandDevice::patternByte(uint8_t code, size_t offset) {
    return static_cast<uint8_t>(code * 31 + offset * 7 + (offset >> 8) * 13 + 1);
}

void FakeCommandDevice::fillPattern() {
    std::lock_guard lock(mutex_);
    for (uint8_t code : {3, 5, 7, 8, 18, 21, 23}) {
        std::vector<uint8_t>& space = *spaceOf(code);
        for (size_t i = 0; i < space.size(); ++i) {
            space[i] = patternByte(code, i);
        }
    }
}

std::vector<uint8_t>* FakeCommandDevice::spaceOf(uint8_t code) {
    const int index = spaceIndex(code);
    return index < 0 ? nullptr : &spaces_[static_cast<size_t>(index)];
}

bool FakeCommandDevice::sendLocked(int fd, std::span<const uint8_t> bytes) {
    if (bytes.empty()) {
        return true;
    }
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
}

// Runs on the device thread with mutex_ held; only this thread changes fd_.
void FakeCommandDevice::applyControl(std::unique_lock<std::mutex>&) {
    if (attachPending_) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = pendingFd_;
        pendingFd_ = -1;
        attachPending_ = false;
        changed_.notify_all();
    }
    if (hangUpPending_) {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
        hangUpPending_ = false;
        changed_.notify_all();
    }
}

void FakeCommandDevice::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        applyControl(lock);
        if (stop_) {
            break;
        }
        const int fd = fd_;
        lock.unlock();
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {fd, POLLIN, 0}};
        const int ready = ::poll(fds, fd >= 0 ? 2 : 1, -1);
        uint8_t bytes[256];
        ssize_t got = -1;
        if (ready > 0 && fds[0].revents != 0) {
            uint64_t value;
            [[maybe_unused]] ssize_t n = ::read(wakeFd_, &value, sizeof value);
        } else if (ready > 0 && fd >= 0 && fds[1].revents != 0) {
            got = ::recv(fd, bytes, sizeof bytes, MSG_DONTWAIT);
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
                got = -2;
            }
        } else {
            got = -2;
        }
        lock.lock();
        if (got == -1 || got == 0) {
            if (fds[0].revents == 0 && fd == fd_ && fd_ >= 0) {
                // The host closed its side.
                ::close(fd_);
                fd_ = -1;
            }
        } else if (got > 0) {
            handle(fd, bytes, static_cast<size_t>(got));
        }
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (pendingFd_ >= 0) {
        ::close(pendingFd_);
        pendingFd_ = -1;
    }
    changed_.notify_all();
}

// With mutex_ held; a delay waits on changed_ and so lets the test go on.
void FakeCommandDevice::handle(int fd, const uint8_t* bytes, size_t size) {
    ReceivedRequest request;
    request.size = size;
    std::copy_n(bytes, std::min(size, request.report.size()), request.report.begin());
    const rxt::CommandRequest decoded = rxt::decodeCommandReport(request.report);
    request.reportId = decoded.reportId;
    request.code = decoded.code;
    request.length = decoded.length;
    request.offset = decoded.offset;
    request.checksum = decoded.checksum;
    request.checksumOk = decoded.checksumOk;
    request.data.assign(decoded.data.begin(), decoded.data.end());
    request.at = std::chrono::steady_clock::now();
    requests_.push_back(request);

    FakeReply reply = default_;
    if (!script_.empty()) {
        reply = std::move(script_.front());
        script_.pop_front();
    }
    if (reply.delay.count() > 0) {
        std::unique_lock<std::mutex> relock(mutex_, std::adopt_lock);
        changed_.wait_for(relock, reply.delay, [this] { return stop_; });
        relock.release();
        if (stop_) {
            return;
        }
    }
    // A hang-up or re-attach during the delay leaves nobody to answer.
    if (fd != fd_) {
        ++handled_;
        changed_.notify_all();
        return;
    }

    switch (reply.kind) {
        case FakeReply::Kind::Serve:
        case FakeReply::Kind::Status: {
            const uint8_t status = reply.kind == FakeReply::Kind::Status ? reply.status : 0;
            std::vector<uint8_t> data;
            std::vector<uint8_t>* space = spaceOf(request.code);
            const size_t n = std::min<size_t>(request.length, rxt::kMaxChunk);
            if (space != nullptr && isReadCommand(request.code)) {
                data.assign(space->begin() + request.offset,
                            space->begin() + request.offset + static_cast<ptrdiff_t>(n));
            } else if (isWriteCommand(request.code)) {
                data = request.data;
                if (space != nullptr && status == 0) {
                    std::copy(data.begin(), data.end(), space->begin() + request.offset);
                }
            }
            const rxt::Report out =
                rxt::buildReply(request.code, request.length, request.offset, status, data);
            sendLocked(fd, out);
            break;
        }
        case FakeReply::Kind::Drop:
            break;
        case FakeReply::Kind::Raw:
            sendLocked(fd, reply.bytes);
            break;
        case FakeReply::Kind::Close:
            ::close(fd_);
            fd_ = -1;
            break;
    }
    ++handled_;
    changed_.notify_all();
}

}  // namespace rxt::test
