// The X11 backend of ForegroundApp, on a display connection of its own.

#include <mutex>
#include <string>

#include "platform/debug_log.h"
#include "platform/foreground_app.h"

#ifdef RXT_HAVE_X11

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/x11_errors.h"

#include <atomic>
#include <vector>

namespace rxt {
namespace {

constexpr int kSearchDepth = 2;  // a frame of the window manager, then the client

class X11ForegroundApp : public ForegroundApp {
  public:
    explicit X11ForegroundApp(std::string displayName) : displayName_(std::move(displayName)) {}
    ~X11ForegroundApp() override { close(); }

    bool open(std::string* error) {
        std::lock_guard lock(mutex_);
        if (!connect()) {
            if (error != nullptr) {
                *error = "cannot open the X display " + shownName();
            }
            return false;
        }
        return true;
    }

    std::optional<std::string> programPath() override {
        std::lock_guard lock(mutex_);
        if (broken_.load()) {
            close();
        }
        if (display_ == nullptr && !connect()) {
            return std::nullopt;
        }
        x11::ErrorScope scope(display_);
        const std::optional<pid_t> pid = foregroundPid();
        if (broken_.load() || !pid) {
            return std::nullopt;
        }
        return processExecutable(*pid);
    }

    bool available() const override { return true; }
    std::string description() const override { return "X11 display " + shownName(); }

  private:
    std::string shownName() const {
        if (!displayName_.empty()) {
            return displayName_;
        }
        const char* env = std::getenv("DISPLAY");
        return env != nullptr && *env != '\0' ? env : "(DISPLAY not set)";
    }

    bool connect() {
        broken_.store(false);
        display_ = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
        if (display_ == nullptr) {
            return false;
        }
        XSetIOErrorExitHandler(display_, x11::onIoErrorExit, &broken_);
        x11::ErrorScope scope(display_);
        activeWindow_ = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
        wmPid_ = XInternAtom(display_, "_NET_WM_PID", False);
        return true;
    }

    void close() {
        if (display_ != nullptr) {
            x11::ErrorScope scope(display_);
            XCloseDisplay(display_);
            display_ = nullptr;
        }
    }

    // One 32-bit value of a property; nullopt when absent or on an error.
    std::optional<unsigned long> cardinal(Window window, Atom property, Atom type) {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        x11::tlsErrorSeen = false;
        const int status = XGetWindowProperty(display_, window, property, 0, 1, False, type,
                                              &actualType, &actualFormat, &count, &after, &data);
        std::optional<unsigned long> value;
        if (status == Success && !x11::tlsErrorSeen && !broken_.load() && data != nullptr &&
            actualType == type && actualFormat == 32 && count >= 1) {
            // Format 32 comes as longs, whatever their size.
            value = static_cast<unsigned long>(reinterpret_cast<long*>(data)[0]);
        }
        if (data != nullptr) {
            XFree(data);
        }
        return value;
    }

    std::optional<pid_t> pidOf(Window window) {
        auto pid = cardinal(window, wmPid_, XA_CARDINAL);
        if (!pid || *pid == 0 || *pid > 0x7FFFFFFFul) {
            return std::nullopt;
        }
        return static_cast<pid_t>(*pid);
    }

    struct Tree {
        Window parent = None;
        std::vector<Window> children;
    };
    std::optional<Tree> tree(Window window) {
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        x11::tlsErrorSeen = false;
        const Status ok = XQueryTree(display_, window, &root, &parent, &children, &count);
        std::optional<Tree> result;
        if (ok != 0 && !x11::tlsErrorSeen && !broken_.load()) {
            result = Tree{parent, std::vector<Window>(children, children + count)};
        }
        if (children != nullptr) {
            XFree(children);
        }
        return result;
    }

    // The window's own process id, else the first found below it (the
    // client inside a window manager's frame), topmost child first.
    std::optional<pid_t> pidBelow(Window window, int depth) {
        if (auto pid = pidOf(window)) {
            return pid;
        }
        if (depth == 0) {
            return std::nullopt;
        }
        auto t = tree(window);
        if (!t) {
            return std::nullopt;
        }
        for (auto it = t->children.rbegin(); it != t->children.rend(); ++it) {
            if (auto pid = pidBelow(*it, depth - 1)) {
                return pid;
            }
        }
        return std::nullopt;
    }

    std::optional<pid_t> foregroundPid() {
        const Window root = DefaultRootWindow(display_);
        if (auto active = cardinal(root, activeWindow_, XA_WINDOW); active && *active != None) {
            if (auto pid = pidBelow(static_cast<Window>(*active), kSearchDepth)) {
                return pid;
            }
        }
        // No window manager keeping EWMH: the input focus, walked up to its
        // top-level window; the first window on the way with a pid wins.
        Window focus = None;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        if (focus == None || focus == PointerRoot || focus == root || broken_.load()) {
            return std::nullopt;
        }
        Window window = focus;
        for (int steps = 0; steps < 64; ++steps) {
            if (auto pid = pidOf(window)) {
                return pid;
            }
            auto t = tree(window);
            if (!t || t->parent == None || t->parent == root) {
                break;
            }
            window = t->parent;
        }
        return pidBelow(window, kSearchDepth);
    }

    std::mutex mutex_;
    std::string displayName_;
    Display* display_ = nullptr;
    std::atomic<bool> broken_{false};
    Atom activeWindow_ = None;
    Atom wmPid_ = None;
};

}  // namespace

std::unique_ptr<ForegroundApp> makeX11ForegroundApp(std::string_view display, std::string* error) {
    auto app = std::make_unique<X11ForegroundApp>(std::string(display));
    if (!app->open(error)) {
        return nullptr;
    }
    return app;
}

}  // namespace rxt

#else  // no X11 support built in

namespace rxt {

std::unique_ptr<ForegroundApp> makeX11ForegroundApp(std::string_view, std::string* error) {
    if (error != nullptr) {
        *error = "built without X11 support";
    }
    return nullptr;
}

}  // namespace rxt

#endif
