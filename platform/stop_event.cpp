#include "platform/stop_event.h"

namespace rxt {

void StopEvent::set() {
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    changed_.notify_all();
}

void StopEvent::reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
}

bool StopEvent::isSet() const {
    std::lock_guard lock(mutex_);
    return set_;
}

bool StopEvent::waitFor(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    if (timeout <= std::chrono::milliseconds::zero()) {
        return set_;
    }
    changed_.wait_for(lock, timeout, [this] { return set_ || woken_; });
    woken_ = false;
    return set_;
}

bool StopEvent::waitUntil(std::chrono::steady_clock::time_point deadline) const {
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, deadline, [this] { return set_ || woken_; });
    woken_ = false;
    return set_;
}

void StopEvent::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_all();
}

void StopEvent::wait() const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return set_; });
}

}  // namespace rxt
