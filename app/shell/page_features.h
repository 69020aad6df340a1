#pragma once
// What the pages of the main window add to it. The shell itself owns the
// window, the threads, the timers and the messages; the pages (settings,
// lighting, macros, profiles) plug in here as they are built. Every call
// arrives on the UI thread unless marked otherwise.

#include <cstdint>
#include <optional>
#include <span>

#include "app/shell/notify_router.h"
#include "app/shell/worker_threads.h"
#include "device/device_kind.h"
#include "state/ui_reactions.h"

namespace rxt::shell {

class PageFeatures {
  public:
    virtual ~PageFeatures() = default;

    // Registers the pages' notification routes (once, before "windowinit").
    virtual void addRoutes(NotifyRouter& router) { (void)router; }
    // "windowinit": fill the profile and macro lists.
    virtual void initPages() {}
    // The body of a worker slot whose feature the pages provide (light
    // threads, application watchers); none: the slot's thread only waits
    // for its stop event.
    virtual std::optional<WorkerThreads::Body> workerBody(WorkerSlot slot) {
        (void)slot;
        return std::nullopt;
    }

    virtual void refreshPage(Page page) { (void)page; }
    virtual void loadKeyboardDeviceProfile(int index) { (void)index; }
    virtual void saveSelectedProfile(DeviceKind kind, ProfileKind profile) {
        (void)kind;
        (void)profile;
    }
    virtual void writeKeyboardDefaultFile(int variant, std::span<const uint8_t> keyTable) {
        (void)variant;
        (void)keyTable;
    }
    // Any thread (the mouse listener).
    virtual void triggerLightEffects() {}
    // Input-hook messages: key capture and macro recording.
    virtual void hookMessage(int message, intptr_t wParam, intptr_t lParam) {
        (void)message;
        (void)wParam;
        (void)lParam;
    }
};

}  // namespace rxt::shell
