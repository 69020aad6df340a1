#include "profile/profile_operations_feature.h"

#include <atomic>

#include "app/shell/main_wnd.h"
#include "profile/catalogue_population.h"
#include "profile/profile_operations.h"
#include "profile/profile_operations_controls.h"
#include "profile/program_link.h"

namespace rxt {
namespace {

// A watcher reaches the controls on the UI thread and waits there; once the
// window stops taking calls (shutdown) the window counts as gone.
class UiWatcherHost : public WatcherHost {
  public:
    UiWatcherHost(const ProfileContext& ctx, ProfileCatalogue catalogue)
        : ctx_(ctx), catalogue_(catalogue) {}

    bool windowAlive() override { return !gone_; }

    bool hasList(std::string_view list) override {
        bool found = false;
        call([&] { found = ctx_.ui->hasControl(list); });
        return found && !gone_;
    }

    int itemCount(std::string_view list) override {
        int n = 0;
        call([&] { n = ctx_.ui->itemCount(list); });
        return n;
    }

    void selectEntry(std::string_view, int index) override {
        call([&] { SelectProfileEntry(ctx_, catalogue_, index); });
    }

  private:
    void call(const std::function<void()>& fn) {
        if (gone_ || !ctx_.ui->send(fn)) {
            gone_ = true;
        }
    }

    const ProfileContext& ctx_;
    ProfileCatalogue catalogue_;
    bool gone_ = false;
};

}  // namespace

ProfileFeature::ProfileFeature(ProfileFeatureOptions options) : options_(std::move(options)) {}

ProfileFeature::~ProfileFeature() = default;

void ProfileFeature::attach(shell::CMainWnd& window) {
    ProfileContext ctx = ctx_;
    ctx.ui = &window.ui();
    ctx.links = &window.links();
    ctx.images = &window.images();
    ctx.writeBack = &window.writeBack();
    ctx.refreshPage = [&window](Page page) { window.refreshPage(page); };
    attach(ctx);
}

void ProfileFeature::attach(const ProfileContext& context) {
    ctx_ = context;
    if (ctx_.system == nullptr) {
        if (!system_) {
            system_ = makeSystemPointer();
        }
        ctx_.system = system_.get();
    }
}

void ProfileFeature::addRoutes(shell::NotifyRouter& router) {
    using shell::NotifyRouter;
    namespace notify = ui::notify;
    for (const ProfileCatalogue& catalogue : ProfileCatalogue::all()) {
        const ProfileControls c = profileControls(catalogue);
        auto on = [&](std::string_view type, const std::string& name,
                      void (*op)(const ProfileContext&, const ProfileCatalogue&)) {
            if (!name.empty()) {
                router.on(type, name, [this, op, catalogue](const ui::Notification&, int) {
                    op(ctx_, catalogue);
                });
            }
        };
        on(notify::kClick, c.addButton, NewProfile);
        on(notify::kClick, c.deleteButton, DeleteProfile);
        on(notify::kClick, c.importButton, ImportProfile);
        on(notify::kClick, c.exportButton, ExportProfile);
        on(notify::kClick, c.copyButton, CopyProfile);
        on(notify::kClick, c.resetButton, ResetProfile);
        on(notify::kClick, c.renamePanelButton, ToggleRenamePanel);
        on(notify::kClick, c.renameButton, RenameProfile);
        on(notify::kClick, c.linkButton, BrowseLink);
        on(notify::kClick, c.cancelLinkButton, CancelLink);
        on(notify::kItemSelect, c.list, SelectProfile);
        router.on(notify::kSelectChanged, c.linkCheck,
                  [this, catalogue](const ui::Notification& n, int) {
                      LinkCheckChanged(ctx_, catalogue, n.value != 0);
                  });
    }
    for (DeviceKind device : kAllDeviceKinds) {
        router.on(notify::kClick, profileSpreadButton(device),
                  [this, device](const ui::Notification&, int) {
                      if (ctx_.ui != nullptr) {
                          const std::string panel = profileSpreadPanel(device);
                          ctx_.ui->setVisible(panel, !ctx_.ui->visible(panel));
                      }
                  });
    }
}

void ProfileFeature::initPages() {
    if (ctx_.ui == nullptr) {
        return;
    }
    PopulateCatalogues(ctx_);
    // The lists start without a selection: a device's arrival and the
    // watchers select the remembered entry, which then loads and applies it.
    for (const ProfileCatalogue& catalogue : ProfileCatalogue::all()) {
        ctx_.ui->setCurrentIndex(catalogue.listName(), -1);
    }
}

ForegroundApp& ProfileFeature::foreground() {
    std::lock_guard lock(foregroundMutex_);
    if (!foreground_) {
        foreground_ = options_.foreground ? options_.foreground() : makeForegroundApp();
        if (!foreground_) {
            foreground_ = makeUnavailableForegroundApp("no foreground backend");
        }
    }
    return *foreground_;
}

std::optional<shell::WorkerThreads::Body> ProfileFeature::workerBody(shell::WorkerSlot slot) {
    const auto first = static_cast<size_t>(shell::WorkerSlot::KeyboardDeviceFollowsApp);
    const auto i = static_cast<size_t>(slot);
    if (i < first || i >= first + processWatchers().size() || ctx_.ui == nullptr) {
        return std::nullopt;
    }
    const WatcherSpec watched = processWatchers()[i - first];
    ForegroundApp& app = foreground();
    return [this, watched, slot, &app](StopEvent& stop) {
        UiWatcherHost host(ctx_, watched.catalogue());
        ProcessWatcher watcher(watched, host, app, options_.timing);
        watcher.run(stop, shell::workerExitText(slot));
    };
}

void ProfileFeature::loadKeyboardDeviceProfile(int index) {
    LoadProfileData(ctx_, *ProfileCatalogue::find(DeviceKind::Keyboard, ProfileKind::Device),
                    index);
}

void ProfileFeature::saveSelectedProfile(DeviceKind kind, ProfileKind profile) {
    if (auto catalogue = ProfileCatalogue::find(kind, profile)) {
        SaveSelectedProfile(ctx_, *catalogue);
    }
}

}  // namespace rxt
