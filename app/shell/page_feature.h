#pragma once
// The feature contract between the main window and its pages. A page
// feature (profiles, settings, macros, lighting ...) is given what the window
// owns, registers its routes, claims the worker slots it runs, and receives
// every window event through one typed call. Nothing here grows with a page:
// a new page adds event kinds to state/window_events.h, not virtuals here.
// Every call arrives on the UI thread unless marked otherwise.

#include <functional>

#include "app/shell/control_router.h"
#include "app/shell/notify_router.h"
#include "app/shell/worker_claims.h"
#include "app/ui/skin_ui.h"
#include "platform/input_hook.h"
#include "state/device_images.h"
#include "state/device_links.h"
#include "state/window_events.h"
#include "state/write_back.h"

namespace rxt::shell {

// What the window owns and lends to its pages for its whole life.
struct PageHost {
    ui::SkinUi& ui;
    DeviceLinks& links;
    DeviceImageSet& images;
    WriteBack& writeBack;
    // Hands an event to the window as the device state does: the shell acts
    // on its own events, then every feature receives it. UI thread.
    std::function<void(const WindowEvent&)> report;
    // The window's keyboard and mouse hook; its events come back as
    // event::InputHook. Removed by the window when it is deactivated.
    InputHook& inputHook;
};

class PageFeature {
  public:
    virtual ~PageFeature() = default;

    // First, once: what the feature works on from now on.
    virtual void attach(const PageHost& host) { (void)host; }
    // Once, before "windowinit". A control's second route is refused (throws).
    virtual void addRoutes(NotifyRouter& router) { (void)router; }
    // Once, after addRoutes: the control socket's requests it carries out
    // (rxtctl's commands while the program runs), on the UI thread, through
    // the same operations as its controls.
    virtual void addControlRoutes(ControlRouter& router) { (void)router; }
    // At "windowinit", before the threads start: the bodies of the worker
    // slots the feature runs (light threads, application watchers).
    virtual void claimWorkers(WorkerClaims& claims) { (void)claims; }
    // Every event of the window; the light trigger on the thread that saw it.
    virtual void onEvent(const WindowEvent& event) { (void)event; }
};

}  // namespace rxt::shell
