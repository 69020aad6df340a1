#include "app/shell/ui_courier.h"

namespace rxt::shell {

void UiCourier::post(std::function<void()> fn) {
    if (closed()) {
        return;
    }
    ui_.post([state = state_, fn = std::move(fn)] {
        {
            std::lock_guard lock(state->mutex);
            if (state->closed) {
                return;
            }
        }
        fn();
    });
}

bool UiCourier::send(std::function<void()> fn) {
    if (ui_.onUiThread()) {
        if (closed()) {
            return false;
        }
        fn();
        return true;
    }
    auto call = std::make_shared<Call>();
    {
        std::lock_guard lock(state_->mutex);
        if (state_->closed) {
            return false;
        }
    }
    ui_.post([state = state_, call, fn = std::move(fn)] {
        bool run;
        {
            std::lock_guard lock(state->mutex);
            run = !state->closed;
        }
        // Closing happens on this same thread, so the state cannot change
        // while fn runs.
        if (run) {
            fn();
        }
        {
            std::lock_guard lock(state->mutex);
            call->done = true;
            call->ran = run;
        }
        state->changed.notify_all();
    });
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return call->done || state_->closed; });
    return call->ran;
}

void UiCourier::close() {
    {
        std::lock_guard lock(state_->mutex);
        state_->closed = true;
    }
    state_->changed.notify_all();
}

bool UiCourier::closed() const {
    std::lock_guard lock(state_->mutex);
    return state_->closed;
}

}  // namespace rxt::shell
