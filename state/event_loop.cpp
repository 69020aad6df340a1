#include "state/event_loop.h"

#include <memory>

namespace rxt {

EventLoop::~EventLoop() {
    stop();
}

void EventLoop::setTimerHandler(std::function<void(int)> handler) {
    std::lock_guard lock(mutex_);
    timerHandler_ = std::move(handler);
}

void EventLoop::start() {
    std::lock_guard lock(mutex_);
    if (running_ || thread_.joinable()) {
        return;
    }
    running_ = true;
    thread_ = std::thread([this] { run(); });
    loopId_ = thread_.get_id();
}

void EventLoop::stop() {
    {
        std::lock_guard lock(mutex_);
        running_ = false;
        ++stopCount_;
        queue_.clear();
    }
    changed_.notify_all();
    if (thread_.joinable() && !onLoopThread()) {
        thread_.join();
    }
}

bool EventLoop::onLoopThread() const {
    return std::this_thread::get_id() == loopId_;
}

void EventLoop::post(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        if (!running_) {
            return;
        }
        queue_.push_back(std::move(fn));
    }
    changed_.notify_all();
}

bool EventLoop::send(std::function<void()> fn) {
    if (onLoopThread()) {
        fn();
        return true;
    }
    auto done = std::make_shared<bool>(false);
    std::unique_lock lock(mutex_);
    if (!running_) {
        return false;
    }
    const uint64_t stops = stopCount_;
    queue_.push_back([this, fn = std::move(fn), done] {
        fn();
        std::lock_guard inner(mutex_);
        *done = true;
        changed_.notify_all();
    });
    changed_.notify_all();
    changed_.wait(lock, [&] { return *done || stopCount_ != stops; });
    return *done;
}

void EventLoop::startTimer(int id, std::chrono::milliseconds period) {
    {
        std::lock_guard lock(mutex_);
        timers_[id] = Timer{period, Clock::now() + period};
    }
    changed_.notify_all();
}

void EventLoop::stopTimer(int id) {
    std::lock_guard lock(mutex_);
    timers_.erase(id);
}

bool EventLoop::timerActive(int id) const {
    std::lock_guard lock(mutex_);
    return timers_.count(id) != 0;
}

void EventLoop::run() {
    std::unique_lock lock(mutex_);
    while (running_) {
        if (!queue_.empty()) {
            auto fn = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            fn();
            lock.lock();
            continue;
        }
        // The earliest due timer fires; its next time is counted from now,
        // so a slow handler does not make the timer fire in a burst.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (next == timers_.end() || it->second.due < next->second.due) {
                next = it;
            }
        }
        if (next == timers_.end()) {
            changed_.wait(lock);
            continue;
        }
        const auto now = Clock::now();
        if (next->second.due > now) {
            // A copy: the timer may be stopped (erased) while we wait.
            const Clock::time_point due = next->second.due;
            changed_.wait_until(lock, due);
            continue;
        }
        const int id = next->first;
        next->second.due = now + next->second.period;
        auto handler = timerHandler_;
        lock.unlock();
        if (handler) {
            handler(id);
        }
        lock.lock();
    }
}

}  // namespace rxt
