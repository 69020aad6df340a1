#include "support/fake_hid_backend.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace rxt::test {

FakeHidBackend::~FakeHidBackend() {
    for (int fd : keptDeviceFds_) {
        ::close(fd);
    }
    for (int fd : watchers_) {
        ::close(fd);
    }
}

void FakeHidBackend::addNode(rxt::HidNodeInfo node) {
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(nodes_.begin(), nodes_.end(),
                               [&](const rxt::HidNodeInfo& n) { return n.path == node.path; });
        if (it != nodes_.end()) {
            *it = std::move(node);
        } else {
            nodes_.push_back(std::move(node));
        }
    }
    notifyWatchers();
}

void FakeHidBackend::removeNode(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        std::erase_if(nodes_, [&](const rxt::HidNodeInfo& n) { return n.path == path; });
    }
    notifyWatchers();
}

int FakeHidBackend::openCount(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto it = opens_.find(path);
    return it == opens_.end() ? 0 : it->second;
}

bool FakeHidBackend::enumerate(std::vector<rxt::HidNodeInfo>& nodes) {
    nodes.clear();
    if (failEnumerate) {
        return false;
    }
    std::lock_guard lock(mutex_);
    nodes = nodes_;
    return true;
}

int FakeHidBackend::openNode(const std::string& path, bool, bool, bool) {
    std::function<void(const std::string&, int)> callback;
    int pair[2];
    {
        std::lock_guard lock(mutex_);
        if (std::none_of(nodes_.begin(), nodes_.end(),
                         [&](const rxt::HidNodeInfo& n) { return n.path == path; })) {
            errno = ENOENT;
            return -1;
        }
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
            return -1;
        }
        ++opens_[path];
        callback = onOpen;
        if (!callback) {
            keptDeviceFds_.push_back(pair[1]);
        }
    }
    if (callback) {
        callback(path, pair[1]);
    }
    return pair[0];
}

bool FakeHidBackend::present(const std::string& path) {
    std::lock_guard lock(mutex_);
    return std::any_of(nodes_.begin(), nodes_.end(),
                       [&](const rxt::HidNodeInfo& n) { return n.path == path; });
}

int FakeHidBackend::openWatch() {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        return -1;
    }
    std::lock_guard lock(mutex_);
    watchers_.push_back(pair[0]);
    return pair[1];
}

void FakeHidBackend::drainWatch(int watchFd) {
    char byte;
    while (::recv(watchFd, &byte, sizeof byte, MSG_DONTWAIT) > 0) {
    }
}

void FakeHidBackend::notifyWatchers() {
    std::lock_guard lock(mutex_);
    std::erase_if(watchers_, [](int fd) {
        const char byte = 1;
        if (::send(fd, &byte, 1, MSG_NOSIGNAL | MSG_DONTWAIT) >= 0 || errno == EAGAIN) {
            return false;
        }
        ::close(fd);  // the caller closed its end
        return true;
    });
}

}  // namespace rxt::test
