// The X11 backend of InputHook: the RECORD extension reports every key and
// button event of the server on a data connection, read by a thread of the
// hook's own; a second connection holds the context and, while a keyboard
// hook is installed, the keyboard grab that keeps the keys from every other
// program. Lock keys still change the server's lock state under the grab, so
// Caps Lock, Num Lock and Scroll Lock keep working as they are recorded.

#include <string>

#include "platform/input_hook.h"

#ifdef RXT_HAVE_XTST

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>

#include "platform/debug_log.h"
#include "platform/x11_errors.h"
#include "platform/x11_keysyms.h"

namespace rxt {
namespace {

constexpr unsigned kNumLockMask = Mod2Mask;
constexpr int kGrabAttempts = 50;  // 10 ms apart: another client's grab may be ending

bool isKeypadKeysym(KeySym sym) {
    return sym >= 0xFF80 && sym <= 0xFFBD;
}

class X11InputHook : public InputHook {
  public:
    explicit X11InputHook(Sink sink) : sink_(std::move(sink)) {}
    ~X11InputHook() override { Remove(); }

    bool Install(int mode, bool keyboard, bool mouse) override {
        Remove();
        std::lock_guard lock(mutex_);
        if (!keyboard && !mouse) {
            return true;
        }
        stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (stopFd_ < 0) {
            return false;
        }
        mode_.store(mode);
        keyboard_ = keyboard;
        mouse_ = mouse;
        std::promise<bool> ready;
        std::future<bool> started = ready.get_future();
        thread_ = std::thread([this, r = std::move(ready)]() mutable { run(r); });
        if (!started.get()) {
            thread_.join();
            ::close(stopFd_);
            stopFd_ = -1;
            keyboard_ = mouse_ = false;
            return false;
        }
        return true;
    }

    void Remove() override {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable()) {
            return;
        }
        const uint64_t one = 1;
        (void)!::write(stopFd_, &one, sizeof one);
        thread_.join();
        ::close(stopFd_);
        stopFd_ = -1;
        keyboard_ = mouse_ = false;
        debugLog("input hook removed");
    }

    bool installed() const override {
        std::lock_guard lock(mutex_);
        return thread_.joinable();
    }
    int mode() const override { return mode_.load(); }
    bool desktopWide() const override { return true; }

  private:
    void run(std::promise<bool>& ready) {
        Display* control = XOpenDisplay(nullptr);
        Display* data = control ? XOpenDisplay(nullptr) : nullptr;
        if (control == nullptr || data == nullptr) {
            debugLog("input hook: cannot open the X display");
            closeDisplays(control, data);
            ready.set_value(false);
            return;
        }
        std::atomic<bool> broken{false};
        XSetIOErrorExitHandler(control, x11::onIoErrorExit, &broken);
        XSetIOErrorExitHandler(data, x11::onIoErrorExit, &broken);
        XRecordContext context = 0;
        bool grabbed = false;
        {
            x11::ErrorScope scope(control);
            XRecordRange* range = XRecordAllocRange();
            range->device_events.first = keyboard_ ? KeyPress : ButtonPress;
            range->device_events.last = mouse_ ? ButtonRelease : KeyRelease;
            XRecordClientSpec clients = XRecordAllClients;
            context = XRecordCreateContext(control, 0, &clients, 1, &range, 1);
            XFree(range);
            XSync(control, False);
            if (x11::tlsErrorSeen) {
                context = 0;
            }
            if (context != 0 && keyboard_) {
                for (int i = 0; i < kGrabAttempts && !grabbed; ++i) {
                    grabbed =
                        XGrabKeyboard(control, DefaultRootWindow(control), False, GrabModeAsync,
                                      GrabModeAsync, CurrentTime) == GrabSuccess;
                    if (!grabbed) {
                        usleep(10000);
                    }
                }
            }
        }
        bool enabled = false;
        if (context != 0 && (grabbed || !keyboard_)) {
            x11::ErrorScope scope(data);
            enabled = XRecordEnableContextAsync(data, context, &X11InputHook::intercept,
                                                reinterpret_cast<XPointer>(this)) != 0;
        }
        if (!enabled) {
            debugLog(context == 0 ? "input hook: the RECORD context could not be made"
                                  : "input hook: the keyboard could not be grabbed");
            release(control, data, context, grabbed);
            ready.set_value(false);
            return;
        }
        control_ = control;
        debugLogf("input hook installed, mode %d", mode_.load());
        ready.set_value(true);
        loop(control, data, broken);
        release(control, data, context, grabbed);
        control_ = nullptr;
    }

    void loop(Display* control, Display* data, std::atomic<bool>& broken) {
        pollfd fds[3] = {{stopFd_, POLLIN, 0},
                         {ConnectionNumber(data), POLLIN, 0},
                         {ConnectionNumber(control), POLLIN, 0}};
        while (!broken.load()) {
            {
                x11::ErrorScope scope(data);
                XRecordProcessReplies(data);
            }
            // The grabbed keys arrive on the control connection: drop them.
            while (XPending(control) > 0) {
                XEvent ev;
                XNextEvent(control, &ev);
            }
            if (::poll(fds, 3, 200) < 0 && errno != EINTR) {
                break;
            }
            if (fds[0].revents != 0) {
                break;
            }
        }
    }

    static void release(Display* control, Display* data, XRecordContext context, bool grabbed) {
        if (control != nullptr) {
            x11::ErrorScope scope(control);
            if (grabbed) {
                XUngrabKeyboard(control, CurrentTime);
            }
            if (context != 0) {
                XRecordDisableContext(control, context);
                XSync(control, False);
            }
        }
        if (data != nullptr && context != 0) {
            x11::ErrorScope scope(data);
            XRecordProcessReplies(data);
        }
        if (control != nullptr && context != 0) {
            x11::ErrorScope scope(control);
            XRecordFreeContext(control, context);
            XSync(control, False);
        }
        closeDisplays(control, data);
    }

    static void closeDisplays(Display* control, Display* data) {
        if (data != nullptr) {
            XCloseDisplay(data);
        }
        if (control != nullptr) {
            XCloseDisplay(control);
        }
    }

    static void intercept(XPointer self, XRecordInterceptData* d) {
        if (d->category == XRecordFromServer && d->data_len * 4 >= sizeof(xEvent)) {
            reinterpret_cast<X11InputHook*>(self)->onEvent(
                *reinterpret_cast<const xEvent*>(d->data));
        }
        XRecordFreeData(d);
    }

    void onEvent(const xEvent& ev) {
        const int type = ev.u.u.type & 0x7F;
        HookEvent e;
        e.time = ev.u.keyButtonPointer.time;
        const int mode = mode_.load();
        if ((type == KeyPress || type == KeyRelease) && keyboard_) {
            const KeyCode code = ev.u.u.detail;
            KeySym sym = XkbKeycodeToKeysym(control_, code, 0, 0);
            if (isKeypadKeysym(XkbKeycodeToKeysym(control_, code, 0, 1)) &&
                (ev.u.keyButtonPointer.state & kNumLockMask) != 0) {
                sym = XkbKeycodeToKeysym(control_, code, 0, 1);
            }
            const std::optional<VirtualKey> vk = virtualKeyOfKeysym(static_cast<uint32_t>(sym));
            if (!vk) {
                return;
            }
            const bool down = type == KeyPress;
            e.message = hookKeyboardMessage(mode);
            e.hookMessage = down ? kWmKeyDown : kWmKeyUp;
            e.virtualKey = vk->code;
            e.flags = (vk->extended ? kKeyFlagExtended : 0) | (down ? 0 : kKeyFlagUp);
        } else if ((type == ButtonPress || type == ButtonRelease) && mouse_) {
            const std::optional<MouseButtonMessages> m = mouseMessagesOfButton(ev.u.u.detail);
            e.message = hookMouseMessage(mode);
            if (!m || e.message == 0) {
                return;
            }
            e.hookMessage = type == ButtonPress ? m->down : m->up;
            e.xButton = m->xButton;
        } else {
            return;
        }
        if (e.message != 0) {
            sink_(e);
        }
    }

    Sink sink_;
    mutable std::mutex mutex_;
    std::thread thread_;
    int stopFd_ = -1;
    std::atomic<int> mode_{0};
    // Written before the thread starts, read by it alone.
    bool keyboard_ = false;
    bool mouse_ = false;
    Display* control_ = nullptr;
};

}  // namespace

std::unique_ptr<InputHook> makeX11InputHook(InputHook::Sink sink, std::string* error) {
    Display* probe = XOpenDisplay(nullptr);
    if (probe == nullptr) {
        if (error != nullptr) {
            *error = "no X display";
        }
        return nullptr;
    }
    int major = 0, minor = 0;
    const bool record = XRecordQueryVersion(probe, &major, &minor) != 0;
    XCloseDisplay(probe);
    if (!record) {
        if (error != nullptr) {
            *error = "the X server has no RECORD extension";
        }
        return nullptr;
    }
    return std::make_unique<X11InputHook>(std::move(sink));
}

}  // namespace rxt

#else  // no libXtst

namespace rxt {

std::unique_ptr<InputHook> makeX11InputHook(InputHook::Sink, std::string* error) {
    if (error != nullptr) {
        *error = "built without the X11 RECORD extension";
    }
    return nullptr;
}

}  // namespace rxt

#endif
