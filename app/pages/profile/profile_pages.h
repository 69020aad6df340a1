#pragma once
// The profile pages as a feature of the main window: the routes of the
// profile controls (buttons, lists, link boxes, rename panels) to their
// operations, the filling of the lists at "windowinit", the five
// application watchers in worker slots 9 to 13, and the loads, saves and
// entry selections the device threads report.

#include <functional>
#include <memory>
#include <mutex>

#include "app/pages/profile/profile_page_context.h"
#include "app/shell/page_feature.h"
#include "platform/foreground_app.h"
#include "platform/system_pointer.h"
#include "profile/process_watcher.h"

namespace rxt {

struct ProfilePagesOptions {
    // Makes the watchers' foreground backend; empty: the session's own.
    std::function<std::unique_ptr<ForegroundApp>()> foreground;
    WatcherTiming timing;
};

class ProfilePages : public shell::PageFeature {
  public:
    explicit ProfilePages(ProfilePagesOptions options = {});
    ~ProfilePages() override;

    // The window's UI, links, images and write-back; without a system
    // pointer in the context, one of the session's own is made.
    void attach(const shell::PageHost& host) override;
    // Or a context of the caller's (tests).
    void attach(const ProfilePageContext& context);
    const ProfilePageContext& context() const { return ctx_; }

    void addRoutes(shell::NotifyRouter& router) override;
    void addControlRoutes(shell::ControlRouter& router) override;
    void claimWorkers(shell::WorkerClaims& claims) override;
    void onEvent(const WindowEvent& event) override;

  private:
    ForegroundApp& foreground();

    ProfilePagesOptions options_;
    ProfilePageContext ctx_;
    std::unique_ptr<SystemPointer> system_;
    std::mutex foregroundMutex_;
    std::unique_ptr<ForegroundApp> foreground_;
};

}  // namespace rxt
