#include "app/pages/profile/profile_pages.h"

#include "app/pages/profile/profile_lists.h"
#include "app/pages/profile/profile_operations.h"
#include "app/pages/profile/profile_page_names.h"
#include "app/pages/profile/program_link.h"
#include "app/ui/skin_ui.h"
#include "profile/profile_listing.h"

namespace rxt {
namespace {

// A watcher reaches the controls on the UI thread and waits there; once the
// window stops taking calls (shutdown) the window counts as gone.
class UiWatcherHost : public WatcherHost {
  public:
    UiWatcherHost(const ProfilePageContext& ctx, ProfileCatalogue catalogue)
        : ctx_(ctx), catalogue_(catalogue), list_(profileControls(catalogue).list) {}

    bool windowAlive() override { return !gone_; }

    bool hasList() override {
        bool found = false;
        call([&] { found = ctx_.ui->hasControl(list_); });
        return found && !gone_;
    }

    int itemCount() override {
        int n = 0;
        call([&] { n = ctx_.ui->itemCount(list_); });
        return n;
    }

    void selectEntry(int index) override {
        call([&] { SelectProfileEntry(ctx_, catalogue_, index); });
    }

  private:
    void call(const std::function<void()>& fn) {
        if (gone_ || !ctx_.ui->send(fn)) {
            gone_ = true;
        }
    }

    const ProfilePageContext& ctx_;
    ProfileCatalogue catalogue_;
    std::string_view list_;
    bool gone_ = false;
};

}  // namespace

ProfilePages::ProfilePages(ProfilePagesOptions options) : options_(std::move(options)) {}

ProfilePages::~ProfilePages() = default;

void ProfilePages::attach(const shell::PageHost& host) {
    ProfilePageContext ctx = ctx_;
    ctx.ui = &host.ui;
    ctx.links = &host.links;
    ctx.images = &host.images;
    ctx.writeBack = &host.writeBack;
    ctx.report = host.report;
    attach(ctx);
}

void ProfilePages::attach(const ProfilePageContext& context) {
    ctx_ = context;
    if (ctx_.system == nullptr) {
        if (!system_) {
            system_ = makeSystemPointer();
        }
        ctx_.system = system_.get();
    }
}

void ProfilePages::addControlRoutes(shell::ControlRouter& router) {
    router.on("profile list", [](std::span<const std::string> rest) {
        const auto kind = rest.size() == 1 ? kindFromName(rest[0]) : std::nullopt;
        if (!kind) {
            return ControlAnswer::usage("profile list takes KIND: mouse, mousepad or keyboard");
        }
        return ControlAnswer::done(profileListing(*kind));
    });
    // As the user's choice in the catalogue's list: remembered, loaded and
    // applied (nothing happens for the entry already chosen).
    router.on("profile select", [this](std::span<const std::string> rest) {
        const auto kind = rest.size() == 3 ? kindFromName(rest[0]) : std::nullopt;
        const auto profile = rest.size() == 3 ? profileKindFromName(rest[1]) : std::nullopt;
        if (!kind || !profile) {
            return ControlAnswer::usage("profile select takes KIND device|lighting|key NAME");
        }
        const std::optional<ProfileCatalogue> catalogue = ProfileCatalogue::find(*kind, *profile);
        if (!catalogue) {
            return ControlAnswer::usage("the " + rest[0] + " has no " + rest[1] + " profiles");
        }
        const std::optional<int> index = findProfileEntry(*catalogue, rest[2]);
        if (!index) {
            return ControlAnswer::failed("no " + catalogue->displayName() + " profile \"" +
                                         rest[2] + "\"");
        }
        if (!SelectProfileEntry(ctx_, *catalogue, *index)) {
            return ControlAnswer::failed("the " + catalogue->displayName() + " list has no entry " +
                                         std::to_string(*index));
        }
        return ControlAnswer::done();
    });
}

void ProfilePages::addRoutes(shell::NotifyRouter& router) {
    namespace notify = ui::notify;
    for (const ProfileControls& c : kProfileControls) {
        const ProfileCatalogue catalogue = *ProfileCatalogue::find(c.device, c.kind);
        auto on = [&](std::string_view type, std::string_view name,
                      void (*op)(const ProfilePageContext&, const ProfileCatalogue&)) {
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
    for (const ProfileSpreadControls& spread : kProfileSpreadControls) {
        router.on(notify::kClick, spread.button, [this, spread](const ui::Notification&, int) {
            if (ctx_.ui != nullptr) {
                ctx_.ui->setVisible(spread.panel, !ctx_.ui->visible(spread.panel));
            }
        });
    }
}

ForegroundApp& ProfilePages::foreground() {
    std::lock_guard lock(foregroundMutex_);
    if (!foreground_) {
        foreground_ = options_.foreground ? options_.foreground() : makeForegroundApp();
        if (!foreground_) {
            foreground_ = makeUnavailableForegroundApp("no foreground backend");
        }
    }
    return *foreground_;
}

void ProfilePages::claimWorkers(shell::WorkerClaims& claims) {
    if (ctx_.ui == nullptr) {
        return;
    }
    const auto first = static_cast<size_t>(shell::WorkerSlot::KeyboardDeviceFollowsApp);
    for (size_t i = 0; i < processWatchers().size(); ++i) {
        const WatcherSpec watched = processWatchers()[i];
        const auto slot = static_cast<shell::WorkerSlot>(first + i);
        ForegroundApp& app = foreground();
        claims.claim(slot, [this, watched, slot, &app](StopEvent& stop) {
            UiWatcherHost host(ctx_, watched.catalogue());
            ProcessWatcher watcher(watched, host, app, options_.timing);
            watcher.run(stop, shell::workerExitText(slot));
        });
    }
}

void ProfilePages::onEvent(const WindowEvent& event) {
    std::visit(Overloaded{
                   [this](const event::PagesInit&) {
                       if (ctx_.ui == nullptr) {
                           return;
                       }
                       PopulateCatalogues(ctx_);
                       // The lists start without a selection: a device's
                       // arrival and the watchers select the remembered
                       // entry, which then loads and applies it.
                       for (const ProfileControls& c : kProfileControls) {
                           ctx_.ui->setCurrentIndex(c.list, -1);
                       }
                   },
                   [this](const event::ProfileEntrySelect& e) {
                       if (auto catalogue = ProfileCatalogue::find(e.device, e.profile)) {
                           SelectProfileEntry(ctx_, *catalogue, e.index);
                       }
                   },
                   [this](const event::ProfileLoad& e) {
                       if (auto catalogue = ProfileCatalogue::find(e.device, e.profile)) {
                           LoadProfileData(ctx_, *catalogue, e.index);
                       }
                   },
                   [this](const event::ProfileSave& e) {
                       if (auto catalogue = ProfileCatalogue::find(e.device, e.profile)) {
                           SaveSelectedProfile(ctx_, *catalogue);
                       }
                   },
                   [](const auto&) {},
               },
               event);
}

}  // namespace rxt
