#pragma once
// The profile pages as a feature of the main window: the routes of the
// profile controls (buttons, lists, link boxes, rename panels) to their
// operations, the filling of the lists at "windowinit", the five
// application watchers in worker slots 9 to 13, and the loads and saves the
// device threads ask for.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "app/shell/page_features.h"
#include "platform/foreground_app.h"
#include "platform/system_pointer.h"
#include "profile/process_watcher.h"
#include "profile/profile_data.h"

namespace rxt {

namespace shell {
class CMainWnd;
}

struct ProfileFeatureOptions {
    // Makes the watchers' foreground backend; empty: the session's own.
    std::function<std::unique_ptr<ForegroundApp>()> foreground;
    WatcherTiming timing;
};

class ProfileFeature : public shell::PageFeatures {
  public:
    explicit ProfileFeature(ProfileFeatureOptions options = {});
    ~ProfileFeature() override;

    // Works on the window's UI, links, images and write-back from now on;
    // before "windowinit". Without a system pointer in the context, one of
    // the session's own is made.
    void attach(shell::CMainWnd& window);
    // Or on a context of the caller's (tests).
    void attach(const ProfileContext& context);
    const ProfileContext& context() const { return ctx_; }

    void addRoutes(shell::NotifyRouter& router) override;
    void initPages() override;
    std::optional<shell::WorkerThreads::Body> workerBody(shell::WorkerSlot slot) override;
    void loadKeyboardDeviceProfile(int index) override;
    void saveSelectedProfile(DeviceKind kind, ProfileKind profile) override;

  private:
    ForegroundApp& foreground();

    ProfileFeatureOptions options_;
    ProfileContext ctx_;
    std::unique_ptr<SystemPointer> system_;
    std::mutex foregroundMutex_;
    std::unique_ptr<ForegroundApp> foreground_;
};

}  // namespace rxt
