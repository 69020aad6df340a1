#pragma once
// Watching the keyboard and the mouse for macro recording and single-key
// capture. While a keyboard hook is installed the keys typed reach no other
// program; a mouse hook only watches. Every event is handed to the sink as
// the window message of the hook's mode, on the backend's own thread: the
// caller marshals it to its UI thread (in order: keyboard and mouse events
// come through one queue).
//
// Backends: X11 (the RECORD extension on a connection and thread of its own,
// the keyboard grabbed while a keyboard hook is installed); and, where no
// client may watch the desktop (Wayland, no display), one that sees only
// what the program's own window is given through feedWindowEvent.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace rxt {

// Hook modes and the window messages of their keyboard and mouse events.
inline constexpr int kHookModeKeyboardSingleKey = 1;
inline constexpr int kHookModeKeyboardMacro = 4;
inline constexpr int kHookModeMouseSingleKey = 16;
inline constexpr int kHookModeMouseMacro = 64;

inline constexpr int kMsgHookKeySingleKey = 2049;  // "WM_HOOK_KEY_SINGLEKEY"
inline constexpr int kMsgHookKeyMacro = 2051;      // "WM_HOOK_KEY_MACRO"
inline constexpr int kMsgHookKeyMacroMouse = 2052;
inline constexpr int kMsgHookMouSingleKey = 2064;  // "WM_HOOK_MOU_SINGLEKEY"
inline constexpr int kMsgHookMouMacro = 2066;      // "WM_HOOK_MOU_MACRO"
inline constexpr int kMsgHookMouMacroMouse = 2067;

// The keyboard message of a mode, and its mouse message (0: none).
int hookKeyboardMessage(int mode);
int hookMouseMessage(int mode);

// Windows key messages and the flags of a key event.
inline constexpr uint16_t kWmKeyDown = 0x0100;
inline constexpr uint16_t kWmKeyUp = 0x0101;
inline constexpr uint16_t kWmSysKeyDown = 0x0104;
inline constexpr uint16_t kWmSysKeyUp = 0x0105;
inline constexpr uint32_t kKeyFlagExtended = 0x01;
inline constexpr uint32_t kKeyFlagUp = 0x80;

struct HookEvent {
    int message = 0;           // the mode's window message
    uint16_t hookMessage = 0;  // kWmKey... or a mouse message id (0x0201 ...)
    uint16_t virtualKey = 0;   // key events
    uint32_t flags = 0;        // key events: kKeyFlag...
    uint16_t xButton = 0;      // mouse side buttons: 1 back, 2 forward
    uint32_t time = 0;         // ms on the event source's clock (the X server's)
    bool isKey() const { return hookMessage >= kWmKeyDown && hookMessage <= kWmSysKeyUp; }
    bool isKeyDown() const { return hookMessage == kWmKeyDown || hookMessage == kWmSysKeyDown; }
};

// A posted message carries the event by value: wParam the hook message,
// lParam the rest packed by packHookRecord.
intptr_t packHookRecord(const HookEvent& event);
HookEvent unpackHookEvent(int message, intptr_t wParam, intptr_t lParam);

class InputHook {
  public:
    using Sink = std::function<void(const HookEvent&)>;
    virtual ~InputHook() = default;

    // Removes what is installed, then installs the wanted hooks for the
    // mode. False when one could not be installed (nothing stays installed).
    virtual bool Install(int mode, bool keyboard, bool mouse) = 0;
    // Removes both hooks; no event reaches the sink after it returns.
    virtual void Remove() = 0;
    virtual bool installed() const = 0;
    virtual int mode() const = 0;
    // False for the backend that sees only the program's own window.
    virtual bool desktopWide() const = 0;
    // An event the program's own window received (window-only backend; the
    // desktop-wide one ignores it, having seen it already).
    virtual void feedWindowEvent(const HookEvent& event) { (void)event; }
};

// X11 when a display with RECORD can be opened (RXT_INPUT_HOOK=window forces
// the window-only backend), else the window-only one.
std::unique_ptr<InputHook> makeInputHook(InputHook::Sink sink);
std::unique_ptr<InputHook> makeWindowInputHook(InputHook::Sink sink);
// Null, with the reason in *error, when the display or RECORD is missing.
std::unique_ptr<InputHook> makeX11InputHook(InputHook::Sink sink, std::string* error);

}  // namespace rxt
