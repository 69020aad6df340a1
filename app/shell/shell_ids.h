#pragma once
// Numbers and names of the main window that the shell owns (the device-state
// messages and timers are in state/window_messages.h).

#include <chrono>
#include <string_view>

#include "platform/input_hook.h"

namespace rxt::shell {

inline constexpr std::string_view kWindowTitle = "RX-T7100 GamingMouse";
inline constexpr std::string_view kWindowClassName = "MainWnd";
inline constexpr std::string_view kMainSkin = "XML_MAIN";
inline constexpr int kWindowWidth = 800;
inline constexpr int kWindowHeight = 572;

// The identifier of the activation message ("ORMELANE_004"); registered
// messages live above 0xC000, clear of every fixed number below.
inline constexpr std::string_view kActivationMessageName = "ORMELANE_004";
inline constexpr int kActivationMessage = 0xC0A4;

// Messages from the light threads: overlay colour and alpha of mousepad
// preview control wParam.
inline constexpr int kMsgMousepadTintColor = 2563;
inline constexpr int kMsgMousepadTintAlpha = 2564;

// Input-hook messages (key capture and macro recording).
inline constexpr int kMsgHookKeySingleKey = ::rxt::kMsgHookKeySingleKey;
inline constexpr int kMsgHookKeyHit = 2050;
inline constexpr int kMsgHookKeyMacro = ::rxt::kMsgHookKeyMacro;
inline constexpr int kMsgHookKeyMacro2 = ::rxt::kMsgHookKeyMacroMouse;
inline constexpr int kMsgHookMouseSingleKey = ::rxt::kMsgHookMouSingleKey;
inline constexpr int kMsgHookMouseHit = 2065;
inline constexpr int kMsgHookMouseMacro = ::rxt::kMsgHookMouMacro;
inline constexpr int kMsgHookMouseMacro2 = ::rxt::kMsgHookMouMacroMouse;

inline constexpr int kTimerLivePreview = 10;
// Once, the settle after the window shows at start.
inline constexpr int kTimerInitSettle = 13;
inline constexpr int kLivePreviewFirstMs = 100;
inline constexpr int kLivePreviewPeriodMs = 50;
inline constexpr int kTrayRepaintDelayMs = 10;

inline constexpr std::chrono::milliseconds kShutdownBound{10000};
inline constexpr std::chrono::milliseconds kTopmostPulse{10};
inline constexpr std::chrono::milliseconds kWindowInitSettle{100};
inline constexpr int kMenuLift = 50;  // the tray menu opens this far above the cursor

inline constexpr uint32_t kPaletteStartColor = 0xFF0199CB;
inline constexpr std::string_view kTrayIcon = "common/tray.png";

}  // namespace rxt::shell
