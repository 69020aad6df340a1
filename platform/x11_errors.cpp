#include "platform/x11_errors.h"

#ifdef RXT_HAVE_X11

#include <atomic>

namespace rxt::x11 {

thread_local bool tlsErrorSeen = false;

namespace {

thread_local Display* tlsOurDisplay = nullptr;
std::atomic<XErrorHandler> previousHandler{nullptr};
std::atomic<XIOErrorHandler> previousIoHandler{nullptr};

int onXError(Display* display, XErrorEvent* event) {
    if (display != nullptr && display == tlsOurDisplay) {
        tlsErrorSeen = true;
        return 0;
    }
    XErrorHandler previous = previousHandler.load();
    return previous != nullptr ? previous(display, event) : 0;
}

// Losing the server must not end the process either: for our connection
// the handler returns, and the exit handler only marks the connection broken.
int onXIoError(Display* display) {
    if (display != nullptr && display == tlsOurDisplay) {
        return 0;
    }
    XIOErrorHandler previous = previousIoHandler.load();
    return previous != nullptr ? previous(display) : 0;
}

void installErrorHandlers() {
    // Reinstalled on every use: another part of the process may have put its
    // own handler in the meantime, which then becomes the one we forward to.
    XErrorHandler old = XSetErrorHandler(onXError);
    if (old != onXError) {
        previousHandler.store(old);
    }
    XIOErrorHandler oldIo = XSetIOErrorHandler(onXIoError);
    if (oldIo != onXIoError) {
        previousIoHandler.store(oldIo);
    }
}

}  // namespace

void onIoErrorExit(Display*, void* userData) {
    static_cast<std::atomic<bool>*>(userData)->store(true);
}

ErrorScope::ErrorScope(Display* display) : outer_(tlsOurDisplay) {
    installErrorHandlers();
    tlsOurDisplay = display;
    tlsErrorSeen = false;
}

ErrorScope::~ErrorScope() {
    tlsOurDisplay = outer_;
}

}  // namespace rxt::x11

#endif  // RXT_HAVE_X11
