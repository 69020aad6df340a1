#pragma once
// Manual-reset event: once set it stays set, releasing every waiter, until it
// is reset. Workers test it with a short timed wait on every pass of their
// loop ("wait 1 ms on the stop event").

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace rxt {

class StopEvent {
  public:
    StopEvent() = default;
    StopEvent(const StopEvent&) = delete;
    StopEvent& operator=(const StopEvent&) = delete;

    void set();
    void reset();
    bool isSet() const;

    // True as soon as the event is set (at once when it already is), false
    // when the time ran out first.
    bool waitFor(std::chrono::milliseconds timeout) const;
    bool waitUntil(std::chrono::steady_clock::time_point deadline) const;
    void wait() const;

    // Ends the current (or the next) waitFor early without setting the event:
    // a sleeper is told that what it waits for may have come.
    void wake();

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool set_ = false;
    mutable bool woken_ = false;  // consumed by the waitFor it ends
};

}  // namespace rxt
