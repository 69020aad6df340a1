#pragma once
// Carries calls from worker threads to the UI thread. A sent call waits
// until the UI thread has run it, unless the courier is closed first: the
// shutdown closes it before it waits for the workers, so a worker blocked in
// a send can never hold the shutdown up. Calls that arrive after the close
// are dropped.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "app/ui/skin_ui.h"

namespace rxt::shell {

class UiCourier {
  public:
    explicit UiCourier(ui::SkinUi& ui) : ui_(ui) {}
    ~UiCourier() { close(); }
    UiCourier(const UiCourier&) = delete;
    UiCourier& operator=(const UiCourier&) = delete;

    void post(std::function<void()> fn);
    // Runs fn now on the UI thread; from another thread, waits for it. False
    // when it was not run (closed).
    bool send(std::function<void()> fn);
    void close();
    bool closed() const;

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool closed = false;
    };
    struct Call {
        bool done = false;
        bool ran = false;
    };

    ui::SkinUi& ui_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace rxt::shell
