#include "state/hotplug_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

#include "platform/debug_log.h"

namespace rxt {

HotplugWatch::HotplugWatch(std::shared_ptr<HidBackend> backend, HotplugWaker& waker)
    : backend_(std::move(backend)), waker_(waker) {}

HotplugWatch::~HotplugWatch() {
    stop();
}

bool HotplugWatch::start() {
    if (thread_.joinable() || !backend_) {
        return false;
    }
    const int watchFd = backend_->openWatch();
    if (watchFd < 0) {
        debugLog("hot-plug watch not available, polling only");
        return false;
    }
    stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ < 0) {
        ::close(watchFd);
        return false;
    }
    thread_ = std::thread([this, watchFd] { run(watchFd); });
    return true;
}

void HotplugWatch::stop() {
    if (!thread_.joinable()) {
        return;
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    ::close(stopFd_);
    stopFd_ = -1;
}

void HotplugWatch::run(int watchFd) {
    for (;;) {
        pollfd fds[2] = {{stopFd_, POLLIN, 0}, {watchFd, POLLIN, 0}};
        const int n = ::poll(fds, 2, -1);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (fds[0].revents != 0) {
            break;
        }
        if (fds[1].revents & (POLLERR | POLLNVAL)) {
            debugLog("hot-plug watch failed, polling only");
            break;
        }
        if (fds[1].revents != 0) {
            // The backend swaps a watch whose other end closed for a quiet
            // descriptor, so a lost watch does not wake us forever.
            backend_->drainWatch(watchFd);
            changes_.fetch_add(1);
            waker_.wake();
        }
    }
    ::close(watchFd);
}

}  // namespace rxt
