#pragma once
// The settings pages as a feature of the main window: the mouse performance
// page (DPI levels, report rate, debounce, lift-off, pointer speed and
// wheel lines) and the key pages' function panels, shown as the device
// state and the profiles report them.

#include <memory>

#include "app/pages/settings/key_page.h"
#include "app/pages/settings/mouse_performance_page.h"
#include "app/shell/page_feature.h"

namespace rxt {

struct SettingsPagesOptions {
    // The desktop's pointer settings; null: one of the session's own.
    SystemPointer* system = nullptr;
    HostPointerSettings* host = &hostPointerSettings();
};

class SettingsPages : public shell::PageFeature, public DeviceUploads {
  public:
    explicit SettingsPages(SettingsPagesOptions options = {}) : options_(options) {}

    void attach(const shell::PageHost& host) override;
    // Keyboard: the key position of control "kb_key_<i>" (126: none), from
    // the attached model's key map. Before attach.
    void setKeyboardKeyPosition(std::function<int(int control)> position) {
        keyPosition_ = std::move(position);
    }
    // The delivered cursor schemes; unset: the program's defaults folder.
    void setDefaultsFolder(std::filesystem::path folder) { defaultsFolder_ = std::move(folder); }
    // Only the controls of the caller's (tests of the shown events).
    void attach(ui::SkinUi& ui) { ui_ = &ui; }
    void addRoutes(shell::NotifyRouter& router) override;
    void addControlRoutes(shell::ControlRouter& router) override;
    void onEvent(const WindowEvent& event) override;

    // The performance page, once attached to a window (tests).
    MousePerformancePage* performance() { return performance_.get(); }
    KeyPage* mouseKeys() { return mouseKeys_.get(); }
    KeyPage* keyboardKeys() { return keyboardKeys_.get(); }

    // The key page's part of deleting a device's macro (the macro pages run
    // it first).
    bool prepareMacroDeletion(DeviceKind device, int position,
                              const std::function<bool()>& confirmDelete);

    // The Apply action's uploads (the write-back frames them with the
    // progress control).
    bool uploadKeyboard() override;
    bool uploadMouseCursors() override;
    bool uploadMouse() override;

  private:
    SettingsPagesOptions options_;
    std::function<int(int control)> keyPosition_;
    std::filesystem::path defaultsFolder_;
    ui::SkinUi* ui_ = nullptr;
    DeviceLinks* links_ = nullptr;
    std::unique_ptr<SystemPointer> system_;
    std::unique_ptr<MousePerformancePage> performance_;
    std::unique_ptr<KeyPage> mouseKeys_;
    std::unique_ptr<KeyPage> keyboardKeys_;
};

}  // namespace rxt
