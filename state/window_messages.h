#pragma once
// The numbered messages and timers of the main window that the device state
// sends, posts and starts.

namespace rxt {

inline constexpr int kMsgMouseReadAll = 2305;
inline constexpr int kMsgMouseRefresh = 2306;
inline constexpr int kMsgMousepadReadAll = 2561;
inline constexpr int kMsgMousepadRefresh = 2562;
inline constexpr int kMsgKeyboardReadAll = 2817;
inline constexpr int kMsgKeyboardRefresh = 2818;
inline constexpr int kMsgKeyboardExportDefaults = 2819;
inline constexpr int kMsgProgressShow = 3072;
inline constexpr int kMsgProgressDone = 3073;
inline constexpr int kMsgMouseRemovedLast = 3077;

inline constexpr int kTimerHideProgress = 1;  // 1000 ms after an upload
inline constexpr int kTimerWriteBack = 2;     // every 100 ms
inline constexpr int kTimerRepaint = 7;
inline constexpr int kTimerMouseRead = 8;      // 500 ms after the mouse arrives
inline constexpr int kTimerKeyboardRead = 11;  // 500 ms after the window opens
inline constexpr int kTimerMousepadRead = 12;  // 500 ms after the window opens

inline constexpr int kWriteBackPeriodMs = 100;
inline constexpr int kMouseReadDelayMs = 500;
inline constexpr int kRepaintDelayMs = 100;
inline constexpr int kStartReadDelayMs = 500;
inline constexpr int kProgressHideDelayMs = 1000;

}  // namespace rxt
