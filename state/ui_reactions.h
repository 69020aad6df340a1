#pragma once
// Everything the device state asks of the window, in one interface: the
// window's own mechanics (show, timers, messages, the message box) and one
// typed event for what happened (state/window_events.h). The main window
// implements it, tests record the calls, `rxtctl watch` prints them. Calls
// come from the discovery and listener threads as well as from the UI
// thread; an implementation marshals them to its UI thread. Discovery
// threads never call it while holding a transfer lock, so an implementation
// may wait for work that talks to the devices.

#include <string_view>

#include "state/window_events.h"

namespace rxt {

class UiReactions {
  public:
    virtual ~UiReactions() = default;

    // Returns once the window has acted on it (the light trigger excepted,
    // which is handled on the calling thread).
    virtual void report(const WindowEvent& event) = 0;

    virtual void showWindow(bool visible) = 0;
    // Timer id, period; the timer's handler stops one-shot timers.
    virtual void startTimer(int id, int periodMs) = 0;
    // Posted: returns at once. Sent: returns once the UI has handled it.
    virtual void postMessage(int message) = 0;
    virtual void sendMessage(int message) = 0;
    // The single-instance activation message.
    virtual void postActivation() = 0;
    virtual void showMessageBox(std::string_view textKey) = 0;
};

}  // namespace rxt
