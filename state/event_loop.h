#pragma once
// A user-interface thread without a user interface: runs posted and sent
// calls and numbered timers one at a time on its own thread, as the main
// window's message loop does. `rxtctl watch` and the end-to-end tests use it
// where the program uses its window.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace rxt {

class EventLoop {
  public:
    EventLoop() = default;
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // Called on the loop thread for every timer that fires.
    void setTimerHandler(std::function<void(int id)> handler);

    void start();
    // Ends the loop after the call in progress; calls not yet run are dropped
    // and waiting senders released.
    void stop();
    bool onLoopThread() const;

    // Runs fn on the loop thread later.
    void post(std::function<void()> fn);
    // Runs fn on the loop thread and waits for it (at once when called from
    // the loop thread). False, fn not run, when the loop is not running or
    // stops first.
    bool send(std::function<void()> fn);

    // (Re)starts timer id: it fires every period until stopped.
    void startTimer(int id, std::chrono::milliseconds period);
    void stopTimer(int id);
    bool timerActive(int id) const;

  private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        std::chrono::milliseconds period;
        Clock::time_point due;
    };

    void run();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    std::map<int, Timer> timers_;
    std::function<void(int)> timerHandler_;
    bool running_ = false;
    uint64_t stopCount_ = 0;
    std::thread thread_;
    std::thread::id loopId_;
};

}  // namespace rxt
