#include "app/ui/ui_dispatcher.h"

namespace rxt::ui {

UiDispatcher::UiDispatcher(std::function<void()> wake)
    : wake_(std::move(wake)), uiThread_(std::this_thread::get_id()) {}

UiDispatcher::~UiDispatcher() {
    close();
}

void UiDispatcher::setWake(std::function<void()> wake) {
    std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
    wakePending_ = false;
}

void UiDispatcher::setUiThread(std::thread::id id) {
    std::lock_guard lock(mutex_);
    uiThread_ = id;
}

bool UiDispatcher::onUiThread() const {
    std::lock_guard lock(mutex_);
    return std::this_thread::get_id() == uiThread_;
}

void UiDispatcher::post(std::function<void()> fn) {
    std::function<void()> wake;
    {
        std::lock_guard lock(mutex_);
        if (closed_ || !fn) {
            return;
        }
        queue_.push_back({std::move(fn), nullptr});
        wake = takeWake();
    }
    changed_.notify_all();
    if (wake) {
        wake();
    }
}

bool UiDispatcher::send(std::function<void()> fn) {
    if (!fn) {
        return false;
    }
    if (onUiThread()) {
        if (closed()) {
            return false;
        }
        fn();
        return true;
    }
    auto state = std::make_shared<SendState>();
    std::function<void()> wake;
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
        }
        queue_.push_back({std::move(fn), state});
        wake = takeWake();
    }
    changed_.notify_all();
    if (wake) {
        wake();
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return state->done || (closed_ && !state->started); });
    return state->done;
}

std::function<void()> UiDispatcher::takeWake() {
    if (wakePending_ || !wake_) {
        return {};
    }
    wakePending_ = true;
    return wake_;
}

size_t UiDispatcher::runPending() {
    {
        // Calls queued from now on need a wake of their own: this pass may
        // be stuck in a call that runs a nested loop (a modal box).
        std::lock_guard lock(mutex_);
        wakePending_ = false;
    }
    size_t ran = 0;
    for (;;) {
        Call call;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty() || closed_) {
                return ran;
            }
            call = std::move(queue_.front());
            queue_.pop_front();
            if (call.sent) {
                call.sent->started = true;
            }
        }
        call.fn();
        ++ran;
        if (call.sent) {
            {
                std::lock_guard lock(mutex_);
                call.sent->done = true;
            }
            changed_.notify_all();
        }
    }
}

bool UiDispatcher::hasPending() const {
    std::lock_guard lock(mutex_);
    return !queue_.empty() && !closed_;
}

bool UiDispatcher::waitForWork(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return !queue_.empty() || closed_; });
    return !queue_.empty() && !closed_;
}

void UiDispatcher::close() {
    std::deque<Call> dropped;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        dropped.swap(queue_);
    }
    changed_.notify_all();
    // Destroyed outside the lock: a call's captures may do anything.
    dropped.clear();
}

bool UiDispatcher::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

void UiDispatcher::reopen() {
    std::lock_guard lock(mutex_);
    closed_ = false;
    wakePending_ = false;
}

}  // namespace rxt::ui
