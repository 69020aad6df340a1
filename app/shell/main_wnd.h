#pragma once
// The main window's logic: what it owns (the three device links, the pending
// flags through the write-back, the worker threads and their stop events, the
// tray icon), how it starts ("windowinit"), the numbered messages and timers
// that drive the reads and the write-back, activation, the tray, the skin
// chooser, the language switch, page switching and the shutdown. Written
// against the UI interface only, so the same logic runs on the widgets and
// on the in-memory control tree of the tests.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "app/shell/control_router.h"
#include "app/shell/notify_router.h"
#include "app/shell/page_feature.h"
#include "app/shell/page_switching.h"
#include "app/shell/shell_ids.h"
#include "app/shell/skin_change.h"
#include "app/shell/skin_settings.h"
#include "app/shell/ui_courier.h"
#include "app/shell/worker_threads.h"
#include "app/ui/automation_hook.h"
#include "app/ui/control_handler.h"
#include "app/ui/skin_ui.h"
#include "device/hid_backend.h"
#include "platform/write_failures.h"
#include "state/device_events.h"
#include "state/device_images.h"
#include "state/device_links.h"
#include "state/discovery_threads.h"
#include "state/hotplug_watch.h"
#include "state/ui_reactions.h"
#include "state/write_back.h"

namespace rxt::shell {

struct MainWndOptions {
    // Null: the process-wide HID backend.
    std::shared_ptr<HidBackend> backend;
    // Files; empty: the user's own ("main.ini" in the data folder, the
    // registry stand-in).
    std::filesystem::path mainIni;
    std::filesystem::path registryFile;
    std::chrono::milliseconds shutdownBound = kShutdownBound;
    // The pause after the links get their identities at "windowinit".
    std::chrono::milliseconds initSettle = kWindowInitSettle;
    // Watch the bus for changes as well as polling it.
    bool watchBus = true;
    // Start the five discovery and listener threads (tests of the window
    // alone start them idle).
    bool discovery = true;
    // The pages; attached and routed as the window is made.
    PageFeature* features = nullptr;
    // The keyboard and mouse hook; null: one for this session.
    InputHook* inputHook = nullptr;
    // "windowinit" leaves the window hidden in the tray (--hidden).
    bool startHidden = false;
    // The autostart entry and the program it starts; empty: the user's
    // entry and this executable.
    std::filesystem::path autostartEntry;
    std::filesystem::path executable;
};

class CMainWnd : public ui::WindowHandler,
                 public UiReactions,
                 public SkinChangeReceiver,
                 public ui::AutomationHook,
                 public ui::ControlHandler {
  public:
    CMainWnd(ui::SkinUi& ui, MainWndOptions options = {});
    // Stops whatever still runs (the normal way out is the tray's "exit").
    ~CMainWnd() override;
    CMainWnd(const CMainWnd&) = delete;
    CMainWnd& operator=(const CMainWnd&) = delete;

    // ---- ui::WindowHandler
    void initWindow() override;
    void notify(const ui::Notification& n) override;
    void handleMessage(int message, intptr_t wParam, intptr_t lParam) override;
    void onTimer(int id) override;
    ui::ControlCreation createControl(std::string_view className) override;
    std::optional<std::string> queryControlText(std::string_view key) override;
    void onFinalMessage() override;
    void onActivate(bool active) override;

    // ---- UiReactions (any thread: marshalled to the UI thread)
    void report(const WindowEvent& event) override;
    void showWindow(bool visible) override;
    void startTimer(int id, int periodMs) override;
    void postMessage(int message) override;
    void sendMessage(int message) override;
    void postActivation() override;
    void showMessageBox(std::string_view textKey) override;

    // ---- SkinChangeReceiver
    void receive(SkinChangedParam param) override;

    // ---- ui::AutomationHook
    ui::AutomationReply image(std::string_view kind, std::string_view area) override;
    void quit() override;

    // ---- ui::ControlHandler
    ControlAnswer control(const std::vector<std::string>& args) override;

    // Ends the program as the tray menu's "exit" does: shutdown, then the
    // loop's end. UI thread.
    void destroyWindow();
    void switchLanguage(Language language);

    // What the window lends its pages.
    PageHost host();
    // What the window owns, for the tests.
    DeviceLinks& links() { return links_; }
    DeviceImageSet& images() { return images_; }
    WriteBack& writeBack() { return writeBack_; }
    WorkerThreads& workers() { return workers_; }
    NotifyRouter& router() { return router_; }
    // Whether a notification of the control is acted on: the window's own
    // controls (title buttons, skin chooser, tabs) or a page's route.
    bool handles(std::string_view type, std::string_view name) const;
    const ControlRouter& controlRouter() const { return control_; }
    ui::SkinUi& ui() { return ui_; }
    const std::filesystem::path& mainIni() const { return mainIni_; }

    bool shutDown() const { return shutDown_; }
    // Worker threads the shutdown had to let go (it timed out).
    size_t abandonedWorkers() const { return workers_.abandoned(); }
    // The preview and key controls found in the skin at InitWindow.
    size_t previewControlsFound() const;
    size_t keyControlsFound() const;
    // Per-key light state (red, green, blue, level) of the keyboard frame.
    std::array<std::array<uint8_t, 4>, 126>& keyLightState() { return keyLight_; }

  private:
    void onWindowInit();
    void startAfterSettle();  // the workers and timers, once the window has shown
    bool anyDeviceTabShown() const;
    void startWorkers();
    void shutdown();
    void activate();
    void onTray(int64_t mouseMessage);
    void openTrayMenu();
    void onMenu(const std::string& item);
    void toggleAutostart();
    void showWriteFailure(const WriteFailure& failure);
    bool onClick(const ui::Notification& n);
    bool onSkinChooser(const std::string& name);
    void showNoDeviceBox(bool& guard);
    // The close button: hidden to the tray (told once a run), or minimised
    // where the desktop has no status area to come back from.
    void hideToTray();
    // The chooser's swatch or picture now applied shows a mark.
    void markSkinChoice(const std::string& chosen);
    void topmostPulse();
    // Restarts the live preview timer, which rests while the window is hidden.
    void resumeLivePreview();
    void applyStoredLanguage();
    void setMousepadTint(int message, intptr_t index, intptr_t value);
    // UI thread: the shell's own events to its controls, then to the pages.
    void deliver(const WindowEvent& event);
    // The "connect a device" hint shows while no device tab does.
    void updateNoDeviceHint();

    ui::SkinUi& ui_;
    MainWndOptions options_;
    std::filesystem::path mainIni_;
    std::filesystem::path registryFile_;
    std::filesystem::path autostartEntry_;

    DeviceLinks links_;
    DeviceImageSet& images_;
    HotplugWaker waker_;
    DiscoveryContext context_;
    WriteBack writeBack_;
    DeviceEvents events_;
    std::unique_ptr<HotplugWatch> watch_;

    std::array<bool, 20> mouseDkeys_{};
    std::array<bool, 15> mousepadDkeys_{};
    std::array<bool, 126> keyboardKeys_{};
    std::array<bool, 5> titleButtons_{};
    std::array<std::array<uint8_t, 4>, 126> keyLight_{};

    NotifyRouter router_;
    ControlRouter control_;
    PageSwitching pages_;
    bool activationBoxOpen_ = false;
    bool trayBoxOpen_ = false;
    bool windowInitDone_ = false;
    bool writeBackResting_ = false;  // stopped while no device tab shows
    bool trayHintShown_ = false;
    // Started into the tray: devices do not open the window until the user
    // has (tray click, a second start).
    bool stayHidden_ = false;
    bool shutDown_ = false;

    UiCourier courier_;
    // The hook's thread posts to the UI; it is removed before the UI goes.
    std::unique_ptr<InputHook> ownHook_;
    InputHook* hook_ = nullptr;
    // Last: the threads end before anything they use goes.
    WorkerThreads workers_;
};

}  // namespace rxt::shell
