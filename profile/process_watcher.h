#pragma once
// Application-linked profile switching: five watcher threads look at the
// program in the foreground. The switching ones (mouse device, mousepad
// lighting) select the first entry of their catalogue linked to that
// program, or the user's own choice when none is, and keep that choice in
// `select`; the reading ones (keyboard device, keyboard key, mouse key) only
// read the foreground program.

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "device/device_kind.h"
#include "platform/foreground_app.h"
#include "platform/stop_event.h"
#include "profile/profile_catalogue.h"
#include "state/window_events.h"

namespace rxt {

// What a watcher needs of the window it serves: the list of its catalogue.
// Called on the watcher's thread; an implementation carries the calls to the
// UI thread.
class WatcherHost {
  public:
    virtual ~WatcherHost() = default;

    // False once the main window is gone (the watcher then ends).
    virtual bool windowAlive() = 0;
    virtual bool hasList() = 0;
    virtual int itemCount() = 0;
    // Selects item [index] of the list; when that changes the selection the
    // select operation runs for it. Returns once it has run.
    virtual void selectEntry(int index) = 0;
};

enum class WatcherForm { Switching, Reading };

struct WatcherSpec {
    DeviceKind device;
    ProfileKind kind;
    WatcherForm form;

    ProfileCatalogue catalogue() const;
};

// The five watchers in the order of their worker slots (9 to 13): keyboard
// device, keyboard key, mouse device, mouse key, mousepad lighting.
const std::array<WatcherSpec, 5>& processWatchers();

struct WatcherTiming {
    std::chrono::milliseconds stopPoll{1};
    std::chrono::milliseconds afterSelect{100};
    std::chrono::milliseconds switchingPause{2000};
    std::chrono::milliseconds readingPause{5000};
};

// The debug line of a pass whose foreground program could not be read.
inline constexpr std::string_view kForegroundUnreadable = "文件名字访问失败";

// One watcher's state between passes.
class ProcessWatcher {
  public:
    ProcessWatcher(const WatcherSpec& watched, WatcherHost& host, ForegroundApp& foreground,
                   WatcherTiming timing = {});

    // The thread body: passes until the stop event is set (or the window or
    // its list is gone); the exit text goes to the debug log when the stop
    // event ends it. The pause between passes ends early when the stop event
    // is set.
    void run(StopEvent& stop, std::string_view exitText);

    // One pass without its pause: reads the foreground program and, for a
    // switching watcher, selects the entry to show and rewrites `select`.
    void pass();

    // The program read by the last successful read (kept when a read fails).
    const std::optional<std::string>& foregroundPath() const { return path_; }

  private:
    void switchEntry();

    WatcherSpec spec_;
    ProfileCatalogue catalogue_;
    WatcherHost& host_;
    ForegroundApp& foreground_;
    WatcherTiming timing_;
    std::optional<std::string> path_;
};

}  // namespace rxt
