#pragma once
// Work marshalled to the UI thread: posted calls run later, sent calls run
// and their sender waits. Both UI implementations use it; the toolkit's
// wakes its event loop through `wake`, the in-memory one its run loop.
//
// Closing (the loop has ended, or the program is shutting down) drops the
// calls not yet run and releases every waiting sender with false, so a
// worker thread blocked in a send can always notice its stop event.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace rxt::ui {

class UiDispatcher {
  public:
    // `wake` is called (on any thread, without the lock held) after a call
    // is queued; it must make the UI thread call runPending() soon. Calls
    // queued before that runPending starts share one wake.
    explicit UiDispatcher(std::function<void()> wake = {});
    ~UiDispatcher();
    UiDispatcher(const UiDispatcher&) = delete;
    UiDispatcher& operator=(const UiDispatcher&) = delete;

    void setWake(std::function<void()> wake);
    // The UI thread is the constructing thread unless changed here.
    void setUiThread(std::thread::id id);
    bool onUiThread() const;

    void post(std::function<void()> fn);
    // On the UI thread: runs fn at once. Else waits until the UI thread has
    // run it (true) or the dispatcher closes first (false, fn not run).
    bool send(std::function<void()> fn);

    // A numbered window message for whichever handler `handler` names when
    // the call runs (none: dropped), posted or sent as above.
    template <class Handler>
    void postMessage(Handler* const& handler, int message, intptr_t wParam, intptr_t lParam) {
        post([&handler, message, wParam, lParam] {
            if (handler) {
                handler->handleMessage(message, wParam, lParam);
            }
        });
    }
    template <class Handler>
    bool sendMessage(Handler* const& handler, int message, intptr_t wParam, intptr_t lParam) {
        return send([&handler, message, wParam, lParam] {
            if (handler) {
                handler->handleMessage(message, wParam, lParam);
            }
        });
    }

    // UI thread: runs the calls queued so far (and any queued while they
    // run); returns how many ran. Calls may nest (a call that runs a modal
    // loop which in turn runs pending calls).
    size_t runPending();
    bool hasPending() const;
    // Blocks until a call is queued, the dispatcher closes, or the time is
    // up; true when there is something to run.
    bool waitForWork(std::chrono::milliseconds timeout);

    void close();
    bool closed() const;
    // Opens again after close (a test reusing the UI).
    void reopen();

  private:
    struct SendState {
        bool started = false;  // a started call is waited for even after close
        bool done = false;
    };
    // Under the lock: the wake to call, or none when one is already out.
    std::function<void()> takeWake();

    struct Call {
        std::function<void()> fn;
        std::shared_ptr<SendState> sent;  // sent calls only
    };

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Call> queue_;
    std::function<void()> wake_;
    bool wakePending_ = false;  // a wake is out and its runPending has not started
    std::thread::id uiThread_;
    bool closed_ = false;
};

}  // namespace rxt::ui
