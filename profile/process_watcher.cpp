#include "profile/process_watcher.h"

#include <thread>

#include "platform/debug_log.h"
#include "platform/text_case.h"

namespace rxt {

ProfileCatalogue WatcherSpec::catalogue() const {
    return *ProfileCatalogue::find(device, kind);
}

const std::array<WatcherSpec, 5>& processWatchers() {
    static const std::array<WatcherSpec, 5> kWatchers{{
        {DeviceKind::Keyboard, ProfileKind::Device, WatcherForm::Reading},
        {DeviceKind::Keyboard, ProfileKind::Key, WatcherForm::Reading},
        {DeviceKind::Mouse, ProfileKind::Device, WatcherForm::Switching},
        {DeviceKind::Mouse, ProfileKind::Key, WatcherForm::Reading},
        {DeviceKind::Mousepad, ProfileKind::Lighting, WatcherForm::Switching},
    }};
    return kWatchers;
}

ProcessWatcher::ProcessWatcher(const WatcherSpec& watched, WatcherHost& host,
                               ForegroundApp& foreground, WatcherTiming timing)
    : spec_(watched),
      catalogue_(watched.catalogue()),
      host_(host),
      foreground_(foreground),
      timing_(timing) {}

void ProcessWatcher::run(StopEvent& stop, std::string_view exitText) {
    // The stop event was reset when the slot started this thread: resetting
    // it here could lose a stop signalled in between.
    const auto pause =
        spec_.form == WatcherForm::Switching ? timing_.switchingPause : timing_.readingPause;
    for (;;) {
        if (stop.waitFor(timing_.stopPoll)) {
            debugLog(exitText);
            return;
        }
        if (!host_.windowAlive() || !host_.hasList()) {
            return;
        }
        pass();
        // Only the stop event cuts the pause short; the loop then ends above.
        stop.waitFor(pause);
    }
}

void ProcessWatcher::pass() {
    if (auto path = foreground_.programPath()) {
        path_ = std::move(path);
    } else {
        debugLog(kForegroundUnreadable);
    }
    if (spec_.form == WatcherForm::Switching) {
        switchEntry();
    }
}

void ProcessWatcher::switchEntry() {
    const int n = host_.itemCount();
    const int userChoice = catalogue_.ReadSelect();
    int shown = userChoice;
    if (path_) {
        // The lowest linked entry wins; the whole path is compared.
        for (int i = 0; i < n; ++i) {
            if (catalogue_.ReadLinkFlag(i) == 1 &&
                equalsIgnoreCase(catalogue_.ReadProgramPath(i), *path_)) {
                shown = i;
                break;
            }
        }
    }
    host_.selectEntry(shown);
    std::this_thread::sleep_for(timing_.afterSelect);
    // Whatever is shown, saves keep going to the user's own choice. A choice
    // the user made meanwhile has written `select` already and stays: writing
    // the older one over it would send the next saves to another entry.
    if (catalogue_.ReadSelect() == shown) {
        catalogue_.WriteSelect(userChoice);
    }
}

}  // namespace rxt
