#pragma once
// Which program the user is working in: the full path of the executable that
// owns the focused top-level window. The application watchers compare it with
// the programs linked to profiles.
//
// Backends: X11 (EWMH's _NET_ACTIVE_WINDOW, else the input focus walked up to
// its top-level window; the window's _NET_WM_PID; /proc/PID/exe). A Wayland
// session lets no client see other programs' windows: there, and where no
// display can be opened, the foreground program is never known.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace rxt {

class ForegroundApp {
  public:
    virtual ~ForegroundApp() = default;

    // The foreground program's executable; nullopt when it cannot be read now
    // (no focused window, a window without a process id, a process whose
    // executable cannot be read). May be called from any thread.
    virtual std::optional<std::string> programPath() = 0;
    // False for the backend that never knows (Wayland, no display).
    virtual bool available() const = 0;
    // Why it is not available, or which display it watches.
    virtual std::string description() const = 0;
};

// The backend for this session: X11 when a display can be opened, else one
// that is not available (with a debug line saying why).
std::unique_ptr<ForegroundApp> makeForegroundApp();

// X11 on the named display (empty: $DISPLAY). Null, with the reason in
// *error, when no display can be opened or X11 support is not built in.
std::unique_ptr<ForegroundApp> makeX11ForegroundApp(std::string_view display,
                                                    std::string* error = nullptr);

// A backend that never knows the foreground program.
std::unique_ptr<ForegroundApp> makeUnavailableForegroundApp(std::string reason);

// The executable of a process, from /proc/PID/exe (a " (deleted)" mark of a
// replaced binary is dropped); nullopt when it cannot be read.
std::optional<std::string> processExecutable(pid_t pid);

// True when the session is a Wayland one (WAYLAND_DISPLAY set, or
// XDG_SESSION_TYPE is "wayland").
bool waylandSession();

}  // namespace rxt
