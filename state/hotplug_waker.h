#pragma once
// Cuts the sleeps of the discovery and listener threads short when HID
// interfaces appear or disappear, and when the threads are told to stop.
// Every wake moves a generation counter on; a thread notes the generation
// before its pass and does not sleep when it moved during the pass, so no
// wake is lost between the pass and the sleep.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/stop_event.h"

namespace rxt {

class HotplugWaker {
  public:
    uint64_t generation() const;
    void wake();

    // Sleeps until the timeout, a generation other than seen, or a set stop
    // event (tested whenever the sleep is woken). True when cut short.
    bool sleep(std::chrono::milliseconds timeout, uint64_t seen, const StopEvent& stop);

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t generation_ = 0;
};

}  // namespace rxt
