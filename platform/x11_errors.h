#pragma once
// Xlib reports protocol errors to one process-wide handler whose default ends
// the process. The X11 backends (foreground program, input hook) each run a
// connection of their own; while an ErrorScope is alive on a thread, the
// errors of its display's requests are marked in tlsErrorSeen and swallowed,
// and every other one goes to the handler that was installed before.
// Only built where Xlib is.

#include <X11/Xlib.h>

namespace rxt::x11 {

extern thread_local bool tlsErrorSeen;

// The exit handler of a lost connection: stores true in the
// std::atomic<bool> given as user data instead of ending the process.
void onIoErrorExit(Display*, void* userData);

class ErrorScope {
  public:
    explicit ErrorScope(Display* display);
    ~ErrorScope();
    ErrorScope(const ErrorScope&) = delete;
    ErrorScope& operator=(const ErrorScope&) = delete;

  private:
    Display* outer_;
};

}  // namespace rxt::x11
