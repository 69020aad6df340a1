#include "state/hotplug_waker.h"

namespace rxt {

uint64_t HotplugWaker::generation() const {
    std::lock_guard lock(mutex_);
    return generation_;
}

void HotplugWaker::wake() {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
    }
    changed_.notify_all();
}

bool HotplugWaker::sleep(std::chrono::milliseconds timeout, uint64_t seen, const StopEvent& stop) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return generation_ != seen || stop.isSet(); });
}

}  // namespace rxt
